// The message-box seam, and boxes without a shown owner centred on the screen.
#include "desktop/MessageBox.h"

#include "desktop/WindowPlacement.h"

#include <QShowEvent>

namespace {

std::function<void(const ShownMessage &)> &sink()
{
    static std::function<void(const ShownMessage &)> s;
    return s;
}

/// Qt centres a box on its owner, and puts it in the screen's corner when that is hidden.
class PlacedMessageBox final : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event); // settles the box's size
        const QWidget *owner = parentWidget();
        if (!event->spontaneous() && (!owner || !owner->window()->isVisible()))
            CentreOnScreen(this, ScreenFor(owner));
    }
};

} // namespace

QMessageBox *ShowMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                         const QString &text, std::function<void()> closed)
{
    if (sink()) {
        sink()({icon, title, text});
        if (closed)
            closed();
        return nullptr;
    }
    auto *box = new PlacedMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box, [closed] { closed(); });
    box->show();
    return box;
}

void AskQuestion(QWidget *parent, const QString &title, const QString &text,
                 std::function<void(bool yes)> answered)
{
    if (sink()) {
        sink()({QMessageBox::Question, title, text});
        answered(true);
        return;
    }
    auto *box = new PlacedMessageBox(QMessageBox::Question, title, text,
                                     QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box,
                     [answered](int result) { answered(result == QMessageBox::Yes); });
    box->show();
}

MessageSink::MessageSink(std::function<void(const ShownMessage &)> s)
{
    sink() = std::move(s);
}

MessageSink::~MessageSink()
{
    sink() = nullptr;
}
