// The annual window in process: opening state, lists, panel, grid, graph, tabs and hover.
#include "desktop/Fonts.h"
#include "platform/Twips.h"
#include "sun/AirportCatalogue.h"
#include "sun/SunTimes.h"
#include "sunwindow/PrinterSelect.h"
#include "sunwindow/SunGraph.h"
#include "sunwindow/SunWindow.h"
#include "support/FindChild.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

namespace {

const QDate kToday(2026, 6, 21);

} // namespace

class TestSunWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opening();
    void gridLayout();
    void clicksDuringOpeningComputeNothing();
    void tableMatchesTheComputation_data();
    void tableMatchesTheComputation();
    void panel_data();
    void panel();
    void indicatorClearedByAnAirportWithout();
    void separatorEmptiesTableAndGraph();
    void otherYearHidesTodayLine();
    void graphAndTodaysCells();
    void tabsRedrawAStaleGraph();
    void hoverColours();
    void opensCentredOnTheScreenNotOnTheTicker_data();
    void opensCentredOnTheScreenNotOnTheTicker();

private:
    void choose(const QString &airport, int year = kToday.year());
    QString cell(int row, int column) const;

    std::unique_ptr<SunClock::Override> m_clock;
    std::unique_ptr<SunWindow> m_window;
};

void TestSunWindow::initTestCase()
{
    InstallFontSubstitutions();
    m_clock = std::make_unique<SunClock::Override>(kToday);
}

void TestSunWindow::init()
{
    m_window = std::make_unique<SunWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestSunWindow::cleanup()
{
    m_window.reset();
}

void TestSunWindow::choose(const QString &airport, int year)
{
    auto *years = child<QComboBox>(m_window.get(), QStringLiteral("cmb1"));
    years->setCurrentIndex(years->findText(QString::number(year)));
    auto *airports = child<QComboBox>(m_window.get(), QStringLiteral("cmb0"));
    airports->setCurrentIndex(airports->findText(airport));
}

QString TestSunWindow::cell(int row, int column) const
{
    return child<QTableWidget>(m_window.get(), QStringLiteral("grid"))->item(row, column)->text();
}

void TestSunWindow::opening()
{
    SunWindow *w = m_window.get();
    QCOMPARE(w->objectName(), QStringLiteral("sun"));
    QCOMPARE(w->windowTitle(), QStringLiteral(" Tarnbeck - 空港別 日出没時刻"));
    QCOMPARE(w->size(), QSize(twipsToPixels(14655), twipsToPixels(8550)));
    auto *airports = child<QComboBox>(w, QStringLiteral("cmb0"));
    QCOMPARE(airports->count(), 188);
    QCOMPARE(airports->itemText(129), QStringLiteral("---"));
    QCOMPARE(airports->currentIndex(), -1);
    auto *years = child<QComboBox>(w, QStringLiteral("cmb1"));
    QCOMPARE(years->count(), 12);
    QCOMPARE(years->itemText(0), QStringLiteral("2025"));
    QCOMPARE(years->itemText(11), QStringLiteral("2036"));
    QCOMPARE(years->currentText(), QStringLiteral("2026"));
    QVERIFY(!child<QPushButton>(w, QStringLiteral("cmd0"))->isEnabled());
    QCOMPARE(child<QPushButton>(w, QStringLiteral("cmd1"))->text(), QStringLiteral("終　了"));
    auto *graph = child<SunGraph>(w, QStringLiteral("Picture1"));
    QVERIFY(!graph->todayLineVisible());
    QCOMPARE(graph->todayLineX(), todayLineX(kToday));
    auto *tab = child<QTabWidget>(w, QStringLiteral("SSTab"));
    QCOMPARE(tab->tabText(0), QStringLiteral("時刻一覧"));
    QCOMPARE(tab->tabText(1), QStringLiteral("年間推移グラフ"));
    QCOMPARE(child<QLabel>(w, QStringLiteral("lbl33"))->text(), QStringLiteral("⊿H"));
    QCOMPARE(child<QLabel>(w, QStringLiteral("Label1_11"))->text(), QStringLiteral("December"));
    QVERIFY(child<QFrame>(w, QStringLiteral("Frame1_0"))->isVisible());
    QVERIFY(w->activated());
    QVERIFY(!w->graphStale());
    QCOMPARE(w->hoverIndex(), 99);
}

void TestSunWindow::gridLayout()
{
    auto *grid = child<QTableWidget>(m_window.get(), QStringLiteral("grid"));
    QCOMPARE(grid->columnCount(), 36);
    QCOMPARE(grid->rowCount(), 32);
    QCOMPARE(grid->columnWidth(0), twipsToPixels(430));
    QCOMPARE(grid->columnWidth(1), twipsToPixels(570));
    QCOMPARE(grid->columnWidth(3), twipsToPixels(10));
    QCOMPARE(grid->columnWidth(35), twipsToPixels(570));
    for (int c = 0; c < 36; ++c) {
        QCOMPARE(cell(0, c), c % 3 == 1 ? QStringLiteral("*") : QString());
        QCOMPARE(grid->item(5, c)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignTop));
    }
    QCOMPARE(cell(31, 0), QStringLiteral("31"));
    QCOMPARE(grid->item(10, 4)->foreground().color(), QColor(0xC0, 0, 0));
    QCOMPARE(grid->item(10, 5)->foreground().color(), QColor(0, 0, 0xC0));
    // The grid stands at its place from the tab strip's corner, below the tab row.
    auto *tab = child<QTabWidget>(m_window.get(), QStringLiteral("SSTab"));
    QCOMPARE(grid->mapTo(tab, QPoint(0, 0)), QPoint(twipsToPixels(90), twipsToPixels(405)));
    QVERIFY(grid->mapTo(tab, QPoint(0, 0)).y() >= tab->tabBar()->geometry().bottom());
    QVERIFY(tab->rect().contains(QRect(grid->mapTo(tab, QPoint(0, 0)), grid->size())));
    // Everything fits: the window has no scroll bars over its table.
    const int rows = 32 * grid->rowHeight(1);
    QVERIFY(rows <= grid->height());
    int columns = 0;
    for (int c = 0; c < 36; ++c)
        columns += grid->columnWidth(c);
    QVERIFY(columns <= grid->width());
}

