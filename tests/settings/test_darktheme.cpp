// The windows with colours of their own under a dark desktop theme: each fixed colour comes with
// the colours it is drawn against, so the theme changes nothing there and everything stays legible.
#include "desktop/Fonts.h"
#include "settings/SettingsWindow.h"
#include "store/SettingsStore.h"
#include "sun/SunTimes.h"
#include "sunwindow/PrinterSelect.h"
#include "sunwindow/SunWindow.h"
#include "support/FindChild.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <memory>

namespace {

enum class Window { Sun, Printer, Settings };

/// The colours of a dark desktop theme (Adwaita dark), as the platform theme hands them over.
QPalette darkPalette()
{
    QPalette p(QColor(0xee, 0xee, 0xec), QColor(0x35, 0x35, 0x35), QColor(0x4a, 0x4a, 0x4a),
               QColor(0x1b, 0x1b, 0x1b), QColor(0x28, 0x28, 0x28), QColor(0xee, 0xee, 0xec),
               QColor(0xff, 0xff, 0xff), QColor(0x2d, 0x2d, 0x2d), QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xec));
    p.setColor(QPalette::Highlight, QColor(0x15, 0x53, 0x9e));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x91, 0x91, 0x90));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x91, 0x91, 0x90));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x91, 0x91, 0x90));
    return p;
}

double luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/// The contrast of the text in `image` against its background: the commonest colour against the
/// pixel that stands out most from it.
double textContrast(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    QRgb background = 0;
    for (auto c = counts.cbegin(); c != counts.cend(); ++c)
        if (c.value() > counts.value(background))
            background = c.key();
    double most = 1.0;
    for (auto c = counts.cbegin(); c != counts.cend(); ++c)
        most = std::max(most, contrast(c.key(), background));
    return most;
}

/// A window as the user opens it, with a year of an airport in the sun window.
struct OpenWindow
{
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<SunWindow> sun;
    std::unique_ptr<QWidget> window;

    QWidget *widget() const { return window ? window.get() : sun.get(); }
};

OpenWindow open(Window which, int tab)
{
    OpenWindow w;
    if (which == Window::Settings) {
        w.db = std::make_unique<TestDatabase>();
        w.store = std::make_unique<SettingsStore>(w.db->directory());
        if (!w.store->OpenSettings())
            qFatal("cannot open the settings: %s", qPrintable(w.store->errorString()));
        w.window = std::make_unique<SettingsWindow>(*w.store, nullptr);
        w.window->show();
        // The second target chosen: its row takes the selection's colours.
        auto *targets = child<QTableWidget>(w.window.get(), QStringLiteral("grid1"));
        QTest::mouseClick(targets->viewport(), Qt::LeftButton, {},
                          targets->visualItemRect(targets->item(1, 1)).center());
    } else {
        w.sun = std::make_unique<SunWindow>();
        w.sun->show();
        auto *airports = child<QComboBox>(w.sun.get(), QStringLiteral("cmb0"));
        airports->setCurrentIndex(airports->findText(QStringLiteral("旭川")));
        child<QTabWidget>(w.sun.get(), QStringLiteral("SSTab"))->setCurrentIndex(tab);
        if (which == Window::Printer)
            w.window = std::make_unique<PrinterSelect>(w.sun.get());
    }
    w.widget()->show();
    if (!QTest::qWaitForWindowExposed(w.widget()))
        qFatal("the window never showed");
    return w;
}

/// The pixels of the control `name` (of its cell `cell` in a grid) as the window shows them.
QImage look(Window which, int tab, const QString &name, QPoint cell)
{
    const OpenWindow w = open(which, tab);
    QWidget *window = w.widget();
    auto *control = child<QWidget>(window, name);
    // What shows of it: a month's name is clipped by its frame.
    const QRect shown = control->visibleRegion().boundingRect();
    QRect area(control->mapTo(window, shown.topLeft()), shown.size());
    if (cell.x() >= 0) {
        auto *grid = qobject_cast<QTableWidget *>(control);
        const QRect item = grid->visualItemRect(grid->item(cell.y(), cell.x()));
        // Inside the cell, clear of the grid lines.
        area = QRect(grid->viewport()->mapTo(window, item.topLeft()), item.size())
                   .adjusted(1, 1, -1, -1);
    }
    const QImage shot = window->grab().toImage();
    return shot.copy(QRectF(QRectF(area).topLeft() * shot.devicePixelRatio(),
                            QSizeF(area.size()) * shot.devicePixelRatio())
                         .toRect());
}

} // namespace

