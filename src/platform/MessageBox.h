// Message boxes with a seam, so tests can see what the user would have been told.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

struct ShownMessage
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

/// Shows a modal message box with an OK button (or hands it to the installed sink).
void ShowMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                 const QString &text);

/// While alive, messages go to `sink` instead of the screen.
class MessageSink final
{
public:
    explicit MessageSink(std::function<void(const ShownMessage &)> sink);
    ~MessageSink();
    MessageSink(const MessageSink &) = delete;
    MessageSink &operator=(const MessageSink &) = delete;
};
