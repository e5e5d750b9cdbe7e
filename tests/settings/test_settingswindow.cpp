// The settings window, the target list and the pop-up menu against a running ticker.
#include "app/TickerMenu.h"
#include "desktop/MessageBox.h"
#include "platform/SqlDatabase.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsWindow.h"
#include "settings/TargetList.h"
#include "support/TickerFixture.h"
#include "ticker/PopupMenu.h"
#include "ticker/TickerLabel.h"

#include <QDesktopServices>
#include <QScrollBar>
#include <QtTest>
#include <TarnbeckVersion.h>

namespace {

QString fileText(const QString &path, const QString &sql)
{
    SqlDatabase db;
    if (!db.open(path, "pelko"))
        return QStringLiteral("<cannot open>");
    SqlStatement q = db.prepare(sql);
    QStringList rows;
    while (q.next()) {
        QStringList fields;
        for (int c = 0; c < q.columnCount(); ++c)
            fields.append(q.value(c).toString());
        rows.append(fields.join(QLatin1Char('|')));
    }
    return rows.join(QLatin1Char('\n'));
}

QColor labelColor(QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

/// Receives the addresses handed to the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listTexts();
    void sliderMapping_data();
    void sliderMapping();
    void panelRule_data();
    void panelRule();
    void loadShowsTheSettings();
    void closeWithoutChangeRewritesOnlyTheLists();
    void closeByProgramSavesNothing();
    void checkBoxesWriteAtOnce();
    void colourChoice();
    void sizeListRelaysTheTicker();
    void emptiedTargetListStartsNoTimer();
    void deleteMiddleRowKeepsMarks();
    void addMarksAndBlocksDuplicates();
    void moveButtonsFollowTheRow();
    void marksDriveTheSlideControls();
    void manyTargetsHideThePanel();
    void savedTargetsReachTheTicker();
    void submenuListsCurrentTargets();
    void noneCheckedSwitchesSlidingOff();
    void choosingAnAirportShowsIt();
    void slideAndScrollItems();
    void settingItemPausesUntilClosed();
    void menuAndCycleComeBackHoweverAWindowEnds_data();
    void menuAndCycleComeBackHoweverAWindowEnds();
    void slideControlsAlikeOnEveryOpening();
    void keysChangeOnlyTheFocusedControl();
    void versionItem();

private:
    /// The settings window, opened from the menu as the user opens it.
    SettingsWindow *settings() const
    {
        TickerMenu &menu = m_fixture->ticker()->menu();
        if (!menu.modalWindow())
            menu.menu_setting_Click();
        return qobject_cast<SettingsWindow *>(menu.modalWindow());
    }
    std::unique_ptr<TickerFixture> m_fixture;
};

void TestSettingsWindow::init()
{
    m_fixture = std::make_unique<TickerFixture>();
    QVERIFY(m_fixture->setTargets({{QStringLiteral("RJTT"), true},
                                   {QStringLiteral("RJAA"), false},
                                   {QStringLiteral("RJBB"), true}}));
}

void TestSettingsWindow::cleanup()
{
    SettingsWindow::setColorChooser({});
    m_fixture.reset();
}

void TestSettingsWindow::listTexts()
{
    const QStringList diffs = TimeDiffTexts();
    QCOMPARE(diffs.size(), 47);
    QCOMPARE(diffs.first(), QStringLiteral("-23"));
    QCOMPARE(diffs[22], QStringLiteral("-1"));
    QCOMPARE(diffs[23], QStringLiteral(" 0"));
    QCOMPARE(diffs[24], QStringLiteral("+1"));
    QCOMPARE(diffs.last(), QStringLiteral("+23"));
    QCOMPARE(FontSizeTexts().size(), 16);
    QCOMPARE(FontSizeTexts().first(), QStringLiteral("3"));
    QCOMPARE(SlideIntervalTexts(),
             (QStringList{"10", "20", "30", "40", "50", "60", "70", "80", "90"}));
}

void TestSettingsWindow::sliderMapping_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("position");
    QTest::newRow("slowest") << 100 << 1;
    QTest::newRow("fastest") << 10 << 10;
    QTest::newRow("middle") << 60 << 5;
    QTest::newRow("half rounds to even (5.5 -> 6)") << 55 << 6;
    QTest::newRow("half rounds to even (4.5 -> 4)") << 65 << 4;
    QTest::newRow("out of range is clamped") << 500 << 1;
}

void TestSettingsWindow::sliderMapping()
{
    QFETCH(int, rate);
    QFETCH(int, position);
    QCOMPARE(SliderPositionFor(rate), position);
    if (rate % 10 == 0 && rate <= 100)
        QCOMPARE(ScrollRateFor(position), rate);
}

