// The settings window: immediate writes of check boxes and colour, the save at the close box,
// and the handlers of the pop-up menu it owns.
#include "settings/SettingsWindow.h"

#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"
#include "settings/ProgramPage.h"
#include "settings/SettingsLists.h"
#include "settings/TargetList.h"
#include "sun/SunWindow.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerWindow.h"
#include "web/WebWindowsLoader.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

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

SettingsWindow::SettingsWindow(TickerWindow &ticker)
    : QDialog(&ticker, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                           Qt::WindowTitleHint),
      m_ticker(ticker), m_menu(std::make_unique<PopupMenu>())
{
    setObjectName(QStringLiteral("setting"));
    setWindowTitle(QStringLiteral(" Tarnbeck"));
    setFixedSize(twipsToPixels(clientWidthTwips), twipsToPixels(clientHeightTwips));
    setWindowModality(Qt::ApplicationModal);
    setFont(QFont(QString::fromUtf8(proportionalGothicFamily), 9));
    setMouseTracking(true);

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

    // The menu's own handlers; the ticker connects the items that open other windows.
    connect(m_menu.get(), &PopupMenu::targetChosen, this,
            [this](int index) { menu_airport_target_Click(index); });
    connect(m_menu->menu_slide(), &QAction::triggered, this, &SettingsWindow::menu_slide_Click);
    connect(m_menu->menu_scroll(), &QAction::triggered, this, &SettingsWindow::menu_scroll_Click);
    connect(m_menu->menu_weather(), &QAction::triggered, this, &SettingsWindow::menu_weather_Click);
    connect(m_menu->menu_sunset(), &QAction::triggered, this, &SettingsWindow::menu_sunset_Click);
    connect(m_menu->menu_camera(), &QAction::triggered, this, &SettingsWindow::menu_camera_Click);
    connect(m_menu->menu_setting(), &QAction::triggered, this, &SettingsWindow::menu_setting_Click);
    connect(m_menu->menu_version(), &QAction::triggered, this, &SettingsWindow::menu_version_Click);
    connect(m_menu->menu_end(), &QAction::triggered, this, &SettingsWindow::menu_end_Click);

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
    SettingsStore &store = m_ticker.store();
    const bool autochange = store.settings().autochange;
    m_menu->menu_scroll()->setChecked(store.settings().scroll);
    m_menu->menu_slide()->setChecked(autochange);
    m_menu->menu_scroll()->setEnabled(autochange);

    QPalette swatch = m_lbl[9]->palette();
    swatch.setColor(QPalette::Window, ColorFromStored(store.settings().forecolor));
    m_lbl[9]->setPalette(swatch);

    selectText(m_cmb[SizeList], QString::number(store.settings().fontsize));
    m_check[CheckTaf]->setChecked(store.settings().getTAF);
    m_check[CheckSunTimes]->setChecked(store.settings().getSUNSET);
    const bool uselocal = store.settings().uselocal;
    m_check[CheckLocal]->setChecked(uselocal);
    setGroup({m_cmb[TimeDiffList]}, {2, 11}, uselocal);
    selectText(m_cmb[TimeDiffList], store.settings().timediff);
    selectText(m_cmb[IntervalList], QString::number(store.settings().autochangerate));
    m_slider->setValue(SliderPositionFor(store.settings().scrollrate));
    m_check[CheckBold]->setChecked(store.settings().update);
    m_targetList->load(store);
}

void SettingsWindow::open()
{
    // Centred on the ticker, but never off the screen it is on.
    QRect frame(QPoint(), size());
    frame.moveCenter(m_ticker.frameGeometry().center());
    if (const QScreen *screen = m_ticker.screen()) {
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
    SettingsStore &store = m_ticker.store();
    setWindowTitle(QStringLiteral(" Tarnbeck  ver ") + QLatin1String(TickerState::programVersion));
    m_targetList->setListChanged(false);
    const bool autochange = store.settings().autochange;
    const bool scroll = store.settings().scroll;
    m_menu->menu_scroll()->setChecked(scroll);
    m_menu->menu_slide()->setChecked(autochange);
    m_menu->menu_scroll()->setEnabled(autochange);

    m_check[CheckScroll]->setChecked(scroll);
    setGroup({m_slider}, {5}, scroll);
    m_check[CheckSlide]->setChecked(autochange);
    if (autochange) {
        setGroup({m_cmb[IntervalList]}, {4, 12}, true);
    } else {
        setGroup({m_cmb[IntervalList], m_check[CheckScroll], m_slider}, {4, 12, 5}, false);
    }
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
    if (!m_ticker.store().changeSettings([&](Settings &s) { s.*field = value; }))
        ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"),
                    m_ticker.store().errorString());
}

