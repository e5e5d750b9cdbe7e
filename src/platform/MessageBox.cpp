// The message-box seam.
#include "platform/MessageBox.h"

namespace {

std::function<void(const ShownMessage &)> &sink()
{
    static std::function<void(const ShownMessage &)> s;
    return s;
}

} // namespace

void ShowMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    if (sink()) {
        sink()({icon, title, text});
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

MessageSink::MessageSink(std::function<void(const ShownMessage &)> s)
{
    sink() = std::move(s);
}

MessageSink::~MessageSink()
{
    sink() = nullptr;
}
