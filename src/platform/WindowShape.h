// Window shapes and moves: the pieces of a borderless, see-through window.
#pragma once

#include <QRegion>

class QWidget;

/// The pixels `widget` draws (without background), in the widget's own coordinates.
QRegion DrawnRegion(QWidget *widget);
/// Hands a window drag to the window manager; false where none can take it.
bool StartSystemMove(QWidget *window);