class TestDarkTheme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void fixedColoursStayUnderADarkTheme_data();
    void fixedColoursStayUnderADarkTheme();

private:
    std::unique_ptr<SunClock::Override> m_clock;
    QPalette m_light;
};

void TestDarkTheme::initTestCase()
{
    InstallFontSubstitutions();
    // Today inside the year shown, so that its two cells take their own colours.
    m_clock = std::make_unique<SunClock::Override>(QDate(2026, 6, 21));
    m_light = QApplication::palette();
    // The printer dialog then shows its red line.
    QVERIFY2(PrinterSelect::installedPrinters().isEmpty(), "CUPS_SERVER must reach no printers");
}

void TestDarkTheme::cleanup()
{
    QApplication::setPalette(m_light);
}

void TestDarkTheme::fixedColoursStayUnderADarkTheme_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("cell");
    const auto row = [](const char *what, Window window, int tab, const char *control,
                        QPoint cell = {-1, -1}) {
        QTest::newRow(what) << window << tab << QString::fromLatin1(control) << cell;
    };
    row("sun: title", Window::Sun, 0, "lbl2");
    row("sun: year caption", Window::Sun, 0, "lbl1");
    row("sun: panel caption", Window::Sun, 0, "lbl31");
    row("sun: panel value", Window::Sun, 0, "lbl34");
    row("sun: print button", Window::Sun, 0, "cmd1");
    row("sun: month name", Window::Sun, 0, "Label1_0");
    row("sun: day", Window::Sun, 0, "grid", {0, 5});
    row("sun: sunrise", Window::Sun, 0, "grid", {1, 5});
    row("sun: sunset", Window::Sun, 0, "grid", {2, 5});
    row("sun: today's sunrise", Window::Sun, 0, "grid", {16, 21});
    row("sun: today's sunset", Window::Sun, 0, "grid", {17, 21});
    row("sun: graph hour", Window::Sun, 1, "lbl3");
    row("sun: graph month", Window::Sun, 1, "lbl15");
    row("sun: graph extreme", Window::Sun, 1, "lbl29");
    row("printer: no printer", Window::Printer, 0, "cmb");
    row("settings: caption", Window::Settings, 0, "lbl0");
    row("settings: slide caption", Window::Settings, 0, "lbl4");
    row("settings: check box", Window::Settings, 0, "Check10");
    row("settings: list title", Window::Settings, 0, "lbl3");
    row("settings: airport", Window::Settings, 0, "grid0", {0, 0});
    row("settings: target", Window::Settings, 0, "grid1", {1, 0});
    row("settings: mark", Window::Settings, 0, "grid1", {0, 0});
    row("settings: chosen target", Window::Settings, 0, "grid1", {1, 1});
}

void TestDarkTheme::fixedColoursStayUnderADarkTheme()
{
    QFETCH(Window, window);
    QFETCH(int, tab);
    QFETCH(QString, control);
    QFETCH(QPoint, cell);
    const QImage light = look(window, tab, control, cell);
    QApplication::setPalette(darkPalette());
    const QImage dark = look(window, tab, control, cell);
    QApplication::setPalette(m_light);

    // At least 3:1, or as legible as under the light palette (thin red strokes on the button face
    // in the printer dialog are less).
    const double readable = textContrast(dark);
    const double designed = textContrast(light);
    QVERIFY2(readable >= std::min(3.0, designed),
             qPrintable(QStringLiteral("contrast %1:1, under the light palette %2:1")
                            .arg(readable, 0, 'f', 2)
                            .arg(designed, 0, 'f', 2)));
    // The theme mixes nothing in: the control looks as it does under the light palette.
    QVERIFY(!light.isNull());
    QCOMPARE(dark, light);
}

QTEST_MAIN(TestDarkTheme)
#include "test_darktheme.moc"
