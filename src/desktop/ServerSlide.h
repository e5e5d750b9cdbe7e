// Window contents slid by the X server: sent once, each step a copy on the server.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>

class QWidget;

/// A slide of a see-through window's contents under a compositing manager. Repainting and
/// sending the moving text at every step costs the program a paint, an upload and a round trip
/// to the server; here the whole content goes to the server once, and each step is a copy of
/// each of its parts, plus a small patch where something still must stay on top. Everything is
/// in the window's device pixels.
class ServerSlide final
{
public:
    explicit ServerSlide(QWidget *window);
    ~ServerSlide();
    ServerSlide(const ServerSlide &) = delete;
    ServerSlide &operator=(const ServerSlide &) = delete;

    /// Sends `content` to the server; the steps never copy onto `keep`. False, with nothing sent,
    /// off X11, before the window exists, or where its pixels are not 32-bit ARGB.
    bool start(const QImage &content, const QRegion &keep = {});
    /// Shows the part `part` of the content with its top-left corner at `origin` in the window;
    /// what falls outside the window is cut off.
    void showAt(const QPoint &origin, const QRect &part);
    /// Draws `image` at `at` in the window, `keep` included.
    void patch(const QImage &image, const QPoint &at);
    /// Frees what the server holds.
    void stop();

private:
    QWidget *m_window;
    quint32 m_pixmap = 0;
    quint32 m_gc = 0;
    quint32 m_copyGc = 0; ///< clipped to leave `keep` alone
    QSize m_size;         ///< of the content, in device pixels
};
