// Printers come from Qt's print support (CUPS here); the chosen one is kept in this file.
#include "PrinterSelect.h"

#include "SunWindow.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"

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

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

} // namespace

PrinterSelect::PrinterSelect(QWidget *owner, const QString &suggestedPdf)
    : QDialog(owner), m_suggestedPdf(suggestedPdf)
{
    setObjectName(QStringLiteral("printerselect"));
    setWindowTitle(QStringLiteral(" プリンター選択"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(4680), twipsToPixels(1380));
    setMouseTracking(true);

    QFont font(QString::fromUtf8(proportionalGothicFamily));
    font.setPointSizeF(9);
    setFont(font);

    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("cmb"));
    m_list->setGeometry(twipRect(240, 240, 4200, 300));

    const char *captions[3] = {"キャンセル", "印刷", "PDF保存"};
    const QRect places[3] = {twipRect(1815, 780, 1215, 400), twipRect(3225, 780, 1215, 400),
                             twipRect(240, 780, 1335, 400)};
    for (int i = 0; i < 3; ++i) {
        m_cmd[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        m_cmd[i]->setObjectName(QStringLiteral("cmd%1").arg(i));
        m_cmd[i]->setGeometry(places[i]);
        m_cmd[i]->setAutoDefault(false);
        m_cmd[i]->setAutoFillBackground(true);
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

PrintTarget PrinterSelect::choose(QWidget *owner, const QString &suggestedPdf)
{
    s_printChosen = false;
    PrinterSelect dialog(owner, suggestedPdf);
    if (s_answer)
        s_answer(dialog);
    else
        dialog.exec();
    return s_printChosen ? dialog.m_target : PrintTarget{};
}

void PrinterSelect::cmd_Click(int index)
{
    if (index == 2) {
        const QString path = askPdfPath();
        if (path.isEmpty())
            return; // the file question was cancelled: stay and let the user choose again
        m_target = {QString(), path};
        s_printChosen = true;
        accept();
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

QString PrinterSelect::askPdfPath()
{
    const QString suggested = QDir::home().filePath(
        m_suggestedPdf.isEmpty() ? QStringLiteral("sun.pdf") : m_suggestedPdf);
    QString path = s_fileAnswer
                       ? s_fileAnswer(suggested)
                       : QFileDialog::getSaveFileName(this, QStringLiteral("PDFファイルに保存"),
                                                      suggested, QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty() && !path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    return path;
}

void PrinterSelect::cmd_MouseMove(int index)
{
    if (index == m_hoverIndex)
        return;
    for (QPushButton *button : m_cmd)
        SunWindow::paintButton(button, false);
    SunWindow::paintButton(m_cmd[index], true);
    m_hoverIndex = index;
}

void PrinterSelect::Form_MouseMove()
{
    if (m_hoverIndex == 9)
        return;
    for (QPushButton *button : m_cmd)
        SunWindow::paintButton(button, false);
    m_hoverIndex = 9;
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
