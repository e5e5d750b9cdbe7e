// The tab "起動" of "拡張設定": starting Tarnbeck at login.
#pragma once

#include <QWidget>

class QCheckBox;

/// A check box "ログイン時に起動する" that writes or removes the autostart entry at once. It
/// shows the entry as it is whenever the tab shows, since the desktop's own manager may change
/// it; a write that fails is told and the box goes back.
class StartupTab final : public QWidget
{
    Q_OBJECT
public:
    explicit StartupTab(QWidget *parent = nullptr);

    QCheckBox *startAtLogin() const { return m_startAtLogin; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void apply(bool on);

    QCheckBox *m_startAtLogin = nullptr;
};
