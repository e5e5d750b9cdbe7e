// The ways a new text slides into the ticker, one per kind of desktop.
#pragma once

#include "desktop/WindowShape.h"

#include <QImage>
#include <QRegion>
#include <memory>

class QWidget;
class ServerSlide;
class TickerView;

/// How the ticker window is drawn on this desktop, and how a slide moves its texts. The window
/// moves the labels one step at a time; a strategy makes that move show, and moves the window's
/// shape with the texts so that a moving glyph takes the pointer as a resting one does.
class SlideStrategy
{
public:
    SlideStrategy(TickerView &view, QWidget *window, MovingShape::Kind shape);
    virtual ~SlideStrategy();
    SlideStrategy(const SlideStrategy &) = delete;
    SlideStrategy &operator=(const SlideStrategy &) = delete;

    /// The way of a desktop with a compositing manager: antialiased text on a see-through
    /// window, no bounding shape (alpha hides the background).
    virtual bool forCompositor() const = 0;
    /// The bounding shape of a window that draws `drawn`; empty draws all of it.
    virtual QRegion boundingShape(const QRegion &drawn) const = 0;
    /// Before the first step; false where this way cannot slide now, and nothing changed: the
    /// window then slides with another.
    virtual bool begin() = 0;
    /// One step, the labels already at their new places.
    virtual void step() = 0;
    /// The slide is over, or its texts changed: the toolkit draws the labels again.
    virtual void end() = 0;

protected:
    /// The shape follows the two texts from here; the handle's square stays. Each text's shape
    /// reaches `trail` device rows above it.
    void followTexts(int trail = 0);
    /// The shape where the labels now draw the texts.
    void moveShape();

    TickerView &m_view;
    QWidget *m_window;
    std::unique_ptr<MovingShape> m_shape;
};

/// The toolkit moves the labels and a compositor blends them as they are. The input shape moves
/// with the texts a few steps at a time, covering where they pass until its next move: each
/// change of it costs the X server and the compositor more than the step itself.
class LabelSlide : public SlideStrategy
{
public:
    /// Steps one input shape covers: a glyph takes the pointer up to 3 pixels above itself.
    static constexpr int stepsPerInputShape = 4;

    LabelSlide(TickerView &view, QWidget *window)
        : SlideStrategy(view, window, MovingShape::Kind::Input)
    {}
    bool forCompositor() const override { return true; }
    QRegion boundingShape(const QRegion &) const override { return {}; }
    bool begin() override;
    void step() override;
    void end() override
    {
        m_shape->clear();
        m_stepsCovered = 0;
    }

protected:
    /// The input shape over the texts where they stand and where the next steps take them.
    void coverComingSteps();
    /// Device rows the next steps take a text up.
    int coveredRows() const;

private:
    int m_stepsCovered = 0; ///< steps ahead the input shape still covers
};

/// Without a compositor the window is shaped to its glyphs, so the shape must move with the
/// texts. Each text's shape goes to the X server once a slide.
class ShapeSlide final : public SlideStrategy
{
public:
    ShapeSlide(TickerView &view, QWidget *window)
        : SlideStrategy(view, window, MovingShape::Kind::Bounding)
    {}
    bool forCompositor() const override { return false; }
    QRegion boundingShape(const QRegion &drawn) const override { return drawn; }
    bool begin() override;
    void step() override { moveShape(); }
    void end() override { m_shape->clear(); }
};

/// Under a compositor the X server moves the texts: both go to a pixmap once a slide, each step
/// is a copy of each, with the handle drawn again over text passing under it. Where the server
/// cannot hold them it does not begin, and the window slides with a LabelSlide. Its input shape
/// moves as a LabelSlide's does.
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
    QRect m_oldPart;              ///< of the pixmap: the old text, a row to spare below it
    QRect m_newPart;              ///< the new text
    QRect m_keep;                 ///< the handle's pixels, which the copies leave alone
    bool m_handlePatched = false; ///< the last step drew text under the handle
};
