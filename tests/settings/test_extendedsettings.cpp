// The window "拡張設定": its sources tab against a running ticker and loopback servers.
#include "desktop/MessageBox.h"
#include "settings/DisplayTab.h"
#include "settings/ExtendedSettingsWindow.h"
#include "store/DisplayOptions.h"
#include "support/TickerFixture.h"
#include "ticker/TickerLabel.h"
#include "web/DocumentAddress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

class TestExtendedSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openedFromTheMenu();
    void badAddressesWriteNothing_data();
    void badAddressesWriteNothing();
    void savedReportServerReachesTheNextFetch();
    void checkShowsWhatCame_data();
    void checkShowsWhatCame();
    void agencyCheckTakesTheNewestRun_data();
    void agencyCheckTakesTheNewestRun();
    void closingAsksBeforeDropping();
    void escapeAsksAsClosingDoes_data();
    void escapeAsksAsClosingDoes();
    void enterChecksItsOwnRow();
    void anAnswerGoesWithItsAddress();
    void displayTabReachesTheTicker();
    void oneNameForEachThing();

private:
    ExtendedSettingsWindow *window() const
    {
        return qobject_cast<ExtendedSettingsWindow *>(m_fixture->ticker()->menu().modalWindow());
    }

    std::unique_ptr<TickerFixture> m_fixture;
    QList<ShownMessage> m_shown;
    std::unique_ptr<MessageSink> m_sink;
};

void TestExtendedSettings::init()
{
    m_fixture = std::make_unique<TickerFixture>();
    m_shown.clear();
    m_sink = std::make_unique<MessageSink>([this](const ShownMessage &m) { m_shown.append(m); });
    QVERIFY(m_fixture->load());
}

void TestExtendedSettings::cleanup()
{
    m_fixture.reset();
    m_sink.reset();
}

void TestExtendedSettings::openedFromTheMenu()
{
    PopupMenu &menu = m_fixture->ticker()->menu().menu();
    const QList<QAction *> items = menu.menu()->actions();
    const auto setting = items.indexOf(menu.menu_setting());
    QCOMPARE(items.value(setting + 2), menu.menu_extended()); // below "設定" and "解読..."
    QCOMPARE(menu.menu_extended()->text(), QStringLiteral("拡張設定..."));
    menu.menu_extended()->trigger();
    QVERIFY(window());
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->windowModality(), Qt::ApplicationModal);
    QCOMPARE(window()->address(QStringLiteral("report"))->text(),
             m_fixture->server().baseUrl().toString());
}

void TestExtendedSettings::badAddressesWriteNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("ftp") << "ftp://x";
    QTest::newRow("no host") << "http://";
    QTest::newRow("a blank") << "http://a b";
    QTest::newRow("a query") << "https://h/?q=1";
}

void TestExtendedSettings::badAddressesWriteNothing()
{
    QFETCH(QString, typed);
    const QHash<QString, QString> before = m_fixture->ticker()->store().hosts();
    m_fixture->ticker()->menu().menu_extended_Click();
    window()->address(QStringLiteral("chart2"))->setText(QStringLiteral("https://fine.test"));
    window()->address(QStringLiteral("camera3"))->setText(typed);
    window()->address(QStringLiteral("chart7"))->setText(typed);
    QVERIFY(!window()->save());
    QCOMPARE(m_fixture->ticker()->store().hosts(), before); // not even the good one
    QCOMPARE(m_shown.size(), 1);
    // Every bad one is named and marked, not only the first.
    for (const char *bad : {"camera3", "chart7"}) {
        QVERIFY(m_shown.first().text.contains(ExtendedSettingsWindow::rowLabel(bad)));
        QVERIFY(!window()->address(bad)->styleSheet().isEmpty());
    }
    QVERIFY(window()->address(QStringLiteral("chart2"))->styleSheet().isEmpty());
    QVERIFY(m_shown.first().text.contains(QStringLiteral("変更は保存されていません。")));
    QVERIFY(window()->status()->text().isEmpty());
}

