// The graph area of the annual window: fixed scale, two point curves, extremes, today line.
#pragma once

#include "sun/SunYearTable.h"

#include <QWidget>
#include <array>

class QLabel;

/// Draws in twips of its 14295 × 7220 area, scaled to the widget.
class SunGraph final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int areaWidth = 14295;
    static constexpr int areaHeight = 7220;

    explicit SunGraph(QWidget *parent = nullptr);

    /// Empties the area of points and hides the four extreme labels.
    void clearCurves();
    /// Shows both curves and their extreme labels (lbl27 to lbl30).
    void setCurves(const GraphCurve &sunrise, const GraphCurve &sunset);

    const GraphCurve &sunrise() const { return m_sunrise; }
    const GraphCurve &sunset() const { return m_sunset; }

    /// The green today line, at `x` from y 675 to 6630.
    void setTodayLineX(int x);
    int todayLineX() const { return m_todayX; }
    void setTodayLineVisible(bool visible);
    bool todayLineVisible() const { return m_todayVisible; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *addLabel(int index, const QString &text, int left, int top, const QColor &colour);
    void placeMark(QLabel *label, const GraphMark &mark);

    GraphCurve m_sunrise;
    GraphCurve m_sunset;
    std::array<QLabel *, 4> m_marks{};
    int m_todayX = 0;
    bool m_todayVisible = false;
};
