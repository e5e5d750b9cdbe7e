// The look shared by the two airport grids: rows, cells, selection colours, the check mark.
#pragma once

#include <QTableWidget>

class QStyledItemDelegate;

/// A grid of fixed rows `rowHeightTwips` high, without headers, selection colours our own.
QTableWidget *MakeGrid(QWidget *parent, const char *name, int rowHeightTwips);
/// A cell of black text on white.
QTableWidgetItem *GridCell(const QString &text = {});
/// The selection colours on the first `columns` cells of `row`, or the plain ones.
void ColourGridRow(QTableWidget *grid, int row, bool selected, int columns);
/// Draws a cell's picture (the check mark) centred at the top of its cell.
QStyledItemDelegate *CheckMarkDelegate(QObject *parent);
