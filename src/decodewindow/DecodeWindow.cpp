// The window "解読": the reports, the rows of their groups and the marks that join the two.
#include "decodewindow/DecodeWindow.h"

#include "desktop/FixedPalette.h"
#include "desktop/Fonts.h"
#include "desktop/WindowPlacement.h"
#include "report/DecodedForms.h"
#include "report/FixedTexts.h"
#include "report/ReportDecode.h"
#include "report/StationReport.h"
#include "store/SettingsStore.h"
#include "sun/AirportCatalogue.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

const QColor markColour(255, 226, 110);
const QColor headingColour(226, 233, 242);
const QColor failureColour(176, 0, 0);
constexpr int textPoints = 11;
constexpr int groupPoints = 10;

QString followText(const QString &airport)
{
    return airport.isEmpty() ? QStringLiteral("ティッカーの表示に合わせる")
                             : QStringLiteral("ティッカーの表示に合わせる（%1）").arg(airport);
}

QString productName(ReportSource::Product product)
{
    return product == ReportSource::Product::Metar ? QStringLiteral("METAR")
                                                   : QStringLiteral("TAF");
}

} // namespace

DecodeWindow::DecodeWindow(SettingsStore &store, const ReportBuilder &builder, QWidget *owner)
    : QDialog(owner), m_store(store), m_builder(builder), m_source(store), m_target(new QComboBox),
      m_status(new QLabel), m_text(new QPlainTextEdit), m_rows(new QTableWidget(0, 2))
{
    setObjectName(QStringLiteral("decode"));
    setWindowTitle(QStringLiteral("解読"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    // Named, as the other windows do: a search for a font with the Japanese glyphs costs the
    // first opening tens of milliseconds.
    setFont(QFont(QString::fromUtf8(proportionalGothicFamily), 10));

    m_target->setObjectName(QStringLiteral("target"));
    m_target->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *targetLabel = new QLabel(QStringLiteral("空港(&A):"));
    targetLabel->setBuddy(m_target);
    m_status->setObjectName(QStringLiteral("status"));

    m_text->setObjectName(QStringLiteral("reports"));
    m_text->setReadOnly(true);
    m_text->setFont(gothicFont(textPoints));
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text->viewport()->setMouseTracking(true);
    m_text->viewport()->installEventFilter(this);

    m_rows->setObjectName(QStringLiteral("groups"));
    m_rows->setHorizontalHeaderLabels({QStringLiteral("群"), QStringLiteral("意味")});
    m_rows->verticalHeader()->hide();
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->setSelectionMode(QAbstractItemView::NoSelection);
    m_rows->setWordWrap(true);
    m_rows->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_rows->horizontalHeader()->setStretchLastSection(true);
    m_rows->setMouseTracking(true);
    m_rows->viewport()->installEventFilter(this);
    connect(m_rows, &QTableWidget::cellEntered, this, [this](int row) {
        mark(row);
        if (m_marked < 0)
            return;
        // The group comes into view in the text, which may be scrolled elsewhere.
        QTextCursor at(m_text->document());
        at.setPosition(int(m_spans[row].start));
        m_text->setTextCursor(at);
        m_text->ensureCursorVisible();
    });

    auto *top = new QHBoxLayout;
    top->addWidget(targetLabel);
    top->addWidget(m_target);
    top->addStretch();
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_text);
    split->addWidget(m_rows);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    split->setChildrenCollapsible(false);
    split->setSizes({190, 410}); // room for a METAR and a six-line TAF
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_status);
    layout->addWidget(split, 1);
    resize(880, 640);
    UseFixedPalette(this);

    fillTargets();
    connect(m_target, &QComboBox::currentIndexChanged, this, &DecodeWindow::targetPicked);
}

DecodeWindow::~DecodeWindow() = default;

void DecodeWindow::fillTargets()
{
    const QString picked = m_target->currentData().toString();
    const QSignalBlocker quiet(m_target);
    m_target->clear();
    m_target->addItem(followText(m_tickerAirport));
    for (const TargetAirport &target : m_store.targetAirports()) {
        const QString name = catalogueNameOf(target.airport);
        m_target->addItem(name.isEmpty() ? target.airport
                                         : target.airport + QStringLiteral("  ") + name,
                          target.airport);
    }
    m_target->setCurrentIndex(qMax(0, m_target->findData(picked)));
}

