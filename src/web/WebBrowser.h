// The embedded browser of the chart and camera windows.
#pragma once

#include "web/WebCatalogue.h"

class QMenuBar;
class QWebEngineView;
class QWidget;

/// A browser that shows images, web pages and PDF documents inside itself.
QWebEngineView *CreateBrowser(QWidget *parent);

/// Navigates to `address`, or shows a local page naming its source when that has no host.
void ShowDocument(QWebEngineView *browser, const DocumentAddress &address, const QString &title);

/// The height `bar` takes at `width` (a narrow window wraps its items onto more rows).
int MenuBarHeight(const QMenuBar *bar, int width);
