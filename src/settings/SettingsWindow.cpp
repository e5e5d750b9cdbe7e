// The settings window: immediate writes of check boxes and colour, the save at the close box.
#include "settings/SettingsWindow.h"

#include "desktop/FixedPalette.h"
#include "desktop/Fonts.h"
#include "desktop/MessageBox.h"
#include "desktop/StoredColor.h"
#include "platform/Twips.h"
#include "settings/SettingsLists.h"
#include "settings/TargetList.h"
#include "store/SettingsStore.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QGuiApplication>
#include <QScreen>
#include <TarnbeckVersion.h>

namespace {

const QColor usableText(Qt::black);
const QColor greyText(0x80, 0x80, 0x80);

SettingsWindow::ColorChooser &colorChooser()
{
    static SettingsWindow::ColorChooser chooser;
    return chooser;
}

void selectText(QComboBox *list, const QString &text)
{
    // A stored value that is not a list text shows no entry rather than a wrong one.
    list->setCurrentIndex(list->findText(text, Qt::MatchExactly));
}

} // namespace

void SettingsWindow::setColorChooser(ColorChooser chooser)
{
    colorChooser() = std::move(chooser);
}

SettingsWindow::SettingsWindow(SettingsStore &store, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                         Qt::WindowTitleHint),
      m_store(store)
{
    setObjectName(QStringLiteral("setting"));
    setWindowTitle(QStringLiteral(" Tarnbeck"));
    setFixedSize(twipsToPixels(clientWidthTwips), twipsToPixels(clientHeightTwips));
    setWindowModality(Qt::ApplicationModal);
    setFont(QFont(QString::fromUtf8(proportionalGothicFamily), 9));
    setMouseTracking(true);
    // Black and grey captions, black on white in the grids: the rest must match.
    UseFixedPalette(this);

    // Left column: colour, lists, slider, check boxes.
    addLabel(0, QStringLiteral("文字の色"), 12, 14);
    m_lbl[9] = new QLabel(this);
    m_lbl[9]->setObjectName(QStringLiteral("lbl9"));
    m_lbl[9]->setGeometry(110, 10, 50, 20);
    m_lbl[9]->setAutoFillBackground(true);
    m_lbl[9]->setFrameShape(QFrame::Box);
    m_lbl[9]->setToolTip(QStringLiteral("ダブルクリックで色を選択"));
    m_lbl[9]->installEventFilter(this);

    const struct
    {
        int index;
        int title;
        const char *caption;
        int unit;
        const char *unitCaption;
        int y;
        QStringList texts;
    } lists[] = {
        {SizeList, 1, "文字のサイズ", 10, "ポイント", 44, FontSizeTexts()},
        {IntervalList, 4, "スライド間隔", 12, "秒", 74, SlideIntervalTexts()},
        {TimeDiffList, 2, "時差", 11, "時間", 134, TimeDiffTexts()},
    };
    for (const auto &l : lists) {
        addLabel(l.title, QString::fromUtf8(l.caption), 12, l.y + 4);
        m_cmb[l.index] = new QComboBox(this);
        m_cmb[l.index]->setObjectName(QStringLiteral("cmb%1").arg(l.index));
        m_cmb[l.index]->addItems(l.texts);
        m_cmb[l.index]->setGeometry(110, l.y, 50, 22);
        m_cmb[l.index]->setMaxVisibleItems(12);
        connect(m_cmb[l.index], &QComboBox::activated, this, [this, i = l.index] { cmb_Click(i); });
        addLabel(l.unit, QString::fromUtf8(l.unitCaption), 165, l.y + 4);
    }
    addLabel(5, QStringLiteral("スクロール速度"), 12, 108);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("Slider"));
    m_slider->setRange(1, 10);
    m_slider->setPageStep(1);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setToolTip(QStringLiteral(" ← 遅く　速く → "));
    m_slider->setGeometry(105, 102, 90, 26);

    const char *checkCaptions[] = {"TAFを取得",      "常用日出没時刻を取得", "スライド有効",
                                   "スクロール有効", "ボールド (太字) 表示", "ローカル時刻を使用"};
    for (int i = 0; i < 6; ++i) {
        m_check[i] = new QCheckBox(QString::fromUtf8(checkCaptions[i]), this);
        m_check[i]->setObjectName(QStringLiteral("Check1%1").arg(i));
        m_check[i]->setGeometry(12, 172 + 26 * i, 180, 22);
        // clicked, not toggled: only the user's click writes, never the load.
        connect(m_check[i], &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
    }

    m_targetList = new TargetList(this);
    m_targetList->move(205, 8);
    connect(m_targetList, &TargetList::slideControlsUsable, this,
            &SettingsWindow::setSlideControlsUsable);

    Form_Load();
}

