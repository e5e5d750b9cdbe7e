// The settings window `setting`: display settings and the target list.
#pragma once

#include "store/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSlider>
#include <array>
#include <functional>
#include <memory>

class SettingsStore;
class TargetList;

/// Edits the settings in the store: check boxes and the colour at once, the lists, the slider
/// and the target list when the user closes it. It never reaches into the ticker; it says what
/// changed, and the ticker follows (see OpenSettingsWindow).

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

    /// Loads the window, hidden, from `store`.
    SettingsWindow(SettingsStore &store, QWidget *owner);
    ~SettingsWindow() override;

    TargetList *targetList() const { return m_targetList; }
    QCheckBox *Check1(int index) const { return m_check[index]; }
    QComboBox *cmb(int index) const { return m_cmb[index]; }
    QSlider *Slider() const { return m_slider; }
    /// The window's labels by their index (0..14, where they exist).
    QLabel *lbl(int index) const;

    /// Shows the window application-modal, centred on its owner.
    void open() override;
    /// The close box: saves, then closes.
    void closeByUser();

    // Handlers, public so tests reach them.
    void Form_Activate();
    void Check1_Click(int index);
    void cmb_Click(int index);
    void lbl_DblClick(int index);
    /// Greys and disables the slide interval, scroll and scroll speed controls, or the reverse.
    void setSlideControlsUsable(bool usable);

signals:
    /// The ticker's text takes this size and boldness now (nothing is saved by it).
    void textFontChanged(double pointSize, bool bold);
    /// The ticker's text takes this colour now (it has been saved).
    void textColorChanged(const QColor &color);
    /// A setting that changes the report was written: the ticker refreshes at its next tick.
    void refreshSoon();
    /// The close box saved the window: the slide step and interval, and whether the target
    /// list was replaced.
    void saved(int scrollrate, int autochangerate, bool targetsReplaced);

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

    SettingsStore &m_store;
    std::array<QLabel *, 15> m_lbl{};
    std::array<QCheckBox *, 6> m_check{};
    std::array<QComboBox *, 3> m_cmb{};
    QSlider *m_slider = nullptr;
    TargetList *m_targetList = nullptr;
    bool m_userClose = false;
    bool m_done = false;
};
