// What the browser tests share: starting the engine in a test and reading what a page shows.
#pragma once

#include "WindowManager.h"
#include "web/DocumentAddress.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <memory>
#include <unistd.h>

/// The engine needs shared GL contexts before the application exists, and no sandbox as root.
inline void PrepareBrowserEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0) // these tests link the windows, not the program
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

/// The page's text once it contains `needle` (or the last text seen after the timeout).
inline QString WaitForPageText(QWebEngineView *view, const QString &needle, int timeoutMs = 15000)
{
    auto text = std::make_shared<QString>();
    (void)QTest::qWaitFor(
        [&] {
            auto done = std::make_shared<bool>(false);
            view->page()->toPlainText([text, done](const QString &t) {
                *text = t;
                *done = true;
            });
            (void)QTest::qWaitFor([&] { return *done; }, 2000);
            return text->contains(needle);
        },
        timeoutMs);
    return *text;
}

/// The text form of a size, so that a failed comparison shows both.
inline QString SizeText(const QSize &size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

/// A picture to find in a view: its top in one colour, its last rows in another.
struct TwoColourPicture
{
    static constexpr QRgb top = 0xffdc1e1e;
    static constexpr QRgb bottom = 0xff1e1edc;
    static constexpr int bottomRows = 16;

    /// PNG bytes of a picture of `size`.
    static QByteArray png(const QSize &size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(top);
        QPainter(&image).fillRect(0, size.height() - bottomRows, size.width(), bottomRows,
                                  QColor::fromRgb(bottom));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    /// Where a picture of `size` belongs in a view of `view`: at the top left, at its own size
    /// or shrunk to fit.
    static QRect placeIn(const QSize &size, const QSize &view)
    {
        if (size.width() <= view.width() && size.height() <= view.height())
            return {QPoint(), size};
        return {QPoint(), size.scaled(view, Qt::KeepAspectRatio)};
    }

    /// What is wrong with `shot` (a view's pixels) if the picture is not just at `place`;
    /// empty when it is.
    static QString fault(const QImage &shot, const QRect &place)
    {
        const qreal ratio = shot.devicePixelRatio();
        const auto near = [&](QPoint at, QRgb want) {
            const QPoint device = (QPointF(at) * ratio).toPoint();
            if (!shot.rect().contains(device))
                return false;
            const QRgb seen = shot.pixel(device);
            return qAbs(qRed(seen) - qRed(want)) < 40 && qAbs(qGreen(seen) - qGreen(want)) < 40 &&
                   qAbs(qBlue(seen) - qBlue(want)) < 40;
        };
        const QSize view = (QSizeF(shot.size()) / ratio).toSize();
        const QRect r = place.adjusted(2, 2, -2, -2); // inside, clear of a smoothed edge
        const struct
        {
            const char *what;
            QPoint at;
            QRgb colour;
            bool expected;
        } checks[] = {
            {"top left", r.topLeft(), top, true},
            {"top right", r.topRight(), top, true},
            {"bottom left", r.bottomLeft(), bottom, true},
            {"bottom right", r.bottomRight(), bottom, true},
            {"right of it", QPoint(place.right() + 3, r.top()), top, false},
            {"below it", QPoint(r.left(), place.bottom() + 3), bottom, false},
        };
        for (const auto &check : checks) {
            const bool outside = !QRect(QPoint(), view).contains(check.at);
            if (check.expected ? !near(check.at, check.colour)
                               : !outside && near(check.at, check.colour))
                return QStringLiteral("%1 of the picture at %2,%3 in a view of %4x%5: %6")
                    .arg(QLatin1String(check.what))
                    .arg(check.at.x())
                    .arg(check.at.y())
                    .arg(view.width())
                    .arg(view.height())
                    .arg(outside
                             ? QStringLiteral("outside the view")
                             : QColor(shot.pixel((QPointF(check.at) * ratio).toPoint())).name());
        }
        return {};
    }
};

#define TARNBECK_WEB_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        PrepareBrowserEngine();                                                                    \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
