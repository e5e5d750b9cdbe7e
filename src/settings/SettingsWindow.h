// The settings window `setting`: display settings, the target list, and the pop-up menu it owns.
#pragma once

#include "settings/PopupMenu.h"
#include "store/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSlider>
#include <array>
#include <functional>
#include <memory>

class TargetList;
class TickerWindow;

class SettingsWindow final : public QDialog
{
    Q_OBJECT
public:
    /// Indexes of `Check1`.
    enum CheckIndex {
        CheckTaf = 0,
        CheckSunTimes = 1,
        CheckSlide = 2,
        CheckScroll = 3,
        CheckBold = 4,
        CheckLocal = 5
    };
    /// Indexes of `cmb`.
    enum ListIndex { SizeList = 0, IntervalList = 1, TimeDiffList = 2 };
    static constexpr int clientWidthTwips = 8295;
    static constexpr int clientHeightTwips = 5790;

    /// Asks the user for a colour; `chosen` runs only when one was chosen.
    using ColorChooser = std::function<void(const QColor &initial, QWidget *parent,
                                            std::function<void(const QColor &)> chosen)>;
    /// Replaces the colour dialog (tests answer it here); an empty chooser restores the dialog.
    static void setColorChooser(ColorChooser chooser);

    /// Loads the window (hidden) over the ticker's store; the menu exists from here on.
    explicit SettingsWindow(TickerWindow &ticker);
    ~SettingsWindow() override;

    PopupMenu &popupMenu() { return *m_menu; }
    TargetList *targetList() const { return m_targetList; }
    QCheckBox *Check1(int index) const { return m_check[index]; }
    QComboBox *cmb(int index) const { return m_cmb[index]; }
    QSlider *Slider() const { return m_slider; }
    /// The window's labels by their index (0..14, where they exist).
    QLabel *lbl(int index) const;

    /// Shows the window modally over the ticker.
    void open() override;
    /// The close box: saves, then closes.
    void closeByUser();

    // Handlers, public so the ticker's menu and the tests reach them.
    void Form_Activate();
    void Check1_Click(int index);
    void cmb_Click(int index);
    void lbl_DblClick(int index);
    /// Greys and disables the slide interval, scroll and scroll speed controls, or the reverse.
    void setSlideControlsUsable(bool usable);

    void menu_airport_target_Click(int index);
    void menu_slide_Click();
    void menu_scroll_Click();
    void menu_weather_Click();
    void menu_sunset_Click();
    void menu_camera_Click();
    void menu_setting_Click();
    void menu_version_Click();
    void menu_end_Click();

signals:
    /// The window has closed; `saved` tells whether the close box saved it.
    void closed(bool saved);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Form_QueryUnload(bool byUser);
    void setGroup(std::initializer_list<QWidget *> controls, std::initializer_list<int> labels,
                  bool usable);
    QLabel *addLabel(int index, const QString &caption, int x, int y);
    void writeFlag(bool Settings::*field, bool value);
    /// Shows a modal window opened from the menu; the ticker resumes when it closes.
    void showModal(QDialog *window);

    TickerWindow &m_ticker;
    std::unique_ptr<PopupMenu> m_menu;
    std::array<QLabel *, 15> m_lbl{};
    std::array<QCheckBox *, 6> m_check{};
    std::array<QComboBox *, 3> m_cmb{};
    QSlider *m_slider = nullptr;
    TargetList *m_targetList = nullptr;
    bool m_userClose = false;
    bool m_done = false;
};
