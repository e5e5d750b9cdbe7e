// What the browser tests share: starting the engine in a test and reading what a page shows.
#pragma once

#include "WindowManager.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <memory>

/// The engine needs shared GL contexts before the application exists, and no sandbox as root.
inline void PrepareBrowserEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (RunningAsRoot())
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

/// The page's text once it contains `needle` (or the last text seen after the timeout).
inline QString WaitForPageText(QWebEngineView *view, const QString &needle, int timeoutMs = 15000)
{
    auto text = std::make_shared<QString>();
    (void)QTest::qWaitFor(
        [&] {
            auto done = std::make_shared<bool>(false);
            view->page()->toPlainText([text, done](const QString &t) {
                *text = t;
                *done = true;
            });
            (void)QTest::qWaitFor([&] { return *done; }, 2000);
            return text->contains(needle);
        },
        timeoutMs);
    return *text;
}

/// The text form of a size, so that a failed comparison shows both.
inline QString SizeText(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

#define TARNBECK_WEB_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        PrepareBrowserEngine();                                                                    \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
