// The one table of the settings fields: names, kinds, defaults and bounds.
#include "store/Settings.h"

#include "store/RecordSet.h"

#include <cmath>
#include <variant>

namespace {

enum class Kind {
    Flag,     ///< -1 or 0
    Number,   ///< an integer
    ListText, ///< an integer written as the text of its list entry
    HourText, ///< an hour difference written as " 0", "+9", "-5"
    Real,     ///< single precision
};

using Member = std::variant<bool Settings::*, int Settings::*, qint64 Settings::*,
                            float Settings::*, QString Settings::*>;

struct Field
{
    const char *name;
    Member member;
    Kind kind;
    double fallback; ///< the default (for an hour text: the hours)
    double lowest;
    double highest;
};

// The delivered database starts with these defaults; a new field gets its row here.
const Field fields[] = {
    {"forecolor", &Settings::forecolor, Kind::Number, 0x00FFFF, 0, 0xFFFFFF},
    {"fontsize", &Settings::fontsize, Kind::ListText, 10, 3, 18},
    {"startup", &Settings::startup, Kind::Number, 0, 0, 32767},
    {"autochange", &Settings::autochange, Kind::Flag, 1, 0, 1},
    {"autochangerate", &Settings::autochangerate, Kind::ListText, 20, 10, 90},
    {"scroll", &Settings::scroll, Kind::Flag, 1, 0, 1},
    {"scrollrate", &Settings::scrollrate, Kind::Number, 50, 10, 100},
    {"update", &Settings::update, Kind::Flag, 0, 0, 1},
    {"getTAF", &Settings::getTAF, Kind::Flag, 1, 0, 1},
    {"getSUNSET", &Settings::getSUNSET, Kind::Flag, 1, 0, 1},
    {"uselocal", &Settings::uselocal, Kind::Flag, 0, 0, 1},
    {"timediff", &Settings::timediff, Kind::HourText, 9, -23, 23},
    {"posX", &Settings::posX, Kind::Real, 0, -1e7, 1e7},
    {"posY", &Settings::posY, Kind::Real, 0, -1e7, 1e7},
};

/// The number a stored value stands for, held to the field's bounds; the default when there
/// is none.
double numberOf(const Field &field, const QVariant &stored)
{
    bool ok = false;
    double value = stored.toString().trimmed().toDouble(&ok);
    if (!stored.isValid() || !ok || std::isnan(value))
        return field.fallback;
    if (field.kind == Kind::Flag)
        return value != 0 ? 1 : 0;
    return qBound(field.lowest, value, field.highest);
}

/// The field's value in `settings` as a number (an hour text as its hours).
double numberIn(const Field &field, const Settings &settings)
{
    return std::visit(
        [&](auto member) -> double {
            const auto &value = settings.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>)
                return value.trimmed().toInt();
            else
                return double(value);
        },
        field.member);
}

void setIn(const Field &field, Settings &settings, double number)
{
    std::visit(
        [&](auto member) {
            auto &value = settings.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>)
                value = TimeDiffText(int(number));
            else if constexpr (std::is_same_v<T, bool>)
                value = number != 0;
            else if constexpr (std::is_same_v<T, float>)
                value = float(number);
            else
                value = T(qRound64(number));
        },
        field.member);
}

/// What is written to the file for a value.
QVariant storedForm(const Field &field, double number)
{
    switch (field.kind) {
    case Kind::Flag:
        return qint64(number != 0 ? -1 : 0);
    case Kind::ListText:
        return QString::number(qRound64(number));
    case Kind::HourText:
        return TimeDiffText(int(number));
    case Kind::Real:
        return double(float(number));
    case Kind::Number:
        break;
    }
    return qRound64(number);
}

} // namespace

QString TimeDiffText(int hours)
{
    if (hours == 0)
        return QStringLiteral(" 0");
    return (hours > 0 ? QStringLiteral("+") : QString()) + QString::number(hours);
}

Settings Settings::defaults()
{
    Settings settings;
    for (const Field &field : fields)
        setIn(field, settings, field.fallback);
    return settings;
}

Settings Settings::read(const RecordSet &rows)
{
    Settings settings;
    for (const Field &field : fields)
        setIn(field, settings, numberOf(field, rows.value(QLatin1String(field.name))));
    return settings;
}

bool Settings::assign(RecordSet &rows, const Settings &settings)
{
    for (const Field &field : fields) {
        const double wanted = numberOf(field, QVariant(numberIn(field, settings)));
        const QVariant stored = rows.value(QLatin1String(field.name));
        // Only what changed is written: a field changed behind the program's back stays.
        if (stored.isValid() && numberOf(field, stored) == wanted)
            continue;
        if (!rows.setValue(QLatin1String(field.name), storedForm(field, wanted)))
            return false;
    }
    return true;
}
