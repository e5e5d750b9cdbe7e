// The ways a new text slides into the ticker, one per kind of desktop.
#pragma once

#include <QImage>
#include <QRegion>
#include <memory>

class MovingShape;
class QWidget;
class ServerSlide;
class TickerView;

/// How the ticker window is drawn on this desktop, and how a slide moves its texts. The window
/// moves the labels one step at a time; a strategy makes that move show.
class SlideStrategy
{
public:
    SlideStrategy(TickerView &view, QWidget *window) : m_view(view), m_window(window) {}
    virtual ~SlideStrategy() = default;
    SlideStrategy(const SlideStrategy &) = delete;
    SlideStrategy &operator=(const SlideStrategy &) = delete;

    /// The way of a desktop with a compositing manager: antialiased text on a see-through
    /// window, no bounding shape (alpha hides the background).
    virtual bool forCompositor() const = 0;
    /// The bounding shape of a window that draws `drawn`; empty draws all of it.
    virtual QRegion boundingShape(const QRegion &drawn) const = 0;
    /// Before the first step; false where this way cannot slide now.
    virtual bool begin() = 0;
    /// One step, the labels already at their new places.
    virtual void step() = 0;
    /// The slide is over, or its texts changed: the toolkit draws the labels again.
    virtual void end() = 0;

protected:
    TickerView &m_view;
    QWidget *m_window;
};

/// The toolkit moves the labels and a compositor blends them as they are.
class LabelSlide : public SlideStrategy
{
public:
    using SlideStrategy::SlideStrategy;
    bool forCompositor() const override { return true; }
    QRegion boundingShape(const QRegion &) const override { return {}; }
    bool begin() override;
    void step() override {}
    void end() override {}
};

/// Without a compositor the window is shaped to its glyphs, so the shape must move with the
/// texts. The two texts move together: their joint shape goes to the X server once a slide.
class ShapeSlide final : public SlideStrategy
{
public:
    ShapeSlide(TickerView &view, QWidget *window);
    ~ShapeSlide() override;
    bool forCompositor() const override { return false; }
    QRegion boundingShape(const QRegion &drawn) const override { return drawn; }
    bool begin() override;
    void step() override;
    void end() override;

private:
    std::unique_ptr<MovingShape> m_shape;
};

/// Under a compositor the X server moves the texts: both go to a pixmap once a slide, each step
/// is one copy, with the handle drawn again over text passing under it. Where the server cannot
/// hold them, the toolkit moves the labels.
class ServerCopySlide final : public LabelSlide
{
public:
    ServerCopySlide(TickerView &view, QWidget *window);
    ~ServerCopySlide() override;
    bool begin() override;
    void step() override;
    void end() override;

private:
    std::unique_ptr<ServerSlide> m_server;
    QImage m_content;             ///< both texts, one above the other, as the server holds them
    QRegion m_contentRegion;      ///< the pixels of m_content that are drawn
    bool m_handlePatched = false; ///< the last step drew text under the handle
};
