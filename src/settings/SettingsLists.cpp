// List texts and the small arithmetic of the settings window.
#include "settings/SettingsLists.h"

#include <cmath>

QStringList FontSizeTexts()
{
    QStringList texts;
    for (int size = 3; size <= 18; ++size)
        texts.append(QString::number(size));
    return texts;
}

QStringList SlideIntervalTexts()
{
    QStringList texts;
    for (int seconds = 10; seconds <= 90; seconds += 10)
        texts.append(QString::number(seconds));
    return texts;
}

QStringList TimeDiffTexts()
{
    QStringList texts;
    for (int hours = -23; hours <= -1; ++hours)
        texts.append(QString::number(hours));
    texts.append(QStringLiteral(" 0"));
    for (int hours = 1; hours <= 23; ++hours)
        texts.append(QLatin1Char('+') + QString::number(hours));
    return texts;
}

int SliderPositionFor(int scrollrate)
{
    // Rounds half to even, as the stored rates were always read.
    const int position = int(std::nearbyint(11.0 - scrollrate / 10.0));
    return qBound(1, position, 10);
}

int ScrollRateFor(int sliderPosition)
{
    return 110 - 10 * sliderPosition;
}

PanelPlacement TargetPanelRule(int rows, int gridTop, int gridHeight, int rowHeight, int wholeRows)
{
    if (rows == 0)
        return {true, gridTop + 15, gridHeight - 30};
    if (rows > wholeRows)
        return {false, 0, 0};
    // Never below the grid's own bottom edge, whatever the rows' drawn height.
    const int top = gridTop + rows * rowHeight + 15;
    return {true, top,
            qMin((wholeRows + 1 - rows) * rowHeight - 30, gridTop + gridHeight - 15 - top)};
}
