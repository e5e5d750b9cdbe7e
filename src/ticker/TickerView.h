// What the ticker shows: the two text labels, the handle, their font and colours.
#pragma once

#include "report/FlightCategory.h"

#include <QColor>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>
#include <array>

class QWidget;
class TickerLabel;

/// The labels of the ticker window and how they look: font, colour, the handle's state and
/// colour, and the text wrapped to the screen. No timers, no network, no window placement.
class TickerView final
{
public:
    /// Indexes of `lbl`.
    enum LabelIndex { Staging = 0, Display = 1, Handle = 2 };

    static constexpr auto handleHollow = "□";
    static constexpr auto handleFilled = "■";

    /// The labels become children of `window`, hidden until there is something to show.
    explicit TickerView(QWidget *window);

    TickerLabel *lbl(int index) const { return m_lbl[index]; }
    TickerLabel *staging() const { return m_lbl[Staging]; }
    TickerLabel *display() const { return m_lbl[Display]; }
    TickerLabel *handle() const { return m_lbl[Handle]; }

    /// Size and boldness of the three labels. Without antialiasing every drawn pixel is whole,
    /// for a window shaped to its glyphs.
    void setTextFont(double pointSize, bool bold, bool antialiased);
    void setTextColor(const QColor &color);
    QColor textColor() const { return m_textColor; }
    /// An edge around the texts and the handle that stands out from their colours.
    void setOutlined(bool outlined);
    /// The handle shows a report's flight category as a square filled in its colour, readable at
    /// a glance; Unknown gives the plain handle. True when the square changed its form.
    bool showCategory(FlightCategory category);
    FlightCategory category() const { return m_category; }
    /// The handle's colour for `category` (the text colour for Unknown).
    QColor handleColor(FlightCategory category) const;
    /// The square filled in the text colour while the pointer is on it; else hollow, or filled in
    /// the category's colour. True when the square changed its form.
    bool showHandleState(bool pointerOnHandle);

    /// How far the texts rise in one slide step, in logical pixels.
    static int slideRise();

    /// Puts the labels at rest below the handle; the size that fits them.
    QSize layOut();
    /// The size that fits label `index` below the handle.
    QSize sizeFor(int index) const;
    /// `text` with lines that would run past the screen's right edge wrapped, for a window
    /// whose top-left corner is at `place`.
    QString fittedToScreen(const QString &text, const QPoint &place) const;

    // Shapes are in the window's device pixels, the X server's: at a fractional scale a region
    // in logical pixels cannot say which device pixels a glyph covers.

    /// The scale the labels are drawn at.
    qreal ratio() const;
    /// Where label `index` draws the top-left pixel of its image, in the window's device pixels.
    QPoint deviceOrigin(int index) const;
    /// The pixels label `index` draws where it stands now, in the window's device pixels.
    QRegion textAt(int index) const;
    /// The handle's whole square, faint edges included, in the window's device pixels.
    QRegion handleSquare() const;
    /// The drawn pixels of the shown texts and the handle's square, in the window's device pixels.
    QRegion drawnRegion() const;

private:
    std::array<TickerLabel *, 3> m_lbl{};
    QColor m_textColor;
    FlightCategory m_category = FlightCategory::Unknown;
    bool m_pointerOnHandle = false;

    bool refreshHandle();
};
