// The window "解読" over a running ticker and real station files served on loopback.
#include "decodewindow/DecodeWindow.h"
#include "support/TickerFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QtTest>

class TestDecodeWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensFromTheMenuWithoutAFetch_data();
    void opensFromTheMenuWithoutAFetch();
    void hoverMarksBothWays();
    void followsTheSlideUntilATargetIsPicked();
    void missingReportShowsTheFixedText_data();
    void missingReportShowsTheFixedText();
    void doubleClickOnTheTextOpensIt();

private:
    void serve(const QString &kind, const QString &code, const QString &file)
    {
        m_fixture->server().serveFile(QStringLiteral("/data/%1/%2.TXT")
                                          .arg(kind == QLatin1String("metar")
                                                   ? QStringLiteral("observations/metar/stations")
                                                   : QStringLiteral("forecasts/taf/stations"),
                                               code),
                                      QStringLiteral(TARNBECK_STATIONS "/%1/%2").arg(kind, file));
    }
    DecodeWindow *openFromTheMenu()
    {
        m_fixture->ticker()->menu().menu_decode_Click();
        return qobject_cast<DecodeWindow *>(m_fixture->ticker()->menu().decodeWindow());
    }
    /// The row whose group reads `text`; -1 when none does.
    static int rowOf(DecodeWindow *window, const QString &text)
    {
        for (int row = 0; row < window->groupRows()->rowCount(); ++row) {
            if (window->groupRows()->item(row, 0)->text().trimmed() == text)
                return row;
        }
        return -1;
    }

    std::unique_ptr<TickerFixture> m_fixture;
};

void TestDecodeWindow::init()
{
    m_fixture = std::make_unique<TickerFixture>();
    QVERIFY(m_fixture->setTargets({{"RJAA", true}, {"RJTT", true}, {"RJCC", false}}));
    serve("metar", "RJAA", "RJAA_1.TXT"); // a TEMPO, CBs and remarks
    serve("taf", "RJAA", "RJAA_1.TXT");
    serve("metar", "RJTT", "RJTT_1.TXT");
    serve("metar", "RJCC", "RJCC_1.TXT");
    serve("taf", "RJCC", "RJCC_1.TXT");
    QVERIFY(m_fixture->setSettings(QStringLiteral("getTAF = -1, scroll = 0")));
    QVERIFY(m_fixture->load());
    QVERIFY(m_fixture->refreshNow()); // the ticker shows RJAA, and RJTT comes next
}

void TestDecodeWindow::cleanup()
{
    m_fixture.reset();
}

void TestDecodeWindow::opensFromTheMenuWithoutAFetch_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("a trend") << "TEMPO"
                             << "一時的に変化";
    QTest::newRow("a layer of cumulonimbus") << "FEW030CB"
                                             << "積乱雲";
    QTest::newRow("the remarks") << "RMK"
                                 << "付加事項";
    QTest::newRow("a remark's layer") << "1CB030"
                                      << "積乱雲";
    QTest::newRow("a group of the TAF's TEMPO") << "SHRA"
                                                << "しゅう雨";
}

void TestDecodeWindow::opensFromTheMenuWithoutAFetch()
{
    QFETCH(QString, group);
    QFETCH(QString, meaning);
    PopupMenu &menu = m_fixture->ticker()->menu().menu();
    const QList<QAction *> items = menu.menu()->actions();
    QCOMPARE(items.indexOf(menu.menu_decode()), items.indexOf(menu.menu_setting()) + 1);
    QCOMPARE(menu.menu_decode()->text(), QStringLiteral("解読..."));

    const auto asked = m_fixture->server().requests().size();
    DecodeWindow *window = openFromTheMenu();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("解読"));
    QCOMPARE(m_fixture->server().requests().size(), asked); // the ticker's files, no fetch
    QCOMPARE(window->airport(), QStringLiteral("RJAA"));
    const int row = rowOf(window, group);
    QVERIFY2(row >= 0, qPrintable(group));
    QVERIFY2(window->groupRows()->item(row, 1)->text().contains(meaning),
             qPrintable(window->groupRows()->item(row, 1)->text()));
    QVERIFY(window->reportText()->toPlainText().startsWith(QStringLiteral("RJAA 310930Z")));
}