void TestSunWindow::clicksDuringOpeningComputeNothing()
{
    SunWindow unshown; // never shown, so never activated
    auto *airports = child<QComboBox>(&unshown, QStringLiteral("cmb0"));
    airports->setCurrentIndex(0);
    QVERIFY(!unshown.activated());
    QVERIFY(child<QTableWidget>(&unshown, QStringLiteral("grid"))->item(1, 1)->text().isEmpty());
    QVERIFY(!child<QPushButton>(&unshown, QStringLiteral("cmd0"))->isEnabled());
}

void TestSunWindow::tableMatchesTheComputation_data()
{
    QTest::addColumn<QString>("airport");
    QTest::addColumn<int>("year");
    QTest::newRow("旭川 this year") << QStringLiteral("旭川") << 2026;
    QTest::newRow("波照間 leap") << QStringLiteral("波照間") << 2028;
    QTest::newRow("岡南 last year") << QStringLiteral("岡南") << 2025;
}

void TestSunWindow::tableMatchesTheComputation()
{
    QFETCH(QString, airport);
    QFETCH(int, year);
    choose(airport, year);
    const auto entry = findCatalogueEntry(airport);
    QVERIFY(entry);
    QCOMPARE(m_window->leapYear(), QDate::isLeapYear(year));
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= 31; ++day) {
            QString rise, set;
            if (QDate(year, month, day).isValid()) {
                rise = Calsunrise(qint16(year), qint16(month), qint16(day), entry->latitude,
                                  entry->longitude);
                set = Calsunset(qint16(year), qint16(month), qint16(day), entry->latitude,
                                entry->longitude);
            }
            QCOMPARE(cell(day, 3 * month - 2), rise);
            QCOMPARE(cell(day, 3 * month - 1), set);
        }
    }
    QVERIFY(child<QPushButton>(m_window.get(), QStringLiteral("cmd0"))->isEnabled());
}

void TestSunWindow::panel_data()
{
    QTest::addColumn<QString>("airport");
    QTest::addColumn<QString>("elv");
    QTest::addColumn<QString>("difference");
    QTest::newRow("旭川") << QStringLiteral("旭川") << "690"
                          << "-675";
    QTest::newRow("函館") << QStringLiteral("函館") << "111.9"
                          << "-97";
    QTest::newRow("岡南 sea level") << QStringLiteral("岡南") << "0"
                                    << "+15";
}

