// The window keeps its control names, its twip positions and its order of steps;
// the graph and the printout read the grid only.
#include "sunwindow/SunWindow.h"

#include "desktop/Fonts.h"
#include "desktop/MessageBox.h"
#include "desktop/WindowPlacement.h"
#include "platform/Twips.h"
#include "sun/AirportCatalogue.h"
#include "sun/SunTimes.h"
#include "sunwindow/PrinterSelect.h"
#include "sunwindow/SunGraph.h"
#include "sunwindow/SunWindowLook.h"
#include "sunwindow/TablePrinter.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

using namespace SunLook;

namespace {

// Restores pointer and caption however the print ends.
class BusyPrinting final
{
public:
    explicit BusyPrinting(QPushButton *button) : m_button(button)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_button->setText(QStringLiteral("印刷中"));
        m_button->repaint();
    }
    ~BusyPrinting()
    {
        QApplication::restoreOverrideCursor();
        m_button->setText(kPrintCaption);
    }
    BusyPrinting(const BusyPrinting &) = delete;
    BusyPrinting &operator=(const BusyPrinting &) = delete;

private:
    QPushButton *m_button;
};

} // namespace

SunWindow::SunWindow(QWidget *owner) : QDialog(owner)
{
    buildControls();
    Form_Load();
}

void SunWindow::Form_Load()
{
    m_activated = false;
    m_graphStale = false;
    setWindowTitle(QStringLiteral(" Tarnbeck - 空港別 日出没時刻"));

    m_cmb[0]->addItems(catalogueListItems());
    m_cmb[0]->setCurrentIndex(-1);

    m_today = SunClock::today();
    for (int year = m_today.year() - 1; year <= m_today.year() + 10; ++year)
        m_cmb[1]->addItem(QString::number(year));
    m_cmb[1]->setCurrentText(QString::number(m_today.year()));

    SetupGrid();
    m_graph->setTodayLineX(todayLineX(m_today));
    m_graph->setTodayLineVisible(false);
    m_cmd[0]->setEnabled(false);
}

void SunWindow::showEvent(QShowEvent *event)
{
    // On the screen's centre: QDialog would centre it on the ticker, in a corner perhaps.
    if (!event->spontaneous())
        CentreOnScreen(this, ScreenFor(parentWidget()));
    QDialog::showEvent(event);
    placeTabContents();
    Form_Activate();
}

void SunWindow::Form_Activate()
{
    m_activated = true;
}

void SunWindow::placeTabContents()
{
    // Tab contents are placed from the tab strip's corner, tab row included.
    for (QWidget *area : m_tabArea) {
        QWidget *page = area->parentWidget();
        area->move(-page->mapTo(m_tab, QPoint(0, 0)));
    }
}

bool SunWindow::thisYearShown() const
{
    return m_cmb[1]->currentText().toInt() == m_today.year();
}

void SunWindow::cmb_Click(int)
{
    if (!m_activated)
        return;
    m_graph->setTodayLineVisible(thisYearShown());
    const QString airport = m_cmb[0]->currentText();
    if (airport == kSeparator) {
        SetupGrid();
        DrawGraph();
        m_graph->setTodayLineVisible(false);
    } else if (!airport.isEmpty()) {
        MakeYearTable();
        m_cmd[0]->setEnabled(true);
    }
}

