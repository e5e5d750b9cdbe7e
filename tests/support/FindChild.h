// Widgets of a window found by their objectName, as the tests name them.
#pragma once

#include <QString>
#include <QWidget>

/// The child `name` of `window`; a missing one ends the test run with its name.
template <typename T> T *child(QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}
