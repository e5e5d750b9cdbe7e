// The agency's tables of 航空気象通報式 as lookups: weather, clouds, points of the compass.
#define QT_USE_QSTRINGBUILDER
#include "report/DecodeTerms.h"

#include <array>
#include <cmath>

namespace {

struct Term
{
    char16_t a;
    char16_t b;
    const char16_t *word;
    bool precipitation;
};

// Phenomena of present weather, as the agency's table words them.
constexpr std::array<Term, 21> phenomena{{
    {u'D', u'Z', u"霧雨", true},       {u'R', u'A', u"雨", true},
    {u'S', u'N', u"雪", true},         {u'S', u'G', u"霧雪", true},
    {u'I', u'C', u"細氷", true},       {u'P', u'L', u"凍雨", true},
    {u'G', u'R', u"ひょう", true},     {u'G', u'S', u"雪あられ・氷あられ", true},
    {u'U', u'P', u"不明の降水", true}, {u'B', u'R', u"もや", false},
    {u'F', u'G', u"霧", false},        {u'F', u'U', u"煙", false},
    {u'V', u'A', u"火山灰", false},    {u'D', u'U', u"じん", false},
    {u'S', u'A', u"砂", false},        {u'H', u'Z', u"煙霧", false},
    {u'P', u'O', u"じん旋風", false},  {u'S', u'Q', u"スコール", false},
    {u'F', u'C', u"ろうと雲", false},  {u'S', u'S', u"砂じん嵐", false},
    {u'D', u'S', u"砂じん嵐", false},
}};

const Term *phenomenon(QStringView code)
{
    for (const Term &term : phenomena) {
        if (code[0] == term.a && code[1] == term.b)
            return &term;
    }
    return nullptr;
}

enum class Descriptor { None, MI, BC, PR, DR, BL, SH, TS, FZ };

Descriptor descriptor(QStringView code)
{
    static constexpr std::array<std::pair<const char16_t *, Descriptor>, 8> codes{{
        {u"MI", Descriptor::MI},
        {u"BC", Descriptor::BC},
        {u"PR", Descriptor::PR},
        {u"DR", Descriptor::DR},
        {u"BL", Descriptor::BL},
        {u"SH", Descriptor::SH},
        {u"TS", Descriptor::TS},
        {u"FZ", Descriptor::FZ},
    }};
    for (const auto &[name, value] : codes) {
        if (code[0] == name[0] && code[1] == name[1])
            return value;
    }
    return Descriptor::None;
}

} // namespace