void TestExtendedSettings::savedReportServerReachesTheNextFetch()
{
    LoopbackHttpServer other;
    QVERIFY(other.start());
    other.setRoute(QStringLiteral("/data/observations/metar/stations/RJTT.TXT"),
                   {200, "2024/01/15 12:30\nRJTT 151230Z 99999KT\n", {}, {}});
    m_fixture->ticker()->menu().menu_extended_Click();
    window()->address(QStringLiteral("report"))->setText(other.baseUrl().toString() + "/ ");
    QVERIFY(window()->status()->text().isEmpty());
    QVERIFY(window()->save());
    QCOMPARE(window()->status()->text(), QStringLiteral("保存しました。"));
    QCOMPARE(m_fixture->ticker()->store().host(QStringLiteral("report")),
             other.baseUrl().toString());
    QVERIFY(m_fixture->refreshNow());
    // Slid in or shown at once, as the settings say: the new server's report.
    TickerSession *ticker = m_fixture->ticker();
    QVERIFY(ticker->window().lbl(TickerView::Staging)->caption().contains("99999KT") ||
            ticker->window().lbl(TickerView::Display)->caption().contains("99999KT"));
}

void TestExtendedSettings::checkShowsWhatCame_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("shown");
    const auto sized = [](QByteArray start) {
        return start.leftJustified(2048, 'x');
    };
    const QByteArray jpeg = sized("\xFF\xD8\xFF\xE0");
    QTest::newRow("an image") << "camera1" << 200 << QByteArray("image/jpeg") << jpeg
                              << "200 OK · 2 KB · image/jpeg";
    QTest::newRow("a PNG") << "camera1" << 200 << QByteArray("image/png")
                           << sized("\x89PNG\r\n\x1A\n") << "200 OK · 2 KB · image/png";
    QTest::newRow("missing") << "camera1" << 404 << QByteArray("text/plain") << jpeg << "HTTP 404";
    QTest::newRow("a page instead of an image")
        << "camera1" << 200 << QByteArray("text/html") << sized("<html><body>")
        << "画像ではなく Web ページが返されました";
    QTest::newRow("other bytes called an image")
        << "camera1" << 200 << QByteArray("image/jpeg") << sized("Service unavailable")
        << "画像ではありません (image/jpeg)";
    QTest::newRow("an empty answer") << "camera1" << 204 << QByteArray("image/jpeg") << QByteArray()
                                     << "応答が空です (HTTP 204)";
    QTest::newRow("the network check")
        << "home" << 200 << QByteArray("text/plain") << sized("x") << "200 OK · 2 KB · text/plain";
    QTest::newRow("an empty network check")
        << "home" << 200 << QByteArray("text/plain") << QByteArray() << "応答が空です (HTTP 200)";
}

void TestExtendedSettings::checkShowsWhatCame()
{
    QFETCH(QString, row);
    QFETCH(int, status);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, body);
    QFETCH(QString, shown);
    LoopbackHttpServer source;
    QVERIFY(source.start());
    const QString path = row == QLatin1String("home")
                             ? QStringLiteral("/ident.dat")
                             : QStringLiteral("/cameraimg/shinchitose_L.jpg");
    source.setRoute(path, {status, body, {}, {}, type});
    m_fixture->ticker()->menu().menu_extended_Click();
    window()->address(row)->setText(source.baseUrl().toString());
    window()->check(row);
    QTRY_COMPARE(window()->answer(row)->toolTip(), shown); // the whole, however it is cut
}

void TestExtendedSettings::agencyCheckTakesTheNewestRun_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("newestOut"); // else only the run before it is there
    QTest::addColumn<bool>("previousOut");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("asked");
    const QString ok = QStringLiteral("200 OK · 2 KB · application/pdf");
    QTest::newRow("the surface analysis") << "jma" << true << false << ok << 1;
    QTest::newRow("the newest run") << "jmabosai" << true << true << ok << 1;
    QTest::newRow("the run before it") << "jmabosai" << false << true << ok << 2;
    QTest::newRow("neither") << "jmabosai" << false << false << "HTTP 404" << 2;
}