void TestSettingsWindow::panelRule_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("wholeRows");
    QTest::addColumn<int>("gridHeight");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("height");
    // Grid at 100 twips, 5205 high, rows of 225.
    QTest::newRow("empty: covers the grid") << 0 << 22 << 5205 << true << 115 << 5175;
    QTest::newRow("one row") << 1 << 22 << 5205 << true << 100 + 225 + 15 << 22 * 225 - 30;
    QTest::newRow("22 rows") << 22 << 22 << 5205 << true << 100 + 22 * 225 + 15 << 225 - 30;
    QTest::newRow("23 rows: hidden") << 23 << 22 << 5205 << false << 0 << 0;
    // Taller rows as drawn: fewer fit, and the panel stays inside the grid.
    QTest::newRow("18 whole rows: hidden at 19") << 19 << 18 << 5205 << false << 0 << 0;
    QTest::newRow("18 whole rows, 18 rows")
        << 18 << 18 << 5205 << true << 100 + 18 * 225 + 15 << 195;
    QTest::newRow("clipped to the grid") << 20 << 22 << 5160 << true << 100 + 20 * 225 + 15 << 630;
}

void TestSettingsWindow::panelRule()
{
    QFETCH(int, rows);
    QFETCH(int, wholeRows);
    QFETCH(int, gridHeight);
    QFETCH(bool, visible);
    QFETCH(int, top);
    QFETCH(int, height);
    const PanelPlacement place = TargetPanelRule(rows, 100, gridHeight, 225, wholeRows);
    QCOMPARE(place.visible, visible);
    if (visible) {
        QCOMPARE(place.top, top);
        QCOMPARE(place.height, height);
    }
}

void TestSettingsWindow::loadShowsTheSettings()
{
    QVERIFY(m_fixture->db().execute(
        QStringLiteral("UPDATE setting SET fontsize = '12', timediff = ' 0', autochangerate = "
                       "'40', scrollrate = 60, "
                       "autochange = 0, scroll = -1, uselocal = 0, forecolor = 16711680")));
    QVERIFY(m_fixture->load());
    SettingsWindow *w = settings();
    QVERIFY(w);
    QCOMPARE(w->cmb(SettingsWindow::SizeList)->currentText(), QStringLiteral("12"));
    QCOMPARE(w->cmb(SettingsWindow::TimeDiffList)->currentText(), QStringLiteral(" 0"));
    QCOMPARE(w->cmb(SettingsWindow::IntervalList)->currentText(), QStringLiteral("40"));
    QCOMPARE(w->Slider()->value(), 5);
    QCOMPARE(w->lbl(9)->palette().color(QPalette::Window), QColor(0, 0, 255)); // 0x00FF0000 is blue
    QVERIFY(!w->cmb(SettingsWindow::TimeDiffList)->isEnabled());
    QCOMPARE(labelColor(w->lbl(2)), QColor(0x80, 0x80, 0x80));
    QCOMPARE(w->size(), QSize(553, 386));

    w->open();
    QCOMPARE(w->windowTitle(), QStringLiteral(" Tarnbeck  ver ") + QLatin1String(programVersion));
    // Sliding off: scroll and its speed are not usable even though scroll is on.
    QVERIFY(w->Check1(SettingsWindow::CheckScroll)->isChecked());
    QVERIFY(!w->Check1(SettingsWindow::CheckScroll)->isEnabled());
    QVERIFY(!w->Slider()->isEnabled());
    QVERIFY(!w->cmb(SettingsWindow::IntervalList)->isEnabled());
    QCOMPARE(labelColor(w->lbl(4)), QColor(0x80, 0x80, 0x80));
    QCOMPARE(labelColor(w->lbl(5)), QColor(0x80, 0x80, 0x80));

    // The known list: code, ideographic space, name; the targets with their marks.
    QTableWidget *known = w->targetList()->grid(TargetList::Known);
    QCOMPARE(known->rowCount(), 128);
    QCOMPARE(known->item(0, 0)->text(), QStringLiteral("RJEC　旭川"));
    for (int row = 0; row < known->rowCount(); ++row) // names wider than the column
        QCOMPARE(known->item(row, 0)->toolTip(), known->item(row, 0)->text());
    QCOMPARE(w->targetList()->targets(),
             (QList<TargetAirport>{{"RJTT", true}, {"RJAA", false}, {"RJBB", true}}));
    QTableWidget *targets = w->targetList()->grid(TargetList::Targets);
    QVERIFY(!targets->item(0, 0)->data(Qt::DecorationRole).isNull());
    QVERIFY(targets->item(1, 0)->data(Qt::DecorationRole).isNull());
    QVERIFY(targets->isColumnHidden(2));
    for (int b : {2, 3, 4, 5})
        QVERIFY(!w->targetList()->cmd(b)->isEnabled());
    // The cover panel starts below the last target, as the rows are really drawn.
    const int last = targets->rowCount() - 1;
    const QPoint lastBottom = targets->viewport()->mapTo(
        w->targetList(), QPoint(0, targets->rowViewportPosition(last) + targets->rowHeight(last)));
    QFrame *panel = w->targetList()->Frame1(TargetList::Targets);
    QVERIFY(!panel->isHidden());
    QVERIFY2(panel->y() >= lastBottom.y(),
             qPrintable(QStringLiteral("%1 < %2").arg(panel->y()).arg(lastBottom.y())));
}

