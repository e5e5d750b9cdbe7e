// The page behind "バージョン": the configured address, else the about page delivered with the
// program, opened in the browser.
#include "platform/MessageBox.h"
#include "support/TickerFixture.h"
#include "ticker/PopupMenu.h"
#include "ticker/ProgramPage.h"

#include <QDesktopServices>
#include <QtTest>

/// Receives the addresses handed to the desktop's browser.
class PageCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestProgramPage : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void deliveredPageHasVersion();
    void versionItemOpensDeliveredPage();
};

void TestProgramPage::lookup_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QStringList>("pages"); // where about pages lie, under an install root
    QTest::addColumn<QString>("expected");  // "configured", a page of `pages`, or "" for none
    const QString built = QStringLiteral(TARNBECK_INSTALL_BINDIR "/about/index.html");
    const QString installed = QStringLiteral(TARNBECK_INSTALL_DATADIR "/tarnbeck/about/index.html");
    QTest::newRow("configured wins")
        << "https://tarnbeck.example/" << QStringList{built, installed} << "configured";
    QTest::newRow("empty: beside the program") << "" << QStringList{built, installed} << built;
    QTest::newRow("empty: installed data directory") << "" << QStringList{installed} << installed;
    QTest::newRow("blank counts as empty") << "  " << QStringList{installed} << installed;
    QTest::newRow("empty and no page") << "" << QStringList{} << "";
}

void TestProgramPage::lookup()
{
    QFETCH(QString, configured);
    QFETCH(QStringList, pages);
    QFETCH(QString, expected);
    const QTemporaryDir root;
    const QDir dir(root.path());
    for (const QString &page : pages) {
        QVERIFY(dir.mkpath(QFileInfo(page).path()));
        QFile file(dir.filePath(page));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QUrl found = ProgramPageUrl(
        configured, ProgramPageDirectories(dir.filePath(QStringLiteral(TARNBECK_INSTALL_BINDIR))));
    if (expected == QLatin1String("configured"))
        QCOMPARE(found, QUrl(configured));
    else if (expected.isEmpty())
        QVERIFY2(found.isEmpty(), qPrintable(found.toString()));
    else
        QCOMPARE(found, QUrl::fromLocalFile(dir.filePath(expected)));
}

void TestProgramPage::deliveredPageHasVersion()
{
    // The build puts the page beside the programs, this test among them.
    const QUrl page = ProgramPageUrl(QString());
    QVERIFY2(page.isLocalFile(), qPrintable(page.toString()));
    QFile file(page.toLocalFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains(QStringLiteral("<span id=\"version\">" TARNBECK_VERSION "</span>")));
    QVERIFY(text.contains(QStringLiteral("GPL-3.0-or-later")));
}

void TestProgramPage::versionItemOpensDeliveredPage()
{
    TickerFixture fixture;
    QVERIFY(fixture.db().execute(
        QStringLiteral("UPDATE host SET url = '' WHERE name = 'programpage'")));
    TickerSession *ticker = fixture.load();
    QVERIFY(ticker);
    QList<ShownMessage> shown;
    const MessageSink sink([&](const ShownMessage &m) { shown.append(m); });
    PageCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    ticker->menu().menu().menu_version()->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.urls, QList<QUrl>{ProgramPageUrl(QString())});
    QVERIFY(shown.isEmpty());
}

QTEST_MAIN(TestProgramPage)
#include "test_programpage.moc"
