// Text colours as the settings store them: 32-bit integers 0x00BBGGRR.
#pragma once

#include <QColor>

/// The colour of a stored 0x00BBGGRR value.
inline QColor ColorFromStored(qint64 value)
{
    const auto v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

/// The 0x00BBGGRR value stored for a colour.
inline qint64 StoredColor(const QColor &color)
{
    return qint64(color.red()) | qint64(color.green()) << 8 | qint64(color.blue()) << 16;
}
