// The window "拡張設定" and its tab "接続先".
#include "settings/ExtendedSettingsWindow.h"

#include "desktop/Fonts.h"
#include "desktop/MessageBox.h"
#include "desktop/WindowPlacement.h"
#include "platform/HttpFetch.h"
#include "settings/DisplayTab.h"
#include "settings/StartupTab.h"
#include "store/Hosts.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The columns take their width from the window, never from an answer, so that an answer never
// moves the fields and buttons under the pointer.
constexpr int addressWidth = 360;
constexpr int answerWidth = 300;

/// An answer cut to the room its column has now, whole when it fits; the tool tip holds it all.
class AnswerLabel final : public QLabel
{
public:
    explicit AnswerLabel(QWidget *parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }
    // The same whatever it says.
    QSize sizeHint() const override { return {answerWidth, fontMetrics().height()}; }
    QSize minimumSizeHint() const override { return sizeHint(); }
    void setAnswer(const QString &text)
    {
        setToolTip(text);
        fit();
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        fit();
    }

private:
    void fit()
    {
        setText(fontMetrics().elidedText(toolTip(), Qt::ElideRight, contentsRect().width()));
    }
};

/// The first bytes of the image formats a camera sends.
bool looksLikeImage(const QByteArray &body)
{
    return body.startsWith("\xFF\xD8\xFF") || body.startsWith("\x89PNG\r\n\x1A\n") ||
           body.startsWith("GIF87a") || body.startsWith("GIF89a") ||
           (body.startsWith("RIFF") && body.mid(8, 4) == "WEBP");
}

/// A scroll area that asks for room for every row; the window then takes what the screen has.
class RowsArea final : public QScrollArea
{
public:
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        const QSize rows = widget() ? widget()->sizeHint() : QSize();
        return rows + QSize(frame + verticalScrollBar()->sizeHint().width(), frame);
    }
};

/// What one answer of "確認" says: status, size and type, or why it failed, in Japanese.
QString describe(const FetchResult &result, bool wantsImage)
{
    using Failure = FetchResult::Failure;
    switch (result.failure) {
    case Failure::HostNotFound:
        return QStringLiteral("ホスト名が見つかりません");
    case Failure::Refused:
        return QStringLiteral("接続を拒否されました");
    case Failure::TimedOut:
        return QStringLiteral("応答がありません (タイムアウト)");
    case Failure::TooLarge:
        return QStringLiteral("応答が大きすぎます");
    case Failure::Status:
        return QStringLiteral("HTTP %1").arg(result.status);
    case Failure::Other:
        return QStringLiteral("失敗しました (%1)").arg(result.error);
    case Failure::None:
        break;
    }
    const int status = result.status ? result.status : 200;
    if (result.body.isEmpty())
        return QStringLiteral("応答が空です (HTTP %1)").arg(status);
    QString type = result.contentType.section(QLatin1Char(';'), 0, 0).trimmed();
    if (type.isEmpty())
        type = QStringLiteral("-");
    // A server's error page often comes as 200, and a type may say image/jpeg over any bytes.
    if (wantsImage && !looksLikeImage(result.body)) {
        return type.startsWith(QLatin1String("text/html"))
                   ? QStringLiteral("画像ではなく Web ページが返されました")
                   : QStringLiteral("画像ではありません (%1)").arg(type);
    }
    const QString size = result.body.size() >= 1024
                             ? QStringLiteral("%1 KB").arg(result.body.size() / 1024)
                             : QStringLiteral("%1 B").arg(result.body.size());
    return QStringLiteral("%1 OK · %2 · %3").arg(status).arg(size, type);
}

} // namespace

ExtendedSettingsWindow::ExtendedSettingsWindow(SettingsStore &store, QWidget *owner)
    : QDialog(owner), m_store(store)
{
    setObjectName(QStringLiteral("extendedSettings"));
    setWindowTitle(QStringLiteral("拡張設定"));
    // One proportional face for every script: the toolkit's fallback drew the digits and
    // brackets after katakana in a fixed-pitch face, so some rows looked typewritten.
    setFont(QFont(QString::fromUtf8(proportionalGothicFamily), 9));
    m_stored = store.hosts();
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildSourcesTab(), QStringLiteral("接続先"));
    m_tabs->addTab(new StartupTab, QStringLiteral("起動"));
    auto *display = new DisplayTab(m_store);
    connect(display, &DisplayTab::outlineChanged, this, &ExtendedSettingsWindow::outlineChanged);
    m_tabs->addTab(display, QStringLiteral("表示"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *saveButton =
        buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::ApplyRole);
    saveButton->setObjectName(QStringLiteral("save"));
    QPushButton *closeButton =
        buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("close"));
    // No default button: Enter in an address field checks that row, nothing else.
    for (QPushButton *button : {saveButton, closeButton})
        button->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(bottom);
}

