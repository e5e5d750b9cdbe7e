// The fixed light palette.
#include "desktop/FixedPalette.h"

#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <memory>

void UseFixedPalette(QWidget *window)
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = fusion ? fusion->standardPalette() : QPalette();
    // Each role is marked as set, so none is taken from the application's palette.
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            palette.setBrush(g, r, palette.brush(g, r));
        }
    }
    window->setPalette(palette);
}
