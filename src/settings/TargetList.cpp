// Editing of the target list: marks, additions, deletions and moves, with their enabling rules.
#include "settings/TargetList.h"

#include "platform/Twips.h"
#include "settings/GridCells.h"
#include "settings/Pictures.h"
#include "settings/SettingsLists.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyledItemDelegate>

TargetList::TargetList(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    const int gridHeight = twipsToPixels(gridHeightTwips);

    auto *knownTitle = new QLabel(QStringLiteral("飛行場リスト"), this);
    knownTitle->setObjectName(QStringLiteral("lbl3"));
    knownTitle->move(0, 0);
    m_grid[Known] = MakeGrid(this, "grid0", rowHeightTwips);
    m_grid[Known]->setColumnCount(1);
    m_grid[Known]->setColumnWidth(0, twipsToPixels(1500));
    m_grid[Known]->setGeometry(0, 18, twipsToPixels(1500) + 20, gridHeight);

    auto *targetTitle = new QLabel(QStringLiteral("ターゲット"), this);
    targetTitle->setObjectName(QStringLiteral("lbl6"));
    targetTitle->move(160, 0);
    m_grid[Targets] = MakeGrid(this, "grid1", rowHeightTwips);
    m_grid[Targets]->setColumnCount(3);
    m_grid[Targets]->setColumnWidth(0, twipsToPixels(700));
    m_grid[Targets]->setColumnWidth(1, twipsToPixels(1000));
    m_grid[Targets]->setColumnHidden(2, true);
    m_grid[Targets]->setItemDelegateForColumn(0, CheckMarkDelegate(m_grid[Targets]));
    m_grid[Targets]->setToolTip(QStringLiteral(" ダブルクリックでスライドマーク "));
    m_grid[Targets]->setGeometry(160, 18, twipsToPixels(1700) + 20, gridHeight);

    // Buttons: add over delete between the grids, up over down at the right.
    const struct
    {
        int index;
        ListButton picture;
        const char *label;
        const char *labelName;
        QPoint at;
        bool labelAbove;
    } buttons[] = {
        {Add, ListButton::Add, "追加", "lbl7", {127, 140}, true},
        {Delete, ListButton::Delete, "削除", "lbl8", {127, 170}, false},
        {MoveUp, ListButton::MoveUp, "上へ移動", "lbl13", {300, 140}, true},
        {MoveDown, ListButton::MoveDown, "下へ移動", "lbl14", {300, 170}, false},
    };
    const int side = twipsToPixels(375);
    for (const auto &b : buttons) {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("cmd%1").arg(b.index));
        button->setIcon(ListButtonIcon(b.picture));
        button->setGeometry(QRect(b.at, QSize(side, side)));
        button->setEnabled(false);
        m_hover.add(b.index, button);
        button->installEventFilter(this);
        connect(button, &QToolButton::clicked, this, [this, i = b.index] { cmd_Click(i); });
        m_cmd[b.index - Add] = button;
        auto *label = new QLabel(QString::fromUtf8(b.label), this);
        label->setObjectName(QLatin1String(b.labelName));
        label->adjustSize();
        label->move(b.at.x() + side / 2 - label->width() / 2,
                    b.labelAbove ? b.at.y() - label->height() - 1 : b.at.y() + side + 1);
    }

    for (int i : {Known, Targets}) {
        m_frame[i] = new QFrame(this);
        m_frame[i]->setObjectName(QStringLiteral("Frame1%1").arg(i));
        m_frame[i]->setAutoFillBackground(true);
        m_frame[i]->hide();
        QTableWidget *grid = m_grid[i];
        connect(grid, &QTableWidget::cellPressed, this, [this, i] { grid_MouseDown(i); });
        connect(grid, &QTableWidget::cellDoubleClicked, this, [this, i] { grid_DblClick(i); });
        connect(grid, &QTableWidget::currentCellChanged, this, [this, i] { followKeyboard(i); });
        connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
                [this, i] { grid_Scroll(i); });
    }
    resize(m_grid[Targets]->geometry().right() + 70, m_grid[Targets]->geometry().bottom() + 1);
}

int TargetList::rowHeightOf(int index) const
{
    // The height of row 0 as drawn, which the style may make taller than asked.
    const QTableWidget *grid = m_grid[index];
    const int pixels =
        grid->rowCount() > 0 ? grid->rowHeight(0) : grid->verticalHeader()->defaultSectionSize();
    return int(pixelsToTwips(pixels));
}

int TargetList::gridTopTwips(int index) const
{
    return int(pixelsToTwips(m_grid[index]->y()));
}

int TargetList::gridBottomTwips(int index) const
{
    return int(pixelsToTwips(m_grid[index]->geometry().bottom() + 1));
}

void TargetList::fitGridHeights()
{
    // Within its room, a grid shows whole rows as drawn and then half of one more, so that at
    // the end of a scroll there is an empty strip below the last row for the panel to cover.
    for (int index : {Known, Targets}) {
        QTableWidget *grid = m_grid[index];
        const int row = qMax(1, twipsToPixels(rowHeightOf(index)));
        const int room = twipsToPixels(gridHeightTwips) - 2 * grid->frameWidth();
        m_wholeRows[index] = qMax(1, (room - row / 2) / row);
        grid->resize(grid->width(), 2 * grid->frameWidth() + m_wholeRows[index] * row + row / 2);
    }
}

