// A self-sizing plain-text label of the ticker, with the region its text covers.
#pragma once

#include <QImage>
#include <QLabel>
#include <QRegion>

class TickerLabel final : public QLabel
{
    Q_OBJECT
public:
    explicit TickerLabel(QWidget *parent = nullptr);

    /// Sets the text; each CR and each line feed breaks the line. The label fits itself to it.
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    /// A thin edge in black or white, whichever stands out more from the text's colour, around
    /// every glyph: the text then reads on any wallpaper. Its pixels are drawn pixels like the
    /// glyphs', so the shapes take them in.
    void setOutlined(bool outlined);
    bool outlined() const { return m_outlined; }
    /// The pixels the text covers, in the device pixels of image() (empty when there is no text).
    QRegion textRegion() const { return m_region; }
    /// The box of every pixel the text touches, faint edges included, in the same pixels.
    QRect textBox() const { return m_box; }
    /// The text as drawn, in device pixels; null when there is no text. The label paints it with
    /// its top-left corner at DevicePoint(pos()), never cut by the label's own edges.
    const QImage &image() const { return m_image; }

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void refit();
    QImage renderText(qreal devicePixelRatio);

    QString m_caption;
    QRegion m_region;
    QRect m_box;
    QImage m_image;           ///< the text as drawn, so a slide step only copies it
    bool m_rendering = false; ///< drawing into m_image, not onto the window
    bool m_outlined = false;
};
