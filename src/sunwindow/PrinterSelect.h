// The printer dialog "printerselect": choose a printer for the rest of the run, or a PDF file.
#pragma once

#include "desktop/HoverButtons.h"

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QPushButton;

/// Where one print goes: the current printer, or a PDF file when pdfPath is set.
struct PrintTarget
{
    QString printerName;
    QString pdfPath;
};

class PrinterSelect final : public QDialog
{
    Q_OBJECT

public:
    using Answer = std::function<void(PrinterSelect &)>;
    using FileAnswer = std::function<QString(const QString &suggested)>;

    /// `suggestedPdf` is the file name offered when the table is saved as PDF.
    explicit PrinterSelect(QWidget *owner = nullptr, const QString &suggestedPdf = {});

    /// Opens the dialog application-modal, without a loop of its own; `chosen` runs when it is
    /// left by printing or saving. printChosen() tells how the last dialog was left.
    static void choose(QWidget *owner, const QString &suggestedPdf,
                       std::function<void(const PrintTarget &)> chosen);
    /// True when the last dialog was left by printing or saving.
    static bool printChosen();
    /// The printer that receives output for the rest of the run (the system default at first).
    static QString currentPrinter();
    static void setCurrentPrinter(const QString &name);
    /// The names of the installed printers, in the system's order.
    static QStringList installedPrinters();

    int hoverIndex() const { return m_hover.hovered(); }

    /// While alive, choose() hands the dialog to `answer` instead of waiting for the user.
    class AnswerWith final
    {
    public:
        explicit AnswerWith(Answer answer);
        ~AnswerWith();
        AnswerWith(const AnswerWith &) = delete;
        AnswerWith &operator=(const AnswerWith &) = delete;
    };
    /// While alive, the question for a PDF file name is answered by `answer` (empty: cancelled).
    class AnswerFileWith final
    {
    public:
        explicit AnswerFileWith(FileAnswer answer);
        ~AnswerFileWith();
        AnswerFileWith(const AnswerFileWith &) = delete;
        AnswerFileWith &operator=(const AnswerFileWith &) = delete;
    };

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Form_Load();
    void cmd_Click(int index);
    void cmd_MouseMove(int index);
    void Form_MouseMove();
    /// Asks for the PDF file; `chosen` runs with its path unless the question is cancelled.
    void askPdfPath(std::function<void(const QString &)> chosen);

    QComboBox *m_list = nullptr;
    QPushButton *m_cmd[3] = {};
    QString m_suggestedPdf;
    PrintTarget m_target;
    HoverButtons m_hover{9, 9};
};