void TestSunWindow::panel()
{
    QFETCH(QString, airport);
    QFETCH(QString, elv);
    QFETCH(QString, difference);
    choose(airport);
    const auto entry = findCatalogueEntry(airport);
    QVERIFY(entry);
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl0"))->text(), entry->indicator);
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl34"))->text(), elv);
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl35"))->text(),
             QStringLiteral("MSL+15"));
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl36"))->text(), difference);
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl37"))->text(), entry->latitudeText);
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl38"))->text(), entry->longitudeText);
}

void TestSunWindow::indicatorClearedByAnAirportWithout()
{
    choose(QStringLiteral("旭川"));
    QCOMPARE(m_window->airportIcao(), QStringLiteral("RJEC"));
    choose(QStringLiteral("館山(H)"));
    QCOMPARE(m_window->airportIcao(), QString());
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl0"))->text(), QString());
}

void TestSunWindow::separatorEmptiesTableAndGraph()
{
    choose(QStringLiteral("旭川"));
    auto *graph = child<SunGraph>(m_window.get(), QStringLiteral("Picture1"));
    QVERIFY(graph->todayLineVisible());
    QCOMPARE(graph->sunrise().points.size(), 365);
    auto *airports = child<QComboBox>(m_window.get(), QStringLiteral("cmb0"));
    airports->setCurrentIndex(129);
    QCOMPARE(airports->currentText(), QStringLiteral("---"));
    for (int c = 1; c < 36; ++c)
        QVERIFY(cell(1, c).isEmpty());
    QVERIFY(graph->sunrise().points.isEmpty());
    QVERIFY(graph->sunset().points.isEmpty());
    QVERIFY(!graph->todayLineVisible());
    for (int i = 27; i <= 30; ++i)
        QVERIFY(!child<QLabel>(graph, QStringLiteral("lbl%1").arg(i))->isVisible());
    // Today's cells are left as SetupGrid made them; the panel keeps the last airport.
    auto *grid = child<QTableWidget>(m_window.get(), QStringLiteral("grid"));
    QCOMPARE(grid->item(21, 16)->foreground().color(), QColor(0xC0, 0, 0));
    QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("lbl0"))->text(), QStringLiteral("RJEC"));
}

void TestSunWindow::otherYearHidesTodayLine()
{
    choose(QStringLiteral("旭川"));
    auto *graph = child<SunGraph>(m_window.get(), QStringLiteral("Picture1"));
    auto *grid = child<QTableWidget>(m_window.get(), QStringLiteral("grid"));
    QVERIFY(graph->todayLineVisible());
    QCOMPARE(grid->item(21, 16)->background().color(), QColor(0xFF, 0xC0, 0xC0));
    choose(QStringLiteral("旭川"), 2027);
    QVERIFY(!graph->todayLineVisible());
    QCOMPARE(grid->item(21, 16)->background().color(), QColor(Qt::white));
    QCOMPARE(grid->item(21, 16)->foreground().color(), QColor(0xC0, 0, 0));
    QCOMPARE(grid->item(21, 17)->foreground().color(), QColor(0, 0, 0xC0));
    choose(QStringLiteral("旭川"), 2026);
    QVERIFY(graph->todayLineVisible());
}

