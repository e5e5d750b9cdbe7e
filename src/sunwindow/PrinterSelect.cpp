// Printers come from Qt's print support (CUPS here); the chosen one is kept in this file.
#include "sunwindow/PrinterSelect.h"

#include "desktop/FixedPalette.h"
#include "desktop/Fonts.h"
#include "desktop/HoverButtons.h"
#include "desktop/WindowPlacement.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>

namespace {

bool s_printChosen = false;
QString s_currentPrinter;
PrinterSelect::Answer s_answer;
PrinterSelect::FileAnswer s_fileAnswer;

} // namespace

PrinterSelect::PrinterSelect(QWidget *owner, const QString &suggestedPdf)
    : QDialog(owner), m_suggestedPdf(suggestedPdf)
{
    setObjectName(QStringLiteral("printerselect"));
    setWindowTitle(QStringLiteral(" プリンター選択"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(4680), twipsToPixels(1380));
    setMouseTracking(true);
    // The line for no printers is red on the button face.
    UseFixedPalette(this);

    QFont font(QString::fromUtf8(proportionalGothicFamily));
    font.setPointSizeF(9);
    setFont(font);

    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("cmb"));
    m_list->setGeometry(twipsRect(240, 240, 4200, 300));

    const char *captions[3] = {"キャンセル", "印刷", "PDF保存"};
    const QRect places[3] = {twipsRect(1815, 780, 1215, 400), twipsRect(3225, 780, 1215, 400),
                             twipsRect(240, 780, 1335, 400)};
    for (int i = 0; i < 3; ++i) {
        m_cmd[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        m_cmd[i]->setObjectName(QStringLiteral("cmd%1").arg(i));
        m_cmd[i]->setGeometry(places[i]);
        m_cmd[i]->setAutoDefault(false);
        m_hover.add(i, m_cmd[i]);
        m_cmd[i]->installEventFilter(this);
        connect(m_cmd[i], &QPushButton::clicked, this, [this, i] { cmd_Click(i); });
    }
    m_cmd[1]->setDefault(true);
    Form_Load();
}

void PrinterSelect::Form_Load()
{
    const QStringList printers = installedPrinters();
    m_list->addItems(printers);
    if (!printers.isEmpty()) {
        const int current = printers.indexOf(currentPrinter());
        m_list->setCurrentIndex(current < 0 ? 0 : current);
        return;
    }
    m_list->addItem(QStringLiteral(" 利用可能なプリンターがありません"));
    QPalette p = m_list->palette();
    p.setColor(QPalette::Base, palette().color(QPalette::Button));
    p.setColor(QPalette::Button, palette().color(QPalette::Button));
    p.setColor(QPalette::Text, QColor(0xC0, 0, 0));
    p.setColor(QPalette::ButtonText, QColor(0xC0, 0, 0));
    m_list->setPalette(p);
    m_cmd[0]->setText(QStringLiteral("閉じる"));
    m_cmd[1]->setEnabled(false);
    m_list->setCurrentIndex(0);
}

QStringList PrinterSelect::installedPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

QString PrinterSelect::currentPrinter()
{
    if (s_currentPrinter.isEmpty())
        return QPrinterInfo::defaultPrinterName();
    return s_currentPrinter;
}

void PrinterSelect::setCurrentPrinter(const QString &name)
{
    s_currentPrinter = name;
}

bool PrinterSelect::printChosen()
{
    return s_printChosen;
}

void PrinterSelect::choose(QWidget *owner, const QString &suggestedPdf,
                           std::function<void(const PrintTarget &)> chosen)
{
    s_printChosen = false;
    auto *dialog = new PrinterSelect(owner, suggestedPdf);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, dialog,
            [dialog, chosen = std::move(chosen)] { chosen(dialog->m_target); });
    if (s_answer) {
        s_answer(*dialog);
        if (dialog->isHidden())
            dialog->close();
        return;
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show(); // without a loop of its own: `chosen` runs when it is left by printing
}

void PrinterSelect::cmd_Click(int index)
{
    if (index == 2) {
        askPdfPath([this](const QString &path) {
            m_target = {QString(), path};
            s_printChosen = true;
            accept();
        });
        return;
    }
    if (index == 1) {
        const QString name = m_list->currentText();
        if (installedPrinters().contains(name))
            setCurrentPrinter(name);
        m_target = {currentPrinter(), QString()};
        s_printChosen = true;
        accept();
        return;
    }
    s_printChosen = false;
    reject();
}

void PrinterSelect::askPdfPath(std::function<void(const QString &)> chosen)
{
    const QString suggested = QDir::home().filePath(
        m_suggestedPdf.isEmpty() ? QStringLiteral("sun.pdf") : m_suggestedPdf);
    // A cancelled question leaves the dialog open, to choose again.
    const auto take = [chosen = std::move(chosen)](QString path) {
        if (path.isEmpty())
            return;
        if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            path += QLatin1String(".pdf");
        chosen(path);
    };
    if (s_fileAnswer) {
        take(s_fileAnswer(suggested));
        return;
    }
    auto *question = new QFileDialog(this, QStringLiteral("PDFファイルに保存"), suggested,
                                     QStringLiteral("PDF (*.pdf)"));
    question->setAcceptMode(QFileDialog::AcceptSave);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QFileDialog::fileSelected, this, take);
    question->open();
}

void PrinterSelect::cmd_MouseMove(int index)
{
    m_hover.hover(index);
}

void PrinterSelect::Form_MouseMove()
{
    m_hover.leave();
}

bool PrinterSelect::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 3; ++i) {
        if (watched != m_cmd[i])
            continue;
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            cmd_MouseMove(i);
        else if (event->type() == QEvent::Leave)
            Form_MouseMove();
    }
    return QDialog::eventFilter(watched, event);
}

void PrinterSelect::showEvent(QShowEvent *event)
{
    // On the screen's centre, not on the sun window as QDialog would place it.
    if (!event->spontaneous())
        CentreOnScreen(this, ScreenFor(parentWidget()));
    QDialog::showEvent(event);
}

void PrinterSelect::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

PrinterSelect::AnswerWith::AnswerWith(Answer answer)
{
    s_answer = std::move(answer);
}

PrinterSelect::AnswerWith::~AnswerWith()
{
    s_answer = nullptr;
}

PrinterSelect::AnswerFileWith::AnswerFileWith(FileAnswer answer)
{
    s_fileAnswer = std::move(answer);
}

PrinterSelect::AnswerFileWith::~AnswerFileWith()
{
    s_fileAnswer = nullptr;
}
