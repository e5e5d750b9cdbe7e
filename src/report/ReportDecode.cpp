// METAR and TAF read group by group: the groups' forms, their typed values and their meaning.
// Chains of + build each meaning in one allocation.
#define QT_USE_QSTRINGBUILDER
#include "report/ReportDecode.h"

#include "report/DecodeTerms.h"
#include "report/ReportAge.h"

#include <QTimeZone>
#include <cmath>

using namespace DecodeTerms;

namespace {

constexpr qint64 jstOffsetSeconds = 9 * 3600; // Japan keeps no summer time

struct Token
{
    QStringView text;
    qsizetype start = 0;
};

QList<Token> tokenize(QStringView raw)
{
    QList<Token> tokens;
    tokens.reserve(raw.size() / 5 + 4); // groups run to about six characters with their blank
    qsizetype at = 0;
    while (at < raw.size()) {
        while (at < raw.size() && raw[at].isSpace())
            ++at;
        const qsizetype start = at;
        while (at < raw.size() && !raw[at].isSpace())
            ++at;
        QStringView text = raw.mid(start, at - start);
        // "=" ends a message in the agency's bulletins; it is no group.
        while (text.endsWith(u'='))
            text.chop(1);
        if (!text.isEmpty())
            tokens.append({text, start});
    }
    return tokens;
}

/// The value of `count` digits at `at`, or -1.
int digits(QStringView text, qsizetype at, qsizetype count)
{
    if (at < 0 || at + count > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

void appendInt(QString &text, qint64 value)
{
    char16_t buffer[24];
    int n = 0;
    qint64 rest = value < 0 ? -value : value;
    do {
        buffer[n++] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest > 0);
    if (value < 0)
        text += u'-';
    while (n > 0)
        text += QChar(buffer[--n]);
}

void appendGrouped(QString &text, qint64 value)
{
    char digitsText[24];
    int n = 0;
    qint64 rest = value < 0 ? -value : value;
    do {
        if (n > 0 && n % 4 == 3)
            digitsText[n++] = ',';
        digitsText[n++] = char('0' + rest % 10);
        rest /= 10;
    } while (rest > 0);
    if (value < 0)
        text += u'-';
    while (n > 0)
        text += QLatin1Char(digitsText[--n]);
}

bool isLetters(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'A' || c > u'Z')
            return false;
    }
    return true;
}

/// "M05" as -5, "12" as 12; none otherwise.
std::optional<int> signedTwoDigits(QStringView text)
{
    const bool minus = text.startsWith(u'M');
    const QStringView figures = minus ? text.mid(1) : text;
    const int value = figures.size() == 2 ? digits(figures, 0, 2) : -1;
    if (value < 0)
        return std::nullopt;
    return minus ? -value : value;
}

void appendFeet(QString &text, int feet)
{
    // Metres rounded to ten, as the agency's heights are read out.
    appendGrouped(text, feet);
    text += u" ft（";
    appendGrouped(text, qint64(std::lround(feet * 0.3048 / 10.0)) * 10);
    text += u" m）";
}

QString feetText(int feet)
{
    QString text;
    text.reserve(24);
    appendFeet(text, feet);
    return text;
}

QString metresText(int metres)
{
    QString text;
    text.reserve(12);
    if (metres >= 5000 && metres % 1000 == 0) {
        appendInt(text, metres / 1000);
        text += u" km";
    } else {
        appendGrouped(text, metres);
        text += u" m";
    }
    return text;
}

void appendTwoDigits(QString &text, int value)
{
    text += QChar(u'0' + value / 10);
    text += QChar(u'0' + value % 10);
}

constexpr qint64 secondsPerDay = 86400;

// Days since 1970-01-01 and the Gregorian date, by integer arithmetic (H. Hinnant's civil
// algorithms): the moments of a report are many, and QDate's calendar costs more than the rest.
qint64 daysFromCivil(qint64 year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yoe = year - era * 400;
    const qint64 doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil
{
    qint64 year;
    int month;
    int day;
};

Civil civilFromDays(qint64 days)
{
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 doe = days - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

int daysInMonth(qint64 year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

qint64 floorDays(qint64 secs)
{
    return secs >= 0 ? secs / secondsPerDay : (secs + 1) / secondsPerDay - 1;
}

/// "31日 09:00" of a moment in seconds since 1970, formatted by hand for the same reason.
void appendDayTime(QString &text, qint64 secs)
{
    const qint64 days = floorDays(secs);
    const qint64 inDay = secs - days * secondsPerDay;
    appendInt(text, civilFromDays(days).day);
    text += u"日 ";
    appendTwoDigits(text, int(inDay / 3600));
    text += u':';
    appendTwoDigits(text, int(inDay / 60 % 60));
}

QString periodText(const QDateTime &from, const QDateTime &to, bool utcFirst)
{
    QString text;
    text.reserve(64);
    for (int pass = 0; pass < 2; ++pass) {
        const bool utc = (pass == 0) == utcFirst;
        const qint64 shift = utc ? 0 : jstOffsetSeconds;
        if (pass == 1)
            text += u'（';
        appendDayTime(text, from.toSecsSinceEpoch() + shift);
        text += u'〜';
        appendDayTime(text, to.toSecsSinceEpoch() + shift);
        text += utc ? QStringView(u" UTC") : QStringView(u" JST");
        if (pass == 1)
            text += u'）';
    }
    return text;
}

bool validDayTime(int day, int hour, int minute)
{
    return day >= 1 && day <= 31 && hour >= 0 && hour <= 24 && minute >= 0 && minute <= 59;
}

/// The moment of a report's own day and time: in the station file's month, or the month before
/// when the day is after the file's.
std::optional<QDateTime> reportMoment(int day, int hour, int minute, const QDateTime &fileTime)
{
    if (!fileTime.isValid() || !validDayTime(day, hour, minute))
        return std::nullopt;
    const std::optional<QDate> date = ReportDateOfDay(day, fileTime.toUTC().date());
    if (!date)
        return std::nullopt;
    return QDateTime(*date, QTime(0, 0), Qt::UTC).addSecs(hour * 3600 + minute * 60);
}

/// The moment of a forecast's day and hour nearest `reference` (the issue time): periods run a
/// day or so on either side of it, across the end of a month too. Counted in whole seconds: a
/// TAF has a dozen such moments, and QDateTime arithmetic would cost more than all the rest.
std::optional<QDateTime> nearMoment(int day, int hour, int minute, const QDateTime &reference)
{
    if (!reference.isValid() || !validDayTime(day, hour, minute))
        return std::nullopt;
    const qint64 target = reference.toSecsSinceEpoch();
    const Civil near = civilFromDays(floorDays(target));
    std::optional<qint64> best;
    for (int shift = -1; shift <= 1; ++shift) {
        const qint64 months = near.year * 12 + near.month - 1 + shift;
        const qint64 year = months >= 0 ? months / 12 : (months - 11) / 12;
        const int month = int(months - year * 12) + 1;
        if (day > daysInMonth(year, month))
            continue;
        const qint64 at =
            daysFromCivil(year, month, day) * secondsPerDay + hour * 3600 + minute * 60;
        if (!best || std::llabs(at - target) < std::llabs(*best - target))
            best = at;
    }
    if (!best)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(*best, Qt::UTC);
}

double magnus(double celsius)
{
    // Magnus over water, with the WMO's coefficients.
    return 17.62 * celsius / (243.12 + celsius);
}

int humidityOf(int temperature, int dewpoint)
{
    const double ratio = std::exp(magnus(dewpoint) - magnus(temperature));
    return qMin(100, int(std::lround(100 * ratio)));
}

void appendOneDecimal(QString &text, double value)
{
    const qint64 tenths = std::llround(value * 10);
    appendInt(text, tenths / 10);
    text += u'.';
    text += QChar(u'0' + int(tenths % 10));
}

void appendKnotsAndMetres(QString &text, int value, QStringView unit)
{
    appendInt(text, value);
    if (unit == u"KT") {
        text += u" kt（";
        appendOneDecimal(text, value * 0.514444);
        text += u" m/s）";
    } else {
        text += unit == u"MPS" ? QStringView(u" m/s（") : QStringView(u" km/h（");
        appendOneDecimal(text, unit == u"MPS" ? value / 0.514444 : value / 1.852);
        text += u" kt）";
    }
}

/// Reads the groups of one report into its list of groups.
class Reader
{
public:
    Reader(QStringView raw, QList<DecodedGroup> &groups, QStringList &unknown,
           const DecodeOptions &options)
        : m_raw(raw), m_tokens(tokenize(raw)), m_groups(groups), m_unknown(unknown),
          m_options(options)
    {
        m_groups.reserve(m_tokens.size());
    }

    bool atEnd() const { return m_at >= m_tokens.size(); }
    QStringView peek(qsizetype ahead = 0) const
    {
        return m_at + ahead < m_tokens.size() ? m_tokens[m_at + ahead].text : QStringView();
    }
    qsizetype position() const { return m_at; }
    qsizetype offsetOf(qsizetype token) const
    {
        return token < m_tokens.size() ? m_tokens[token].start : m_raw.size();
    }
    /// The text from token `first` to the end of the token before `end`.
    QString span(qsizetype first, qsizetype end) const
    {
        const Token &last = m_tokens[end - 1];
        const qsizetype stop = last.start + last.text.size();
        return m_raw.mid(m_tokens[first].start, stop - m_tokens[first].start).toString();
    }

    /// Takes `count` tokens as one group.
    void take(GroupKind kind, QString meaning, qsizetype count = 1)
    {
        const Token &first = m_tokens[m_at];
        const Token &last = m_tokens[m_at + count - 1];
        const qsizetype length = last.start + last.text.size() - first.start;
        DecodedGroup group;
        group.kind = kind;
        group.start = first.start;
        group.length = length;
        group.text = count == 1 ? first.text.toString() : m_raw.mid(first.start, length).toString();
        group.meaning = std::move(meaning);
        group.change = m_change;
        m_groups.append(std::move(group));
        m_at += count;
    }

    void takeUnknown()
    {
        m_unknown.append(peek().toString());
        take(GroupKind::Unknown, QStringLiteral("解読できない群"));
    }

    void setChange(int change) { m_change = change; }
    const DecodeOptions &options() const { return m_options; }

    /// The moment in JST and UTC; without a date, the written day (0: none) and time in UTC.
    QString moment(const std::optional<QDateTime> &at, int day, int hour, int minute) const
    {
        if (at)
            return MomentText(*at, m_options.utcFirst);
        QString text;
        if (day > 0)
            text += QString::number(day) % u"日 ";
        appendTwoDigits(text, hour);
        text += u':';
        appendTwoDigits(text, minute);
        return text % u" UTC";
    }

    bool readCondition(DecodedConditions &conditions);
    bool readWind(DecodedConditions &conditions);
    bool readVisibility(DecodedConditions &conditions);
    bool readRvr(DecodedConditions &conditions);
    bool readRunwayState();
    bool readCloud(DecodedConditions &conditions);
    bool readWindShear();
    std::optional<int> readTemperature(std::optional<int> &dewpoint);
    std::optional<int> readPressure(bool remark);
    bool readSeaState();
    void readRemarks(std::optional<int> &qnhFromA);

private:
    bool readRemarkPhrase();

    QStringView m_raw;
    QList<Token> m_tokens;
    QList<DecodedGroup> &m_groups;
    QStringList &m_unknown;
    const DecodeOptions &m_options;
    qsizetype m_at = 0;
    int m_change = -1;
};

bool Reader::readWind(DecodedConditions &conditions)
{
    const QStringView t = peek();
    QStringView unit;
    for (const QStringView u : {QStringView(u"KT"), QStringView(u"MPS"), QStringView(u"KMH")}) {
        if (t.endsWith(u))
            unit = u;
    }
    if (unit.isEmpty() || t.size() < 5 + unit.size())
        return false;
    DecodedWind wind;
    wind.unit = unit.toString();
    const QStringView head = t.left(3);
    if (head == u"VRB")
        wind.variable = true;
    else if (const int d = digits(head, 0, 3); d >= 0 && d <= 360)
        wind.direction = d;
    else if (head != u"///")
        return false;
    QStringView rest = t.mid(3, t.size() - 3 - unit.size());
    auto speedOf = [](QStringView &text, std::optional<int> &value, bool &above) {
        above = text.startsWith(u'P');
        if (above)
            text = text.mid(1);
        if (text.startsWith(u"//")) {
            text = text.mid(2);
            return true;
        }
        qsizetype n = 0;
        while (n < text.size() && n < 3 && text[n].isDigit())
            ++n;
        if (n < 2)
            return false;
        value = digits(text, 0, n);
        text = text.mid(n);
        return true;
    };
    if (!speedOf(rest, wind.speed, wind.speedAbove))
        return false;
    if (rest.startsWith(u'G')) {
        rest = rest.mid(1);
        std::optional<int> gust;
        if (!speedOf(rest, gust, wind.gustAbove) || !gust)
            return false;
        wind.gust = gust;
    }
    if (!rest.isEmpty())
        return false;

    QString meaning;
    if (wind.speed == 0 && wind.direction == 0 && !wind.gust) {
        meaning = QStringLiteral("静穏");
    } else {
        meaning.reserve(96);
        if (wind.variable) {
            meaning += u"風向 不定";
        } else if (wind.direction) {
            meaning += u"風向 ";
            meaning += QChar(u'0' + *wind.direction / 100);
            appendTwoDigits(meaning, *wind.direction % 100);
            meaning += u"°（";
            meaning += compassPoint(*wind.direction);
            meaning += u'）';
        } else {
            meaning += u"風向 不明";
        }
        meaning += u"、風速 ";
        if (wind.speed) {
            appendKnotsAndMetres(meaning, *wind.speed, unit);
            if (wind.speedAbove)
                meaning += u" 以上";
        } else {
            meaning += u"不明";
        }
        if (wind.gust) {
            meaning += u"、最大瞬間風速 ";
            appendKnotsAndMetres(meaning, *wind.gust, unit);
            if (wind.gustAbove)
                meaning += u" 以上";
        }
    }
    conditions.wind = wind;
    take(GroupKind::Wind, meaning);
    return true;
}

bool Reader::readVisibility(DecodedConditions &conditions)
{
    const QStringView t = peek();
    if (t == u"CAVOK") {
        conditions.visibility = DecodedVisibility{std::nullopt, true};
        take(GroupKind::Cavok,
             QStringLiteral("CAVOK: 視程 10 km 以上、5,000 ft（1,500 m）又は最低扇形別高度の"
                            "高い方未満に雲がなく積乱雲・塔状積雲もない、天気に顕著な現象がない"));
        return true;
    }
    if (t == u"////") {
        conditions.visibility = DecodedVisibility{};
        take(GroupKind::Visibility, QStringLiteral("視程 観測できず"));
        return true;
    }
    // Four figures, alone or with the direction of a minimum, or NDV from a sensor.
    if (const int metres = digits(t, 0, 4); metres >= 0) {
        const QStringView tail = t.mid(4);
        QString meaning;
        if (tail.isEmpty() || tail == u"NDV") {
            meaning = metres == 9999 ? QStringLiteral("視程 10 km 以上")
                      : metres == 0  ? QStringLiteral("視程 50 m 未満")
                                     : QStringLiteral("視程 ") + metresText(metres);
            if (!tail.isEmpty())
                meaning += QStringLiteral("（方向による違いは観測できない）");
            if (!conditions.visibility)
                conditions.visibility = DecodedVisibility{metres, false};
        } else if (const QStringView point = directionWord(tail); !point.isEmpty()) {
            meaning = QStringLiteral("最短視程 ") + metresText(metres) + u'（' + point + u'）';
        } else {
            return false;
        }
        take(GroupKind::Visibility, meaning);
        return true;
    }
    // Statute miles: "10SM", "P6SM", "1/2SM", "M1/4SM", and "1 1/2SM" in two words.
    auto miles = [](QStringView text, double &value) {
        if (!text.endsWith(u"SM"))
            return false;
        text.chop(2);
        const qsizetype slash = text.indexOf(u'/');
        if (slash < 0) {
            const int whole = text.size() <= 2 ? digits(text, 0, text.size()) : -1;
            value = whole;
            return whole >= 0;
        }
        const int over = digits(text, 0, slash);
        const int under = digits(text, slash + 1, text.size() - slash - 1);
        value = under > 0 && over >= 0 ? double(over) / under : -1;
        return value >= 0;
    };
    double value = 0;
    qsizetype count = 1;
    if (const int whole = t.size() == 1 ? digits(t, 0, 1) : -1;
        whole >= 0 && peek(1).contains(u'/') && miles(peek(1), value)) {
        value += whole;
        count = 2;
    } else if (!miles(t.startsWith(u'P') || t.startsWith(u'M') ? t.mid(1) : t, value)) {
        return false;
    }
    const int metres = int(std::lround(value * 1609.344));
    conditions.visibility = DecodedVisibility{metres, false};
    QString amount = count == 2 ? span(m_at, m_at + 2) : t.toString();
    amount.chop(2);
    const QString approx = metres >= 5000 ? oneDecimal(metres / 1000.0) + QStringLiteral(" km")
                                          : grouped(metres) + QStringLiteral(" m");
    QString meaning =
        QStringLiteral("視程 ") + amount.remove(u'P').remove(u'M') + QStringLiteral(" SM");
    if (t.startsWith(u'P'))
        meaning += QStringLiteral(" を超える");
    else if (t.startsWith(u'M'))
        meaning += QStringLiteral(" 未満");
    meaning += QStringLiteral("（約 ") + approx + u'）';
    take(GroupKind::Visibility, meaning, count);
    return true;
}

bool Reader::readRvr(DecodedConditions &conditions)
{
    const QStringView t = peek();
    // R24L/0175V0550D, R24R/P2000N, R34L/M0050VP2000U, R06R/////, R17/0250V0450N
    if (!t.startsWith(u'R') || digits(t, 1, 2) < 0)
        return false;
    qsizetype at = 3;
    if (at < t.size() && (t[at] == u'L' || t[at] == u'C' || t[at] == u'R'))
        ++at;
    if (at >= t.size() || t[at] != u'/')
        return false;
    DecodedRvr rvr;
    rvr.runway = t.mid(1, at - 1).toString();
    QStringView rest = t.mid(at + 1);
    const QString where =
        QStringLiteral("滑走路 ") + rvr.runway + QStringLiteral(" の滑走路視距離 ");
    if (rest == u"////" || rest == u"/////") {
        conditions.rvr.append(rvr);
        take(GroupKind::Rvr, where + QStringLiteral("観測できず"));
        return true;
    }
    auto value = [](QStringView &text, QString &words, std::optional<int> &metres) {
        QChar bound;
        if (text.startsWith(u'P') || text.startsWith(u'M')) {
            bound = text[0];
            text = text.mid(1);
        }
        const int v = digits(text, 0, 4);
        if (v < 0)
            return false;
        text = text.mid(4);
        metres = v;
        words = grouped(v) + QStringLiteral(" m") +
                (bound == u'P'   ? QStringLiteral(" 超")
                 : bound == u'M' ? QStringLiteral(" 未満")
                                 : QString());
        return true;
    };
    QString low;
    if (!value(rest, low, rvr.metres))
        return false;
    QString meaning = where + low;
    if (rest.startsWith(u'V')) {
        rest = rest.mid(1);
        QString high;
        std::optional<int> ignored;
        if (!value(rest, high, ignored))
            return false;
        meaning += u'〜' + high;
    }
    if (rest.startsWith(u"FT"))
        return false; // feet are not used here; not guessed
    if (rest.startsWith(u'/'))
        rest = rest.mid(1);
    if (rest == u"U") {
        meaning += QStringLiteral("、回復傾向");
    } else if (rest == u"D") {
        meaning += QStringLiteral("、悪化傾向");
    } else if (rest == u"N") {
        meaning += QStringLiteral("、変化なし");
    } else if (!rest.isEmpty()) {
        return false;
    }
    rvr.trend = rest.toString();
    conditions.rvr.append(rvr);
    take(GroupKind::Rvr, meaning);
    return true;
}

bool Reader::readRunwayState()
{
    // R88/290060: deposit, extent, depth, braking (WMO 0919, 0519, 1079, 0366).
    const QStringView t = peek();
    if (t.size() != 10 || !t.startsWith(u'R') || digits(t, 1, 2) < 0 || t[3] != u'/')
        return false;
    const int runway = digits(t, 1, 2);
    const QStringView body = t.mid(4);
    static const QStringList deposits{QStringLiteral("乾燥して障害物なし"),
                                      QStringLiteral("湿っている"),
                                      QStringLiteral("濡れているか水たまりがある"),
                                      QStringLiteral("霜又は霧氷"),
                                      QStringLiteral("乾いた雪"),
                                      QStringLiteral("湿った雪"),
                                      QStringLiteral("シャーベット状の雪"),
                                      QStringLiteral("氷"),
                                      QStringLiteral("圧雪"),
                                      QStringLiteral("凍ったわだち")};
    QStringList parts;
    if (body.startsWith(u"CLRD")) {
        parts.append(QStringLiteral("除去済み"));
    } else {
        const int deposit = digits(body, 0, 1);
        parts.append(deposit >= 0 ? deposits[deposit] : QStringLiteral("堆積物 報告なし"));
        switch (body[1].unicode()) {
        case u'1':
            parts.append(QStringLiteral("10% 以下を覆う"));
            break;
        case u'2':
            parts.append(QStringLiteral("11〜25% を覆う"));
            break;
        case u'5':
            parts.append(QStringLiteral("26〜50% を覆う"));
            break;
        case u'9':
            parts.append(QStringLiteral("51〜100% を覆う"));
            break;
        case u'/':
            break;
        default:
            return false;
        }
        const int depth = digits(body, 2, 2);
        if (depth == 0)
            parts.append(QStringLiteral("深さ 1 mm 未満"));
        else if (depth > 0 && depth <= 90)
            parts.append(QStringLiteral("深さ %1 mm").arg(depth));
        else if (depth >= 92 && depth <= 97)
            parts.append(QStringLiteral("深さ %1 cm").arg((depth - 90) * 5));
        else if (depth == 98)
            parts.append(QStringLiteral("深さ 40 cm 以上"));
        else if (depth == 99)
            parts.append(QStringLiteral("滑走路閉鎖"));
        else if (body.mid(2, 2) != u"//")
            return false;
    }
    const int braking = digits(t, 8, 2);
    static const QStringList brakingWords{
        QStringLiteral("制動効果 悪い"), QStringLiteral("制動効果 やや悪い"),
        QStringLiteral("制動効果 中程度"), QStringLiteral("制動効果 やや良い"),
        QStringLiteral("制動効果 良い")};
    if (braking > 0 && braking <= 90)
        parts.append(QStringLiteral("摩擦係数 0.%1").arg(braking, 2, 10, QLatin1Char('0')));
    else if (braking >= 91 && braking <= 95)
        parts.append(brakingWords[braking - 91]);
    else if (braking == 99)
        parts.append(QStringLiteral("制動効果 測定不能"));
    else if (t.mid(8, 2) != u"//")
        return false;
    const QString where = runway == 88 ? QStringLiteral("全滑走路")
                          : runway == 99
                              ? QStringLiteral("前回と同じ滑走路")
                              : QStringLiteral("滑走路 %1").arg(runway, 2, 10, QLatin1Char('0'));
    take(GroupKind::RunwayState,
         where + QStringLiteral("の状態: ") + parts.join(QStringLiteral("、")));
    return true;
}

bool Reader::readCloud(DecodedConditions &conditions)
{
    const QStringView t = peek();
    if (t == u"NSC" || t == u"NCD" || t == u"SKC" || t == u"CLR") {
        take(GroupKind::NoCloud,
             t == u"NSC"   ? QStringLiteral("顕著な雲なし（NSC）")
             : t == u"NCD" ? QStringLiteral("雲を検出せず（NCD、自動観測）")
             : t == u"SKC" ? QStringLiteral("雲なし（SKC）")
                           : QStringLiteral("12,000 ft 以下に雲を検出せず（CLR、自動観測）"));
        return true;
    }
    if (t.startsWith(u"VV") && t.size() == 5) {
        if (t.mid(2) == u"///") {
            take(GroupKind::VerticalVisibility, QStringLiteral("鉛直視程 観測できず"));
            return true;
        }
        const int hundreds = digits(t, 2, 3);
        if (hundreds < 0)
            return false;
        conditions.verticalVisibilityFt = hundreds * 100;
        take(GroupKind::VerticalVisibility, QStringLiteral("鉛直視程 ") + feetText(hundreds * 100));
        return true;
    }
    if (t.size() < 6)
        return false;
    const QStringView amount = t.left(3);
    const QString amountWords = cloudAmount(amount);
    if (amountWords.isEmpty() && amount != u"///")
        return false;
    DecodedCloud cloud;
    const QStringView height = t.mid(3, 3);
    const int hundreds = digits(height, 0, 3);
    if (hundreds < 0 && height != u"///")
        return false;
    const QStringView type = t.mid(6);
    if (!type.isEmpty() && type != u"CB" && type != u"TCU" && type != u"///")
        return false;
    if (amountWords.isEmpty() && (type.isEmpty() || type == u"///"))
        return false; // "//////" alone says nothing at all
    QString meaning;
    meaning.reserve(48);
    if (!amountWords.isEmpty()) {
        cloud.amount = amount.toString();
        meaning += u"雲量 ";
        meaning += amountWords;
    } else {
        meaning += u"雲量 観測できず";
    }
    if (hundreds == 0) {
        cloud.baseFt = 0;
        meaning += u"、雲底 100 ft（30 m）未満";
    } else if (hundreds > 0) {
        cloud.baseFt = hundreds * 100;
        meaning += u"、雲底 ";
        appendFeet(meaning, hundreds * 100);
    } else {
        meaning += u"、雲底 観測できず";
    }
    if (type == u"CB" || type == u"TCU") {
        cloud.type = type.toString();
        meaning += u'、';
        meaning += cloudType(type);
    } else if (type == u"///") {
        meaning += u"、雲形 観測できず";
    }
    conditions.clouds.append(cloud);
    take(GroupKind::Cloud, meaning);
    return true;
}

bool Reader::readWindShear()
{
    if (peek() != u"WS")
        return false;
    const QStringView next = peek(1);
    if (next == u"ALL" && peek(2) == u"RWY") {
        take(GroupKind::WindShear, QStringLiteral("全滑走路でウィンドシアー"), 3);
        return true;
    }
    QStringView runway;
    if (next.startsWith(u"RWY"))
        runway = next.mid(3);
    else if (next.startsWith(u'R'))
        runway = next.mid(1);
    if (runway.size() < 2 || digits(runway, 0, 2) < 0)
        return false;
    take(GroupKind::WindShear,
         QStringLiteral("滑走路 ") + runway.toString() + QStringLiteral(" でウィンドシアー"), 2);
    return true;
}

bool Reader::readCondition(DecodedConditions &conditions)
{
    const QStringView t = peek();
    if (readWind(conditions))
        return true;
    if (t.size() == 7 && t[3] == u'V') {
        const int from = digits(t, 0, 3);
        const int to = digits(t, 4, 3);
        if (from >= 0 && to >= 0 && from <= 360 && to <= 360) {
            if (conditions.wind) {
                conditions.wind->from = from;
                conditions.wind->to = to;
            }
            QString meaning;
            meaning.reserve(40);
            meaning += u"風向の変動 ";
            meaning += t.left(3);
            meaning += u"°（";
            meaning += compassPoint(from);
            meaning += u"）〜";
            meaning += t.mid(4, 3);
            meaning += u"°（";
            meaning += compassPoint(to);
            meaning += u'）';
            take(GroupKind::WindVariation, meaning);
            return true;
        }
    }
    if (readVisibility(conditions) || readRvr(conditions) || readRunwayState() ||
        readCloud(conditions) || readWindShear())
        return true;
    if (t == u"NSW") {
        take(GroupKind::NoWeather, QStringLiteral("顕著な天気の終息（NSW）"));
        return true;
    }
    if (t == u"//") {
        take(GroupKind::Weather, QStringLiteral("現在天気 観測できず"));
        return true;
    }
    if (t.startsWith(u"RE") && t.size() > 2) {
        if (const std::optional<QString> words = weather(t.mid(2), true)) {
            conditions.recent.append(t.toString());
            take(GroupKind::RecentWeather, QStringLiteral("直前の天気: ") + *words);
            return true;
        }
    }
    if (const std::optional<QString> words = weather(t)) {
        conditions.weather.append(t.toString());
        take(GroupKind::Weather, *words);
        return true;
    }
    return false;
}

std::optional<int> Reader::readTemperature(std::optional<int> &dewpoint)
{
    const QStringView t = peek();
    const qsizetype slash = t.indexOf(u'/');
    if (slash < 2 || slash > 3 || t.size() > 7)
        return std::nullopt;
    const std::optional<int> air = signedTwoDigits(t.left(slash));
    const QStringView dewText = t.mid(slash + 1);
    const std::optional<int> dew = signedTwoDigits(dewText);
    if (!air || (!dew && !dewText.isEmpty() && dewText != u"//"))
        return std::nullopt;
    QString meaning;
    meaning.reserve(32);
    meaning += u"気温 ";
    appendInt(meaning, *air);
    meaning += u'℃';
    if (dew) {
        meaning += u"、露点温度 ";
        appendInt(meaning, *dew);
        meaning += u"℃、相対湿度 ";
        appendInt(meaning, humidityOf(*air, *dew));
        meaning += u'%';
        dewpoint = dew;
    } else {
        meaning += u"、露点温度 観測できず";
    }
    take(GroupKind::Temperature, meaning);
    return air;
}

std::optional<int> Reader::readPressure(bool remark)
{
    const QStringView t = peek();
    if (t.size() != 5)
        return std::nullopt;
    const int value = digits(t, 1, 4);
    if (value < 0)
        return std::nullopt;
    if (t[0] == u'Q' && !remark) {
        QString meaning = QStringLiteral("QNH ");
        appendInt(meaning, value);
        take(GroupKind::Pressure, meaning % u" hPa");
        return value;
    }
    if (t[0] == u'A') {
        const double hpa = value / 100.0 * 33.8639;
        QString meaning;
        meaning.reserve(32);
        meaning += u"QNH ";
        appendInt(meaning, value / 100);
        meaning += u'.';
        appendTwoDigits(meaning, value % 100);
        meaning += u" inHg（";
        appendOneDecimal(meaning, hpa);
        meaning += u" hPa）";
        take(GroupKind::Pressure, meaning);
        return int(std::lround(hpa));
    }
    return std::nullopt;
}

bool Reader::readSeaState()
{
    // W11/S3: sea-surface temperature and state of the sea (WMO 3700), or its wave height.
    const QStringView t = peek();
    const qsizetype slash = t.indexOf(u'/');
    if (!t.startsWith(u'W') || slash < 3)
        return false;
    const std::optional<int> water = signedTwoDigits(t.mid(1, slash - 1));
    const QStringView state = t.mid(slash + 1);
    if (!water || state.size() < 2)
        return false;
    static const QStringList seas{QStringLiteral("鏡のようになめらか"),
                                  QStringLiteral("さざ波がある（0.1 m 以下）"),
                                  QStringLiteral("なめらか、小波がある（0.1〜0.5 m）"),
                                  QStringLiteral("やや波がある（0.5〜1.25 m）"),
                                  QStringLiteral("かなり波がある（1.25〜2.5 m）"),
                                  QStringLiteral("波がやや高い（2.5〜4 m）"),
                                  QStringLiteral("波がかなり高い（4〜6 m）"),
                                  QStringLiteral("相当荒れている（6〜9 m）"),
                                  QStringLiteral("非常に荒れている（9〜14 m）"),
                                  QStringLiteral("異常な状態（14 m 超）")};
    QString sea;
    if (state[0] == u'S' && state.size() == 2 && digits(state, 1, 1) >= 0)
        sea = QStringLiteral("海面状態 ") + seas[digits(state, 1, 1)];
    else if (state[0] == u'H' && digits(state, 1, state.size() - 1) >= 0)
        sea =
            QStringLiteral("波高 %1 m").arg(oneDecimal(digits(state, 1, state.size() - 1) / 10.0));
    else
        return false;
    take(GroupKind::SeaState, QStringLiteral("海面水温 %1℃、").arg(*water) + sea);
    return true;
}

bool Reader::readRemarkPhrase()
{
    // A Japanese station's remark: a phenomenon, then where it is and where it goes:
    // "CB 40KM E MOV UNKNOWN", "LIGHTNING 30KM NW-N AND E MOV E", "FG N-NE", "TCU OHD".
    const qsizetype first = position();
    QString subject;
    qsizetype words = 1;
    const QStringView t = peek();
    if (t == u"CB" || t == u"TCU") {
        subject = cloudType(t).toString();
    } else if (t == u"LIGHTNING" || t == u"LTG") {
        subject = QStringLiteral("雷光");
    } else if (t == u"ASH" && peek(1) == u"FALL") {
        subject = QStringLiteral("降灰");
        words = 2;
    } else if (t == u"VOLCANIC" && peek(1) == u"ASH" && peek(2) == u"CLOUD") {
        subject = QStringLiteral("火山灰雲");
        words = 3;
    } else if (const std::optional<QString> w = weather(t)) {
        subject = *w;
    } else {
        return false;
    }
    auto place = [](QStringView word) -> QString {
        if (word == u"OHD")
            return QStringLiteral("飛行場上空");
        if (word == u"ALQDS")
            return QStringLiteral("全方向");
        if (word == u"DSNT")
            return QStringLiteral("遠方");
        if (word == u"VC")
            return QStringLiteral("飛行場付近");
        if (word.endsWith(u"KM") && digits(word, 0, word.size() - 2) >= 0)
            return word.left(word.size() - 2).toString() + QStringLiteral(" km");
        const qsizetype dash = word.indexOf(u'-');
        if (dash < 0)
            return directionWord(word).toString();
        const QStringView a = directionWord(word.left(dash));
        const QStringView b = directionWord(word.mid(dash + 1));
        return a.isEmpty() || b.isEmpty() ? QString() : a + u'〜' + b;
    };
    QStringList parts{subject};
    qsizetype at = first + words;
    auto wordAt = [this, first](qsizetype i) {
        return peek(i - first);
    };
    bool any = false;
    while (at < first + 64) {
        const QStringView w = wordAt(at);
        if (w.isEmpty())
            break;
        if (const QString p = place(w); !p.isEmpty()) {
            parts.append(p);
            ++at;
        } else if (w == u"AND" && any && !place(wordAt(at + 1)).isEmpty()) {
            parts.append(QStringLiteral("および"));
            ++at;
        } else if (w == u"MOV" && wordAt(at + 1) == u"UNKNOWN") {
            parts.last() += u'、';
            parts.append(QStringLiteral("移動方向不明"));
            at += 2;
        } else if (w == u"MOV" && !directionWord(wordAt(at + 1)).isEmpty()) {
            parts.last() += u'、';
            parts.append(directionWord(wordAt(at + 1)) + QStringLiteral("へ移動"));
            at += 2;
        } else if (w == u"STNR") {
            parts.last() += u'、';
            parts.append(QStringLiteral("停滞"));
            ++at;
        } else {
            break;
        }
        any = true;
    }
    QString meaning;
    for (const QString &part : std::as_const(parts)) {
        if (!meaning.isEmpty() && !meaning.endsWith(u'、'))
            meaning += u' ';
        meaning += part;
    }
    take(GroupKind::RemarkPhrase, meaning, at - first);
    return true;
}

void Reader::readRemarks(std::optional<int> &qnhFromA)
{
    take(GroupKind::Remark, QStringLiteral("付加事項（RMK）"));
    while (!atEnd()) {
        const QStringView t = peek();
        // "1CU015": amount in eighths, genus, base in hundreds of feet.
        const qsizetype typeEnd = t.size() - 3;
        if (t.size() >= 6 && digits(t, 0, 1) > 0 && digits(t, typeEnd, 3) >= 0 &&
            !cloudType(t.mid(1, typeEnd - 1)).isEmpty()) {
            const int hundreds = digits(t, typeEnd, 3);
            QString meaning;
            meaning.reserve(40);
            meaning += cloudType(t.mid(1, typeEnd - 1));
            meaning += u" 雲量 ";
            meaning += t[0];
            meaning += u"/8、雲底 ";
            if (hundreds == 0)
                meaning += u"100 ft（30 m）未満";
            else
                appendFeet(meaning, hundreds * 100);
            take(GroupKind::RemarkCloud, meaning);
            continue;
        }
        if (const std::optional<int> hpa = readPressure(true)) {
            if (!qnhFromA)
                qnhFromA = hpa;
            continue;
        }
        // "4000N-NE": the visibility towards some points.
        if (const int metres = digits(t, 0, 4); metres >= 0 && t.size() > 4) {
            const QStringView towards = t.mid(4);
            const qsizetype dash = towards.indexOf(u'-');
            const QStringView a = directionWord(dash < 0 ? towards : towards.left(dash));
            const QStringView b = dash < 0 ? a : directionWord(towards.mid(dash + 1));
            if (!a.isEmpty() && !b.isEmpty()) {
                QString meaning = a.toString();
                if (dash >= 0)
                    meaning += u'〜' % b;
                take(GroupKind::Visibility, meaning % u"の視程 " % metresText(metres));
                continue;
            }
        }
        if (readRemarkPhrase())
            continue;
        // National remarks beyond these are kept as written.
        take(GroupKind::RemarkText, QStringLiteral("付加事項（原文どおり）"));
    }
}

/// The product's words before the station: METAR, SPECI, TAF, AMD, COR.
void readProductWords(Reader &reader, QString *kind)
{
    while (!reader.atEnd()) {
        const QStringView t = reader.peek();
        if (t == u"METAR" || t == u"SPECI") {
            if (kind)
                *kind = t.toString();
            reader.take(GroupKind::Product,
                        t == u"METAR" ? QStringLiteral("定時飛行場実況気象通報（METAR）")
                                      : QStringLiteral("特別飛行場実況気象通報（SPECI）"));
        } else if (t == u"TAF") {
            reader.take(GroupKind::Product, QStringLiteral("飛行場予報（TAF）"));
        } else if (t == u"AMD") {
            reader.take(GroupKind::Amendment, QStringLiteral("修正報（AMD）"));
        } else if (t == u"COR") {
            reader.take(GroupKind::Amendment, QStringLiteral("訂正報（COR）"));
        } else {
            return;
        }
    }
}

bool isCorrection(QStringView t)
{
    return t == u"COR" || (t.size() == 3 && t.startsWith(u"CC") && t[2] >= u'A' && t[2] <= u'Z');
}

QString correctionMeaning(QStringView t)
{
    if (t == u"COR")
        return QStringLiteral("訂正報（COR）");
    return QStringLiteral("訂正報（%1: %2 回目）").arg(t.toString()).arg(t[2].unicode() - u'A' + 1);
}

void readStation(Reader &reader, QString &station)
{
    const QStringView t = reader.peek();
    if (t.size() == 4 && isLetters(t.left(1)) && t[1].isLetterOrNumber() &&
        t[2].isLetterOrNumber() && t[3].isLetterOrNumber() && t.toString().toUpper() == t) {
        station = t.toString();
        reader.take(GroupKind::Station, QStringLiteral("地点 ") + station);
    }
}

/// DDHHMMZ as a moment; none, and nothing taken, when the word is not one.
bool readTime(Reader &reader, std::optional<QDateTime> &time, const QDateTime &fileTime,
              const QString &what)
{
    const QStringView t = reader.peek();
    if (t.size() != 7 || !t.endsWith(u'Z'))
        return false;
    const int day = digits(t, 0, 2);
    const int hour = digits(t, 2, 2);
    const int minute = digits(t, 4, 2);
    if (day < 0 || hour < 0 || minute < 0 || !validDayTime(day, hour, minute))
        return false;
    time = reportMoment(day, hour, minute, fileTime);
    reader.take(GroupKind::Time, what + u' ' + reader.moment(time, day, hour, minute));
    return true;
}

struct Period
{
    std::optional<QDateTime> from;
    std::optional<QDateTime> to;
};

/// DDHH/DDHH near `reference`.
std::optional<Period> periodOf(QStringView t, const std::optional<QDateTime> &reference)
{
    if (t.size() != 9 || t[4] != u'/')
        return std::nullopt;
    const int d1 = digits(t, 0, 2), h1 = digits(t, 2, 2), d2 = digits(t, 5, 2),
              h2 = digits(t, 7, 2);
    if (d1 < 0 || h1 < 0 || d2 < 0 || h2 < 0 || !validDayTime(d1, h1, 0) ||
        !validDayTime(d2, h2, 0))
        return std::nullopt;
    Period period;
    if (reference) {
        period.from = nearMoment(d1, h1, 0, *reference);
        period.to = nearMoment(d2, h2, 0, *reference);
    }
    return period;
}

QString periodMeaning(const Period &period, QStringView t, bool utcFirst)
{
    if (period.from && period.to)
        return periodText(*period.from, *period.to, utcFirst);
    return QStringLiteral("%1日 %2:00〜%3日 %4:00 UTC")
        .arg(digits(t, 0, 2))
        .arg(t.mid(2, 2))
        .arg(digits(t, 5, 2))
        .arg(t.mid(7, 2));
}

} // namespace

QString MomentText(const QDateTime &utc, bool utcFirst)
{
    QString text;
    text.reserve(40);
    for (int pass = 0; pass < 2; ++pass) {
        const bool universal = (pass == 0) == utcFirst;
        if (pass == 1)
            text += u'（';
        appendDayTime(text, utc.toSecsSinceEpoch() + (universal ? 0 : jstOffsetSeconds));
        text += universal ? QStringView(u" UTC") : QStringView(u" JST");
        if (pass == 1)
            text += u'）';
    }
    return text;
}

DecodedMetar DecodeMetar(const QString &report, const QDateTime &fileTimeUtc,
                         const DecodeOptions &options)
{
    DecodedMetar metar;
    metar.raw = report;
    while (!metar.raw.isEmpty() && metar.raw.back().isSpace())
        metar.raw.chop(1);
    metar.kind = options.speci ? QStringLiteral("SPECI") : QStringLiteral("METAR");
    Reader reader(metar.raw, metar.groups, metar.unknown, options);
    readProductWords(reader, &metar.kind);
    readStation(reader, metar.station);
    readTime(reader, metar.time, fileTimeUtc, QStringLiteral("観測時刻"));

    std::optional<int> qnhFromA;
    int trends = 0;       // trend forecasts begun
    bool inTrend = false; // after BECMG or TEMPO, until the next trend word or RMK
    qsizetype trendStart = 0;
    auto endTrend = [&] {
        if (inTrend)
            metar.trend.append(reader.span(trendStart, reader.position()));
        inTrend = false;
    };
    DecodedConditions trendConditions; // read for their meaning; the form keeps trends as text
    while (!reader.atEnd()) {
        const QStringView t = reader.peek();
        if (t == u"RMK") {
            endTrend();
            reader.setChange(-1);
            reader.readRemarks(qnhFromA);
            break;
        }
        if (t == u"NOSIG" || t == u"BECMG" || t == u"TEMPO") {
            endTrend();
            reader.setChange(trends++);
            trendConditions = {};
            if (t == u"NOSIG") {
                metar.trend.append(t.toString());
                reader.take(GroupKind::Trend,
                            QStringLiteral("2 時間以内に顕著な変化なし（NOSIG）"));
            } else {
                inTrend = true;
                trendStart = reader.position();
                reader.take(GroupKind::Trend,
                            t == u"BECMG" ? QStringLiteral("2 時間以内に次第に変化（BECMG）")
                                          : QStringLiteral("2 時間以内に一時的に変化（TEMPO）"));
            }
            continue;
        }
        if (inTrend && t.size() == 6 &&
            (t.startsWith(u"FM") || t.startsWith(u"TL") || t.startsWith(u"AT"))) {
            const int hour = digits(t, 2, 2);
            const int minute = digits(t, 4, 2);
            if (hour >= 0 && minute >= 0 && validDayTime(1, hour, minute)) {
                std::optional<QDateTime> at;
                if (metar.time) {
                    at = QDateTime(metar.time->date(), QTime(0, 0), Qt::UTC)
                             .addSecs(hour * 3600 + minute * 60);
                    if (*at < metar.time->addSecs(-3600))
                        at = at->addDays(1);
                }
                const QString when = reader.moment(at, 0, hour, minute);
                reader.take(GroupKind::TrendTime,
                            t.startsWith(u"FM")   ? when + QStringLiteral("から")
                            : t.startsWith(u"TL") ? when + QStringLiteral("まで")
                                                  : when + QStringLiteral("に"));
                continue;
            }
        }
        if (!inTrend) {
            if (t == u"NIL") {
                reader.take(GroupKind::Nil, QStringLiteral("通報なし（NIL）"));
                continue;
            }
            if (t == u"AUTO") {
                reader.take(GroupKind::Auto, QStringLiteral("自動観測（AUTO）"));
                continue;
            }
            if (isCorrection(t)) {
                reader.take(GroupKind::Amendment, correctionMeaning(t));
                continue;
            }
            if (const std::optional<int> air = reader.readTemperature(metar.dewpoint)) {
                metar.temperature = air;
                if (metar.dewpoint)
                    metar.humidity = humidityOf(*air, *metar.dewpoint);
                continue;
            }
            const bool isQ = t.startsWith(u'Q');
            if (const std::optional<int> hpa = reader.readPressure(false)) {
                if (isQ)
                    metar.qnhHpa = hpa;
                else if (!qnhFromA)
                    qnhFromA = hpa;
                continue;
            }
            if (reader.readSeaState())
                continue;
        }
        if (reader.readCondition(inTrend ? trendConditions : metar.conditions))
            continue;
        reader.takeUnknown();
    }
    endTrend();
    if (!metar.qnhHpa)
        metar.qnhHpa = qnhFromA;
    return metar;
}

DecodedTaf DecodeTaf(const QString &report, const QDateTime &fileTimeUtc,
                     const DecodeOptions &options)
{
    DecodedTaf taf;
    taf.raw = report;
    while (!taf.raw.isEmpty() && taf.raw.back().isSpace())
        taf.raw.chop(1);
    Reader reader(taf.raw, taf.groups, taf.unknown, options);
    readProductWords(reader, nullptr);
    readStation(reader, taf.station);
    readTime(reader, taf.time, fileTimeUtc, QStringLiteral("発表時刻"));
    // Periods are read near the issue time; without it, near the station file's time.
    std::optional<QDateTime> reference = taf.time;
    if (!reference && fileTimeUtc.isValid())
        reference = fileTimeUtc.toUTC();

    DecodedConditions *conditions = &taf.base;
    bool periodExpected = false; // a change word was just read; its period follows
    std::optional<int> pendingProbability;
    std::optional<int> ignoredQnh;
    const bool utcFirst = options.utcFirst;
    auto startChange = [&](const QString &kind, std::optional<int> probability) {
        DecodedChange change;
        change.kind = kind;
        change.probability = probability;
        taf.changes.append(change);
        reader.setChange(int(taf.changes.size() - 1));
        conditions = &taf.changes.last().conditions;
    };
    while (!reader.atEnd()) {
        const QStringView t = reader.peek();
        if (t == u"RMK") {
            reader.setChange(-1);
            reader.readRemarks(ignoredQnh);
            break;
        }
        if (t == u"NIL") {
            reader.take(GroupKind::Nil, QStringLiteral("予報なし（NIL）"));
            continue;
        }
        if (t == u"CNL") {
            reader.take(GroupKind::Cancelled, QStringLiteral("予報の取り消し（CNL）"));
            continue;
        }
        if (isCorrection(t)) {
            reader.take(GroupKind::Amendment, correctionMeaning(t));
            continue;
        }
        if (const std::optional<Period> period = periodOf(t, reference)) {
            if (taf.changes.isEmpty() && !taf.validFrom && !periodExpected) {
                taf.validFrom = period->from;
                taf.validTo = period->to;
                reader.take(GroupKind::Validity,
                            QStringLiteral("有効期間 ") + periodMeaning(*period, t, utcFirst));
                continue;
            }
            if (periodExpected) {
                DecodedChange &change = taf.changes.last();
                change.from = period->from;
                change.to = period->to;
                periodExpected = false;
                reader.take(GroupKind::Validity,
                            QStringLiteral("変化の期間 ") + periodMeaning(*period, t, utcFirst));
                continue;
            }
        }
        if (t.size() == 6 && t.startsWith(u"PROB") && (t.endsWith(u"30") || t.endsWith(u"40"))) {
            const int probability = digits(t, 4, 2);
            if (reader.peek(1) == u"TEMPO") {
                // PROB30 TEMPO: a temporary change with its probability.
                pendingProbability = probability;
                reader.setChange(int(taf.changes.size()));
                reader.take(GroupKind::Change, QStringLiteral("確率 %1%").arg(probability));
                continue;
            }
            startChange(QStringLiteral("PROB"), probability);
            periodExpected = true;
            reader.take(GroupKind::Change, QStringLiteral("確率 %1% で変化").arg(probability));
            continue;
        }
        if (t == u"BECMG" || t == u"TEMPO") {
            startChange(t.toString(), t == u"TEMPO" ? pendingProbability : std::nullopt);
            pendingProbability.reset();
            periodExpected = true;
            reader.take(GroupKind::Change, t == u"BECMG" ? QStringLiteral("次第に変化（BECMG）")
                                                         : QStringLiteral("一時的に変化（TEMPO）"));
            continue;
        }
        if (t.size() == 8 && t.startsWith(u"FM")) {
            const int day = digits(t, 2, 2), hour = digits(t, 4, 2), minute = digits(t, 6, 2);
            if (day >= 0 && hour >= 0 && minute >= 0 && validDayTime(day, hour, minute)) {
                startChange(QStringLiteral("FM"), std::nullopt);
                if (reference)
                    taf.changes.last().from = nearMoment(day, hour, minute, *reference);
                reader.take(GroupKind::Change,
                            reader.moment(taf.changes.last().from, day, hour, minute) +
                                QStringLiteral("から変化（FM）"));
                continue;
            }
        }
        if ((t.startsWith(u"TX") || t.startsWith(u"TN")) && t.endsWith(u'Z')) {
            const qsizetype slash = t.indexOf(u'/');
            const std::optional<int> value =
                slash > 2 ? signedTwoDigits(t.mid(2, slash - 2)) : std::nullopt;
            const QStringView when = t.mid(slash + 1, t.size() - slash - 2);
            const int day = digits(when, 0, 2), hour = digits(when, 2, 2);
            if (value && when.size() == 4 && day >= 0 && hour >= 0 && validDayTime(day, hour, 0)) {
                std::optional<QDateTime> at;
                if (reference)
                    at = nearMoment(day, hour, 0, *reference);
                reader.take(GroupKind::TemperatureForecast,
                            (t.startsWith(u"TX") ? QStringLiteral("最高気温 %1℃（")
                                                 : QStringLiteral("最低気温 %1℃（"))
                                    .arg(*value) +
                                reader.moment(at, day, hour, 0) + u'）');
                continue;
            }
        }
        if (reader.readCondition(*conditions))
            continue;
        reader.takeUnknown();
    }
    return taf;
}

ReportDecoding DecodeStationFiles(const QString &station, const QString &metarFile,
                                  const QString &tafFile, const DecodeOptions &options)
{
    auto split = [](const QString &file, QDateTime &time) -> std::optional<QString> {
        const qsizetype lineEnd = file.indexOf(u'\n');
        if (lineEnd < 16)
            return std::nullopt;
        time = QDateTime::fromString(file.left(16), QStringLiteral("yyyy/MM/dd HH:mm"));
        if (!time.isValid())
            return std::nullopt;
        time.setTimeSpec(Qt::UTC);
        const QString report = file.mid(lineEnd + 1);
        if (report.trimmed().isEmpty())
            return std::nullopt;
        return report;
    };
    ReportDecoding decoding;
    decoding.station = station;
    decoding.options = options;
    QDateTime time;
    if (const std::optional<QString> report = split(metarFile, time))
        decoding.metar = DecodeMetar(*report, time, options);
    if (const std::optional<QString> report = split(tafFile, time))
        decoding.taf = DecodeTaf(*report, time, options);
    return decoding;
}
