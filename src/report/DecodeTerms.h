// The Japan Meteorological Agency's words for the codes of a METAR or TAF (pure lookups).
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace DecodeTerms {

/// One of the 16 points, 北 to 北北西, of a direction in degrees (360 and 0 are 北).
QStringView compassPoint(int degrees);

/// The point named by a code such as "NW" (the 8 points and the 16); empty when none.
QStringView directionWord(QStringView code);

/// A cloud genus (CI ... CB) or TCU; empty when `code` is none.
QStringView cloudType(QStringView code);

/// "1/8〜2/8（FEW）" and so on; empty for anything but FEW, SCT, BKN, OVC.
QString cloudAmount(QStringView code);

/// The meaning of a present-weather group such as "-SHRA", "VCTS", "BCFG"; none when it is not
/// one. `recent`: the group follows RE, which gives no intensity.
std::optional<QString> weather(QStringView group, bool recent = false);

/// 1500 as "1,500".
QString grouped(qint64 value);

/// A speed with one decimal, "9.3".
QString oneDecimal(double value);

} // namespace DecodeTerms
