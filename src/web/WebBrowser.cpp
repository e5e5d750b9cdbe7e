// The embedded browser's settings, the pages shown instead of a document and the menu bar's height.
#include "web/WebBrowser.h"

#include "web/FailurePages.h"

#include <QMenuBar>
#include <QPointer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

/// Hands the link of a source without an address to the program instead of the network, and
/// shows a Japanese page for a document that cannot be loaded instead of the engine's own.
class DocumentPage final : public QWebEnginePage
{
public:
    DocumentPage(std::function<void(const QString &)> sourceLink, QObject *parent)
        : QWebEnginePage(parent), m_sourceLink(std::move(sourceLink))
    {
        connect(this, &QWebEnginePage::loadingChanged, this, &DocumentPage::loading);
    }

    void show(const DocumentAddress &address, const QString &title)
    {
        m_title = title;
        QStringList urls = address.urls();
        m_document = QUrl(urls.takeFirst());
        m_fallbacks.clear();
        for (const QString &url : std::as_const(urls))
            m_fallbacks.append(QUrl(url));
        m_requested = m_document;
        m_failed = false;
        setUrl(m_document);
    }

    void showPage(const QString &html)
    {
        m_document = m_requested = QUrl();
        m_fallbacks.clear();
        m_failed = false;
        setHtml(html);
    }

    void reloadDocument()
    {
        // A page of ours stands for the document: it is asked for again, newest first.
        if (m_failed || m_fallbacks.contains(m_requested)) {
            m_requested = m_document;
            m_failed = false;
            setUrl(m_document);
            return;
        }
        triggerAction(QWebEnginePage::Reload);
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        const QString source = SourceOfLink(url);
        if (source.isEmpty()) {
            // A link followed in a page: the window shows that document now, and a failure of
            // it is told in the same way.
            if (isMainFrame && type != NavigationTypeReload && type != NavigationTypeRedirect &&
                url.scheme() != QLatin1String("data") && url != m_requested) {
                m_document = m_requested = url;
                m_fallbacks.clear();
                m_failed = false;
            }
            return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        }
        if (m_sourceLink)
            m_sourceLink(source);
        return false;
    }

private:
    void loading(const QWebEngineLoadingInfo &info)
    {
        // Ours, also when a redirect took it elsewhere before it failed.
        if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || m_requested.isEmpty() ||
            (info.url() != m_requested && requestedUrl() != m_requested))
            return;
        const int code = info.errorCode();
        const bool http = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain;
        if (!http && code == abortedCode)
            return; // another navigation took its place
        if (http && code == 404) {
            // The newest run is not out yet: the ones before, each once.
            const qsizetype next =
                m_requested == m_document ? 0 : m_fallbacks.indexOf(m_requested) + 1;
            if ((next > 0 || m_requested == m_document) && next < m_fallbacks.size()) {
                m_requested = m_fallbacks.at(next);
                setUrl(m_requested);
                return;
            }
        }
        QString url = m_document.toString();
        if (m_requested != m_document)
            url += QStringLiteral(" / ") + m_requested.toString();
        m_failed = true;
        m_requested = QUrl();
        setHtml(loadFailedPage(url, m_title, failureOf(info), http ? code : qAbs(code)));
    }

    static LoadFailure failureOf(const QWebEngineLoadingInfo &info)
    {
        // The engine's network error numbers, as negative or positive numbers.
        switch (info.errorDomain()) {
        case QWebEngineLoadingInfo::HttpStatusCodeDomain:
            return LoadFailure::HttpStatus;
        case QWebEngineLoadingInfo::CertificateErrorDomain:
            return LoadFailure::Certificate;
        case QWebEngineLoadingInfo::DnsErrorDomain:
            return LoadFailure::NameNotFound;
        default:
            break;
        }
        switch (qAbs(info.errorCode())) {
        case 105: // name not resolved
        case 137: // name resolution failed
            return LoadFailure::NameNotFound;
        case 102: // connection refused
            return LoadFailure::Refused;
        case 7:   // timed out
        case 100: // connection closed
        case 101: // connection reset
        case 104: // connection failed
        case 106: // internet disconnected
        case 109: // address unreachable
        case 118: // connection timed out
        case 324: // empty response
            return LoadFailure::NoAnswer;
        default:
            return LoadFailure::Other;
        }
    }

    static constexpr int abortedCode = -3;

    std::function<void(const QString &)> m_sourceLink;
    QString m_title;
    QUrl m_document;         ///< the address asked for
    QList<QUrl> m_fallbacks; ///< tried in turn on a 404 of the document
    QUrl m_requested;        ///< what is loading now; empty once a page of ours stands for it
    bool m_failed = false;
};

/// The browser centres an image shown alone and cuts what its window does not show; the
/// windows' sizes are made for the image at the top left, fitted when it is larger.
QWebEngineScript imageAtTopLeft()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("tarnbeck-image-at-top-left"));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QStringLiteral(R"(
(function () {
    if (!document.contentType.startsWith('image/') || !document.body)
        return;
    const style = document.createElement('style');
    style.textContent =
        'body { margin: 0 !important; }' +
        'body > img { position: absolute !important; left: 0 !important; top: 0 !important;' +
        ' margin: 0 !important; width: auto !important; height: auto !important;' +
        ' max-width: 100vw !important; max-height: 100vh !important;' +
        ' cursor: default !important; }';
    (document.head || document.documentElement).appendChild(style);
})();
)"));
    return script;
}

} // namespace

QWebEngineView *CreateBrowser(QWidget *parent, std::function<void(const QString &)> sourceLink)
{
    auto *browser = new QWebEngineView(parent);
    browser->setPage(new DocumentPage(std::move(sourceLink), browser));
    browser->page()->scripts().insert(imageAtTopLeft());
    browser->setObjectName(QStringLiteral("WebBrowser"));
    // PDF charts are shown by the browser's own viewer, not handed to a download.
    browser->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    browser->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    return browser;
}

void EditSource(const SourceEditor &editor, const QString &sourceName, QObject *window,
                std::function<void(const SourceHosts &)> saved)
{
    if (!editor)
        return;
    editor(sourceName, [window = QPointer<QObject>(window),
                        saved = std::move(saved)](const SourceHosts &hosts) {
        if (window) // else the window has closed meanwhile
            saved(hosts);
    });
}

bool FollowHosts(DocumentAddress &address, const SourceHosts &hosts)
{
    const DocumentAddress moved = address.on(hosts);
    if (moved.host == address.host)
        return false;
    address = moved;
    return true;
}

void ShowDocument(QWebEngineView *browser, const DocumentAddress &address, const QString &title)
{
    auto *page = dynamic_cast<DocumentPage *>(browser->page());
    Q_ASSERT(page); // made by CreateBrowser
    if (address.configured())
        page->show(address, title);
    else
        page->showPage(notConfiguredPage(address, title));
}

void ShowPage(QWebEngineView *browser, const QString &html)
{
    auto *page = dynamic_cast<DocumentPage *>(browser->page());
    Q_ASSERT(page); // made by CreateBrowser
    page->showPage(html);
}

void ReloadDocument(QWebEngineView *browser)
{
    if (auto *page = dynamic_cast<DocumentPage *>(browser->page()))
        page->reloadDocument();
    else
        browser->reload();
}

int MenuBarHeight(const QMenuBar *bar, int width)
{
    const int height = bar->heightForWidth(width);
    return height > 0 ? height : bar->sizeHint().height();
}
