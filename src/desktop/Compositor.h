// Whether a compositing manager draws the desktop: it decides how a see-through window is made.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

/// Watches the owner of the compositing manager's selection (`_NET_WM_CM_S<screen>`) on the
/// default screen. A manager may start or stop at any time; `changed` tells at once.
class CompositorWatch final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit CompositorWatch(QObject *parent = nullptr);
    ~CompositorWatch() override;

    /// True while a compositing manager runs; always false off X11.
    bool running() const { return m_running; }

signals:
    void changed(bool running);

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool m_running = false;
    quint32 m_selection = 0;  ///< the selection's atom, 0 off X11
    quint8 m_notifyEvent = 0; ///< the XFixes selection-notify event code, 0 without XFixes
};