void TestSettingsWindow::closeWithoutChangeRewritesOnlyTheLists()
{
    QVERIFY(m_fixture->db().execute(
        QStringLiteral("UPDATE setting SET scrollrate = 60, autochangerate = '40'")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    const QString path = m_fixture->db().path();
    const QString airportsBefore = fileText(path, QStringLiteral("SELECT rowid, * FROM airport"));
    const QString settingsBefore = fileText(path, QStringLiteral("SELECT * FROM setting"));
    // Behind the store's back, so a rewrite shows.
    QVERIFY(m_fixture->db().execute(QStringLiteral("UPDATE setting SET getTAF = 7")));

    SettingsWindow *w = settings();
    w->open();
    w->closeByUser();
    QCOMPARE(fileText(path, QStringLiteral("SELECT rowid, * FROM airport")), airportsBefore);
    QCOMPARE(
        fileText(path, QStringLiteral(
                           "SELECT fontsize, timediff, autochangerate, scrollrate FROM setting")),
        QStringLiteral("10|+9|40|60"));
    QCOMPARE(fileText(path, QStringLiteral("SELECT getTAF FROM setting")),
             QStringLiteral("7")); // untouched
    Q_UNUSED(settingsBefore);
    QCOMPARE(ticker->window().slideInterval(), 60);
    QCOMPARE(ticker->cycle().slidePeriod(), qint16(40));
    // A fresh window replaces the closed one.
    QTRY_VERIFY(!ticker->menu().modalWindow());
}

void TestSettingsWindow::closeByProgramSavesNothing()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    SettingsWindow *w = settings();
    w->open();
    w->cmb(SettingsWindow::SizeList)->setCurrentText(QStringLiteral("16"));
    w->targetList()->grid(TargetList::Targets)->setCurrentCell(0, 1);
    w->targetList()->grid_MouseDown(TargetList::Targets);
    w->targetList()->cmd_Click(TargetList::Delete);
    ticker->window().close(); // the ticker's exit closes the window by program
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT fontsize FROM setting")),
             QStringLiteral("10"));
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT count(*) FROM airport")),
             QStringLiteral("3"));
}

void TestSettingsWindow::checkBoxesWriteAtOnce()
{
    QVERIFY(m_fixture->db().execute(
        QStringLiteral("UPDATE setting SET autochange = -1, scroll = 0, uselocal = 0")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    SettingsWindow *w = settings();
    w->open();
    const QString path = m_fixture->db().path();

    ticker->cycle().setSlideCount(0);
    ticker->cycle().setSlidePeriod(20);
    w->Check1(SettingsWindow::CheckSlide)->click(); // off
    QCOMPARE(fileText(path, QStringLiteral("SELECT autochange FROM setting")), QStringLiteral("0"));
    QVERIFY(!w->cmb(SettingsWindow::IntervalList)->isEnabled());
    QVERIFY(!w->Check1(SettingsWindow::CheckScroll)->isEnabled());
    QCOMPARE(ticker->cycle().slideCount(), qint16(0));
    w->Check1(SettingsWindow::CheckSlide)
        ->click(); // on again: the ticker moves on at its next tick
    QCOMPARE(fileText(path, QStringLiteral("SELECT autochange FROM setting")),
             QStringLiteral("-1"));
    QCOMPARE(ticker->cycle().slideCount(), ticker->cycle().slidePeriod());
    QVERIFY(w->Check1(SettingsWindow::CheckScroll)->isEnabled());
    QVERIFY(!w->Slider()->isEnabled()); // scroll itself is still off

    w->Check1(SettingsWindow::CheckScroll)->click();
    QCOMPARE(fileText(path, QStringLiteral("SELECT scroll FROM setting")), QStringLiteral("-1"));
    QVERIFY(w->Slider()->isEnabled());
    QCOMPARE(labelColor(w->lbl(5)), QColor(Qt::black));

    w->Check1(SettingsWindow::CheckLocal)->click();
    QCOMPARE(fileText(path, QStringLiteral("SELECT uselocal FROM setting")), QStringLiteral("-1"));
    QVERIFY(w->cmb(SettingsWindow::TimeDiffList)->isEnabled());

    w->Check1(SettingsWindow::CheckBold)->click();
    QCOMPARE(fileText(path, QStringLiteral("SELECT \"update\" FROM setting")),
             QStringLiteral("-1"));
    for (int i : {0, 1, 2})
        QVERIFY(ticker->window().lbl(i)->font().bold());

    for (int i : {SettingsWindow::CheckTaf, SettingsWindow::CheckSunTimes})
        w->Check1(i)->click();
    QCOMPARE(fileText(path, QStringLiteral("SELECT getTAF, getSUNSET FROM setting")),
             QStringLiteral("-1|-1"));
}

void TestSettingsWindow::colourChoice()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    SettingsWindow *w = settings();
    w->open();
    const QString before =
        fileText(m_fixture->db().path(), QStringLiteral("SELECT forecolor FROM setting"));

    SettingsWindow::setColorChooser(
        [](const QColor &, QWidget *, std::function<void(const QColor &)>) {});
    w->lbl_DblClick(9); // cancelled: nothing changes
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT forecolor FROM setting")),
             before);

    SettingsWindow::setColorChooser(
        [](const QColor &, QWidget *, std::function<void(const QColor &)> chosen) {
            chosen(QColor(0x12, 0x34, 0x56));
        });
    w->lbl_DblClick(9);
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT forecolor FROM setting")),
             QString::number(0x563412));
    QCOMPARE(w->lbl(9)->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
    for (int i : {0, 1, 2})
        QCOMPARE(ticker->window().lbl(i)->palette().color(QPalette::WindowText),
                 QColor(0x12, 0x34, 0x56));
}

