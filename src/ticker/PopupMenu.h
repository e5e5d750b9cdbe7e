// The ticker's pop-up menu: its items, captions, order and enabled / checked states.
#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QStringList>

/// The menu `menu` with its items named as in the program (`menu_slide`, ...). The settings
/// window connects the handlers; the ticker enables the items that need the network.
class PopupMenu final : public QObject
{
    Q_OBJECT
public:
    explicit PopupMenu(QObject *parent = nullptr);
    ~PopupMenu() override;

    QMenu *menu() const { return m_menu; }
    QMenu *menu_airport() const { return m_airport; }
    QAction *menu_slide() const { return m_slide; }
    QAction *menu_scroll() const { return m_scroll; }
    QAction *menu_weather() const { return m_weather; }
    QAction *menu_sunset() const { return m_sunset; }
    QAction *menu_camera() const { return m_camera; }
    QAction *menu_setting() const { return m_setting; }
    /// "解読...": what Tarnbeck adds, directly below "設定".
    QAction *menu_decode() const { return m_decode; }
    /// "拡張設定...": what Tarnbeck adds, below "解読...".
    QAction *menu_extended() const { return m_extended; }
    QAction *menu_version() const { return m_version; }
    QAction *menu_end() const { return m_end; }
    /// The target items, one per row of the target list.
    const QList<QAction *> &menu_airport_target() const { return m_targets; }

    /// Replaces the target items by one per code, in order.
    void setTargets(const QStringList &codes);
    /// Enables the five items that need the network; `menu_scroll` only while sliding is on.
    void setNetworkItemsEnabled(bool online, bool autochange);

signals:
    /// A target item was chosen.
    void targetChosen(int index, const QString &code);

private:
    QAction *addItem(QMenu *to, const char *name, const QString &caption);

    QMenu *m_menu;
    QMenu *m_airport;
    QAction *m_slide;
    QAction *m_scroll;
    QAction *m_weather;
    QAction *m_sunset;
    QAction *m_camera;
    QAction *m_setting;
    QAction *m_decode;
    QAction *m_extended;
    QAction *m_version;
    QAction *m_end;
    QList<QAction *> m_targets;
};