void TestExtendedSettings::agencyCheckTakesTheNewestRun()
{
    QFETCH(QString, row);
    QFETCH(bool, newestOut);
    QFETCH(bool, previousOut);
    QFETCH(QString, shown);
    QFETCH(int, asked);
    LoopbackHttpServer source;
    QVERIFY(source.start());
    const QByteArray pdf = QByteArray("%PDF-1.4\n").leftJustified(2048, 'x');
    const LoopbackHttpServer::Route chart{200, pdf, {}, {}, "application/pdf"};
    const QString dir = QStringLiteral("/bosai/numericmap/data/nwpmap/");
    const QDateTime run = jmaNewestRun(QDateTime::currentDateTimeUtc());
    const auto file = [&](const QDateTime &at) {
        return dir + QStringLiteral("aupq35_%1.pdf").arg(at.time().hour(), 2, 10, QLatin1Char('0'));
    };
    if (row == QLatin1String("jma"))
        source.setRoute(QStringLiteral("/yoho/data/wxchart/quick/ASAS_COLOR.pdf"), chart);
    if (newestOut)
        source.setRoute(file(run), chart);
    if (previousOut)
        source.setRoute(file(jmaPreviousRun(run)), chart);
    m_fixture->ticker()->menu().menu_extended_Click();
    window()->address(row)->setText(source.baseUrl().toString());
    window()->check(row);
    QTRY_COMPARE(window()->answer(row)->toolTip(), shown);
    QCOMPARE(source.requests().size(), asked);
    if (row == QLatin1String("jmabosai"))
        QCOMPARE(source.requests().first(), file(run));
}

void TestExtendedSettings::closingAsksBeforeDropping()
{
    const QHash<QString, QString> before = m_fixture->ticker()->store().hosts();
    m_fixture->ticker()->menu().menu_extended_Click();
    QPointer<ExtendedSettingsWindow> w = window();
    w->address(QStringLiteral("chart4"))->setText(QStringLiteral("https://new.test"));
    w->close();
    QCOMPARE(m_shown.size(), 1); // asked, and (under the sink) answered: drop them
    QCOMPARE(m_shown.first().icon, QMessageBox::Question);
    QTRY_VERIFY(!w);
    QCOMPARE(m_fixture->ticker()->store().hosts(), before);
}

void TestExtendedSettings::escapeAsksAsClosingDoes_data()
{
    QTest::addColumn<bool>("typed");
    QTest::newRow("an address typed") << true;
    QTest::newRow("nothing changed") << false;
}