namespace DecodeTerms {

QStringView compassPoint(int degrees)
{
    static constexpr std::array<const char16_t *, 16> points{
        u"北", u"北北東", u"北東", u"東北東", u"東", u"東南東", u"南東", u"南南東",
        u"南", u"南南西", u"南西", u"西南西", u"西", u"西北西", u"北西", u"北北西"};
    // Each point covers 22.5 degrees centred on it.
    const int index = int(std::lround(((degrees % 360) + 360) % 360 / 22.5)) % 16;
    return QStringView(points[size_t(index)]);
}

QStringView directionWord(QStringView code)
{
    static constexpr std::array<const char16_t *, 16> codes{
        u"N", u"NNE", u"NE", u"ENE", u"E", u"ESE", u"SE", u"SSE",
        u"S", u"SSW", u"SW", u"WSW", u"W", u"WNW", u"NW", u"NNW"};
    for (size_t i = 0; i < codes.size(); ++i) {
        if (code == QStringView(codes[i]))
            return compassPoint(int(i * 45 / 2));
    }
    return {};
}

QStringView cloudType(QStringView code)
{
    static constexpr std::array<std::pair<const char16_t *, const char16_t *>, 11> types{{
        {u"CI", u"巻雲"},
        {u"CC", u"巻積雲"},
        {u"CS", u"巻層雲"},
        {u"AC", u"高積雲"},
        {u"AS", u"高層雲"},
        {u"NS", u"乱層雲"},
        {u"SC", u"層積雲"},
        {u"ST", u"層雲"},
        {u"CU", u"積雲"},
        {u"CB", u"積乱雲"},
        {u"TCU", u"塔状積雲"},
    }};
    if (code.size() < 2 || code.size() > 3)
        return {};
    for (const auto &[name, word] : types) {
        if (code[0] == name[0] && code[1] == name[1] && code == QStringView(name))
            return QStringView(word);
    }
    return {};
}

QString cloudAmount(QStringView code)
{
    if (code == u"FEW")
        return QStringLiteral("1/8〜2/8（FEW）");
    if (code == u"SCT")
        return QStringLiteral("3/8〜4/8（SCT）");
    if (code == u"BKN")
        return QStringLiteral("5/8〜7/8（BKN）");
    if (code == u"OVC")
        return QStringLiteral("8/8（OVC）");
    return {};
}

std::optional<QString> weather(QStringView group, bool recent)
{
    qsizetype at = 0;
    QChar sign;
    bool vicinity = false;
    if (group.startsWith(u'-') || group.startsWith(u'+')) {
        sign = group[0];
        at = 1;
    } else if (group.startsWith(u"VC")) {
        vicinity = true;
        at = 2;
    }
    if ((recent && at > 0) || (group.size() - at) % 2 != 0 || group.size() == at)
        return std::nullopt;
    Descriptor kind = Descriptor::None;
    if (const Descriptor d = descriptor(group.mid(at, 2)); d != Descriptor::None) {
        kind = d;
        at += 2;
    }
    QString joined;
    bool precipitation = false;
    bool snowOnly = true;
    for (; at < group.size(); at += 2) {
        const Term *term = phenomenon(group.mid(at, 2));
        if (!term)
            return std::nullopt;
        if (!joined.isEmpty())
            joined += u'と';
        joined += QStringView(term->word);
        precipitation = precipitation || term->precipitation;
        snowOnly = snowOnly && term->a == u'S' && term->b == u'N';
    }
    // A descriptor alone is only a group as TS, or as SH near the aerodrome.
    if (joined.isEmpty() && kind != Descriptor::TS && !(kind == Descriptor::SH && vicinity))
        return std::nullopt;
    // Intensity goes with precipitation (and with a heavy sand or dust storm or funnel cloud).
    if (!sign.isNull() && !precipitation &&
        !(sign == u'+' &&
          (group.endsWith(u"SS") || group.endsWith(u"DS") || group.endsWith(u"FC"))))
        return std::nullopt;

    QString strength;
    if (sign == u'-')
        strength = QStringLiteral("弱い");
    else if (sign == u'+')
        strength = QStringLiteral("強い");
    else if (precipitation && !recent)
        strength = QStringLiteral("並の");
    QString core;
    switch (kind) {
    case Descriptor::None:
        core = strength + joined;
        break;
    case Descriptor::MI:
        core = QStringLiteral("地") + joined;
        break;
    case Descriptor::BC:
        core = QStringLiteral("散在") + joined;
        break;
    case Descriptor::PR:
        core = QStringLiteral("部分") + joined;
        break;
    case Descriptor::DR:
    case Descriptor::BL: {
        const QString height =
            kind == Descriptor::DR ? QStringLiteral("低い") : QStringLiteral("高い");
        // Only a sign written says how strong drifting or blowing snow is.
        core = (sign.isNull() ? QString() : strength) + height +
               (snowOnly ? QStringLiteral("地ふぶき") : joined);
        break;
    }
    case Descriptor::SH:
        core = strength + QStringLiteral("しゅう雨性の") +
               (joined.isEmpty() ? QStringLiteral("降水") : joined);
        break;
    case Descriptor::TS:
        core =
            QStringLiteral("雷電") +
            (joined.isEmpty() ? QString() : u'（' + strength + joined + QStringLiteral("を伴う）"));
        break;
    case Descriptor::FZ:
        core = strength + QStringLiteral("着氷性の") + joined;
        break;
    }
    return vicinity ? QStringLiteral("飛行場付近の") + core : core;
}

QString grouped(qint64 value)
{
    QString digits = QString::number(value < 0 ? -value : value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return value < 0 ? u'-' + digits : digits;
}

QString oneDecimal(double value)
{
    return QString::number(std::round(value * 10) / 10, 'f', 1);
}

} // namespace DecodeTerms
