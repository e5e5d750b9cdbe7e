// The look shared by the two airport grids: rows, cells, selection colours, the check mark.
#include "settings/GridCells.h"

#include "platform/Twips.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace {

/// Draws the check mark centred at the top of its cell.
class CheckMarkDelegateImpl final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationAlignment = Qt::AlignHCenter | Qt::AlignTop;
        option->decorationPosition = QStyleOptionViewItem::Top;
    }
};

} // namespace

QStyledItemDelegate *CheckMarkDelegate(QObject *parent)
{
    return new CheckMarkDelegateImpl(parent);
}

QTableWidget *MakeGrid(QWidget *parent, const char *name, int rowHeightTwips)
{
    auto *grid = new QTableWidget(parent);
    grid->setObjectName(QLatin1String(name));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(twipsToPixels(rowHeightTwips));
    grid->verticalHeader()->setMinimumSectionSize(1);
    // Rows keep their height when the window is polished: the cover panels are placed by it.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setSelectionMode(QAbstractItemView::NoSelection); // the selection colours are ours
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setShowGrid(false);
    // A click gives the grid the keyboard, so keys never reach a control the user left.
    grid->setFocusPolicy(Qt::StrongFocus);
    return grid;
}

QTableWidgetItem *GridCell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setBackground(Qt::white);
    item->setForeground(Qt::black);
    return item;
}

void ColourGridRow(QTableWidget *grid, int row, bool selected, int columns)
{
    // The window's highlight, which goes with the white text whatever the desktop's theme.
    const QColor background =
        selected ? grid->palette().color(QPalette::Highlight) : QColor(Qt::white);
    const QColor text = selected ? QColor(Qt::white) : QColor(Qt::black);
    for (int c = 0; c < columns; ++c) {
        if (QTableWidgetItem *item = grid->item(row, c)) {
            item->setBackground(background);
            item->setForeground(text);
        }
    }
}
