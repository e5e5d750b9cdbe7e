// The sun window's controls at their twip positions.
#include "desktop/FixedPalette.h"
#include "platform/Twips.h"
#include "sunwindow/SunGraph.h"
#include "sunwindow/SunWindow.h"
#include "sunwindow/SunWindowLook.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

using namespace SunLook;

void SunWindow::buildControls()
{
    setObjectName(QStringLiteral("sun"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(14655), twipsToPixels(8550));
    setFont(windowFont(9, false));
    setMouseTracking(true);
    // Navy captions, yellow month names, red and blue times on white: the rest must match.
    UseFixedPalette(this);

    const auto label = [](QWidget *parent, int index, const QString &text, const QRect &place) {
        auto *l = new QLabel(text, parent);
        l->setObjectName(QStringLiteral("lbl%1").arg(index));
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(place);
        return l;
    };

    QLabel *title =
        label(this, 2, QStringLiteral("空港別 日出没時刻"), twipsRect(885, 195, 2505, 270));
    title->setFont(windowFont(14.25, true));
    setTextColour(title, kNavy);

    for (int i = 0; i < 2; ++i) {
        m_cmb[i] = new QComboBox(this);
        m_cmb[i]->setObjectName(QStringLiteral("cmb%1").arg(i));
        connect(m_cmb[i], &QComboBox::currentIndexChanged, this, [this, i] { cmb_Click(i); });
    }
    m_cmb[0]->setGeometry(twipsRect(4080, 195, 1815, 300));
    m_cmb[0]->setMaxVisibleItems(30);
    m_cmb[1]->setGeometry(twipsRect(6000, 195, 855, 300));

    QLabel *yearCaption = label(this, 1, QStringLiteral("年"), twipsRect(6915, 225, 240, 225));
    yearCaption->setFont(windowFont(11.25, true));
    setTextColour(yearCaption, kNavy);

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("Frame"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setGeometry(twipsRect(7545, -75, 3735, 975));
    // Three rows: indicator, ELV and elevation; latitude, EH and eye height; longitude, ⊿H and
    // the height difference. The names lbl0 ... lbl38 are the panel's labels as the window has
    // always named them.
    const int tops[3] = {270, 510, 750};
    const struct
    {
        QLabel **left;
        int leftIndex;
        const char *caption;
        QLabel **value;
    } rows[3] = {{&m_panel.indicator, 0, "ELV", &m_panel.elevation},
                 {&m_panel.latitude, 37, "EH", &m_panel.eyeHeight},
                 {&m_panel.longitude, 38, "⊿H", &m_panel.heightDifference}};
    const QFont panelFont = windowFont(9, true, gothicFamily);
    for (int row = 0; row < 3; ++row) {
        const auto &r = rows[row];
        *r.left = label(m_frame, r.leftIndex, QString(), twipsRect(360, tops[row], 1650, 240));
        QLabel *caption = label(m_frame, 31 + row, QString::fromUtf8(r.caption),
                                twipsRect(2040, tops[row], 480, 240));
        *r.value = label(m_frame, 34 + row, QString(), twipsRect(2520, tops[row], 1140, 240));
        for (QLabel *l : {*r.left, caption, *r.value})
            l->setFont(panelFont);
    }

    const char *buttonCaptions[2] = {"印　刷", "終　了"};
    for (int i = 0; i < 2; ++i) {
        m_cmd[i] = new QPushButton(QString::fromUtf8(buttonCaptions[i]), this);
        m_cmd[i]->setObjectName(QStringLiteral("cmd%1").arg(i));
        m_cmd[i]->setGeometry(twipsRect(12060 + 1200 * i, 285, 1095, 495));
        m_cmd[i]->setAutoDefault(false);
        m_hover.add(i, m_cmd[i]);
        m_cmd[i]->installEventFilter(this);
        connect(m_cmd[i], &QPushButton::clicked, this, [this, i] { cmd_Click(i); });
    }

    m_tab = new QTabWidget(this);
    m_tab->setObjectName(QStringLiteral("SSTab"));
    m_tab->setGeometry(twipsRect(75, 720, 14505, 7730));
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
    m_grid->setGeometry(twipsRect(90, 405, 14295, 7220));
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