void DecodeWindow::targetsChanged()
{
    const bool wasPicked = m_target->currentIndex() > 0;
    fillTargets();
    if (wasPicked && m_target->currentIndex() == 0) // the picked target is gone
        showAirport(m_tickerAirport, false);
}

void DecodeWindow::tickerShows(const QString &airport)
{
    m_tickerAirport = airport;
    m_target->setItemText(0, followText(airport));
    if (m_target->currentIndex() == 0)
        showAirport(airport, true);
}

void DecodeWindow::targetPicked(int index)
{
    showAirport(index == 0 ? m_tickerAirport : m_target->itemData(index).toString(), false);
}

void DecodeWindow::showAirport(const QString &airport, bool keepOwn)
{
    m_source.abort();
    m_failed.clear();
    if (airport != m_airport || !keepOwn) {
        m_metar.reset();
        m_taf.reset();
    }
    m_airport = airport;
    // The ticker's files first: no fetch, so the window shows at once.
    if (const auto ticker = m_builder.lastFetched(airport)) {
        m_metar = ticker->metar;
        if (ticker->taf)
            m_taf = ticker->taf;
    }
    showDecoding();
    fetchMissing();
}

void DecodeWindow::fetchMissing()
{
    if (m_airport.isEmpty() || (m_metar && m_taf))
        return;
    const auto product = m_metar ? ReportSource::Product::Taf : ReportSource::Product::Metar;
    m_status->setStyleSheet({});
    m_status->setText(QStringLiteral("%1 の %2 を取得中…").arg(m_airport, productName(product)));
    m_source.fetch(m_airport, product,
                   [this, product](const FetchedReport &report) { fetched(product, report); });
}

void DecodeWindow::fetched(ReportSource::Product product, const FetchedReport &report)
{
    (product == ReportSource::Product::Metar ? m_metar : m_taf) = report;
    if (report.stationFile.isEmpty())
        m_failed.append(productName(product));
    showDecoding();
    fetchMissing();
}

void DecodeWindow::showDecoding()
{
    // A refresh of the same airport keeps the place the user scrolled to; another starts at
    // its top.
    const bool sameAirport = m_airport == m_decodedAirport;
    m_decodedAirport = m_airport;
    const int textScroll = sameAirport ? m_text->verticalScrollBar()->value() : 0;
    const int rowScroll = sameAirport ? m_rows->verticalScrollBar()->value() : 0;
    mark(-1);
    m_rows->clearSpans();
    m_rows->setRowCount(0);
    m_spans.clear();
    if (m_failed.isEmpty()) {
        m_status->clear();
    } else {
        m_status->setStyleSheet(QStringLiteral("color: %1").arg(failureColour.name()));
        m_status->setText(QStringLiteral("%1 の %2 を取得できませんでした。ネットワークと"
                                         "「拡張設定...」の接続先を確かめてください。")
                              .arg(m_airport, m_failed.join(QStringLiteral(" と "))));
    }
    if (m_airport.isEmpty()) {
        m_text->setPlainText(QLatin1String(FixedText::noTargetAirport));
        emit decodingShown(m_airport);
        return;
    }

    const bool utcFirst = !m_store.settings().uselocal;
    const ReportDecoding decoding =
        DecodeFetched(m_store, m_airport, m_metar ? &*m_metar : nullptr, m_taf ? &*m_taf : nullptr);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString fetching = QStringLiteral("取得中…");
    QString text;
    if (decoding.metar) {
        addHeading(MetarHeading(*decoding.metar, utcFirst, now));
        addGroups(decoding.metar->groups, text.size());
        text += decoding.metar->raw;
    } else {
        const QString fixed = m_metar ? QLatin1String(noObservation) : fetching;
        addHeading(QStringLiteral("METAR  ") + fixed.trimmed());
        text += fixed;
    }
    text += QStringLiteral("\n\n");
    if (decoding.taf) {
        addHeading(TafHeading(*decoding.taf, utcFirst, now));
        addGroups(decoding.taf->groups, text.size());
        text += decoding.taf->raw;
    } else {
        const QString fixed = m_taf ? QLatin1String(noForecast) : fetching;
        addHeading(QStringLiteral("TAF  ") + fixed.trimmed());
        text += fixed;
    }
    m_text->setPlainText(text);
    m_rows->resizeRowsToContents();
    m_text->verticalScrollBar()->setValue(textScroll);
    m_rows->verticalScrollBar()->setValue(rowScroll);
    emit decodingShown(m_airport);
}

