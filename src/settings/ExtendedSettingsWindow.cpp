// The window "拡張設定" and its tab "接続先".
#include "settings/ExtendedSettingsWindow.h"

#include "platform/HttpFetch.h"
#include "platform/MessageBox.h"
#include "platform/WindowPlacement.h"
#include "settings/DisplayTab.h"
#include "settings/StartupTab.h"
#include "store/Hosts.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"
#include "ticker/DataApiReport.h"
#include "ticker/ReportBuilder.h"
#include "web/WebCatalogue.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

/// What one answer of "確認" says: status, size and type, or why it failed, in Japanese.
QString describe(const FetchResult &result, bool wantsImage)
{
    using Failure = FetchResult::Failure;
    switch (result.failure) {
    case Failure::HostNotFound:
        return QStringLiteral("名前が見つかりません");
    case Failure::Refused:
        return QStringLiteral("接続を拒否されました");
    case Failure::TimedOut:
        return QStringLiteral("時間切れです");
    case Failure::TooLarge:
        return QStringLiteral("大きすぎる応答です");
    case Failure::Status:
        return QStringLiteral("HTTP %1").arg(result.status);
    case Failure::Other:
        return QStringLiteral("失敗しました (%1)").arg(result.error);
    case Failure::None:
        break;
    }
    const QString type = result.contentType.section(QLatin1Char(';'), 0, 0).trimmed();
    if (wantsImage && type.startsWith(QLatin1String("text/html")))
        return QStringLiteral("画像ではなくページが返りました");
    const QString size = result.body.size() >= 1024
                             ? QStringLiteral("%1 KB").arg(result.body.size() / 1024)
                             : QStringLiteral("%1 B").arg(result.body.size());
    return QStringLiteral("%1 OK · %2 · %3")
        .arg(result.status ? result.status : 200)
        .arg(size, type.isEmpty() ? QStringLiteral("-") : type);
}

} // namespace

ExtendedSettingsWindow::ExtendedSettingsWindow(SettingsStore &store, QWidget *owner)
    : QDialog(owner), m_store(store)
{
    setObjectName(QStringLiteral("extendedSettings"));
    setWindowTitle(QStringLiteral("拡張設定"));
    m_stored = store.hosts();
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildSourcesTab(), QStringLiteral("接続先"));
    m_tabs->addTab(new StartupTab, QStringLiteral("起動"));
    m_tabs->addTab(new DisplayTab(m_store), QStringLiteral("表示"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *saveButton =
        buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::ApplyRole);
    saveButton->setObjectName(QStringLiteral("save"));
    QPushButton *closeButton =
        buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("close"));
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(1020, 600);
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
    auto *area = new QScrollArea;
    area->setObjectName(QStringLiteral("sources"));
    area->setWidgetResizable(true);
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
        row.address->setMinimumWidth(260);
        row.check = new QPushButton(QStringLiteral("確認"), page);
        row.check->setObjectName(QStringLiteral("check_") + name);
        row.answer = new QLabel(page);
        row.answer->setObjectName(QStringLiteral("answer_") + name);
        row.answer->setTextFormat(Qt::PlainText);
        row.answer->setMinimumWidth(200);
        connect(row.check, &QPushButton::clicked, this, [this, name] { check(name); });
        connect(row.address, &QLineEdit::textEdited, this, [this, name] { mark(name, false); });
        grid->addWidget(label, line, 0);
        grid->addWidget(row.address, line, 1);
        grid->addWidget(row.check, line, 2);
        grid->addWidget(row.answer, line, 3);
        m_rows.insert(name, row);
        ++line;
    }
    grid->setRowStretch(line, 1);
    area->setWidget(page);
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
    CentreOnScreen(this, ScreenFor(parentWidget()));
    show(); // without a loop of its own
    if (QLineEdit *edit = address(hostName)) {
        if (auto *area = m_tabs->findChild<QScrollArea *>(QStringLiteral("sources")))
            area->ensureWidgetVisible(edit);
        edit->setFocus();
    }
}