ExtendedSettingsWindow::~ExtendedSettingsWindow()
{
    for (const QPointer<QNetworkReply> &reply : std::as_const(m_checks))
        HttpFetch::cancel(reply);
}

QString ExtendedSettingsWindow::rowLabel(const QString &hostName)
{
    const Source *source = FindSource(hostName);
    return source ? QString::fromUtf8(source->label) : hostName;
}

QWidget *ExtendedSettingsWindow::buildSourcesTab()
{
    auto *area = new RowsArea;
    area->setObjectName(QStringLiteral("sources"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    int line = 0;
    for (const Source &source : AllSources()) {
        const QString name = QLatin1String(source.name);
        auto *label = new QLabel(rowLabel(name), page);
        Row row;
        row.address = new QLineEdit(m_stored.value(name), page);
        row.address->setObjectName(QStringLiteral("address_") + name);
        row.address->setPlaceholderText(QStringLiteral("未設定"));
        row.address->setMinimumWidth(addressWidth);
        row.check = new QPushButton(QStringLiteral("確認"), page);
        row.check->setObjectName(QStringLiteral("check_") + name);
        row.check->setAutoDefault(false);
        row.answer = new AnswerLabel(page);
        row.answer->setObjectName(QStringLiteral("answer_") + name);
        connect(row.check, &QPushButton::clicked, this, [this, name] { check(name); });
        connect(row.address, &QLineEdit::returnPressed, this, [this, name] { check(name); });
        connect(row.address, &QLineEdit::textEdited, this, [this, name] { edited(name); });
        grid->addWidget(label, line, 0);
        grid->addWidget(row.address, line, 1);
        grid->addWidget(row.check, line, 2);
        grid->addWidget(row.answer, line, 3);
        m_rows.insert(name, row);
        ++line;
    }
    grid->setRowStretch(line, 1);
    // Room the window gives goes to the addresses and the answers alike.
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    area->setWidget(page);
    // The tab's own colour shows through, as on the other tabs.
    page->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    return area;
}

QLineEdit *ExtendedSettingsWindow::address(const QString &hostName) const
{
    return m_rows.value(hostName).address;
}

QPushButton *ExtendedSettingsWindow::checkButton(const QString &hostName) const
{
    return m_rows.value(hostName).check;
}

QLabel *ExtendedSettingsWindow::answer(const QString &hostName) const
{
    return m_rows.value(hostName).answer;
}

void ExtendedSettingsWindow::openAt(const QString &hostName)
{
    setWindowModality(Qt::ApplicationModal);
    // Every row in view when the screen has room for them, never taller than the screen.
    QScreen *screen = ScreenFor(parentWidget());
    const QMargins frame = WindowFrame(this);
    const QRect room = screen->availableGeometry().marginsRemoved(frame);
    resize(sizeHint().boundedTo(room.size()));
    // The client's own place, as CentreOnScreen does, only within the room of the screen.
    const QPoint corner = CentredOn(screen->availableGeometry(), size().grownBy(frame));
    setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), size()));
    show(); // without a loop of its own
    if (QLineEdit *edit = address(hostName)) {
        if (auto *area = m_tabs->findChild<QScrollArea *>(QStringLiteral("sources")))
            area->ensureWidgetVisible(edit);
        edit->setFocus();
    }
}

CheckDocument ExtendedSettingsWindow::firstDocument(const Source &source, const QString &host)
{
    const QList<TargetAirport> targets = m_store.targetAirports();
    const QString first = targets.isEmpty() ? QStringLiteral("RJTT") : targets.first().airport;
    return FirstDocumentOf(source, host, first, QDateTime::currentDateTimeUtc());
}

