// The embedded browser's settings, the not-configured page and window placement.
#include "web/WebBrowser.h"

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

QPoint CentredOn(const QRect &screen, const QSize &outer)
{
    return {screen.x() + (screen.width() - outer.width()) / 2,
            screen.y() + (screen.height() - outer.height()) / 2};
}

QSize FrameExtra(const QWidget *window, QSize lastKnown)
{
    if (!window->isVisible())
        return lastKnown;
    return window->frameGeometry().size() - window->geometry().size();
}