QString ExtendedSettingsWindow::firstDocument(const QString &hostName, const QString &host)
{
    const QList<TargetAirport> targets = m_store.targetAirports();
    const QString first = targets.isEmpty() ? QStringLiteral("RJTT") : targets.first().airport;
    const Source *source = FindSource(hostName);
    if (!source)
        return host;
    switch (source->firstDocument) {
    case FirstDocument::StationFile:
        return host + QLatin1String(ReportBuilder::metarPath) + first + QStringLiteral(".TXT");
    case FirstDocument::DataApi:
        return host + DataApiPath(first, false);
    case FirstDocument::NetworkCheck:
        return host + QStringLiteral("/ident.dat");
    case FirstDocument::Chart: {
        const ChartCatalogue charts = chartCatalogue();
        for (int i = 0; i < charts.count; ++i) {
            const ChartItem &item = charts.items[i];
            if (item.kind == ChartItemKind::Entry && item.source == source->number)
                return host + QString::fromUtf8(item.basePath) + QString::fromUtf8(item.file);
        }
        break;
    }
    case FirstDocument::Camera: {
        const CameraCatalogue cameras = cameraCatalogue();
        for (int i = 0; i < cameras.count; ++i) {
            if (cameras.items[i].source == source->number)
                return host + QString::fromUtf8(cameras.items[i].path);
        }
        break;
    }
    case FirstDocument::Itself:
        break;
    }
    return host;
}

void ExtendedSettingsWindow::check(const QString &hostName)
{
    const Row row = m_rows.value(hostName);
    if (!row.answer)
        return;
    const HostValidation typed = ValidateHostAddress(row.address->text());
    if (!typed.error.isEmpty() || typed.address.isEmpty()) {
        row.answer->setText(typed.address.isEmpty() ? QStringLiteral("未設定です") : typed.error);
        return;
    }
    const QString url = firstDocument(hostName, typed.address);
    const QString path = QUrl(url).path().toLower();
    const Source *source = FindSource(hostName);
    const bool wantsImage = path.endsWith(QLatin1String(".jpg")) ||
                            path.endsWith(QLatin1String(".png")) ||
                            path.endsWith(QLatin1String(".gif")) ||
                            (source && source->firstDocument == FirstDocument::Camera);
    HttpFetch::cancel(m_checks.value(hostName));
    row.answer->setText(QStringLiteral("確認中…"));
    m_checks.insert(hostName, HttpFetch::get(
                                  QUrl(url), this,
                                  [this, hostName, wantsImage](const FetchResult &result) {
                                      m_checks.remove(hostName);
                                      if (QLabel *label = answer(hostName))
                                          label->setText(describe(result, wantsImage));
                                  },
                                  HttpFetch::defaultTimeoutMs, 32 * 1024 * 1024));
}

void ExtendedSettingsWindow::mark(const QString &hostName, bool bad)
{
    if (QLineEdit *edit = address(hostName))
        edit->setStyleSheet(bad ? QStringLiteral("QLineEdit { background: #ffd0d0; }") : QString());
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
    QHash<QString, QString> hosts;
    for (const Source &source : AllSources()) {
        const QString name = QLatin1String(source.name);
        const HostValidation typed = ValidateHostAddress(m_rows.value(name).address->text());
        mark(name, !typed.error.isEmpty());
        if (!typed.error.isEmpty()) {
            address(name)->setFocus();
            ShowMessage(
                this, QMessageBox::Warning, windowTitle(),
                QStringLiteral("「%1」のアドレスが正しくありません。\n%2\n何も保存していません。")
                    .arg(rowLabel(name), typed.error));
            return false;
        }
        hosts.insert(name, typed.address);
    }
    if (!m_store.saveHosts(hosts)) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(), m_store.errorString());
        return false;
    }
    m_stored = m_store.hosts();
    for (auto it = m_rows.begin(); it != m_rows.end(); ++it)
        it->address->setText(m_stored.value(it.key()));
    emit hostsSaved();
    return true;
}

void ExtendedSettingsWindow::closeEvent(QCloseEvent *event)
{
    if (m_discardAnswered || !changed()) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    AskQuestion(this, windowTitle(), QStringLiteral("保存していない変更を破棄しますか?"),
                [this](bool discard) {
                    if (!discard)
                        return;
                    m_discardAnswered = true;
                    // Not from inside the close that asked: that one has been refused.
                    QTimer::singleShot(0, this, &QWidget::close);
                });
}
