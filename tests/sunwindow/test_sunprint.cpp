// Printing of the annual window: the printer dialog without printers, and the table and the
// graph written to PDF files through the window's own print path, read back with poppler.
#include "desktop/Fonts.h"
#include "desktop/MessageBox.h"
#include "sun/AirportCatalogue.h"
#include "sun/SunTimes.h"
#include "sunwindow/PrinterSelect.h"
#include "sunwindow/SunWindow.h"
#include "sunwindow/TablePrinter.h"
#include "support/FindChild.h"

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDate kToday(2026, 6, 21);

struct Word
{
    QString text;
    double x;
    double y;
};

/// The words of page 1 with their top-left corners in points.
QList<Word> pdfWords(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    QList<Word> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(html)) {
        QString text = m.captured(3);
        text.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.append({text, m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return words;
}

QString pdfInfo(const QString &path, const QString &key)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished(20000);
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).simplified();
    }
    return {};
}

} // namespace

class TestSunPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void noPrinterDialog();
    void closingTheDialogPrintsNothing();
    void cancelledFileQuestionKeepsTheDialog();
    void tableOnPaper_data();
    void tableOnPaper();
    void titleLine();
    void graphTabPrintsTheWindow();
    void unwritableFileIsReported();

private:
    /// Chooses `airport`, answers the dialog with "PDF保存" and `file`, presses "印　刷".
    void printToPdf(const QString &airport, const QString &file);

    std::unique_ptr<SunClock::Override> m_clock;
    std::unique_ptr<SunWindow> m_window;
    QTemporaryDir m_dir;
    QList<ShownMessage> m_messages;
    std::unique_ptr<MessageSink> m_sink;
};

void TestSunPrint::initTestCase()
{
    InstallFontSubstitutions();
    m_clock = std::make_unique<SunClock::Override>(kToday);
    QVERIFY(m_dir.isValid());
    m_sink = std::make_unique<MessageSink>(
        [this](const ShownMessage &message) { m_messages.append(message); });
    // The test environment points CUPS at a socket where no scheduler listens.
    QVERIFY2(PrinterSelect::installedPrinters().isEmpty(), "CUPS_SERVER must reach no printers");
}

