// The embedded browser's settings, the not-configured page and the menu bar's height.
#include "web/WebBrowser.h"

#include <QMenuBar>
#include <QUrl>
#include <QWebEngineSettings>
#include <QWebEngineView>

QWebEngineView *CreateBrowser(QWidget *parent)
{
    auto *browser = new QWebEngineView(parent);
    browser->setObjectName(QStringLiteral("WebBrowser"));
    // PDF charts are shown by the browser's own viewer, not handed to a download.
    browser->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    browser->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    return browser;
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