void TestSunWindow::graphAndTodaysCells()
{
    choose(QStringLiteral("旭川"));
    auto *grid = child<QTableWidget>(m_window.get(), QStringLiteral("grid"));
    QCOMPARE(grid->currentRow(), 21);
    QCOMPARE(grid->currentColumn(), 16);
    QCOMPARE(grid->item(21, 16)->foreground().color(), QColor(Qt::black));
    QCOMPARE(grid->item(21, 17)->background().color(), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(grid->item(21, 17)->foreground().color(), QColor(Qt::black));

    auto *graph = child<SunGraph>(m_window.get(), QStringLiteral("Picture1"));
    const GraphCurve &sunset = graph->sunset();
    QCOMPARE(sunset.points.size(), 365);
    auto *latest = child<QLabel>(graph, QStringLiteral("lbl29"));
    QVERIFY(latest->isVisibleTo(graph));
    QCOMPARE(latest->text(), sunset.greatest.text);
    QVERIFY(QRegularExpression(QStringLiteral("^ [67]月\\d{1,2}日 $"))
                .match(latest->toolTip())
                .hasMatch());
    QCOMPARE(latest->pos(),
             QPoint(twipsToPixels(sunset.greatest.left), twipsToPixels(sunset.greatest.top)));
    auto *earliestRise = child<QLabel>(graph, QStringLiteral("lbl28"));
    QCOMPARE(earliestRise->text(), graph->sunrise().least.text);
    QVERIFY2(QRegularExpression(QStringLiteral("^ [56]月\\d{1,2}日 $"))
                 .match(earliestRise->toolTip())
                 .hasMatch(),
             qPrintable(earliestRise->toolTip()));
    // The latest point of the curve is the one drawn highest.
    int highest = 7220;
    for (const QPoint &p : sunset.points)
        highest = std::min(highest, p.y());
    QCOMPARE(sunset.greatest.top, highest - 300);
}

void TestSunWindow::tabsRedrawAStaleGraph()
{
    auto *tab = child<QTabWidget>(m_window.get(), QStringLiteral("SSTab"));
    tab->setCurrentIndex(1); // no airport yet: nothing happens
    QVERIFY(!m_window->graphStale());
    tab->setCurrentIndex(0);
    choose(QStringLiteral("旭川"));
    QVERIFY(m_window->graphStale());
    tab->setCurrentIndex(1);
    QVERIFY(!m_window->graphStale());
    QVERIFY(!child<QFrame>(m_window.get(), QStringLiteral("Frame1_3"))->isVisibleTo(tab));
    // A new year chosen on the graph tab draws at once and keeps the headers hidden.
    choose(QStringLiteral("旭川"), 2028);
    QCOMPARE(child<SunGraph>(m_window.get(), QStringLiteral("Picture1"))->sunrise().points.size(),
             366);
    tab->setCurrentIndex(0);
    QVERIFY(m_window->graphStale());
    QVERIFY(child<QFrame>(m_window.get(), QStringLiteral("Frame1_3"))->isVisible());
}

void TestSunWindow::hoverColours()
{
    auto *print = child<QPushButton>(m_window.get(), QStringLiteral("cmd0"));
    auto *close = child<QPushButton>(m_window.get(), QStringLiteral("cmd1"));
    const QColor face = QApplication::palette(print).color(QPalette::Button);
    const QColor grey(0x80, 0x80, 0x80);
    QTest::mouseMove(close);
    QTRY_COMPARE(m_window->hoverIndex(), 1);
    QCOMPARE(close->palette().color(QPalette::Button), grey);
    QCOMPARE(print->palette().color(QPalette::Button), face);
    QTest::mouseMove(print);
    QTRY_COMPARE(m_window->hoverIndex(), 0);
    QCOMPARE(print->palette().color(QPalette::Button), grey);
    QCOMPARE(close->palette().color(QPalette::Button), face);
    QTest::mouseMove(m_window.get(), QPoint(5, 5));
    QTRY_COMPARE(m_window->hoverIndex(), 99);
    QCOMPARE(print->palette().color(QPalette::Button), face);
}

void TestSunWindow::opensCentredOnTheScreenNotOnTheTicker_data()
{
    QTest::addColumn<bool>("printerDialog");
    QTest::newRow("sun") << false;
    QTest::newRow("printerselect, owned by the sun window") << true;
}

void TestSunWindow::opensCentredOnTheScreenNotOnTheTicker()
{
    QFETCH(bool, printerDialog);
    QWidget ticker; // in the screen's corner, where QDialog would centre its dialogs
    ticker.setGeometry(0, 0, 120, 60);
    ticker.show();
    SunWindow sun(&ticker);
    PrinterSelect printers(&sun);
    if (printerDialog)
        sun.show();
    QDialog &opened = printerDialog ? static_cast<QDialog &>(printers) : sun;
    opened.show();
    QVERIFY(QTest::qWaitForWindowExposed(&opened));
    const QRect screen = ticker.screen()->geometry();
    const QRect frame = opened.frameGeometry();
    // The test platform's screen is narrower than the sun window, and keeps it on the screen.
    if (frame.width() <= screen.width())
        QCOMPARE(frame.left(), (screen.width() - frame.width()) / 2);
    QCOMPARE(frame.top(), (screen.height() - frame.height()) / 2);
}

QTEST_MAIN(TestSunWindow)
#include "test_sunwindow.moc"
