// The window "拡張設定": its sources tab against a running ticker and loopback servers.
#include "platform/MessageBox.h"
#include "settings/DisplayTab.h"
#include "settings/ExtendedSettingsWindow.h"
#include "store/DisplayOptions.h"
#include "support/TickerFixture.h"

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
    void closingAsksBeforeDropping();
    void displayTabReachesTheTicker();

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
    QCOMPARE(items.value(setting + 1), menu.menu_extended()); // directly below "設定"
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
    QVERIFY(!window()->save());
    QCOMPARE(m_fixture->ticker()->store().hosts(), before); // not even the good one
    QCOMPARE(m_shown.size(), 1);
    QVERIFY(m_shown.first().text.contains(ExtendedSettingsWindow::rowLabel("camera3")));
}

void TestExtendedSettings::savedReportServerReachesTheNextFetch()
{
    LoopbackHttpServer other;
    QVERIFY(other.start());
    other.setRoute(QStringLiteral("/data/observations/metar/stations/RJTT.TXT"),
                   {200, "2024/01/15 12:30\nRJTT 151230Z 99999KT\n", {}, {}});
    m_fixture->ticker()->menu().menu_extended_Click();
    window()->address(QStringLiteral("report"))->setText(other.baseUrl().toString() + "/ ");
    QVERIFY(window()->save());
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
    QTest::addColumn<QString>("shown");
    QTest::newRow("an image") << "camera1" << 200 << QByteArray("image/jpeg")
                              << "200 OK · 2 KB · image/jpeg";
    QTest::newRow("missing") << "camera1" << 404 << QByteArray("text/plain") << "HTTP 404";
    QTest::newRow("a page instead of an image")
        << "camera1" << 200 << QByteArray("text/html") << "画像ではなくページが返りました";
    QTest::newRow("the network check")
        << "home" << 200 << QByteArray("text/plain") << "200 OK · 2 KB · text/plain";
}

void TestExtendedSettings::checkShowsWhatCame()
{
    QFETCH(QString, row);
    QFETCH(int, status);
    QFETCH(QByteArray, type);
    QFETCH(QString, shown);
    LoopbackHttpServer source;
    QVERIFY(source.start());
    const QString path = row == QLatin1String("home")
                             ? QStringLiteral("/ident.dat")
                             : QStringLiteral("/cameraimg/shinchitose_L.jpg");
    source.setRoute(path, {status, QByteArray(2048, 'x'), {}, {}, type});
    m_fixture->ticker()->menu().menu_extended_Click();
    window()->address(row)->setText(source.baseUrl().toString());
    window()->check(row);
    QTRY_COMPARE(window()->answer(row)->text(), shown);
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
        return ticker->window().lbl(TickerView::Staging)->caption().section(QLatin1Char('\r'), 0, 0);
    };
    const auto handleColor = [&] {
        return ticker->window().lbl(TickerView::Handle)->palette().color(QPalette::WindowText);
    };
    tab->showCategory()->click();
    QString code = refreshIfr();
    QCOMPARE(header(), code + QStringLiteral(" METAR 1230Z  IFR"));
    QCOMPARE(handleColor(), ticker->window().handleColor(FlightCategory::IFR));
    QCOMPARE(handleColor().red(), 255);

    // Off again: the original header, the handle in the text colour.
    tab->showCategory()->click();
    code = refreshIfr();
    QCOMPARE(header(), code + QStringLiteral(" METAR 1230Z"));
    QCOMPARE(handleColor(),
             ticker->window().lbl(TickerView::Display)->palette().color(QPalette::WindowText));
    QCOMPARE(LoadDisplayOptions(ticker->store()), DisplayOptions{});
}

QTEST_MAIN(TestExtendedSettings)
#include "test_extendedsettings.moc"
