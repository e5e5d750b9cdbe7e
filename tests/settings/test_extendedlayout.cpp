// The look of "拡張設定" on screens of known sizes: columns that hold still, one face, one
// background for every tab, and a height taken from the rows.
#include "desktop/Fonts.h"
#include "settings/ExtendedSettingsWindow.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextLayout>
#include <QtTest>

class TestExtendedLayout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void heightFromTheRows_data();
    void heightFromTheRows();
    void answersKeepTheColumnsStill();
    void answerTakesTheRoomOfItsRow();
    void everyTabHasOneBackground();
    void everyRowInOneFace();

private:
    /// The window opened on the screen named `screenName`, shown and laid out.
    ExtendedSettingsWindow *open(const QString &screenName = QStringLiteral("tall"));

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<ExtendedSettingsWindow> m_window;
};

void TestExtendedLayout::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_store = std::make_unique<SettingsStore>(m_db->directory());
    QVERIFY(m_store->OpenSettings());
}

void TestExtendedLayout::cleanup()
{
    m_window.reset();
    m_owner.reset();
    m_store.reset();
    m_db.reset();
}

ExtendedSettingsWindow *TestExtendedLayout::open(const QString &screenName)
{
    QScreen *screen = nullptr;
    for (QScreen *s : QGuiApplication::screens()) {
        if (s->name() == screenName)
            screen = s;
    }
    if (!screen)
        return nullptr;
    // The window opens on its owner's screen.
    m_owner = std::make_unique<QWidget>();
    m_owner->setScreen(screen);
    m_owner->setGeometry(QRect(screen->geometry().topLeft() + QPoint(10, 10), QSize(40, 20)));
    m_owner->show();
    m_window = std::make_unique<ExtendedSettingsWindow>(*m_store, m_owner.get());
    m_window->openAt();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return nullptr;
    return m_window.get();
}

void TestExtendedLayout::heightFromTheRows_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<bool>("allInView");
    QTest::newRow("room for every row") << "tall" << true;
    QTest::newRow("a short screen") << "short" << false;
}

void TestExtendedLayout::heightFromTheRows()
{
    QFETCH(QString, screen);
    QFETCH(bool, allInView);
    ExtendedSettingsWindow *window = open(screen);
    QVERIFY(window);
    QCOMPARE(window->screen()->name(), screen);
    // Within the screen's room (the frame is the platform's: unknown before the first show).
    const QSize room = window->screen()->availableGeometry().size();
    QVERIFY2(window->width() <= room.width() && window->height() <= room.height(),
             qPrintable(QStringLiteral("%1x%2").arg(window->width()).arg(window->height())));
    auto *area = window->findChild<QScrollArea *>(QStringLiteral("sources"));
    // The last row, whole inside the view, or reached by scrolling when the screen is short.
    QLineEdit *last = window->address(QLatin1String(AllSources().back().name));
    const auto lastInView = [&] {
        const QRect shown(last->mapTo(area->viewport(), QPoint()), last->size());
        return area->viewport()->rect().contains(shown);
    };
    QTRY_COMPARE(lastInView(), allInView);
    QCOMPARE(area->verticalScrollBar()->isVisible(), !allInView);
}

void TestExtendedLayout::answersKeepTheColumnsStill()
{
    ExtendedSettingsWindow *window = open();
    QVERIFY(window);
    const auto places = [window] {
        QList<QRect> rects;
        for (const char *name : {"report", "chart5", "camera6"}) {
            for (QWidget *w : QList<QWidget *>{window->address(name), window->checkButton(name),
                                               window->answer(name)})
                rects.append(QRect(w->mapTo(window, QPoint()), w->size()));
        }
        return rects;
    };
    const QList<QRect> before = places();
    // The longest answer there is: the check of an address that is not one.
    window->address(QStringLiteral("chart5"))->setText(QStringLiteral("ftp://x"));
    window->check(QStringLiteral("chart5"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(places(), before);
    QLabel *answer = window->answer(QStringLiteral("chart5"));
    // Whole where the row has room, else cut.
    QVERIFY2(answer->text() == answer->toolTip() ||
                 (answer->text().endsWith(QChar(0x2026)) &&
                  answer->toolTip().startsWith(answer->text().chopped(1))),
             qPrintable(answer->text()));
    QVERIFY(answer->toolTip().contains(QStringLiteral("https://")));
    QVERIFY(answer->sizeHint().width() <= answer->width());
}

void TestExtendedLayout::answerTakesTheRoomOfItsRow()
{
    ExtendedSettingsWindow *window = open();
    QVERIFY(window);
    window->address(QStringLiteral("chart5"))->setText(QStringLiteral("ftp://x"));
    window->check(QStringLiteral("chart5"));
    QLabel *answer = window->answer(QStringLiteral("chart5"));
    const QString whole = answer->toolTip();
    // Wider, the window gives the answer room enough: it is whole, and cut again when narrow.
    window->resize(window->width() + answer->fontMetrics().horizontalAdvance(whole),
                   window->height());
    QTRY_COMPARE(answer->text(), whole);
    window->resize(window->minimumSizeHint().width(), window->height());
    QTRY_VERIFY2(answer->text().endsWith(QChar(0x2026)), qPrintable(answer->text()));
    QCOMPARE(answer->toolTip(), whole);
}

void TestExtendedLayout::everyTabHasOneBackground()
{
    ExtendedSettingsWindow *window = open();
    QVERIFY(window);
    auto *tabs = window->findChild<QTabWidget *>();
    QList<QColor> colours;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        // A corner of the page inside its layout's margin, where nothing but the page is drawn.
        const QPoint corner = tabs->currentWidget()->mapTo(tabs, QPoint(2, 2));
        colours.append(tabs->grab().toImage().pixelColor(corner));
    }
    QCOMPARE(tabs->tabText(0), QStringLiteral("接続先"));
    for (const QColor &colour : std::as_const(colours))
        QCOMPARE(colour.name(), colours.constLast().name());
}

void TestExtendedLayout::everyRowInOneFace()
{
    ExtendedSettingsWindow *window = open();
    QVERIFY(window);
    QSet<QString> families;
    for (const Source &source : AllSources()) {
        const QString text = ExtendedSettingsWindow::rowLabel(QLatin1String(source.name));
        QLabel *label = nullptr;
        for (QLabel *l : window->findChildren<QLabel *>()) {
            if (l->text() == text)
                label = l;
        }
        QVERIFY2(label, qPrintable(text));
        QTextLayout layout(text, label->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns())
            families.insert(run.rawFont().familyName());
    }
    QCOMPARE(families.size(), 1);
}

int main(int argc, char **argv)
{
    // Two screens of known sizes: one with room for every row, one too short for them.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "tall", "x": 0, "y": 0, "width": 1280, "height": 1024},
        {"name": "short", "x": 1280, "y": 0, "width": 1024, "height": 480}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    TestExtendedLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_extendedlayout.moc"