SettingsWindow::~SettingsWindow() = default;

QLabel *SettingsWindow::addLabel(int index, const QString &caption, int x, int y)
{
    m_lbl[index] = new QLabel(caption, this);
    m_lbl[index]->setObjectName(QStringLiteral("lbl%1").arg(index));
    m_lbl[index]->move(x, y);
    m_lbl[index]->adjustSize();
    return m_lbl[index];
}

QLabel *SettingsWindow::lbl(int index) const
{
    if (index >= 0 && index < int(m_lbl.size()) && m_lbl[index])
        return m_lbl[index];
    return m_targetList->findChild<QLabel *>(QStringLiteral("lbl%1").arg(index));
}

void SettingsWindow::Form_Load()
{
    const Settings settings = m_store.settings();
    QPalette swatch = m_lbl[9]->palette();
    swatch.setColor(QPalette::Window, ColorFromStored(settings.forecolor));
    m_lbl[9]->setPalette(swatch);

    selectText(m_cmb[SizeList], QString::number(settings.fontsize));
    m_check[CheckTaf]->setChecked(settings.getTAF);
    m_check[CheckSunTimes]->setChecked(settings.getSUNSET);
    m_check[CheckLocal]->setChecked(settings.uselocal);
    setGroup({m_cmb[TimeDiffList]}, {2, 11}, settings.uselocal);
    selectText(m_cmb[TimeDiffList], settings.timediff);
    selectText(m_cmb[IntervalList], QString::number(settings.autochangerate));
    m_slider->setValue(SliderPositionFor(settings.scrollrate));
    m_check[CheckBold]->setChecked(settings.update);
    m_targetList->load(m_store);
}

void SettingsWindow::open()
{
    // Centred on its owner (the ticker), but never off the screen the owner is on.
    QRect frame(QPoint(), size());
    const QWidget *owner = parentWidget();
    frame.moveCenter(owner ? owner->frameGeometry().center() : QPoint());
    if (const QScreen *screen = owner ? owner->screen() : this->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(
            qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width())));
        frame.moveTop(
            qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height())));
    }
    move(frame.topLeft());
    // Application-modal, as QDialog::open() would make it only window-modal: a chart window
    // opened earlier must not take input meanwhile. Shown without a loop of its own.
    setWindowModality(Qt::ApplicationModal);
    show();
    Form_Activate();
}

void SettingsWindow::Form_Activate()
{
    setWindowTitle(QStringLiteral(" Tarnbeck  ver ") + QLatin1String(programVersion));
    m_targetList->setListChanged(false);
    const Settings settings = m_store.settings();
    const bool autochange = settings.autochange;
    const bool scroll = settings.scroll;
    m_check[CheckScroll]->setChecked(scroll);
    setGroup({m_slider}, {5}, scroll);
    m_check[CheckSlide]->setChecked(autochange);
    if (autochange) {
        setGroup({m_cmb[IntervalList]}, {4, 12}, true);
    } else {
        setGroup({m_cmb[IntervalList], m_check[CheckScroll], m_slider}, {4, 12, 5}, false);
    }
    // Targets none of which is marked: sliding cannot be switched on.
    const QList<TargetAirport> targets = m_targetList->targets();
    if (!targets.isEmpty() && !m_targetList->anyMarked())
        setSlideControlsUsable(false);
}

void SettingsWindow::setGroup(std::initializer_list<QWidget *> controls,
                              std::initializer_list<int> labels, bool usable)
{
    for (QWidget *control : controls)
        control->setEnabled(usable);
    for (int index : labels) {
        QPalette palette = m_lbl[index]->palette();
        palette.setColor(QPalette::WindowText, usable ? usableText : greyText);
        m_lbl[index]->setPalette(palette);
    }
}

void SettingsWindow::setSlideControlsUsable(bool usable)
{
    setGroup({m_check[CheckSlide], m_cmb[IntervalList], m_check[CheckScroll], m_slider}, {4, 12, 5},
             usable);
}

void SettingsWindow::writeFlag(bool Settings::*field, bool value)
{
    if (!m_store.changeSettings([&](Settings &s) { s.*field = value; }))
        ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"), m_store.errorString());
}

