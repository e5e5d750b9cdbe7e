// Sunrise and sunset to the minute in JST (UTC+9) from an approximate solar ephemeris.
#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>
#include <functional>

/// Today's local date for the ticker form; tests pin it with SunClock::Override.
class SunClock final
{
public:
    using Source = std::function<QDate()>;

    static QDate today();
    /// An empty source restores the computer's local clock.
    static void setSource(Source source);

    /// Replaces the date source for its lifetime, then restores the previous one.
    class Override final
    {
    public:
        explicit Override(QDate fixed);
        explicit Override(Source source);
        ~Override();
        Override(const Override &) = delete;
        Override &operator=(const Override &) = delete;

    private:
        Source m_previous;
    };

private:
    static Source &source();
};

/// Day number counting 1975-01-01 as day 1, every fourth year a leap year.
qint32 sunDayNumber(qint16 year, qint16 month, qint16 day);

/// Degrees from "DDMMSS"; a field that holds no number counts as 0.
float latitudeFromText(const QString &text);
/// Degrees from "DDDMMSS"; a field that holds no number counts as 0.
float longitudeFromText(const QString &text);

/// Sunrise as "HHMM", or "----" when the sun does not reach the event altitude that day.
QString Calsunrise(qint16 syer, qint16 smon, qint16 sdte, float latt, float lonn);
/// Sunset as "HHMM", or "----" when the sun does not reach the event altitude that day.
QString Calsunset(qint16 syer, qint16 smon, qint16 sdte, float latt, float lonn);

/// Today's sunrise as "HH:MM" from catalogue coordinate texts, or "--:--" (see above).
QString Calsunrise(const QString &lat, const QString &lon);
/// Today's sunset as "HH:MM" from catalogue coordinate texts, or "--:--" (see above).
QString Calsunset(const QString &lat, const QString &lon);
