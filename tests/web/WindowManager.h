// A window manager for the tests that place windows on a real X display.
#pragma once

#include "platform/WindowPlacement.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

/// Starts openbox on the test's display, as a user's desktop has a window manager, and waits
/// until it answers for frames. False when it is not installed or never answers.
inline bool StartWindowManager(QProcess &manager)
{
    if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
        return false;
    manager.start(QStringLiteral("openbox"), {}); // exits at once where another one runs
    QWidget probe;
    return QTest::qWaitFor([&] { return !WindowFrame(&probe).isNull(); }, 10000);
}
