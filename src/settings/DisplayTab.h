// The tab "表示" of "拡張設定": what the ticker adds for a pilot's glance.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class SettingsStore;

/// Check boxes for the flight category, the mark on an old report (with its minutes) and the
/// notice of a worse report. Each change is written at once and counts from the next report; a
/// write that fails is told and the tab shows what is stored.
class DisplayTab final : public QWidget
{
    Q_OBJECT
public:
    explicit DisplayTab(SettingsStore &store, QWidget *parent = nullptr);

    QCheckBox *showCategory() const { return m_showCategory; }
    QCheckBox *markOld() const { return m_markOld; }
    QComboBox *oldMinutes() const { return m_oldMinutes; }
    QCheckBox *notifyWorse() const { return m_notifyWorse; }
    QCheckBox *outline() const { return m_outline; }

signals:
    /// "文字を縁取る" was written: the ticker draws its edge at once, not from the next report.
    void outlineChanged(bool outlined);

private:
    void load();
    void apply();

    SettingsStore &m_store;
    QCheckBox *m_showCategory = nullptr;
    QCheckBox *m_markOld = nullptr;
    QComboBox *m_oldMinutes = nullptr;
    QCheckBox *m_notifyWorse = nullptr;
    QCheckBox *m_outline = nullptr;
    bool m_loading = false;
};