void TargetList::load(SettingsStore &store)
{
    QTableWidget *known = m_grid[Known];
    known->setUpdatesEnabled(false);
    known->setRowCount(0);
    RecordSet &list = store.airportListRows();
    for (list.MoveFirst(); !list.AtEOF(); list.MoveNext()) {
        const int row = known->rowCount();
        known->insertRow(row);
        QTableWidgetItem *item =
            GridCell(list.value(QStringLiteral("airport")).toString() + QChar(0x3000) +
                     list.value(QStringLiteral("jpn")).toString());
        item->setToolTip(item->text()); // the column is narrower than the longer names
        known->setItem(row, 0, item);
    }
    known->setUpdatesEnabled(true);

    m_frame[Known]->hide();
    placeKnownPanel();

    QTableWidget *targets = m_grid[Targets];
    targets->setUpdatesEnabled(false);
    targets->setRowCount(0);
    for (const TargetAirport &target : store.targetAirports())
        appendTarget(target.airport, target.checked);
    store.airportRows().MoveFirst();
    targets->setUpdatesEnabled(true);
    m_frame[Targets]->setGeometry(targets->x(), 0, twipsToPixels(1665), 0);
    placeTargetPanel(true);
    m_listChanged = false;
}

void TargetList::appendTarget(const QString &code, bool marked)
{
    QTableWidget *targets = m_grid[Targets];
    const int row = targets->rowCount();
    targets->insertRow(row);
    targets->setItem(row, 0, GridCell());
    targets->setItem(row, 1, GridCell(code));
    targets->setItem(row, 2, GridCell());
    setMark(row, marked);
}

void TargetList::setMark(int row, bool marked)
{
    QTableWidget *targets = m_grid[Targets];
    targets->item(row, 2)->setText(marked ? QStringLiteral("*") : QString());
    targets->item(row, 0)->setData(
        Qt::DecorationRole, marked ? QVariant(CheckMarkPicture(devicePixelRatioF())) : QVariant());
}

QList<TargetAirport> TargetList::targets() const
{
    QList<TargetAirport> list;
    const QTableWidget *targets = m_grid[Targets];
    for (int row = 0; row < targets->rowCount(); ++row)
        list.append(
            {targets->item(row, 1)->text(), targets->item(row, 2)->text() == QLatin1String("*")});
    return list;
}

bool TargetList::anyMarked() const
{
    for (const TargetAirport &target : targets()) {
        if (target.checked)
            return true;
    }
    return false;
}

void TargetList::placeKnownPanel()
{
    const int rowHeight = rowHeightOf(Known);
    const int top = gridTopTwips(Known) + m_wholeRows[Known] * rowHeight + 15;
    m_frame[Known]->setGeometry(m_grid[Known]->x(), twipsToPixels(top), m_grid[Known]->width(),
                                twipsToPixels(gridBottomTwips(Known) - 15 - top));
}

void TargetList::placeEndPanel()
{
    const int rowHeight = rowHeightOf(Targets);
    const int top = gridTopTwips(Targets) + m_wholeRows[Targets] * rowHeight + 15;
    m_frame[Targets]->setGeometry(m_grid[Targets]->x(), twipsToPixels(top), twipsToPixels(1410),
                                  twipsToPixels(gridBottomTwips(Targets) - 15 - top));
}

void TargetList::placeTargetPanel(bool keepWidth)
{
    QFrame *panel = m_frame[Targets];
    const QTableWidget *grid = m_grid[Targets];
    const PanelPlacement place =
        TargetPanelRule(grid->rowCount(), gridTopTwips(Targets), int(pixelsToTwips(grid->height())),
                        rowHeightOf(Targets), m_wholeRows[Targets]);
    const int width = keepWidth ? panel->width() : twipsToPixels(1665);
    panel->setVisible(place.visible);
    if (place.visible)
        panel->setGeometry(grid->x(), twipsToPixels(place.top), width, twipsToPixels(place.height));
    else
        panel->resize(width, panel->height());
}