void TestExtendedSettings::escapeAsksAsClosingDoes()
{
    QFETCH(bool, typed);
    const QHash<QString, QString> before = m_fixture->ticker()->store().hosts();
    m_fixture->ticker()->menu().menu_extended_Click();
    QPointer<ExtendedSettingsWindow> w = window();
    QLineEdit *edit = w->address(QStringLiteral("chart4"));
    edit->setFocus();
    if (typed)
        QTest::keyClicks(edit, QStringLiteral("https://new.test"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(m_shown.size(), typed ? 1 : 0); // asked, and answered under the sink: drop them
    if (typed)
        QCOMPARE(m_shown.first().text,
                 QStringLiteral("保存していない変更があります。破棄して閉じますか？"));
    QTRY_VERIFY(!w);
    QCOMPARE(m_fixture->ticker()->store().hosts(), before);
}

void TestExtendedSettings::enterChecksItsOwnRow()
{
    LoopbackHttpServer source;
    QVERIFY(source.start());
    source.setRoute(QStringLiteral("/ident.dat"), {200, "ident", {}, {}});
    m_fixture->ticker()->menu().menu_extended_Click();
    QLineEdit *edit = window()->address(QStringLiteral("home"));
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, source.baseUrl().toString());
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(window()->answer(QStringLiteral("home"))->toolTip(),
                 QStringLiteral("200 OK · 5 B · text/plain"));
    // Nothing else ran: not the first row's "確認", not "保存".
    QVERIFY(window()->answer(QStringLiteral("report"))->text().isEmpty());
    QVERIFY(window()->status()->text().isEmpty());
    QVERIFY(m_fixture->ticker()->store().host(QStringLiteral("home")) !=
            source.baseUrl().toString());
}

void TestExtendedSettings::anAnswerGoesWithItsAddress()
{
    m_fixture->ticker()->menu().menu_extended_Click();
    QLineEdit *edit = window()->address(QStringLiteral("chart3"));
    edit->setText(QStringLiteral("ftp://old.test"));
    window()->check(QStringLiteral("chart3"));
    QVERIFY(!window()->answer(QStringLiteral("chart3"))->text().isEmpty());
    QTest::keyClicks(edit, QStringLiteral("x"));
    QCOMPARE(window()->answer(QStringLiteral("chart3"))->text(), QString());
    QCOMPARE(window()->answer(QStringLiteral("chart3"))->toolTip(), QString());
}

void TestExtendedSettings::displayTabReachesTheTicker()
{
    TickerSession *ticker = m_fixture->ticker();
    ticker->menu().menu_extended_Click();
    auto *tab = window()->findChild<DisplayTab *>();
    QVERIFY(tab);
    QVERIFY(!tab->showCategory()->isChecked() && !tab->markOld()->isChecked() &&
            !tab->notifyWorse()->isChecked());
    QCOMPARE(tab->oldMinutes()->currentText(), QStringLiteral("75 分"));

    // An IFR report: with the option on the handle turns red and the header names it.
    const auto refreshIfr = [&] {
        const QString code = ticker->cycle().currentAirport();
        m_fixture->serveMetar(code, QStringLiteral("151230Z 34008KT 2000 BR OVC008 08/M02 Q1021"));
        return m_fixture->refreshNow() ? code : QString();
    };
    const auto header = [&] {
        return ticker->window()
            .lbl(TickerView::Staging)
            ->caption()
            .section(QLatin1Char('\r'), 0, 0);
    };
    const auto handleColor = [&] {
        return ticker->window().lbl(TickerView::Handle)->palette().color(QPalette::WindowText);
    };
    tab->showCategory()->click();
    QString code = refreshIfr();
    QCOMPARE(header(), code + QStringLiteral(" METAR 1230Z  IFR"));
    ticker->window().finishSlide(); // the handle follows the text shown, not the one coming
    QCOMPARE(handleColor(), ticker->window().handleColor(FlightCategory::IFR));
    QCOMPARE(handleColor().red(), 255);

    // Off again: the original header, the handle in the text colour.
    tab->showCategory()->click();
    code = refreshIfr();
    QCOMPARE(header(), code + QStringLiteral(" METAR 1230Z"));
    ticker->window().finishSlide();
    QCOMPARE(handleColor(),
             ticker->window().lbl(TickerView::Display)->palette().color(QPalette::WindowText));
    QCOMPARE(LoadDisplayOptions(ticker->store()), DisplayOptions{});

    // The outline shows at once, on every label, and goes again.
    const QSize plain = ticker->window().size();
    tab->outline()->click();
    QVERIFY(LoadDisplayOptions(ticker->store()).outline);
    for (int index : {TickerView::Display, TickerView::Staging, TickerView::Handle})
        QVERIFY(ticker->window().lbl(index)->outlined());
    QVERIFY(ticker->window().size().width() > plain.width());
    tab->outline()->click();
    QVERIFY(!ticker->window().lbl(TickerView::Handle)->outlined());
    QCOMPARE(ticker->window().size(), plain);
}

void TestExtendedSettings::oneNameForEachThing()
{
    m_fixture->ticker()->menu().menu_extended_Click();
    QStringList texts;
    for (const QLabel *label : window()->findChildren<QLabel *>())
        texts.append(label->text());
    for (const QAbstractButton *button : window()->findChildren<QAbstractButton *>())
        texts.append(button->text());
    const QString all = texts.join(QLatin1Char('\n'));
    QVERIFY(!all.contains(QStringLiteral("報告サーバー")));
    QVERIFY(all.contains(QStringLiteral("通報サーバー (METAR / TAF の局ファイル)")));
    QVERIFY(all.contains(QStringLiteral("予備の通報サーバー (Data API。空欄なら使用しない)")));
    // The notice option promises SPECI only where one can be told: from the second source.
    const auto speci = std::find_if(texts.cbegin(), texts.cend(), [](const QString &text) {
        return text.contains(QLatin1String("SPECI"));
    });
    QVERIFY(speci != texts.cend());
    QVERIFY2(speci->contains(QStringLiteral("チェックした空港")) &&
                 speci->contains(QStringLiteral("予備の通報サーバー")),
             qPrintable(*speci));
}

QTEST_MAIN(TestExtendedSettings)
#include "test_extendedsettings.moc"
