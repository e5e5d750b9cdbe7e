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

/// Shows an application-modal message box with an OK button, without a loop of its own, or
/// hands the message to the installed sink. `closed` runs once the box is dismissed (at once
/// under a sink). The box deletes itself when closed; it is returned (null under a sink).
QMessageBox *ShowMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                         const QString &text, std::function<void()> closed = {});

/// Asks a yes / no question, application-modal and without a loop of its own; `answered` runs
/// with the answer. Under a sink the question goes to the sink and is answered yes.
void AskQuestion(QWidget *parent, const QString &title, const QString &text,
                 std::function<void(bool yes)> answered);

/// While alive, messages go to `sink` instead of the screen.
class MessageSink final
{
public:
    explicit MessageSink(std::function<void(const ShownMessage &)> sink);
    ~MessageSink();
    MessageSink(const MessageSink &) = delete;
    MessageSink &operator=(const MessageSink &) = delete;
};