void SunWindow::SetupGrid()
{
    m_grid->setUpdatesEnabled(false);
    m_grid->setColumnCount(0);
    m_grid->setRowCount(0);
    m_grid->setColumnCount(sunGridColumns);
    m_grid->setRowCount(sunGridRows);

    m_grid->setColumnWidth(0, twipsToPixels(430));
    for (int c = 1; c < sunGridColumns; ++c)
        m_grid->setColumnWidth(c, twipsToPixels(c % 3 == 0 ? 10 : 570));

    m_year = SunGrid::laidOut();
    const SunGrid &texts = m_year;
    const QColor fixedBack = palette().color(QPalette::Button);
    for (int r = 0; r < sunGridRows; ++r) {
        for (int c = 0; c < sunGridColumns; ++c) {
            auto *item = new QTableWidgetItem(texts.cell(r, c));
            item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
            if (r == 0 || c == 0) {
                item->setBackground(fixedBack);
                item->setFlags(Qt::ItemIsEnabled);
            } else if (c % 3 == 1) {
                item->setForeground(kSunriseText);
            } else if (c % 3 == 2) {
                item->setForeground(kSunsetText);
            }
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->setUpdatesEnabled(true);

    if (m_tab->currentIndex() == 1) {
        setMonthHeadersVisible(false);
        return;
    }
    const int headerHeight = m_grid->rowHeight(0) * twipsPerPixel - 10;
    const int gridTop = int(pixelsToTwips(m_grid->y()));
    for (int i = 0; i < 12; ++i) {
        m_label1[i]->move(0, twipsToPixels(10));
        m_frame1[i]->setGeometry(twipsRect(540 + 1155 * i, gridTop + 10, 1130, headerHeight));
        m_label1[i]->resize(m_frame1[i]->size());
        m_frame1[i]->show();
    }
}

void SunWindow::setMonthHeadersVisible(bool visible)
{
    for (QFrame *frame : m_frame1)
        frame->setVisible(visible);
}

void SunWindow::MakeYearTable()
{
    m_airportIcao.clear();
    if (const auto entry = findCatalogueEntry(m_cmb[0]->currentText())) {
        m_latitude = entry->latitude;
        m_longitude = entry->longitude;
        m_latText = entry->latitudeText;
        m_lonText = entry->longitudeText;
        m_airportIcao = entry->indicator;
        m_airportElev = entry->elevation;
    }
    const auto year = qint16(m_cmb[1]->currentText().toInt());
    m_leapYear = sunLeapYear(year);

    SetupGrid();
    m_grid->setUpdatesEnabled(false);
    m_year = SunGrid::forYear(year, m_latitude, m_longitude);
    for (int r = 1; r < sunGridRows; ++r) {
        for (int c = 1; c < sunGridColumns; ++c)
            m_grid->item(r, c)->setText(m_year.cell(r, c));
    }
    m_grid->setUpdatesEnabled(true);
    DrawGraph();
    m_graphStale = true;

    m_panel.indicator->setText(m_airportIcao);
    m_panel.elevation->setText(elevationText(m_airportElev));
    m_panel.eyeHeight->setText(QStringLiteral("MSL+15"));
    m_panel.heightDifference->setText(heightDifferenceText(heightDifference(m_airportElev)));
    m_panel.latitude->setText(m_latText);
    m_panel.longitude->setText(m_lonText);
}

void SunWindow::DrawGraph()
{
    m_graph->clearCurves();
    if (m_cmb[0]->currentText() == kSeparator)
        return;
    const GraphCurve sunrise = graphCurve(m_year, SunEvent::Sunrise, m_leapYear);
    const GraphCurve sunset = graphCurve(m_year, SunEvent::Sunset, m_leapYear);

    m_grid->setUpdatesEnabled(false);
    const int row = m_today.day();
    const int column = 3 * (m_today.month() - 1) + 1;
    m_grid->setCurrentCell(row, column);
    const bool highlight = thisYearShown();
    QTableWidgetItem *rise = m_grid->item(row, column);
    QTableWidgetItem *set = m_grid->item(row, column + 1);
    rise->setBackground(highlight ? kTodaySunrise : QColor(Qt::white));
    rise->setForeground(highlight ? QColor(Qt::black) : kSunriseText);
    set->setBackground(highlight ? kTodaySunset : QColor(Qt::white));
    set->setForeground(highlight ? QColor(Qt::black) : kSunsetText);
    m_grid->setUpdatesEnabled(true);

    m_graph->setCurves(sunrise, sunset);
}

void SunWindow::SSTab_Click(int tab)
{
    if (m_cmb[0]->currentText().isEmpty())
        return;
    if (tab == 0) {
        m_graphStale = true;
        setMonthHeadersVisible(true);
    } else if (m_graphStale) {
        DrawGraph();
        m_graphStale = false;
        setMonthHeadersVisible(false);
    }
}

void SunWindow::cmd_Click(int index)
{
    if (index == 1) {
        reject();
        return;
    }
    printChosenTab();
}

void SunWindow::printChosenTab()
{
    QString name =
        QStringLiteral("%1_%2.pdf").arg(m_cmb[1]->currentText(), m_cmb[0]->currentText());
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    PrinterSelect::choose(this, name, [this](const PrintTarget &target) { print(target); });
}

void SunWindow::print(const PrintTarget &target)
{
    // The image is taken before the button turns busy, so the sheet shows the window at rest.
    const QPixmap image = m_tab->currentIndex() == 0 ? QPixmap() : grab();
    bool printed = false;
    {
        const BusyPrinting busy(m_cmd[0]);
        const auto printer = makeSunPrinter(target);
        printed =
            m_tab->currentIndex() == 0 ? PrintTable(*printer) : printWindowImage(*printer, image);
    }
    if (!printed) {
        const QString where = target.pdfPath.isEmpty() ? target.printerName : target.pdfPath;
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    QStringLiteral("印刷できませんでした。\n%1").arg(where));
    }
}

bool SunWindow::PrintTable(QPrinter &printer)
{
    TitleParts parts;
    parts.yearText = m_cmb[1]->currentText();
    parts.indicator = m_airportIcao;
    parts.airportName = m_cmb[0]->currentText();
    parts.latitudeText = m_latText;
    parts.longitudeText = m_lonText;
    parts.elevation = m_airportElev;
    parts.heightDifferenceText = heightDifferenceText(heightDifference(m_airportElev));
    QStringList months;
    for (const char *month : kMonthNames)
        months.append(QString::fromLatin1(month));
    return printSunTable(printer, printTitleLine(parts), months, m_year);
}

void SunWindow::cmd_MouseMove(int index)
{
    m_hover.hover(index);
}

void SunWindow::Form_MouseMove()
{
    m_hover.leave();
}

void SunWindow::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

bool SunWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    for (int i = 0; i < 2; ++i) {
        if (watched != m_cmd[i])
            continue;
        if (type == QEvent::Enter || type == QEvent::MouseMove)
            cmd_MouseMove(i);
        else if (type == QEvent::Leave)
            Form_MouseMove(); // the pointer may leave onto the panel, which has no handler
        return QDialog::eventFilter(watched, event);
    }
    if (type == QEvent::MouseMove)
        Form_MouseMove();
    return QDialog::eventFilter(watched, event);
}
