// The display options as rows of the table `option`.
#include "store/DisplayOptions.h"

#include "store/SettingsStore.h"

#include <algorithm>

namespace {

const QString showCategoryKey = QStringLiteral("showcategory");
const QString markOldKey = QStringLiteral("markold");
const QString oldMinutesKey = QStringLiteral("oldminutes");
const QString notifyWorseKey = QStringLiteral("notifyworse");
const QString outlineKey = QStringLiteral("outline");

bool flag(SettingsStore &store, const QString &name)
{
    return store.option(name) == QLatin1String("1");
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

DisplayOptions LoadDisplayOptions(SettingsStore &store)
{
    DisplayOptions options;
    options.showCategory = flag(store, showCategoryKey);
    options.markOld = flag(store, markOldKey);
    options.notifyWorse = flag(store, notifyWorseKey);
    options.outline = flag(store, outlineKey);
    bool ok = false;
    const int minutes = store.option(oldMinutesKey).toInt(&ok);
    const auto &choices = DisplayOptions::oldMinuteChoices;
    if (ok && std::find(choices.begin(), choices.end(), minutes) != choices.end())
        options.oldMinutes = minutes;
    return options;
}

bool SaveDisplayOptions(SettingsStore &store, const DisplayOptions &options)
{
    return store.setOptions({{showCategoryKey, flagText(options.showCategory)},
                             {markOldKey, flagText(options.markOld)},
                             {oldMinutesKey, QString::number(options.oldMinutes)},
                             {notifyWorseKey, flagText(options.notifyWorse)},
                             {outlineKey, flagText(options.outline)}});
}