void TargetList::followKeyboard(int index)
{
    // A press is handled by the grid's own press signal; here only what the keys did.
    if (m_selecting || !m_grid[index]->hasFocus() ||
        QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    grid_MouseDown(index);
}

void TargetList::select(int gridIndex, int row)
{
    QTableWidget *grid = m_grid[gridIndex];
    const int columns = gridIndex == Known ? 1 : 2;
    for (int r = 0; r < grid->rowCount(); ++r)
        ColourGridRow(grid, r, r == row, columns);
    m_selecting = true;
    if (row >= 0 && row < grid->rowCount())
        grid->setCurrentCell(row, gridIndex == Known ? 0 : 1);
    m_selecting = false;
    if (gridIndex == Targets)
        m_selectedTarget = row;
}

void TargetList::updateMoveButtons(int row)
{
    const int rows = m_grid[Targets]->rowCount();
    cmd(MoveUp)->setEnabled(row > 0);
    cmd(MoveDown)->setEnabled(row < rows - 1);
}

void TargetList::grid_MouseDown(int index)
{
    QTableWidget *grid = m_grid[index];
    const int row = grid->currentRow();
    if (index == Known) {
        cmd(Delete)->setEnabled(false);
        cmd(MoveUp)->setEnabled(false);
        cmd(MoveDown)->setEnabled(false);
        if (row < 0)
            return;
        select(Known, row);
        const QString code = grid->item(row, 0)->text().left(4);
        bool already = false;
        for (const TargetAirport &target : targets())
            already = already || target.airport == code;
        cmd(Add)->setEnabled(!already);
        return;
    }
    if (grid->rowCount() > 0 && row >= 0) {
        cmd(Add)->setEnabled(false);
        cmd(Delete)->setEnabled(true);
        updateMoveButtons(row);
        select(Targets, row);
    } else {
        cmd(Delete)->setEnabled(false);
        cmd(MoveUp)->setEnabled(false);
        cmd(MoveDown)->setEnabled(false);
    }
}

void TargetList::grid_DblClick(int index)
{
    if (index != Targets)
        return;
    const int row = m_grid[Targets]->currentRow();
    if (row < 0)
        return;
    m_listChanged = true;
    setMark(row, m_grid[Targets]->item(row, 2)->text() != QLatin1String("*"));
    emit slideControlsUsable(anyMarked());
}

void TargetList::grid_Scroll(int index)
{
    QTableWidget *grid = m_grid[index];
    QFrame *panel = m_frame[index];
    const QScrollBar *bar = grid->verticalScrollBar();
    // Scrolled to the end, a grid shows its last rows whole and part of an empty one below.
    if (bar->maximum() > 0 && bar->value() == bar->maximum()) {
        // Qt would align the last row with the bottom and cut the top one; keep the rows whole
        // from the top, as everywhere else in the scroll, and the strip below to the panel.
        QHeaderView *rows = grid->verticalHeader();
        rows->setOffset(rows->sectionPosition(bar->value()));
        grid->viewport()->update();
        if (panel->isHidden()) {
            if (index == Targets)
                placeEndPanel();
            panel->show();
        }
    } else if (!panel->isHidden()) {
        panel->hide();
    }
}

void TargetList::cmd_Click(int index)
{
    QTableWidget *targets = m_grid[Targets];
    switch (index) {
    case Add: {
        const int knownRow = m_grid[Known]->currentRow();
        if (knownRow < 0)
            return;
        m_listChanged = true;
        appendTarget(m_grid[Known]->item(knownRow, 0)->text().left(4), true);
        select(Targets, targets->rowCount() - 1);
        // The buttons follow the new, highlighted row; the known airport is a target now.
        cmd(Add)->setEnabled(false);
        cmd(Delete)->setEnabled(true);
        updateMoveButtons(m_selectedTarget);
        placeTargetPanel();
        emit slideControlsUsable(true);
        break;
    }
    case Delete: {
        const int row = m_selectedTarget;
        if (row < 0 || row >= targets->rowCount())
            return;
        m_listChanged = true;
        targets->removeRow(row);
        const int rows = targets->rowCount();
        // The selection stays on the same place, now the next airport, or the new last row.
        select(Targets, rows == 0 ? -1 : qMin(row, rows - 1));
        placeTargetPanel();
        if (rows > 0) {
            updateMoveButtons(m_selectedTarget);
        } else {
            for (int b : {Delete, MoveUp, MoveDown})
                cmd(b)->setEnabled(false);
            emit slideControlsUsable(false);
        }
        break;
    }
    case MoveUp:
    case MoveDown: {
        const int row = m_selectedTarget;
        const int other = index == MoveUp ? row - 1 : row + 1;
        if (row < 0 || other < 0 || other >= targets->rowCount())
            return;
        m_listChanged = true;
        const TargetAirport here{targets->item(row, 1)->text(),
                                 targets->item(row, 2)->text() == QLatin1String("*")};
        const TargetAirport there{targets->item(other, 1)->text(),
                                  targets->item(other, 2)->text() == QLatin1String("*")};
        targets->item(row, 1)->setText(there.airport);
        setMark(row, there.checked);
        targets->item(other, 1)->setText(here.airport);
        setMark(other, here.checked);
        select(Targets, other);
        updateMoveButtons(other);
        break;
    }
    default:
        break;
    }
}

void TargetList::cmd_MouseMove(int index)
{
    m_hover.hover(index);
}

void TargetList::Form_MouseMove()
{
    m_hover.leave();
}

void TargetList::showEvent(QShowEvent *event)
{
    // Shown, the grids have their real row height: place the panels by it.
    QWidget::showEvent(event);
    fitGridHeights();
    placeKnownPanel();
    placeTargetPanel(true);
}

void TargetList::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

bool TargetList::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        for (int b = Add; b <= MoveDown; ++b) {
            if (watched == cmd(b))
                cmd_MouseMove(b);
        }
    }
    return QWidget::eventFilter(watched, event);
}
