// The colours of the windows that draw some colours of their own.
#pragma once

class QWidget;

/// Gives `window` and everything in it the light colours it was drawn for (Fusion's standard
/// palette, the application's own without a desktop theme), every role of every group, so that
/// a dark desktop theme never sets light text on a fixed light background or the reverse.
void UseFixedPalette(QWidget *window);
