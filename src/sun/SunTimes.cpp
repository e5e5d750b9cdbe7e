// One sun computation behind the table form (date and degrees in) and the ticker form (texts in).
#include "sun/SunTimes.h"

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

// Exactly as the ephemeris gives them: with the true π some times move by a minute.
constexpr double kRad = 3.14159 / 180.0;
constexpr double kHalfPi = 1.5708;
// Sine of the sun's centre altitude at the event (-54.2'), sign folded into the hour-angle step.
constexpr double kEventSine = 0.01576549;

struct PeriodicTerm
{
    double amplitude; // degrees
    double phase;     // degrees
    double rate;      // degrees per year
};

// Terms of the ecliptic longitude, summed in this order.
constexpr std::array<PeriodicTerm, 18> kTerms{{
    {0.0003, 241.2, -44.43},
    {0.0003, 349.6, 1079.97},
    {0.0004, 18.1, 720.02},
    {0.0004, 233.8, 229.3},
    {0.0004, 264.8, 315.56},
    {0.0005, 99.1, -22.81},
    {0.0005, 10.1, -1.5},
    {0.0006, 239.1, 337.18},
    {0.0007, 12.1, -30.35},
    {0.0007, 53.5, 90.38},
    {0.0008, 208.0, 659.29},
    {0.0013, 211.1, 225.18},
    {0.0015, 242.4, 450.37},
    {0.0018, 293.7, -0.2},
    {0.0018, 334.2, -4452.67},
    {0.002, 285.0, 329.64},
    {0.0048, 68.64, -19.341},
    {0.02, 353.06, 719.981},
}};

enum class Event { Sunrise, Sunset };

double reduce360(double x)
{
    return x - 360.0 * std::floor(x / 360.0);
}

// Hours (floor of t) and minutes, kept as doubles so absurd inputs cannot overflow an int.
struct ClockTime
{
    double hours;
    double minutes;
};

// Returns false when the sun does not reach the event altitude on that date.
bool eventTime(qint16 year, qint16 month, qint16 day, float latt, float lonn, Event event,
               ClockTime &out)
{
    const double phi = latt;
    const double lambda = lonn;
    // Far beyond any real place (and NaN): the angle reductions would lose whole turns and the
    // hour-angle loop below might never end.
    if (!(std::abs(phi) < 1.0e6 && std::abs(lambda) < 1.0e6))
        return false;
    const double cosPhi = std::cos(phi * kRad);
    const double k = sunDayNumber(year, month, day);
    const double u = (event == Event::Sunrise ? 6.0 : 18.0) - lambda / 15.0;

    const double t = k / 365.25 + u / 8766.0;
    const double tp = t + 100.0 * ((0.8 * year - 1534.2) * 3.169e-10);
    const double f = u / 24.0;
    const double epsilon = 23.44253 - 0.00013 * tp +
                           0.00256 * std::cos((249.0 - 19.3 * tp) * kRad) -
                           0.00015 * std::cos((720.0 * tp + 198.0) * kRad);
    const double theta = reduce360(360.00769 * t + 99.0359 + 360.0 * f +
                                   0.0044 * std::sin((68.64 - 19.34 * t) * kRad) +
                                   0.0003 * std::sin((720.0 * t + 18.0) * kRad));
    const double meanLongitude = reduce360(360.00769 * tp);

    double terms = 0.0;
    for (const PeriodicTerm &term : kTerms)
        terms += term.amplitude * std::sin((term.rate * tp + term.phase) * kRad);
    const double longitude =
        reduce360(meanLongitude + 279.0358 +
                  (1.9159 - 0.00005 * tp) * std::sin((359.991 * tp + 356.531) * kRad) + terms);

    // tan(Λ·rad) changes sign where Λ·rad crosses the true π/2 and 3π/2, a hair past Λ = 90
    // and 270 because rad is short; choosing the branch there keeps α continuous.
    const double longitudeRad = longitude * kRad;
    double alpha = std::atan(std::cos(epsilon * kRad) * std::tan(longitudeRad)) / kRad;
    if (longitudeRad >= 1.5 * std::numbers::pi)
        alpha += 360.0;
    else if (longitudeRad >= 0.5 * std::numbers::pi)
        alpha += 180.0;

    double greenwich = theta - alpha;
    while (greenwich < 0.0)
        greenwich += 360.0;
    const double s = std::sin(epsilon * kRad) * std::sin(longitudeRad);
    const double delta = std::atan(s / std::sqrt(1.0 - s * s)) / kRad;

    double equation = greenwich / 15.0 - u - 12.0;
    if (equation <= -23.0)
        equation += 24.0;

    const double p = std::tan(delta * kRad) * std::tan(phi * kRad);
    const double x = -(kEventSine / cosPhi / std::cos(delta * kRad) + p);
    if (!(std::abs(x) < 1.0)) // also refuses NaN
        return false;
    double hourAngle = (kHalfPi - std::atan(x / std::sqrt(1.0 - x * x))) / kRad;
    if (event == Event::Sunset)
        hourAngle = -hourAngle;

    double time = 12.0 - hourAngle / 15.0 - equation - lambda / 15.0 + 9.0;
    if (time < 0.0)
        time += 24.0;
    double hours = std::floor(time);
    double minutes = std::floor((time - hours) * 60.0 + 0.5);
    while (minutes >= 60.0) {
        minutes -= 60.0;
        hours += 1.0;
    }
    out = {hours, minutes};
    return true;
}

