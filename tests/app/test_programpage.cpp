// The page behind "バージョン": the configured address, else the about page delivered with the
// program, opened in the browser.
#include "app/ProgramPage.h"
#include "desktop/MessageBox.h"
#include "support/TickerFixture.h"
#include "ticker/PopupMenu.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QtTest>

namespace {

/// The delivered about page as the build wrote it.
QString deliveredPage()
{
    QFile file(ProgramPageUrl(QString()).toLocalFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

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
    void deliveredPageWording_data();
    void deliveredPageWording();
    void commandsInALatinFace();
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

void TestProgramPage::deliveredPageWording_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<bool>("present");
    QTest::newRow("where the sources are set") << "「拡張設定...」→「接続先」" << true;
    QTest::newRow("the second server named") << "予備の通報サーバー" << true;
    QTest::newRow("no database commands") << "sqlcipher ~/" << false;
    QTest::newRow("one name for the report server") << "報告サーバー" << false;
    QTest::newRow("one name for a source") << "取得先" << false;
    QTest::newRow("what a METAR is") << "METAR (定時飛行場実況気象通報式)" << true;
    QTest::newRow("no blank inside a sentence") << "チェックした次の空港へスライドします" << true;
}

void TestProgramPage::deliveredPageWording()
{
    QFETCH(QString, words);
    QFETCH(bool, present);
    // As a browser reads it: every run of blanks and line breaks is one blank.
    const QString page = deliveredPage().simplified();
    QVERIFY(!page.isEmpty());
    QVERIFY2(page.contains(words) == present, qPrintable(words));
}

void TestProgramPage::commandsInALatinFace()
{
    // A Japanese font first draws "\" as a yen sign and "~" as an overline in the commands.
    const QRegularExpressionMatch rule =
        QRegularExpression(QStringLiteral("code, pre \\{ font-family: \"([^\"]+)\""))
            .match(deliveredPage());
    QVERIFY(rule.hasMatch());
    const QString first = rule.captured(1);
    QVERIFY2(QFontDatabase::families().contains(first), qPrintable(first));
    QVERIFY(QFontDatabase::isFixedPitch(first));
    QVERIFY2(!QFontDatabase::writingSystems(first).contains(QFontDatabase::Japanese),
             qPrintable(first));
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
