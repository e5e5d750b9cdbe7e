// The sun window's colours, fonts and captions, shared by its layout and its behaviour.
#pragma once

#include "desktop/Fonts.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QWidget>

namespace SunLook {

inline const QColor kNavy(0, 0, 0x80);
inline const QColor kSunriseText(0xC0, 0, 0);
inline const QColor kSunsetText(0, 0, 0xC0);
inline const QColor kTodaySunrise(0xFF, 0xC0, 0xC0);
inline const QColor kTodaySunset(0xC0, 0xC0, 0xFF);
inline const QColor kHeaderFrame(0xE0, 0xE0, 0xE0);
inline const QColor kHeaderLabel(0xFF, 0xFF, 0x80);

inline const QString kSeparator = QStringLiteral("---");
inline const QString kPrintCaption = QStringLiteral("印　刷");

inline constexpr const char *kMonthNames[12] = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};

inline QFont windowFont(double points, bool bold, const char *family = proportionalGothicFamily)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

inline void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

inline void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

} // namespace SunLook