void SettingsWindow::Check1_Click(int index)
{
    const bool checked = m_check[index]->isChecked();
    switch (index) {
    case CheckTaf:
        writeFlag(&Settings::getTAF, checked);
        break;
    case CheckSunTimes:
        writeFlag(&Settings::getSUNSET, checked);
        break;
    case CheckSlide:
        writeFlag(&Settings::autochange, checked);
        if (checked) {
            setGroup({m_cmb[IntervalList], m_check[CheckScroll]}, {4, 12}, true);
            setGroup({m_slider}, {5}, m_store.settings().scroll);
            emit refreshSoon();
        } else {
            setGroup({m_cmb[IntervalList], m_check[CheckScroll], m_slider}, {4, 12, 5}, false);
        }
        break;
    case CheckScroll:
        writeFlag(&Settings::scroll, checked);
        setGroup({m_slider}, {5}, checked);
        break;
    case CheckBold:
        writeFlag(&Settings::update, checked);
        emit textFontChanged(m_cmb[SizeList]->currentText().toDouble(), checked);
        break;
    case CheckLocal:
        writeFlag(&Settings::uselocal, checked);
        setGroup({m_cmb[TimeDiffList]}, {2, 11}, checked);
        emit refreshSoon();
        break;
    default:
        break;
    }
}

void SettingsWindow::cmb_Click(int)
{
    // Any list re-applies the chosen size, so the ticker always shows what the size list says.
    const double size = m_cmb[SizeList]->currentText().toDouble();
    if (size > 0)
        emit textFontChanged(size, m_check[CheckBold]->isChecked());
}

void SettingsWindow::lbl_DblClick(int index)
{
    if (index != 9)
        return;
    const QColor initial = m_lbl[9]->palette().color(QPalette::Window);
    const auto apply = [this](const QColor &color) {
        if (!color.isValid())
            return;
        QPalette swatch = m_lbl[9]->palette();
        swatch.setColor(QPalette::Window, color);
        m_lbl[9]->setPalette(swatch);
        emit textColorChanged(color);
        if (!m_store.changeSettings([&](Settings &s) { s.forecolor = StoredColor(color); }))
            ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"),
                        m_store.errorString());
    };
    if (colorChooser()) {
        colorChooser()(initial, this, apply);
        return;
    }
    auto *dialog = new QColorDialog(initial, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, apply);
    dialog->open();
}

bool SettingsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lbl[9] && event->type() == QEvent::MouseButtonDblClick) {
        lbl_DblClick(9);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsWindow::mouseMoveEvent(QMouseEvent *event)
{
    m_targetList->Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

void SettingsWindow::closeByUser()
{
    m_userClose = true;
    close();
}

void SettingsWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape closes like the close box, so nothing typed is silently lost.
    if (event->key() == Qt::Key_Escape) {
        closeByUser();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    if (m_done) {
        event->accept();
        return;
    }
    const bool byUser = m_userClose || event->spontaneous();
    m_userClose = false;
    Form_QueryUnload(byUser);
    if (!m_done) {
        event->ignore(); // the save failed: keep the window and its edits
        return;
    }
    QDialog::closeEvent(event);
}

void SettingsWindow::Form_QueryUnload(bool byUser)
{
    if (!byUser) { // closed by the program: nothing is saved
        m_done = true;
        return;
    }
    const int scrollrate = ScrollRateFor(m_slider->value());
    const bool written = m_store.changeSettings([&](Settings &s) {
        s.scrollrate = scrollrate;
        // A list showing no entry (a stored value not among its texts) leaves its field alone.
        if (m_cmb[SizeList]->currentIndex() >= 0)
            s.fontsize = m_cmb[SizeList]->currentText().toInt();
        if (m_cmb[TimeDiffList]->currentIndex() >= 0)
            s.timediff = m_cmb[TimeDiffList]->currentText();
        if (m_cmb[IntervalList]->currentIndex() >= 0)
            s.autochangerate = m_cmb[IntervalList]->currentText().toInt();
    });
    if (!written || !m_store.RefreshSettingRows()) {
        ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"), m_store.errorString());
        return;
    }
    const bool listChanged = m_targetList->listChanged();
    if (listChanged && !m_store.ReplaceTargets(m_targetList->targets())) {
        ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"), m_store.errorString());
        return;
    }
    m_targetList->setListChanged(false);
    m_done = true;
    emit saved(scrollrate, m_store.settings().autochangerate, listChanged);
}
