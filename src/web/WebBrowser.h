// The embedded browser of the chart and camera windows.
#pragma once

#include "web/DocumentAddress.h"

#include <functional>

class QMenuBar;
class QUrl;
class QWebEngineView;
class QWidget;

/// Lets the user set the address of the source `hostName` (the window "拡張設定" at its row);
/// `saved` runs with every address once the user has saved them.
using SourceEditor =
    std::function<void(const QString &hostName, std::function<void(const SourceHosts &)> saved)>;

/// The address of the link "接続先を設定..." for the source `hostName`; it never leaves the
/// program.
QUrl SourceLinkUrl(const QString &hostName);

/// A browser that shows images, web pages and PDF documents inside itself. Following the link
/// of a source without an address runs `sourceLink` with that source's name instead.
QWebEngineView *CreateBrowser(QWidget *parent,
                              std::function<void(const QString &hostName)> sourceLink = {});

/// Lets the user set the address of the source `sourceName` through `editor`; once saved,
/// `saved` runs with every address, unless `window` has closed meanwhile.
void EditSource(const SourceEditor &editor, const QString &sourceName, QObject *window,
                std::function<void(const SourceHosts &)> saved);

/// Puts `address` on its source's address in `hosts`; true when that changed, so that the
/// document must be shown again. Other sources' addresses are read at the next choice.
bool FollowHosts(DocumentAddress &address, const SourceHosts &hosts);

/// Navigates to `address`, or shows a local page naming its source when that has no host. A
/// document that cannot be loaded gives a local page saying why, after the fallback of a 404.
void ShowDocument(QWebEngineView *browser, const DocumentAddress &address, const QString &title);
/// Shows a page made here (no document of a source: nothing to fall back to or reload).
void ShowPage(QWebEngineView *browser, const QString &html);
/// Loads the shown document again; in place of a page saying it failed, the document itself.
void ReloadDocument(QWebEngineView *browser);

/// The height `bar` takes at `width` (a narrow window wraps its items onto more rows).
int MenuBarHeight(const QMenuBar *bar, int width);
