// The embedded browser of the chart and camera windows, and the placing of their windows.
#pragma once

#include "web/WebCatalogue.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QWebEngineView;
class QWidget;

/// A browser that shows images, web pages and PDF documents inside itself.
QWebEngineView *CreateBrowser(QWidget *parent);

/// Navigates to `address`, or shows a local page naming its source when that has no host.
void ShowDocument(QWebEngineView *browser, const DocumentAddress &address, const QString &title);

/// Top-left corner that centres a window of outer size `outer` on `screen`.
QPoint CentredOn(const QRect &screen, const QSize &outer);

/// What the window frame adds to the client size; kept from the last time the window was shown
/// because a hidden window has no frame to measure.
QSize FrameExtra(const QWidget *window, QSize lastKnown);
