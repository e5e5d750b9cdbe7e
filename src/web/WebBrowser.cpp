// The embedded browser's settings, the not-configured page and the menu bar's height.
#include "web/WebBrowser.h"

#include <QMenuBar>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

/// Hands the link of a source without an address to the program instead of the network.
class SourceLinkPage final : public QWebEnginePage
{
public:
    SourceLinkPage(std::function<void(const QString &)> sourceLink, QObject *parent)
        : QWebEnginePage(parent), m_sourceLink(std::move(sourceLink))
    {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        const QString source = SourceOfLink(url);
        if (source.isEmpty())
            return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        if (m_sourceLink)
            m_sourceLink(source);
        return false;
    }

private:
    std::function<void(const QString &)> m_sourceLink;
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
    browser->setPage(new SourceLinkPage(std::move(sourceLink), browser));
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

void ShowDocument(QWebEngineView *browser, const DocumentAddress &address, const QString &title)
{
    if (address.configured())
        browser->setUrl(QUrl(address.url()));
    else
        browser->setHtml(notConfiguredPage(address, title));
}

int MenuBarHeight(const QMenuBar *bar, int width)
{
    const int height = bar->heightForWidth(width);
    return height > 0 ? height : bar->sizeHint().height();
}