void TestSettingsWindow::sizeListRelaysTheTicker()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QVERIFY(m_fixture->refreshNow());
    SettingsWindow *w = settings();
    w->open();
    const int before = ticker->window().width();
    w->cmb(SettingsWindow::SizeList)->setCurrentText(QStringLiteral("18"));
    w->cmb_Click(SettingsWindow::TimeDiffList); // any list re-applies the size
    for (int i : {0, 1, 2})
        QCOMPARE(ticker->window().lbl(i)->font().pointSize(), 18);
    QVERIFY(ticker->window().width() > before);
    QCOMPARE(ticker->window().lbl(TickerView::Display)->y(),
             ticker->window().lbl(TickerView::Handle)->height());
    QCOMPARE(ticker->window().height(), ticker->window().lbl(TickerView::Display)->height() +
                                            ticker->window().lbl(TickerView::Handle)->height());
    // Nothing is written until the close box.
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT fontsize FROM setting")),
             QStringLiteral("10"));
    w->closeByUser();
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT fontsize FROM setting")),
             QStringLiteral("18"));
}

void TestSettingsWindow::emptiedTargetListStartsNoTimer()
{
    QVERIFY(
        m_fixture->db().execute(QStringLiteral("UPDATE setting SET autochange = -1, scroll = -1")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    SettingsWindow *w = settings();
    w->open();
    for (int i = 0; i < 3; ++i) {
        w->targetList()->grid(TargetList::Targets)->setCurrentCell(0, 1);
        w->targetList()->grid_MouseDown(TargetList::Targets);
        w->targetList()->cmd_Click(TargetList::Delete);
    }
    QCOMPARE(w->targetList()->grid(TargetList::Targets)->rowCount(), 0);
    // The last delete: buttons off, slide controls greyed, the panel covers the grid.
    for (int b : {3, 4, 5})
        QVERIFY(!w->targetList()->cmd(b)->isEnabled());
    QVERIFY(!w->Check1(SettingsWindow::CheckSlide)->isEnabled());
    QCOMPARE(labelColor(w->lbl(4)), QColor(0x80, 0x80, 0x80));
    QVERIFY(!w->targetList()->Frame1(TargetList::Targets)->isHidden());

    const QString before = ticker->cycle().currentAirport();
    m_fixture->stopCycleTimers();
    w->closeByUser();
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT count(*) FROM airport")),
             QStringLiteral("0"));
    QCOMPARE(ticker->cycle().currentAirport(), before);
    QVERIFY(!ticker->window().isSliding());
    QVERIFY(!ticker->cycle().isActive(CycleClock::RefreshClock));
    // Sliding went off with the last target; the rebuilt menu says so.
    QTRY_COMPARE(
        fileText(m_fixture->db().path(), QStringLiteral("SELECT autochange, scroll FROM setting")),
        QStringLiteral("0|0"));
    QVERIFY(!ticker->menu().menu().menu_slide()->isChecked());
    QVERIFY(!ticker->menu().menu().menu_scroll()->isChecked());
}

void TestSettingsWindow::deleteMiddleRowKeepsMarks()
{
    QVERIFY(
        m_fixture->setTargets({{"RJTT", true}, {"RJAA", false}, {"RJBB", true}, {"RJCC", false}}));
    QVERIFY(m_fixture->load());
    TargetList *list = settings()->targetList();
    list->grid(TargetList::Targets)->setCurrentCell(1, 1);
    list->grid_MouseDown(TargetList::Targets);
    list->cmd_Click(TargetList::Delete);
    QCOMPARE(list->targets(),
             (QList<TargetAirport>{{"RJTT", true}, {"RJBB", true}, {"RJCC", false}}));
    QVERIFY(list->listChanged());
    // The selection stays on the place, now RJBB; both moves possible there.
    QCOMPARE(list->grid(TargetList::Targets)->currentRow(), 1);
    QVERIFY(list->cmd(TargetList::MoveUp)->isEnabled());
    QVERIFY(list->cmd(TargetList::MoveDown)->isEnabled());
    // Pictures follow the marks.
    QTableWidget *grid = list->grid(TargetList::Targets);
    for (int row = 0; row < grid->rowCount(); ++row)
        QCOMPARE(!grid->item(row, 0)->data(Qt::DecorationRole).isNull(),
                 grid->item(row, 2)->text() == "*");
}

void TestSettingsWindow::addMarksAndBlocksDuplicates()
{
    QVERIFY(m_fixture->load());
    TargetList *list = settings()->targetList();
    QTableWidget *known = list->grid(TargetList::Known);
    const auto rowOf = [known](const QString &code) {
        for (int r = 0; r < known->rowCount(); ++r) {
            if (known->item(r, 0)->text().startsWith(code))
                return r;
        }
        return -1;
    };
    known->setCurrentCell(rowOf(QStringLiteral("RJTT")), 0);
    list->grid_MouseDown(TargetList::Known);
    QVERIFY(!list->cmd(TargetList::Add)->isEnabled()); // already a target

    known->setCurrentCell(rowOf(QStringLiteral("RJCC")), 0);
    list->grid_MouseDown(TargetList::Known);
    QVERIFY(list->cmd(TargetList::Add)->isEnabled());
    list->cmd_Click(TargetList::Add);
    QCOMPARE(list->targets().last(), (TargetAirport{"RJCC", true})); // a new target is marked
    QCOMPARE(list->grid(TargetList::Targets)->currentRow(), 3);
    QCOMPARE(list->grid(TargetList::Targets)->item(3, 1)->background().color(),
             QPalette().color(QPalette::Highlight));
    // The buttons follow the highlighted new row at once: it can move up, not down, and the
    // known airport, a target now, cannot be added twice.
    QVERIFY(!list->cmd(TargetList::Add)->isEnabled());
    QVERIFY(list->cmd(TargetList::Delete)->isEnabled());
    QVERIFY(list->cmd(TargetList::MoveUp)->isEnabled());
    QVERIFY(!list->cmd(TargetList::MoveDown)->isEnabled());
    list->cmd_Click(TargetList::MoveUp);
    QCOMPARE(list->targets().at(2), (TargetAirport{"RJCC", true}));
}

void TestSettingsWindow::moveButtonsFollowTheRow()
{
    QVERIFY(m_fixture->load());
    TargetList *list = settings()->targetList();
    QTableWidget *grid = list->grid(TargetList::Targets);
    grid->setCurrentCell(0, 1);
    list->grid_MouseDown(TargetList::Targets);
    QVERIFY(!list->cmd(TargetList::MoveUp)->isEnabled()); // first row
    QVERIFY(list->cmd(TargetList::MoveDown)->isEnabled());
    list->cmd_Click(TargetList::MoveDown);
    list->cmd_Click(TargetList::MoveDown);
    QCOMPARE(list->targets(),
             (QList<TargetAirport>{{"RJAA", false}, {"RJBB", true}, {"RJTT", true}}));
    QVERIFY(!list->cmd(TargetList::MoveDown)->isEnabled()); // now last
    QVERIFY(list->cmd(TargetList::MoveUp)->isEnabled());
    list->cmd_Click(TargetList::MoveUp);
    QCOMPARE(list->targets(),
             (QList<TargetAirport>{{"RJAA", false}, {"RJTT", true}, {"RJBB", true}}));
    QCOMPARE(grid->currentRow(), 1);

    // Hover: the button under the pointer turns grey, the surface restores them.
    list->cmd_MouseMove(TargetList::Delete);
    QCOMPARE(list->cmd(TargetList::Delete)->palette().color(QPalette::Button),
             QColor(0x80, 0x80, 0x80));
    QCOMPARE(list->hoveredButton(), int(TargetList::Delete));
    list->Form_MouseMove();
    QCOMPARE(list->hoveredButton(), TargetList::noButton);
    // Every face is the application's button colour again, as it is when painted, even after
    // the desktop's palette changes.
    for (int b : {2, 3, 4, 5})
        QCOMPARE(list->cmd(b)->palette().color(QPalette::Button),
                 QApplication::palette(list->cmd(b)).color(QPalette::Button));
}

void TestSettingsWindow::marksDriveTheSlideControls()
{
    QVERIFY(m_fixture->setTargets({{"RJTT", true}, {"RJAA", false}}));
    QVERIFY(m_fixture->load());
    SettingsWindow *w = settings();
    TargetList *list = w->targetList();
    list->grid(TargetList::Targets)->setCurrentCell(0, 1);
    list->grid_DblClick(TargetList::Targets); // unmark the last mark
    QVERIFY(!list->anyMarked());
    QVERIFY(!w->Check1(SettingsWindow::CheckSlide)->isEnabled());
    QVERIFY(!w->Slider()->isEnabled());
    QCOMPARE(labelColor(w->lbl(12)), QColor(0x80, 0x80, 0x80));
    list->grid(TargetList::Targets)->setCurrentCell(1, 1);
    list->grid_DblClick(TargetList::Targets); // mark another
    QVERIFY(w->Check1(SettingsWindow::CheckSlide)->isEnabled());
    QCOMPARE(labelColor(w->lbl(12)), QColor(Qt::black));
    list->grid_DblClick(TargetList::Known); // does nothing
    QCOMPARE(list->targets(), (QList<TargetAirport>{{"RJTT", false}, {"RJAA", true}}));
}

void TestSettingsWindow::manyTargetsHideThePanel()
{
    QList<std::pair<QString, bool>> many;
    for (int i = 0; i < 30; ++i)
        many.append({QStringLiteral("RX%1").arg(i, 2, 10, QLatin1Char('0')), true});
    QVERIFY(m_fixture->setTargets(many));
    QVERIFY(m_fixture->load());
    settings()->open(); // the rule holds on the rows as drawn
    TargetList *list = settings()->targetList();
    for (int index : {TargetList::Targets, TargetList::Known}) {
        QFrame *panel = list->Frame1(index);
        QTableWidget *grid = list->grid(index);
        QVERIFY(panel->isHidden());
        // Scrolled to the end, the last row is drawn whole and the panel covers what is
        // below it, inside the grid.
        QScrollBar *bar = grid->verticalScrollBar();
        bar->setValue(bar->maximum());
        QVERIFY(bar->maximum() > 0);
        QVERIFY(!panel->isHidden());
        const int last = grid->rowCount() - 1;
        const int lastBottom =
            grid->viewport()
                ->mapTo(list, QPoint(0, grid->rowViewportPosition(last) + grid->rowHeight(last)))
                .y();
        QVERIFY2(panel->y() >= lastBottom,
                 qPrintable(QStringLiteral("%1 < %2").arg(panel->y()).arg(lastBottom)));
        QCOMPARE(grid->rowViewportPosition(bar->value()), 0); // the top row whole
        QVERIFY(panel->height() > 0);
        QVERIFY(panel->geometry().bottom() <= grid->geometry().bottom());
        if (index == TargetList::Targets)
            QCOMPARE(panel->width(), 1410 / 15);
        bar->setValue(0);
        QVERIFY(panel->isHidden());
    }

    // Deleting down to the rows shown whole brings the panel back below the last row.
    QTableWidget *grid = list->grid(TargetList::Targets);
    while (grid->rowCount() > grid->viewport()->height() / grid->rowHeight(0)) {
        grid->setCurrentCell(0, 1);
        list->grid_MouseDown(TargetList::Targets);
        list->cmd_Click(TargetList::Delete);
    }
    QVERIFY(!list->Frame1(TargetList::Targets)->isHidden());
}

void TestSettingsWindow::savedTargetsReachTheTicker()
{
    // Sliding on, scrolling off: nothing may slide in; the new first target is built instead.
    QVERIFY(
        m_fixture->db().execute(QStringLiteral("UPDATE setting SET autochange = -1, scroll = 0")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    SettingsWindow *w = settings();
    w->open();
    TargetList *list = w->targetList();
    list->grid(TargetList::Targets)->setCurrentCell(2, 1);
    list->grid_MouseDown(TargetList::Targets);
    list->cmd_Click(TargetList::MoveUp);
    list->cmd_Click(TargetList::MoveUp);
    w->closeByUser();
    QVERIFY(!ticker->window().isSliding());
    QCOMPARE(
        fileText(m_fixture->db().path(),
                 QStringLiteral("SELECT number, airport, \"check\" FROM airport ORDER BY number")),
        QStringLiteral("1|RJBB|-1\n2|RJTT|-1\n3|RJAA|0"));
    // The ticker is hurried to the first target.
    QCOMPARE(ticker->cycle().currentAirport(), QStringLiteral("RJBB"));
    QCOMPARE(ticker->cycle().slidePeriod(), qint16(1));
    QTRY_VERIFY(ticker->cycle().isActive(CycleClock::RefreshClock));
    ticker->cycle().clock().stop(CycleClock::RefreshClock);
    QVERIFY(m_fixture->refreshNow());
    QVERIFY(ticker->window()
                .lbl(TickerView::Display)
                ->caption()
                .startsWith(QStringLiteral("RJBB METAR")));
}

void TestSettingsWindow::submenuListsCurrentTargets()
{
    QVERIFY(m_fixture->setTargets(
        {{"RJTT", true}, {"RJAA", true}, {"RJBB", true}, {"RJCC", true}, {"RJFF", true}}));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    ticker->window().showPopupMenu(QPoint(10, 10));
    QStringList shown;
    for (QAction *item : ticker->menu().menu().menu_airport_target())
        shown.append(item->text());
    QCOMPARE(shown, (QStringList{"RJTT", "RJAA", "RJBB", "RJCC", "RJFF"}));
    ticker->menu().menu().menu()->hide();

    QVERIFY(ticker->store().ReplaceTargets({{"RJFF", true}, {"RJTT", false}}));
    ticker->window().showPopupMenu(QPoint(10, 10));
    shown.clear();
    for (QAction *item : ticker->menu().menu().menu_airport_target())
        shown.append(item->text());
    QCOMPARE(shown, (QStringList{"RJFF", "RJTT"}));
    QVERIFY(ticker->menu().menu().menu_airport()->menuAction()->isEnabled());
    ticker->menu().menu().menu()->hide();
    // After the menu: a network check restarts the cycle.
    QTRY_VERIFY(ticker->cycle().isActive(CycleClock::RefreshClock) ||
                ticker->cycle().isCheckingNetwork());
}

void TestSettingsWindow::noneCheckedSwitchesSlidingOff()
{
    QVERIFY(m_fixture->setTargets({{"RJTT", false}, {"RJAA", false}}));
    QVERIFY(
        m_fixture->db().execute(QStringLiteral("UPDATE setting SET autochange = -1, scroll = -1")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    ticker->window().showPopupMenu(QPoint(10, 10));
    QVERIFY(!ticker->menu().menu().menu_slide()->isEnabled());
    QVERIFY(!ticker->menu().menu().menu_scroll()->isEnabled());
    QVERIFY(!settings()->Check1(SettingsWindow::CheckSlide)->isEnabled());
    settings()->closeByUser();
    QTRY_VERIFY(!ticker->menu().modalWindow());
    // Whatever was chosen: sliding and scrolling are off once the menu has closed.
    QVERIFY(
        m_fixture->db().execute(QStringLiteral("UPDATE setting SET autochange = -1, scroll = -1")));
    QVERIFY(ticker->store().RefreshSettingRows());
    ticker->menu().menu().menu()->hide();
    QTRY_COMPARE(
        fileText(m_fixture->db().path(), QStringLiteral("SELECT autochange, scroll FROM setting")),
        QStringLiteral("0|0"));
    QVERIFY(ticker->cycle().isActive(CycleClock::NetworkCheck) ||
            ticker->cycle().isCheckingNetwork() ||
            ticker->cycle().isActive(CycleClock::RefreshClock));

    // With no targets at all the menu still opens, the target items off.
    QVERIFY(ticker->store().ReplaceTargets({}));
    ticker->window().showPopupMenu(QPoint(10, 10));
    QVERIFY(!ticker->menu().menu().menu_airport()->menuAction()->isEnabled());
    QVERIFY(ticker->menu().menu().menu_end()->isEnabled());
    ticker->menu().menu().menu()->hide();
}

void TestSettingsWindow::choosingAnAirportShowsIt()
{
    QVERIFY(
        m_fixture->db().execute(QStringLiteral("UPDATE setting SET autochange = -1, scroll = 0")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    ticker->window().showPopupMenu(QPoint(10, 10));
    ticker->menu().menu().menu_airport_target()[2]->trigger(); // RJBB
    ticker->menu().menu().menu()->hide();
    QCOMPARE(ticker->cycle().currentAirport(), QStringLiteral("RJBB"));
    QVERIFY(!ticker->menu().menu().menu_slide()->isChecked());
    QVERIFY(!ticker->menu().menu().menu_scroll()->isEnabled());
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT autochange FROM setting")),
             QStringLiteral("0"));
    // The next tick after the network check shows it.
    QTRY_VERIFY(ticker->cycle().isActive(CycleClock::RefreshClock));
    ticker->cycle().clock().stop(CycleClock::RefreshClock);
    QCOMPARE(ticker->cycle().slidePeriod(), qint16(1));
    QSignalSpy built(&ticker->reportBuilder(), &ReportBuilder::finished);
    ticker->cycle().RefreshReport();
    QVERIFY(built.wait(5000));
    QVERIFY(ticker->window()
                .lbl(TickerView::Display)
                ->caption()
                .startsWith(QStringLiteral("RJBB METAR")));
    QCOMPARE(ticker->cycle().currentAirport(), QStringLiteral("RJBB")); // sliding is off: it stays
}

void TestSettingsWindow::slideAndScrollItems()
{
    QVERIFY(
        m_fixture->db().execute(QStringLiteral("UPDATE setting SET autochange = 0, scroll = 0")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    PopupMenu &menu = ticker->menu().menu();
    ticker->cycle().setSlideCount(0);
    ticker->cycle().setSlidePeriod(60);
    menu.menu_slide()->trigger(); // on: the ticker moves on at its next tick
    QVERIFY(menu.menu_slide()->isChecked());
    QVERIFY(menu.menu_scroll()->isEnabled());
    QCOMPARE(ticker->cycle().slideCount(), qint16(60));
    QCOMPARE(fileText(m_fixture->db().path(), QStringLiteral("SELECT autochange FROM setting")),
             QStringLiteral("-1"));
    menu.menu_scroll()->trigger();
    QCOMPARE(
        fileText(m_fixture->db().path(), QStringLiteral("SELECT autochange, scroll FROM setting")),
        QStringLiteral("-1|-1"));
    menu.menu_slide()->trigger(); // off
    QVERIFY(!menu.menu_scroll()->isEnabled());
    QCOMPARE(
        fileText(m_fixture->db().path(), QStringLiteral("SELECT autochange, scroll FROM setting")),
        QStringLiteral("0|-1"));
}

void TestSettingsWindow::settingItemPausesUntilClosed()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    ticker->window().showPopupMenu(QPoint(10, 10));
    ticker->menu().menu().menu_setting()->trigger();
    ticker->menu().menu().menu()->hide();
    auto *w = qobject_cast<SettingsWindow *>(ticker->menu().modalWindow());
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowModality(), Qt::ApplicationModal); // a chart window takes no input
    QCOMPARE(QApplication::activeModalWidget(), w);
    // The steps after the menu, queued by its hiding, run now and must wait for the window.
    QCoreApplication::sendPostedEvents();
    QVERIFY(!m_fixture->anyCycleTimerActive());
    w->closeByUser();
    QTRY_VERIFY(ticker->cycle().isActive(CycleClock::RefreshClock) ||
                ticker->cycle().isCheckingNetwork() ||
                ticker->cycle().isActive(CycleClock::NetworkCheck));
}

void TestSettingsWindow::menuAndCycleComeBackHoweverAWindowEnds_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("destroyed"); // else closed as by its close box
    for (const char *item : {"menu_setting", "menu_sunset", "menu_extended"}) {
        QTest::addRow("%s closed", item) << QString::fromLatin1(item) << false;
        QTest::addRow("%s destroyed", item) << QString::fromLatin1(item) << true;
    }
}

void TestSettingsWindow::menuAndCycleComeBackHoweverAWindowEnds()
{
    QFETCH(QString, item);
    QFETCH(bool, destroyed);
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    PopupMenu &menu = ticker->menu().menu();
    ticker->window().showPopupMenu(QPoint(10, 10));
    menu.menu()->findChild<QAction *>(item)->trigger();
    menu.menu()->hide();
    QPointer<QDialog> window = ticker->menu().modalWindow();
    QVERIFY(window);
    QTRY_VERIFY(!ticker->cycle().isActive(CycleClock::NetworkCheck));
    if (destroyed)
        delete window.data();
    else
        window->close();
    QTRY_VERIFY(window.isNull());
    QVERIFY(!ticker->menu().modalWindow());
    QTRY_VERIFY(ticker->cycle().isActive(CycleClock::RefreshClock) ||
                ticker->cycle().isCheckingNetwork() ||
                ticker->cycle().isActive(CycleClock::NetworkCheck));
    ticker->window().showPopupMenu(QPoint(10, 10));
    QTRY_VERIFY(menu.menu()->isVisible());
    menu.menu()->hide();
}

void TestSettingsWindow::slideControlsAlikeOnEveryOpening()
{
    QVERIFY(
        m_fixture->db().execute(QStringLiteral("UPDATE setting SET autochange = 0, scroll = -1")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    for (int opening = 1; opening <= 2; ++opening) {
        ticker->window().showPopupMenu(QPoint(10, 10));
        ticker->menu().menu().menu_setting()->trigger();
        ticker->menu().menu().menu()->hide();
        auto *w = qobject_cast<SettingsWindow *>(ticker->menu().modalWindow());
        QVERIFY(w);
        QTRY_VERIFY(w->isVisible());
        QVERIFY2(!w->cmb(SettingsWindow::IntervalList)->isEnabled(),
                 qPrintable(QString::number(opening)));
        QVERIFY(!w->Check1(SettingsWindow::CheckScroll)->isEnabled());
        QVERIFY(!w->Slider()->isEnabled());
        QCOMPARE(labelColor(w->lbl(4)), QColor(0x80, 0x80, 0x80));
        QCOMPARE(labelColor(w->lbl(5)), QColor(0x80, 0x80, 0x80));
        w->closeByUser();
        QTRY_VERIFY(!ticker->menu().modalWindow());
    }
}

void TestSettingsWindow::keysChangeOnlyTheFocusedControl()
{
    QVERIFY(m_fixture->load());
    SettingsWindow *w = settings();
    w->open();
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCheckBox *bold = w->Check1(SettingsWindow::CheckBold);
    const bool wasBold = bold->isChecked();
    QTest::mouseClick(bold, Qt::LeftButton);
    QCOMPARE(bold->isChecked(), !wasBold);
    QTableWidget *targets = w->targetList()->grid(TargetList::Targets);
    QTest::mouseClick(targets->viewport(), Qt::LeftButton, {},
                      targets->visualItemRect(targets->item(0, 1)).center());
    QCOMPARE(QApplication::focusWidget(), targets); // focus went where the user clicked
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(bold->isChecked(), !wasBold);
    // Keys move the highlighted target as a click does.
    QTest::keyClick(targets, Qt::Key_Down);
    QCOMPARE(targets->currentRow(), 1);
    QCOMPARE(targets->item(1, 1)->background().color(), QPalette().color(QPalette::Highlight));
    QVERIFY(w->targetList()->cmd(TargetList::MoveUp)->isEnabled());
}

void TestSettingsWindow::versionItem()
{
    // A configured page wins over the delivered about page.
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QVERIFY(m_fixture->db().execute(QStringLiteral(
        "UPDATE host SET url = 'https://tarnbeck.example/' WHERE name = 'programpage'")));
    QList<ShownMessage> shown;
    const MessageSink sink([&](const ShownMessage &m) { shown.append(m); });
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    ticker->menu().menu().menu_version()->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.urls, (QList<QUrl>{QUrl(QStringLiteral("https://tarnbeck.example"))}));
    QVERIFY(shown.isEmpty());
}

QTEST_MAIN(TestSettingsWindow)
#include "test_settingswindow.moc"