QString twoDigitsOrMore(double value)
{
    const QString digits = QString::number(value, 'f', 0);
    return value < 10.0 ? QLatin1Char('0') + digits : digits;
}

QString clockText(const ClockTime &time, bool withColon)
{
    const auto hours = time.hours;
    if (!(hours >= 0.0 && hours < 100.0)) // only coordinates far outside Japan get here
        return twoDigitsOrMore(hours) + (withColon ? QStringLiteral(":") : QString()) +
               twoDigitsOrMore(time.minutes);

    // The table window asks for 730 of these at a time: fill one buffer, no temporaries.
    const int hh = static_cast<int>(hours);
    const int mm = static_cast<int>(time.minutes);
    QString text(withColon ? 5 : 4, Qt::Uninitialized);
    QChar *out = text.data();
    *out++ = QLatin1Char(char('0' + hh / 10));
    *out++ = QLatin1Char(char('0' + hh % 10));
    if (withColon)
        *out++ = QLatin1Char(':');
    *out++ = QLatin1Char(char('0' + mm / 10));
    *out = QLatin1Char(char('0' + mm % 10));
    return text;
}

QString tableText(qint16 year, qint16 month, qint16 day, float latt, float lonn, Event event)
{
    ClockTime time{};
    if (!eventTime(year, month, day, latt, lonn, event, time))
        return QStringLiteral("----");
    return clockText(time, false);
}

QString tickerText(const QString &lat, const QString &lon, Event event)
{
    const QDate today = SunClock::today();
    ClockTime time{};
    if (!eventTime(qint16(today.year()), qint16(today.month()), qint16(today.day()),
                   latitudeFromText(lat), longitudeFromText(lon), event, time))
        return QStringLiteral("--:--");
    return clockText(time, true);
}

// A field is a number when, blanks aside, it is an optional sign, digits and an optional
// fraction; anything else (empty, letters, a partial number) counts as 0.
double fieldValue(QStringView text, qsizetype from, qsizetype length)
{
    const QStringView field = text.mid(from, length).trimmed();
    qsizetype i = 0;
    double sign = 1.0;
    if (i < field.size() && (field[i] == QLatin1Char('+') || field[i] == QLatin1Char('-'))) {
        sign = field[i] == QLatin1Char('-') ? -1.0 : 1.0;
        ++i;
    }
    const auto isDigit = [&field](qsizetype at) {
        return field[at].unicode() >= u'0' && field[at].unicode() <= u'9';
    };
    bool anyDigit = false;
    double value = 0.0;
    for (; i < field.size() && isDigit(i); ++i) {
        value = value * 10.0 + (field[i].unicode() - u'0');
        anyDigit = true;
    }
    if (i < field.size() && field[i] == QLatin1Char('.')) {
        double scale = 0.1;
        for (++i; i < field.size() && isDigit(i); ++i) {
            value += (field[i].unicode() - u'0') * scale;
            scale /= 10.0;
            anyDigit = true;
        }
    }
    return anyDigit && i == field.size() ? sign * value : 0.0;
}

} // namespace

SunClock::Source &SunClock::source()
{
    static Source current;
    return current;
}

QDate SunClock::today()
{
    const Source &current = source();
    return current ? current() : QDate::currentDate();
}

void SunClock::setSource(Source source)
{
    SunClock::source() = std::move(source);
}

SunClock::Override::Override(QDate fixed) : Override(Source([fixed] { return fixed; })) {}

SunClock::Override::Override(Source source)
    : m_previous(std::exchange(SunClock::source(), std::move(source)))
{}

SunClock::Override::~Override()
{
    SunClock::source() = std::move(m_previous);
}

qint32 sunDayNumber(qint16 year, qint16 month, qint16 day)
{
    // Real arithmetic throughout, as the formula is written, so negative years floor correctly.
    const double q = (year - 1900) / 4.0;
    const double j = std::floor((month + 7) / 10.0);
    const double leap = std::floor(1.0 - (q - std::floor(q)));
    const double k = std::floor(1461.0 * q) + 31.0 * month + day + leap * (j - 1.0) -
                     j * std::floor((month + 4.4) * 0.44) - 27424.0;
    return static_cast<qint32>(k);
}

float latitudeFromText(const QString &text)
{
    return static_cast<float>(fieldValue(text, 0, 2) + fieldValue(text, 2, 2) / 60.0 +
                              fieldValue(text, 4, 2) / 3600.0);
}

float longitudeFromText(const QString &text)
{
    return static_cast<float>(fieldValue(text, 0, 3) + fieldValue(text, 3, 2) / 60.0 +
                              fieldValue(text, 5, 2) / 3600.0);
}

QString Calsunrise(qint16 syer, qint16 smon, qint16 sdte, float latt, float lonn)
{
    return tableText(syer, smon, sdte, latt, lonn, Event::Sunrise);
}

QString Calsunset(qint16 syer, qint16 smon, qint16 sdte, float latt, float lonn)
{
    return tableText(syer, smon, sdte, latt, lonn, Event::Sunset);
}

QString Calsunrise(const QString &lat, const QString &lon)
{
    return tickerText(lat, lon, Event::Sunrise);
}

QString Calsunset(const QString &lat, const QString &lon)
{
    return tickerText(lat, lon, Event::Sunset);
}
