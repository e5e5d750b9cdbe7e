// The settings window's small pictures, drawn in code so they are crisp at any scale.
#pragma once

#include <QIcon>
#include <QPixmap>

/// The check mark of a target marked for the slide rotation.
QPixmap CheckMarkPicture(qreal devicePixelRatio = 1.0);

enum class ListButton { Add, Delete, MoveUp, MoveDown };
/// The picture of one of the four list-editing buttons, at 1x and 2x.
QIcon ListButtonIcon(ListButton kind);
