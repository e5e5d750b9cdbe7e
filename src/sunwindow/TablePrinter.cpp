// The painter is scaled so that one unit is one twip of the printable area, whatever the
// printer's resolution; font sizes are therefore given in twips too (20 to a point).
#include "sunwindow/TablePrinter.h"

#include "desktop/Fonts.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr int kTwipsPerPoint = 20;
// Room for one cell's text: the column pitch less a gap of two points.
constexpr double kCellWidth = 440 - 2 * kTwipsPerPoint;

bool beginTwips(QPainter &painter, QPrinter &printer)
{
    if (!painter.begin(&printer))
        return false;
    painter.scale(printer.logicalDpiX() / kTwipsPerInch, printer.logicalDpiY() / kTwipsPerInch);
    return true;
}

QFont paperFont(double points, bool bold)
{
    QFont font(QString::fromUtf8(proportionalGothicFamily));
    font.setPixelSize(int(points * kTwipsPerPoint));
    font.setBold(bold);
    return font;
}

// Text whose top stands at (x, y): a print position is the top of the line.
void printAt(QPainter &painter, int x, int y, const QString &text)
{
    painter.drawText(QPointF(x, y + painter.fontMetrics().ascent()), text);
}

bool finish(QPainter &painter, QPrinter &printer)
{
    const bool ended = painter.end();
    return ended && printer.printerState() != QPrinter::Error;
}

} // namespace

std::unique_ptr<QPrinter> makeSunPrinter(const PrintTarget &target)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (target.pdfPath.isEmpty()) {
        printer->setPrinterName(target.printerName);
    } else {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(target.pdfPath);
    }
    printer->setDocName(QStringLiteral("Tarnbeck - 空港別 日出没時刻"));
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Landscape);
    if (!target.pdfPath.isEmpty()) {
        // A file has no unprintable border; give it the quarter inch most printers keep.
        const double m = sunPdfMarginPoints;
        printer->setPageMargins(QMarginsF(m, m, m, m), QPageLayout::Point);
    }
    printer->setFullPage(false);
    return printer;
}

bool printSunTable(QPrinter &printer, const QString &title, const QStringList &monthNames,
                   const SunGrid &grid)
{
    QPainter painter;
    if (!beginTwips(painter, printer))
        return false;
    painter.setPen(Qt::black);

    painter.setFont(paperFont(14, true));
    printAt(painter, 200, 100, title);

    painter.setFont(paperFont(9, false));
    qsizetype k = 0;
    for (int c = 0; c < sunGridColumns; ++c) {
        if (grid.cell(0, c) == QLatin1String("*") && k < monthNames.size())
            printAt(painter, 200 + 440 * c, 850, monthNames.at(k++));
    }
    printAt(painter, 200, 1050, QString(179, QLatin1Char('-')));

    // The columns stand 440 twips apart; where the installed font's digits are too wide for
    // that, a time would run into its neighbour, so the cells are narrowed to fit.
    const double widest = painter.fontMetrics().horizontalAdvance(QStringLiteral("0000"));
    const double narrowing = widest > kCellWidth ? kCellWidth / widest : 1.0;
    for (int r = 1; r < sunGridRows; ++r) {
        for (int c = 0; c < sunGridColumns; ++c) {
            if (grid.cell(r, c).isEmpty())
                continue;
            painter.save();
            painter.translate(200 + 440 * c, 920 + 330 * r);
            painter.scale(narrowing, 1);
            printAt(painter, 0, 0, grid.cell(r, c));
            painter.restore();
        }
    }
    return finish(painter, printer);
}

bool printWindowImage(QPrinter &printer, const QPixmap &image)
{
    QPainter painter;
    if (!beginTwips(painter, printer))
        return false;
    const QSizeF logical = image.deviceIndependentSize();
    painter.drawPixmap(QRectF(0, 0, logical.width() * 15, logical.height() * 15), image,
                       QRectF(image.rect()));
    return finish(painter, printer);
}
