// The "天気図" menu: one action per catalogue entry, submenus as the catalogue nests them.
#include "web/ChartMenu.h"

#include <QMenu>
#include <QVector>
#include <algorithm>

namespace {

struct Level
{
    QMenu *menu;
    const char *prefix;
};

QString titleFor(const ChartItem &item, const QString &caption, const Level &level)
{
    switch (item.title) {
    case TitleForm::ParentOwn:
        return level.menu->title() + QStringLiteral(" - ") + caption;
    case TitleForm::PrefixOwn:
        return QString::fromUtf8(level.prefix) + caption;
    case TitleForm::Own:
        break;
    }
    return caption;
}

void name(QObject *object, const ChartItem &item)
{
    object->setObjectName(QLatin1String(item.control));
    if (item.index >= 0)
        object->setProperty("index", item.index);
}

/// The low-level areas north to south, the one of the shown airport first.
QList<LowLevelArea> areasShownFirst(const ChartTarget *shown)
{
    const LowLevelAreas areas = lowLevelAreas();
    QList<LowLevelArea> ordered(areas.items, areas.items + areas.count);
    const auto first = std::find_if(ordered.begin(), ordered.end(), [&](const LowLevelArea &a) {
        return shown && shown->area == QString::fromUtf8(a.name);
    });
    if (first != ordered.end())
        std::rotate(ordered.begin(), first, first + 1);
    return ordered;
}

} // namespace

void BuildChartMenu(QMenu *menu, const std::function<void(const ChartChoice &)> &chosen)
{
    QVector<Level> levels{{menu, nullptr}};
    const ChartCatalogue catalogue = chartCatalogue();
    for (int i = 0; i < catalogue.count; ++i) {
        const ChartItem &item = catalogue.items[i];
        const Level &level = levels.last();
        switch (item.kind) {
        case ChartItemKind::SubmenuBegin: {
            QMenu *sub = level.menu->addMenu(QString::fromUtf8(item.caption));
            sub->setObjectName(QLatin1String(item.control));
            sub->menuAction()->setObjectName(QLatin1String(item.control));
            levels.append({sub, item.prefix});
            break;
        }
        case ChartItemKind::SubmenuEnd:
            levels.removeLast();
            break;
        case ChartItemKind::Separator:
            name(level.menu->addSeparator(), item);
            break;
        case ChartItemKind::Entry: {
            const QString caption = QString::fromUtf8(item.caption);
            QAction *action = level.menu->addAction(caption);
            name(action, item);
            const ChartChoice choice{&item, titleFor(item, caption, level)};
            QObject::connect(action, &QAction::triggered, menu,
                             [chosen, choice] { chosen(choice); });
            break;
        }
        }
    }
    Q_ASSERT(levels.size() == 1);
}

void BuildJmaMenu(QMenu *menu, const QList<ChartTarget> &targets,
                  const std::function<void(const JmaChoice &)> &chosen)
{
    // Submenus are children of the menu: clearing its actions alone would leave them behind.
    qDeleteAll(menu->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly));
    menu->clear();
    const auto shown = std::find_if(targets.cbegin(), targets.cend(),
                                    [](const ChartTarget &target) { return target.shown; });
    const ChartTarget *shownTarget = shown == targets.cend() ? nullptr : &*shown;
    const auto add = [&](QMenu *into, const QString &caption, const JmaChoice &choice,
                         const QString &control = {}) {
        QAction *action = into->addAction(caption);
        action->setObjectName(control.isEmpty() ? QLatin1String(choice.item->control) : control);
        if (!choice.icao.isEmpty())
            action->setProperty("icao", choice.icao);
        QObject::connect(action, &QAction::triggered, menu, [chosen, choice] { chosen(choice); });
    };
    // Said rather than left out: the entries come with the targets.
    const auto none = [](QMenu *into, const JmaItem &item) {
        QAction *action = into->addAction(QString::fromUtf8(item.caption) +
                                          QStringLiteral(" (ターゲットがありません)"));
        action->setObjectName(QLatin1String(item.control));
        action->setEnabled(false);
    };
    QMenu *level = menu;
    const JmaCatalogue catalogue = jmaCatalogue();
    for (int i = 0; i < catalogue.count; ++i) {
        const JmaItem &item = catalogue.items[i];
        const QString caption = QString::fromUtf8(item.caption);
        switch (item.kind) {
        case ChartItemKind::SubmenuBegin:
            level = level->addMenu(caption);
            level->setObjectName(QLatin1String(item.control));
            level->menuAction()->setObjectName(QLatin1String(item.control));
            continue;
        case ChartItemKind::SubmenuEnd:
            level = menu;
            continue;
        case ChartItemKind::Separator:
            level->addSeparator()->setObjectName(QLatin1String(item.control));
            continue;
        case ChartItemKind::Entry:
            break;
        }
        switch (item.file) {
        case JmaFile::Fixed:
        case JmaFile::Run:
        case JmaFile::ThreeHourly:
            add(level, caption, {&item, {}, caption, {}, {}});
            break;
        case JmaFile::Area: {
            // The area's entries once per area, the shown airport's area first.
            int end = i;
            while (end < catalogue.count && catalogue.items[end].file == JmaFile::Area)
                ++end;
            for (const LowLevelArea &area : areasShownFirst(shownTarget)) {
                const QString code = QString::fromLatin1(area.code);
                const QString title =
                    QStringLiteral("下層悪天予想図 ") + QString::fromUtf8(area.name);
                const bool ofShown =
                    shownTarget && shownTarget->area == QString::fromUtf8(area.name);
                QMenu *sub =
                    level->addMenu(title + (ofShown ? QStringLiteral(" (表示中)") : QString()));
                sub->setObjectName(QStringLiteral("menu_jma_lowlevel_") + code);
                sub->menuAction()->setObjectName(sub->objectName());
                for (int k = i; k < end; ++k) {
                    const JmaItem &kind = catalogue.items[k];
                    const QString kindCaption = QString::fromUtf8(kind.caption);
                    add(sub, kindCaption,
                        {&kind, {}, title + QStringLiteral(" - ") + kindCaption, code, {}});
                }
            }
            i = end - 1;
            break;
        }
        case JmaFile::Airport:
            if (targets.isEmpty()) {
                none(level, item);
                break;
            }
            // The shown airport on a line of its own above the list, which keeps its order.
            if (shownTarget)
                add(level, jmaAirportCaption(*shownTarget, item) + QStringLiteral(" (表示中)"),
                    {&item, shownTarget->icao, jmaAirportCaption(*shownTarget, item), {}, {}},
                    QLatin1String(item.control) + QStringLiteral("_shown"));
            for (const ChartTarget &target : targets)
                add(level, jmaAirportCaption(target, item),
                    {&item, target.icao, jmaAirportCaption(target, item), {}, {}});
            break;
        case JmaFile::Briefing:
            if (!shownTarget) {
                none(level, item);
                break;
            }
            add(level, caption,
                {&item, shownTarget->icao,
                 QStringLiteral("ブリーフィング ") + jmaAirportLabel(*shownTarget),
                 lowLevelAreaCode(shownTarget->area), *shownTarget});
            break;
        }
    }
}