void DecodeWindow::addHeading(const QString &text)
{
    const int row = m_rows->rowCount();
    m_rows->insertRow(row);
    auto *item = new QTableWidgetItem(text);
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
    item->setBackground(headingColour);
    m_rows->setItem(row, 0, item);
    m_rows->setSpan(row, 0, 1, 2);
    m_spans.append(Span{});
}

void DecodeWindow::addGroups(const QList<DecodedGroup> &groups, qsizetype offset)
{
    const QFont fixed = gothicFont(groupPoints);
    for (const DecodedGroup &group : groups) {
        const int row = m_rows->rowCount();
        m_rows->insertRow(row);
        // A change's groups stand under its words, a step in, as in the text of --decode.
        const bool inChange =
            group.change >= 0 && group.kind != GroupKind::Change && group.kind != GroupKind::Trend;
        QString written = group.text;
        written.replace(QLatin1Char('\n'), QLatin1Char(' '));
        auto *item = new QTableWidgetItem((inChange ? QStringLiteral("  ") : QString()) + written);
        item->setFont(fixed);
        m_rows->setItem(row, 0, item);
        m_rows->setItem(row, 1, new QTableWidgetItem(group.meaning));
        m_spans.append(Span{offset + group.start, group.length});
    }
}

void DecodeWindow::mark(int row)
{
    if (row < 0 || row >= m_spans.size() || m_spans[row].start < 0)
        row = -1;
    if (row == m_marked)
        return;
    if (m_marked >= 0 && m_marked < m_rows->rowCount()) {
        for (int column = 0; column < 2; ++column)
            m_rows->item(m_marked, column)->setBackground(QBrush());
    }
    m_marked = row;
    if (row < 0) {
        m_text->setExtraSelections({});
        return;
    }
    for (int column = 0; column < 2; ++column)
        m_rows->item(row, column)->setBackground(markColour);
    QTextEdit::ExtraSelection group;
    group.cursor = QTextCursor(m_text->document());
    group.cursor.setPosition(int(m_spans[row].start));
    group.cursor.setPosition(int(m_spans[row].start + m_spans[row].length),
                             QTextCursor::KeepAnchor);
    group.format.setBackground(markColour);
    m_text->setExtraSelections({group});
}

int DecodeWindow::rowAtText(qsizetype position) const
{
    for (int row = 0; row < m_spans.size(); ++row) {
        const Span &span = m_spans[row];
        if (span.start >= 0 && position >= span.start && position < span.start + span.length)
            return row;
    }
    return -1;
}

qsizetype DecodeWindow::characterAt(const QPoint &point) const
{
    // The nearest boundary may be either side of the character under the pointer.
    const int boundary = m_text->cursorForPosition(point).position();
    for (int at : {boundary - 1, boundary}) {
        if (at < 0)
            continue;
        QTextCursor cursor(m_text->document());
        cursor.setPosition(at);
        const QRect left = m_text->cursorRect(cursor);
        if (!cursor.movePosition(QTextCursor::NextCharacter))
            continue;
        const QRect right = m_text->cursorRect(cursor);
        if (left.top() == right.top() && point.x() >= left.x() && point.x() < right.x() &&
            point.y() >= left.top() && point.y() <= left.bottom())
            return at;
    }
    return -1;
}

bool DecodeWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text->viewport() && event->type() == QEvent::MouseMove) {
        const qsizetype at = characterAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        mark(at < 0 ? -1 : rowAtText(at));
        if (m_marked >= 0)
            m_rows->scrollToItem(m_rows->item(m_marked, 0));
    } else if ((watched == m_text->viewport() || watched == m_rows->viewport()) &&
               event->type() == QEvent::Leave) {
        mark(-1);
    }
    return QDialog::eventFilter(watched, event);
}

void DecodeWindow::showEvent(QShowEvent *event)
{
    // On the ticker's screen, once: a window brought forward again stays where the user put it.
    if (!m_placed && !event->spontaneous()) {
        CentreOnScreen(this, ScreenFor(parentWidget()));
        m_placed = true;
    }
    QDialog::showEvent(event);
}