void TestSunPrint::init()
{
    m_messages.clear();
    m_window = std::make_unique<SunWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestSunPrint::cleanup()
{
    m_window.reset();
}

void TestSunPrint::printToPdf(const QString &airport, const QString &file)
{
    auto *airports = child<QComboBox>(m_window.get(), QStringLiteral("cmb0"));
    airports->setCurrentIndex(airports->findText(airport));
    PrinterSelect::AnswerFileWith file_answer([&file](const QString &) { return file; });
    PrinterSelect::AnswerWith answer([](PrinterSelect &dialog) {
        child<QPushButton>(&dialog, QStringLiteral("cmd2"))->click();
    });
    child<QPushButton>(m_window.get(), QStringLiteral("cmd0"))->click();
}

void TestSunPrint::noPrinterDialog()
{
    PrinterSelect dialog(m_window.get());
    QCOMPARE(dialog.objectName(), QStringLiteral("printerselect"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" プリンター選択"));
    auto *list = child<QComboBox>(&dialog, QStringLiteral("cmb"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->currentText(), QStringLiteral(" 利用可能なプリンターがありません"));
    QCOMPARE(list->palette().color(QPalette::Text), QColor(0xC0, 0, 0));
    QCOMPARE(list->palette().color(QPalette::Base), dialog.palette().color(QPalette::Button));
    QCOMPARE(child<QPushButton>(&dialog, QStringLiteral("cmd0"))->text(), QStringLiteral("閉じる"));
    QVERIFY(!child<QPushButton>(&dialog, QStringLiteral("cmd1"))->isEnabled());
    QVERIFY(child<QPushButton>(&dialog, QStringLiteral("cmd2"))->isEnabled());

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *close = child<QPushButton>(&dialog, QStringLiteral("cmd0"));
    // The pointer entering the button, as the window system reports it.
    QEnterEvent enter(QPointF(5, 5), close->mapTo(&dialog, QPointF(5, 5)),
                      close->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(close, &enter);
    QCOMPARE(dialog.hoverIndex(), 0);
    QCOMPARE(close->palette().color(QPalette::Button), QColor(0x80, 0x80, 0x80));
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), dialog.mapToGlobal(QPointF(2, 2)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &move);
    QCOMPARE(dialog.hoverIndex(), 9);
    QCOMPARE(close->palette().color(QPalette::Button),
             QApplication::palette(close).color(QPalette::Button));
}

void TestSunPrint::closingTheDialogPrintsNothing()
{
    auto *airports = child<QComboBox>(m_window.get(), QStringLiteral("cmb0"));
    airports->setCurrentIndex(0);
    bool answered = false;
    PrinterSelect::AnswerWith answer([&answered](PrinterSelect &dialog) {
        answered = true;
        child<QPushButton>(&dialog, QStringLiteral("cmd0"))->click();
    });
    auto *print = child<QPushButton>(m_window.get(), QStringLiteral("cmd0"));
    print->click();
    QVERIFY(answered);
    QVERIFY(!PrinterSelect::printChosen());
    QCOMPARE(print->text(), QStringLiteral("印　刷"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(m_messages.isEmpty());
}

void TestSunPrint::cancelledFileQuestionKeepsTheDialog()
{
    PrinterSelect dialog(m_window.get());
    PrinterSelect::AnswerFileWith noFile([](const QString &suggested) {
        [&] {
            QVERIFY(suggested.endsWith(QLatin1String(".pdf")));
        }();
        return QString();
    });
    dialog.show();
    child<QPushButton>(&dialog, QStringLiteral("cmd2"))->click();
    QVERIFY(dialog.isVisible());
    QVERIFY(!PrinterSelect::printChosen());
}

void TestSunPrint::tableOnPaper_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    const auto entry = findCatalogueEntry(QStringLiteral("旭川"));
    QTest::newRow("day 1") << "1" << 0 << 1;
    QTest::newRow("day 31") << "31" << 0 << 31;
    QTest::newRow("1 January sunrise")
        << Calsunrise(2026, 1, 1, entry->latitude, entry->longitude) << 1 << 1;
    QTest::newRow("31 December sunset, last column and row")
        << Calsunset(2026, 12, 31, entry->latitude, entry->longitude) << 35 << 31;
}

void TestSunPrint::tableOnPaper()
{
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(int, row);
    const QString file = m_dir.filePath(QStringLiteral("table"));
    printToPdf(QStringLiteral("旭川"), file);
    QVERIFY(m_messages.isEmpty());
    QVERIFY(QFile::exists(file + QStringLiteral(".pdf")));
    QCOMPARE(child<QPushButton>(m_window.get(), QStringLiteral("cmd0"))->text(),
             QStringLiteral("印　刷"));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(pdfInfo(file + ".pdf", QStringLiteral("Pages")), QStringLiteral("1"));
    const QString size = pdfInfo(file + ".pdf", QStringLiteral("Page size"));
    QVERIFY2(size.startsWith(QLatin1String("842 x 595")), qPrintable(size));

    const QList<Word> words = pdfWords(file + QStringLiteral(".pdf"));
    QVERIFY(!words.isEmpty());
    // Points from the page corner: printable area margin plus twips / 20.
    const double x = sunPdfMarginPoints + (200 + 440 * column) / 20.0;
    const double y = sunPdfMarginPoints + (920 + 330 * row) / 20.0;
    if (column == 35)
        QCOMPARE(200 + 440 * column, 15600);
    if (row == 31)
        QCOMPARE(920 + 330 * row, 11150);
    bool found = false;
    for (const Word &w : words) {
        if (w.text == text && qAbs(w.x - x) < 0.5 && qAbs(w.y - y) < 2.5)
            found = true;
    }
    QVERIFY2(found, qPrintable(QStringLiteral("%1 not at %2, %3").arg(text).arg(x).arg(y)));

    // The month names stand above the sunrise columns, December over column 34.
    bool december = false;
    for (const Word &w : words) {
        if (w.text == QLatin1String("December") &&
            qAbs(w.x - (sunPdfMarginPoints + (200 + 440 * 34) / 20.0)) < 0.5 &&
            qAbs(w.y - (sunPdfMarginPoints + 850 / 20.0)) < 2.5)
            december = true;
    }
    QVERIFY(december);
}

void TestSunPrint::titleLine()
{
    const QString file = m_dir.filePath(QStringLiteral("title.pdf"));
    printToPdf(QStringLiteral("館山(H)"), file);
    const QList<Word> words = pdfWords(file);
    QVERIFY(!words.isEmpty());
    const auto entry = findCatalogueEntry(QStringLiteral("館山(H)"));
    const QString expected =
        QStringLiteral("2026年 空港別 常用日出没時刻 【館山(H)】 %1 %2 ELV=%3 EH=MSL+15 ⊿H=%4")
            .arg(entry->latitudeText, entry->longitudeText, elevationText(entry->elevation),
                 heightDifferenceText(heightDifference(entry->elevation)))
            .remove(QLatin1Char(' '));
    // Word breaks of proportional text are poppler's guess, so the blanks are not compared.
    QString line;
    for (const Word &w : words) {
        if (qAbs(w.y - words.first().y) < 1)
            line += w.text;
    }
    QCOMPARE(line, expected);
    QVERIFY(qAbs(words.first().x - (sunPdfMarginPoints + 10)) < 0.5);
    QVERIFY(qAbs(words.first().y - (sunPdfMarginPoints + 5)) < 2.5);
}

void TestSunPrint::graphTabPrintsTheWindow()
{
    child<QTabWidget>(m_window.get(), QStringLiteral("SSTab"))->setCurrentIndex(1);
    const QString file = m_dir.filePath(QStringLiteral("graph.pdf"));
    printToPdf(QStringLiteral("旭川"), file);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(pdfInfo(file, QStringLiteral("Pages")), QStringLiteral("1"));
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file});
    QVERIFY(images.waitForFinished(20000));
    const QString list = QString::fromUtf8(images.readAllStandardOutput());
    const QString size = QStringLiteral(" %1 %2 ").arg(m_window->width()).arg(m_window->height());
    QVERIFY2(list.simplified().contains(size.simplified()), qPrintable(list));
    QVERIFY(pdfWords(file).isEmpty()); // an image, no text
}

void TestSunPrint::unwritableFileIsReported()
{
    printToPdf(QStringLiteral("旭川"), m_dir.filePath(QStringLiteral("missing/dir/x.pdf")));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().icon, QMessageBox::Warning);
    QVERIFY(m_messages.first().text.contains(QLatin1String("missing/dir/x.pdf")));
    QCOMPARE(child<QPushButton>(m_window.get(), QStringLiteral("cmd0"))->text(),
             QStringLiteral("印　刷"));
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestSunPrint)
#include "test_sunprint.moc"