void SettingsWindow::Check1_Click(int index)
{
    const bool checked = m_check[index]->isChecked();
    TickerState &state = m_ticker.state();
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
            setGroup({m_slider}, {5}, m_ticker.store().settings().scroll);
            state.slideCount = state.slidePeriod;
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
        m_ticker.setTextFont(m_ticker.lbl(TickerWindow::Display)->font().pointSizeF(), checked);
        break;
    case CheckLocal:
        writeFlag(&Settings::uselocal, checked);
        setGroup({m_cmb[TimeDiffList]}, {2, 11}, checked);
        state.slideCount = state.slidePeriod;
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
        m_ticker.setTextFont(size, m_check[CheckBold]->isChecked());
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
        m_ticker.setTextColor(color);
        if (!m_ticker.store().changeSettings(
                [&](Settings &s) { s.forecolor = StoredColor(color); }))
            ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"),
                        m_ticker.store().errorString());
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
    if (!byUser) {
        m_done = true;
        emit closed(false);
        return;
    }
    SettingsStore &store = m_ticker.store();
    TickerState &state = m_ticker.state();
    const int scrollrate = ScrollRateFor(m_slider->value());
    const bool saved = store.changeSettings([&](Settings &s) {
        s.scrollrate = scrollrate;
        // A list showing no entry (a stored value not among its texts) leaves its field alone.
        if (m_cmb[SizeList]->currentIndex() >= 0)
            s.fontsize = m_cmb[SizeList]->currentText().toInt();
        if (m_cmb[TimeDiffList]->currentIndex() >= 0)
            s.timediff = m_cmb[TimeDiffList]->currentText();
        if (m_cmb[IntervalList]->currentIndex() >= 0)
            s.autochangerate = m_cmb[IntervalList]->currentText().toInt();
    });
    if (!saved) {
        ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"), store.errorString());
        return;
    }
    m_ticker.Timer(TickerWindow::SlideTimer).setInterval(scrollrate);
    state.slidePeriod = qint16(store.settings().autochangerate);
    if (!store.RefreshSettingRows()) {
        ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"), store.errorString());
        return;
    }

    if (m_targetList->listChanged()) {
        const QList<TargetAirport> targets = m_targetList->targets();
        if (!store.ReplaceTargets(targets)) {
            ShowMessage(this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"),
                        store.errorString());
            return;
        }
        if (!targets.isEmpty()) {
            if (store.settings().autochange) {
                m_ticker.Timer(TickerWindow::SlideTimer).start();
                if (store.settings().scroll)
                    m_ticker.Timer(TickerWindow::NetworkCheck).start();
            }
            state.slideCount = 0;
            state.slidePeriod = 1;
            m_ticker.Timer(TickerWindow::NetworkCheck).start();
            state.currentAirport = targets.first().airport;
        }
        m_ticker.setAnyChecked(m_targetList->anyMarked());
    }
    m_targetList->setListChanged(false);
    m_done = true;
    hide();
    emit closed(true);
}

void SettingsWindow::menu_airport_target_Click(int index)
{
    TickerState &state = m_ticker.state();
    m_ticker.setPointerOnHandle(false);
    if (m_ticker.store().airportRows().RecordCount() == 0)
        return;
    const QList<QAction *> &items = m_menu->menu_airport_target();
    if (index < 0 || index >= items.size())
        return;
    state.currentAirport = items[index]->text();
    m_ticker.hurry();
    writeFlag(&Settings::autochange, false);
    m_menu->menu_slide()->setChecked(false);
    m_menu->menu_scroll()->setEnabled(false);
}

void SettingsWindow::menu_slide_Click()
{
    // The item has already toggled its check.
    if (m_menu->menu_slide()->isChecked()) {
        m_menu->menu_scroll()->setEnabled(true);
        writeFlag(&Settings::autochange, true);
        m_ticker.state().slideCount = m_ticker.state().slidePeriod;
    } else {
        m_menu->menu_scroll()->setEnabled(false);
        writeFlag(&Settings::autochange, false);
    }
}

void SettingsWindow::menu_scroll_Click()
{
    m_ticker.setPointerOnHandle(false);
    writeFlag(&Settings::scroll, m_menu->menu_scroll()->isChecked());
}

void SettingsWindow::menu_weather_Click()
{
    m_ticker.setPointerOnHandle(false);
    m_ticker.Timer(TickerWindow::NetworkCheck).stop();
    // The next good network check enables it again.
    m_menu->menu_weather()->setEnabled(false);
    ShowChartWindow(m_ticker.store().hosts());
    m_ticker.Timer(TickerWindow::NetworkCheck).start();
}

void SettingsWindow::showModal(QDialog *window)
{
    m_ticker.Timer(TickerWindow::NetworkCheck).stop();
    if (!window) { // the user has been told why
        m_ticker.Timer(TickerWindow::NetworkCheck).start();
        return;
    }
    m_ticker.beginModal();
    connect(window, &QDialog::finished, &m_ticker, &TickerWindow::endModal);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

void SettingsWindow::menu_sunset_Click()
{
    m_ticker.setPointerOnHandle(false);
    showModal(new SunWindow(&m_ticker));
}

void SettingsWindow::menu_camera_Click()
{
    m_ticker.setPointerOnHandle(false);
    showModal(ShowCameraWindow(m_ticker.store().hosts(), &m_ticker));
}

void SettingsWindow::menu_setting_Click()
{
    m_ticker.setPointerOnHandle(false);
    m_ticker.pause();
    m_ticker.beginModal();
    open();
}

void SettingsWindow::menu_version_Click()
{
    // An empty row means the about page delivered with the program.
    const QUrl page = ProgramPageUrl(m_ticker.store().host(QStringLiteral("programpage")));
    const QString version =
        QStringLiteral("Tarnbeck ver ") + QLatin1String(TickerState::programVersion);
    if (page.isEmpty()) {
        ShowMessage(this, QMessageBox::Information, QStringLiteral(" Tarnbeck"),
                    version + QStringLiteral("\n\nプログラムのページのアドレスが設定されていません"
                                             " (設定ファイルの host 表の programpage)。"));
    } else if (!QDesktopServices::openUrl(page)) {
        ShowMessage(
            this, QMessageBox::Warning, QStringLiteral(" Tarnbeck"),
            version +
                QStringLiteral("\n\nブラウザーで %1 を開けませんでした。").arg(page.toString()));
    }
}

void SettingsWindow::menu_end_Click()
{
    m_ticker.close();
}
