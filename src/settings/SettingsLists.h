// The texts and conversions of the settings window's lists and slider.
#pragma once

#include <QColor>
#include <QStringList>

/// "3" ... "18": the ticker's point sizes.
QStringList FontSizeTexts();
/// "10", "20", ... "90": seconds between slides.
QStringList SlideIntervalTexts();
/// "-23" ... "-1", " 0", "+1" ... "+23": the 47 hour differences, as stored.
QStringList TimeDiffTexts();
/// Slider position 1..10 for a stored scroll rate (11 - rate / 10, halves to even).
int SliderPositionFor(int scrollrate);
/// The scroll rate a slider position saves: 110 - 10 x position.
int ScrollRateFor(int sliderPosition);

/// Where a cover panel goes over the part of a grid below its last row.
struct PanelPlacement
{
    bool visible = true;
    int top = 0;    ///< twips
    int height = 0; ///< twips
};
/// The target grid's cover panel for `rows` rows (all in twips), in a grid that shows
/// `wholeRows` rows whole.
PanelPlacement TargetPanelRule(int rows, int gridTop, int gridHeight, int rowHeight,
                               int wholeRows = 22);