void ExtendedSettingsWindow::check(const QString &hostName)
{
    const Row row = m_rows.value(hostName);
    if (!row.answer)
        return;
    const HostValidation typed = ValidateHostAddress(row.address->text());
    if (!typed.error.isEmpty() || typed.address.isEmpty()) {
        showAnswer(hostName, typed.address.isEmpty() ? QStringLiteral("未設定です") : typed.error);
        return;
    }
    const Source *source = FindSource(hostName);
    const CheckDocument document =
        source ? firstDocument(*source, typed.address) : CheckDocument{typed.address, {}};
    const QString path = QUrl(document.url).path().toLower();
    const bool wantsImage = path.endsWith(QLatin1String(".jpg")) ||
                            path.endsWith(QLatin1String(".png")) ||
                            path.endsWith(QLatin1String(".gif")) ||
                            (source && source->firstDocument == FirstDocument::Camera);
    HttpFetch::cancel(m_checks.value(hostName));
    showAnswer(hostName, QStringLiteral("確認中…"));
    fetchFirst(hostName, document.url, document.fallbackUrl, wantsImage);
}

void ExtendedSettingsWindow::fetchFirst(const QString &hostName, const QString &url,
                                        const QString &fallback, bool wantsImage)
{
    m_checks.insert(hostName,
                    HttpFetch::get(
                        QUrl(url), this,
                        [this, hostName, fallback, wantsImage](const FetchResult &result) {
                            m_checks.remove(hostName);
                            if (!fallback.isEmpty() &&
                                result.failure == FetchResult::Failure::Status &&
                                result.status == 404) {
                                fetchFirst(hostName, fallback, {}, wantsImage);
                                return;
                            }
                            showAnswer(hostName, describe(result, wantsImage));
                        },
                        HttpFetch::defaultTimeoutMs, 32 * 1024 * 1024));
}

void ExtendedSettingsWindow::showAnswer(const QString &hostName, const QString &text)
{
    QLabel *label = answer(hostName);
    if (!label)
        return;
    static_cast<AnswerLabel *>(label)->setAnswer(text);
}

void ExtendedSettingsWindow::edited(const QString &hostName)
{
    // What was said of the old address says nothing of the new one.
    HttpFetch::cancel(m_checks.take(hostName));
    showAnswer(hostName, QString());
    mark(hostName, false);
    m_status->clear();
}

void ExtendedSettingsWindow::mark(const QString &hostName, bool bad)
{
    if (QLineEdit *edit = address(hostName))
        edit->setStyleSheet(bad ? QStringLiteral("QLineEdit { background: #ffd0d0; color: black; }")
                                : QString());
}

bool ExtendedSettingsWindow::changed() const
{
    for (auto it = m_rows.begin(); it != m_rows.end(); ++it) {
        if (NormalisedHost(it->address->text()) != m_stored.value(it.key()))
            return true;
    }
    return false;
}

bool ExtendedSettingsWindow::save()
{
    m_status->clear();
    QHash<QString, QString> hosts;
    QStringList bad;
    for (const Source &source : AllSources()) {
        const QString name = QLatin1String(source.name);
        const HostValidation typed = ValidateHostAddress(m_rows.value(name).address->text());
        mark(name, !typed.error.isEmpty());
        if (!typed.error.isEmpty()) {
            if (bad.isEmpty())
                address(name)->setFocus();
            bad.append(QStringLiteral("「%1」: %2").arg(rowLabel(name), typed.error));
        }
        hosts.insert(name, typed.address);
    }
    if (!bad.isEmpty()) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    QStringLiteral("正しくないアドレスがあります。\n%1\n変更は保存されていません。")
                        .arg(bad.join(QLatin1Char('\n'))));
        return false;
    }
    if (!m_store.saveHosts(hosts)) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_store.errorString());
        return false;
    }
    m_stored = m_store.hosts();
    for (auto it = m_rows.begin(); it != m_rows.end(); ++it)
        it->address->setText(m_stored.value(it.key()));
    m_status->setText(QStringLiteral("保存しました。"));
    emit hostsSaved();
    return true;
}

void ExtendedSettingsWindow::closeEvent(QCloseEvent *event)
{
    if (m_discardAnswered || !changed()) {
        QDialog::closeEvent(event); // through reject(), which lets it go now
        return;
    }
    event->ignore();
    askToDiscard();
}

void ExtendedSettingsWindow::reject()
{
    // Escape comes here without a close event: it must ask as "閉じる" does.
    if (m_discardAnswered || !changed()) {
        QDialog::reject();
        return;
    }
    askToDiscard();
}

void ExtendedSettingsWindow::askToDiscard()
{
    AskQuestion(this, windowTitle(),
                QStringLiteral("保存していない変更があります。破棄して閉じますか？"),
                [this](bool discard) {
                    if (!discard)
                        return;
                    m_discardAnswered = true;
                    // Not from inside the close that asked: that one has been refused.
                    QTimer::singleShot(0, this, &QWidget::close);
                });
}
