// The ticker's font families and the substitutes that draw them on Linux.
#pragma once

#include <QFont>

inline constexpr auto gothicFamily = "ＭＳ ゴシック";
inline constexpr auto proportionalGothicFamily = "ＭＳ Ｐゴシック";

/// Maps the Windows family names onto IPA and Noto CJK fonts. Call once after QApplication.
void InstallFontSubstitutions();
/// The fixed-pitch gothic font at `pointSize`.
QFont gothicFont(int pointSize, bool bold = false);
/// The same without antialiasing: every drawn pixel is whole, so a window shaped to the text
/// shows no dark fringes where no compositor blends the edges.
QFont shapedGothicFont(int pointSize, bool bold = false);
