// The embedded browser's settings, the not-configured page and the menu bar's height.
#include "web/WebBrowser.h"

#include <QMenuBar>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
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

} // namespace

QWebEngineView *CreateBrowser(QWidget *parent, std::function<void(const QString &)> sourceLink)
{
    auto *browser = new QWebEngineView(parent);
    browser->setPage(new SourceLinkPage(std::move(sourceLink), browser));
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
