// Font substitution: the generic monospace family draws CJK squares at half width, so every
// family is named explicitly.
#include "desktop/Fonts.h"

#include <QStringList>

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(
        QString::fromUtf8(gothicFamily),
        QStringList{QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
    QFont::insertSubstitutions(
        QString::fromUtf8(proportionalGothicFamily),
        QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
}

QFont gothicFont(int pointSize, bool bold)
{
    QFont font(QString::fromUtf8(gothicFamily));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QFont shapedGothicFont(int pointSize, bool bold)
{
    QFont font = gothicFont(pointSize, bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
