// Window shapes and moves: the pieces of a borderless, see-through window.
#pragma once

#include <QRegion>

class QImage;
class QWidget;

/// The pixels `widget` draws (without background), in the widget's own coordinates.
QRegion DrawnRegion(QWidget *widget);
/// The pixels of `image` that are not transparent, in the image's own pixels.
QRegion DrawnRegion(const QImage &image);
/// Hands a window drag to the window manager; false where none can take it.
bool StartSystemMove(QWidget *window);
/// Whether the primary mouse button is down now, wherever the pointer is.
bool PrimaryButtonHeld();
