// Prints one annual table through the window and the printer dialog to the queue named on the
// command line; the CUPS test runs it against its private scheduler.
#include "desktop/Fonts.h"
#include "desktop/MessageBox.h"
#include "sunwindow/PrinterSelect.h"
#include "sunwindow/SunWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <queue>\n", argv[0]);
        return 2;
    }
    const QString queue = QString::fromLocal8Bit(argv[1]);
    if (!PrinterSelect::installedPrinters().contains(queue)) {
        std::fprintf(stderr, "queue %s is not listed\n", argv[1]);
        return 1;
    }
    bool failed = false;
    MessageSink sink([&failed](const ShownMessage &message) {
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
        failed = true;
    });

    SunWindow window;
    window.show();
    auto *airports = window.findChild<QComboBox *>(QStringLiteral("cmb0"));
    airports->setCurrentIndex(0);
    bool listed = false;
    PrinterSelect::AnswerWith answer([&](PrinterSelect &dialog) {
        auto *list = dialog.findChild<QComboBox *>(QStringLiteral("cmb"));
        list->setCurrentIndex(list->findText(queue));
        listed = list->currentText() == queue;
        dialog.findChild<QPushButton *>(QStringLiteral("cmd1"))->click();
    });
    window.findChild<QPushButton *>(QStringLiteral("cmd0"))->click();
    if (!listed || !PrinterSelect::printChosen() || PrinterSelect::currentPrinter() != queue) {
        std::fprintf(stderr, "the dialog did not choose %s\n", argv[1]);
        return 1;
    }
    return failed ? 1 : 0;
}
