// The window keeps its control names, its twip positions and its order of steps;
// the graph and the printout read the grid only.
#include "SunWindow.h"

#include "AirportCatalogue.h"
#include "PrinterSelect.h"
#include "SunGraph.h"
#include "SunTimes.h"
#include "TablePrinter.h"
#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"

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

namespace {

const QColor kNavy(0, 0, 0x80);
const QColor kSunriseText(0xC0, 0, 0);
const QColor kSunsetText(0, 0, 0xC0);
const QColor kTodaySunrise(0xFF, 0xC0, 0xC0);
const QColor kTodaySunset(0xC0, 0xC0, 0xFF);
const QColor kHeaderFrame(0xE0, 0xE0, 0xE0);
const QColor kHeaderLabel(0xFF, 0xFF, 0x80);
const QColor kHover(0x80, 0x80, 0x80);

const QString kSeparator = QStringLiteral("---");
const QString kPrintCaption = QStringLiteral("印　刷");

constexpr const char *kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

QFont windowFont(double points, bool bold, const char *family = proportionalGothicFamily)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

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

void SunWindow::paintButton(QPushButton *button, bool hovered)
{
    QPalette p = button->palette();
    p.setColor(QPalette::Button,
               hovered ? kHover : QApplication::palette(button).color(QPalette::Button));
    button->setPalette(p);
}

void SunWindow::buildControls()
{
    setObjectName(QStringLiteral("sun"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(14655), twipsToPixels(8550));
    setFont(windowFont(9, false));
    setMouseTracking(true);

    const auto label = [](QWidget *parent, int index, const QString &text, const QRect &place) {
        auto *l = new QLabel(text, parent);
        l->setObjectName(QStringLiteral("lbl%1").arg(index));
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(place);
        return l;
    };

    m_lbl[2] = label(this, 2, QStringLiteral("空港別 日出没時刻"), twipRect(885, 195, 2505, 270));
    m_lbl[2]->setFont(windowFont(14.25, true));
    setTextColour(m_lbl[2], kNavy);

    for (int i = 0; i < 2; ++i) {
        m_cmb[i] = new QComboBox(this);
        m_cmb[i]->setObjectName(QStringLiteral("cmb%1").arg(i));
        connect(m_cmb[i], &QComboBox::currentIndexChanged, this, [this, i] { cmb_Click(i); });
    }
    m_cmb[0]->setGeometry(twipRect(4080, 195, 1815, 300));
    m_cmb[0]->setMaxVisibleItems(30);
    m_cmb[1]->setGeometry(twipRect(6000, 195, 855, 300));

    m_lbl[1] = label(this, 1, QStringLiteral("年"), twipRect(6915, 225, 240, 225));
    m_lbl[1]->setFont(windowFont(11.25, true));
    setTextColour(m_lbl[1], kNavy);

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("Frame"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setGeometry(twipRect(7545, -75, 3735, 975));
    const QFont panelFont = windowFont(9, true, gothicFamily);
    const int tops[3] = {270, 510, 750};
    const int leftColumn[3] = {0, 37, 38};
    const char *captions[3] = {"ELV", "EH", "⊿H"};
    for (int row = 0; row < 3; ++row) {
        const int index = leftColumn[row];
        m_lbl[index] = label(m_frame, index, QString(), twipRect(360, tops[row], 1650, 240));
        m_lbl[31 + row] = label(m_frame, 31 + row, QString::fromUtf8(captions[row]),
                                twipRect(2040, tops[row], 480, 240));
        m_lbl[34 + row] = label(m_frame, 34 + row, QString(), twipRect(2520, tops[row], 1140, 240));
    }
    for (int index : {0, 31, 32, 33, 34, 35, 36, 37, 38})
        m_lbl[index]->setFont(panelFont);

    const char *buttonCaptions[2] = {"印　刷", "終　了"};
    for (int i = 0; i < 2; ++i) {
        m_cmd[i] = new QPushButton(QString::fromUtf8(buttonCaptions[i]), this);
        m_cmd[i]->setObjectName(QStringLiteral("cmd%1").arg(i));
        m_cmd[i]->setGeometry(twipRect(12060 + 1200 * i, 285, 1095, 495));
        m_cmd[i]->setAutoDefault(false);
        m_cmd[i]->installEventFilter(this);
        connect(m_cmd[i], &QPushButton::clicked, this, [this, i] { cmd_Click(i); });
    }

    m_tab = new QTabWidget(this);
    m_tab->setObjectName(QStringLiteral("SSTab"));
    m_tab->setGeometry(twipRect(75, 720, 14505, 7730));
    m_tab->setMouseTracking(true);
    m_tab->tabBar()->setMouseTracking(true);
    m_tab->installEventFilter(this);
    m_tab->tabBar()->installEventFilter(this);
    for (int i = 0; i < 2; ++i) {
        auto *page = new QWidget;
        page->setMouseTracking(true);
        page->installEventFilter(this);
        m_tabArea[i] = new QWidget(page);
        m_tabArea[i]->resize(m_tab->size());
        m_tab->addTab(page, i == 0 ? QStringLiteral("時刻一覧") : QStringLiteral("年間推移グラフ"));
    }

    m_grid = new QTableWidget(m_tabArea[0]);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setGeometry(twipRect(90, 405, 14295, 7220));
    m_grid->setFont(windowFont(9, false));
    m_grid->setFrameShape(QFrame::NoFrame);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setMinimumSectionSize(0);
    m_grid->verticalHeader()->setMinimumSectionSize(0);
    m_grid->verticalHeader()->setDefaultSectionSize(twipsToPixels(225));
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);

    for (int i = 0; i < 12; ++i) {
        m_frame1[i] = new QFrame(m_tabArea[0]);
        m_frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        setBackground(m_frame1[i], kHeaderFrame);
        m_label1[i] = new QLabel(QString::fromLatin1(kMonthNames[i]), m_frame1[i]);
        m_label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        m_label1[i]->setAlignment(Qt::AlignCenter);
        setBackground(m_label1[i], kHeaderLabel);
    }

    m_graph = new SunGraph(m_tabArea[1]);
    m_graph->move(twipsToPixels(90), twipsToPixels(405));

    connect(m_tab, &QTabWidget::currentChanged, this, &SunWindow::SSTab_Click);
}

void SunWindow::Form_Load()
{
    m_activated = false;
    m_graphStale = false;
    m_hoverIndex = 99;
    for (QPushButton *button : m_cmd)
        paintButton(button, false);
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

    const SunGrid texts = SunGrid::laidOut();
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
        m_frame1[i]->setGeometry(twipRect(540 + 1155 * i, gridTop + 10, 1130, headerHeight));
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
    const SunGrid texts = SunGrid::forYear(year, m_latitude, m_longitude);
    for (int r = 1; r < sunGridRows; ++r) {
        for (int c = 1; c < sunGridColumns; ++c)
            m_grid->item(r, c)->setText(texts.cell(r, c));
    }
    m_grid->setUpdatesEnabled(true);
    DrawGraph();
    m_graphStale = true;

    m_lbl[0]->setText(m_airportIcao);
    m_lbl[34]->setText(elevationText(m_airportElev));
    m_lbl[35]->setText(QStringLiteral("MSL+15"));
    m_lbl[36]->setText(heightDifferenceText(heightDifference(m_airportElev)));
    m_lbl[37]->setText(m_latText);
    m_lbl[38]->setText(m_lonText);
}

SunGrid SunWindow::gridTexts() const
{
    SunGrid texts;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        for (int c = 0; c < m_grid->columnCount(); ++c) {
            if (const QTableWidgetItem *item = m_grid->item(r, c))
                texts.setCell(r, c, item->text());
        }
    }
    return texts;
}

void SunWindow::DrawGraph()
{
    m_graph->clearCurves();
    if (m_cmb[0]->currentText() == kSeparator)
        return;
    const SunGrid texts = gridTexts();
    const GraphCurve sunrise = graphCurve(texts, SunEvent::Sunrise, m_leapYear);
    const GraphCurve sunset = graphCurve(texts, SunEvent::Sunset, m_leapYear);

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
    const PrintTarget target = PrinterSelect::choose(this, name);
    if (!PrinterSelect::printChosen())
        return;

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
    parts.heightDifferenceText = m_lbl[36]->text();
    QStringList months;
    for (QLabel *label : m_label1)
        months.append(label->text());
    return printSunTable(printer, printTitleLine(parts), months, gridTexts());
}

void SunWindow::cmd_MouseMove(int index)
{
    if (index == m_hoverIndex)
        return;
    for (QPushButton *button : m_cmd)
        paintButton(button, false);
    paintButton(m_cmd[index], true);
    m_hoverIndex = index;
}

void SunWindow::Form_MouseMove()
{
    if (m_hoverIndex == 99)
        return;
    for (QPushButton *button : m_cmd)
        paintButton(button, false);
    m_hoverIndex = 99;
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