void TestDecodeWindow::hoverMarksBothWays()
{
    DecodeWindow *window = openFromTheMenu();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QPlainTextEdit *text = window->reportText();
    QTableWidget *rows = window->groupRows();
    const int row = rowOf(window, "FEW030CB");

    // A row under the pointer marks its group in the text.
    const QPoint onRow = rows->visualItemRect(rows->item(row, 1)).center();
    QMouseEvent overRow(QEvent::MouseMove, onRow, rows->viewport()->mapToGlobal(onRow),
                        Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rows->viewport(), &overRow);
    QCOMPARE(window->markedRow(), row);
    QCOMPARE(text->extraSelections().size(), 1);
    QCOMPARE(text->extraSelections().first().cursor.selectedText(), QStringLiteral("FEW030CB"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(rows->viewport(), &leave);
    QCOMPARE(window->markedRow(), -1);
    QVERIFY(text->extraSelections().isEmpty());

    // A group under the pointer, its last character included, marks its row.
    const int at = int(text->toPlainText().indexOf(QStringLiteral("1CB030")));
    for (int character : {at, at + 5}) {
        QTextCursor cursor(text->document());
        cursor.setPosition(character);
        const QPoint onGroup = text->cursorRect(cursor).center() + QPoint(3, 0);
        QMouseEvent overGroup(QEvent::MouseMove, onGroup, text->viewport()->mapToGlobal(onGroup),
                              Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(text->viewport(), &overGroup);
        QCOMPARE(window->markedRow(), rowOf(window, "1CB030"));
        QCOMPARE(rows->item(window->markedRow(), 1)->background(),
                 text->extraSelections().first().format.background());
        QCOMPARE(rows->item(row, 1)->background(), QBrush()); // the row marked before is not
    }
}

void TestDecodeWindow::followsTheSlideUntilATargetIsPicked()
{
    DecodeWindow *window = openFromTheMenu();
    QVERIFY(m_fixture->refreshNow()); // the slide to RJTT
    QCOMPARE(window->airport(), QStringLiteral("RJTT"));
    QVERIFY(window->reportText()->toPlainText().startsWith(QStringLiteral("RJTT 310900Z")));

    // RJCC is not in the rotation: the window fetches it itself.
    QSignalSpy shown(window, &DecodeWindow::decodingShown);
    window->targetList()->setCurrentIndex(window->targetList()->findData(QStringLiteral("RJCC")));
    QVERIFY(window->isFetching());
    QVERIFY(window->status()->text().contains(QStringLiteral("取得中")));
    QTRY_VERIFY(!window->isFetching());
    QVERIFY(window->reportText()->toPlainText().startsWith(QStringLiteral("RJCC 162130Z")));
    QVERIFY(window->status()->text().isEmpty());
    QVERIFY(m_fixture->refreshNow()); // the ticker slides on; the pick stays
    QCOMPARE(window->airport(), QStringLiteral("RJCC"));
}

void TestDecodeWindow::missingReportShowsTheFixedText_data()
{
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("failed");
    QTest::newRow("no TAF") << QStringList{"taf"} << "NO FORECAST"
                            << "RJCC の TAF を取得できませんでした";
    QTest::newRow("neither") << QStringList{"metar", "taf"} << "NO OBSERVATION"
                             << "RJCC の METAR と TAF を";
}

void TestDecodeWindow::missingReportShowsTheFixedText()
{
    QFETCH(QStringList, missing);
    QFETCH(QString, expected);
    QFETCH(QString, failed);
    for (const QString &kind : missing)
        m_fixture->server().setRoute(
            kind == QLatin1String("metar")
                ? QStringLiteral("/data/observations/metar/stations/RJCC.TXT")
                : QStringLiteral("/data/forecasts/taf/stations/RJCC.TXT"),
            {404, "", {}, {}});
    DecodeWindow *window = openFromTheMenu();
    window->targetList()->setCurrentIndex(window->targetList()->findData(QStringLiteral("RJCC")));
    QTRY_VERIFY(!window->isFetching());
    QVERIFY(window->reportText()->toPlainText().contains(expected));
    QVERIFY2(window->status()->text().contains(failed), qPrintable(window->status()->text()));
}

void TestDecodeWindow::doubleClickOnTheTextOpensIt()
{
    QWidget *text = m_fixture->ticker()->window().lbl(TickerView::Display);
    QTest::mouseDClick(text, Qt::LeftButton, {}, text->rect().center());
    QVERIFY(m_fixture->ticker()->menu().decodeWindow());
    QVERIFY(m_fixture->ticker()->menu().decodeWindow()->isVisible());
}

QTEST_MAIN(TestDecodeWindow)
#include "test_decodewindow.moc"
