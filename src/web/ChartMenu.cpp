// The "天気図" menu: one action per catalogue entry, submenus as the catalogue nests them.
#include "web/ChartMenu.h"

#include <QMenu>
#include <QVector>

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
    menu->clear();
    const auto add = [&](const JmaItem &item, const QString &caption, const QString &icao,
                         const QString &control = {}, const QString &title = {}) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(control.isEmpty() ? QLatin1String(item.control) : control);
        if (!icao.isEmpty())
            action->setProperty("icao", icao);
        const JmaChoice choice{&item, icao, title.isEmpty() ? caption : title};
        QObject::connect(action, &QAction::triggered, menu, [chosen, choice] { chosen(choice); });
    };
    const JmaCatalogue catalogue = jmaCatalogue();
    for (int i = 0; i < catalogue.count; ++i) {
        const JmaItem &item = catalogue.items[i];
        if (item.kind == ChartItemKind::Separator) {
            menu->addSeparator()->setObjectName(QLatin1String(item.control));
        } else if (item.file != JmaFile::Airport) {
            add(item, QString::fromUtf8(item.caption), {});
        } else if (targets.isEmpty()) {
            // Said rather than left out: the entries come with the targets.
            QAction *none = menu->addAction(QString::fromUtf8(item.caption) +
                                            QStringLiteral(" (ターゲットがありません)"));
            none->setObjectName(QLatin1String(item.control));
            none->setEnabled(false);
        } else {
            // The shown airport on a line of its own above the list, which keeps its order.
            for (const ChartTarget &target : targets) {
                if (target.shown)
                    add(item, jmaAirportCaption(target) + QStringLiteral(" (表示中)"), target.icao,
                        QLatin1String(item.control) + QStringLiteral("_shown"),
                        jmaAirportCaption(target));
            }
            for (const ChartTarget &target : targets)
                add(item, jmaAirportCaption(target), target.icao);
        }
    }
}
