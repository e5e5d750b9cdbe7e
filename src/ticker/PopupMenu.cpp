// Construction of the pop-up menu tree.
#include "ticker/PopupMenu.h"

PopupMenu::PopupMenu(QObject *parent)
    : QObject(parent), m_menu(new QMenu(QStringLiteral("メニュー")))
{
    m_menu->setObjectName(QStringLiteral("menu"));
    m_airport = m_menu->addMenu(QStringLiteral("ターゲット"));
    m_airport->setObjectName(QStringLiteral("menu_airport"));
    m_airport->menuAction()->setObjectName(QStringLiteral("menu_airport"));
    m_menu->addSeparator()->setObjectName(QStringLiteral("menu_l1"));
    m_slide = addItem(m_menu, "menu_slide", QStringLiteral("スライド"));
    m_slide->setCheckable(true);
    m_scroll = addItem(m_menu, "menu_scroll", QStringLiteral("スクロール"));
    m_scroll->setCheckable(true);
    m_menu->addSeparator()->setObjectName(QStringLiteral("menu_l3"));
    m_weather = addItem(m_menu, "menu_weather", QStringLiteral("天気図"));
    m_sunset = addItem(m_menu, "menu_sunset", QStringLiteral("日出没時刻"));
    m_camera = addItem(m_menu, "menu_camera", QStringLiteral("ライブカメラ"));
    m_menu->addSeparator()->setObjectName(QStringLiteral("menu_l5"));
    m_setting = addItem(m_menu, "menu_setting", QStringLiteral("設定"));
    // Between the original's items and 拡張設定, so that each keeps its place counted from its
    // end of the menu.
    m_decode = addItem(m_menu, "menu_decode", QStringLiteral("解読..."));
    m_extended = addItem(m_menu, "menu_extended", QStringLiteral("拡張設定..."));
    m_version = addItem(m_menu, "menu_version", QStringLiteral("バージョン"));
    m_menu->addSeparator()->setObjectName(QStringLiteral("menu_l6"));
    m_end = addItem(m_menu, "menu_end", QStringLiteral("終了"));
}

PopupMenu::~PopupMenu()
{
    delete m_menu;
}

QAction *PopupMenu::addItem(QMenu *to, const char *name, const QString &caption)
{
    QAction *action = to->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void PopupMenu::setTargets(const QStringList &codes)
{
    qDeleteAll(m_targets);
    m_targets.clear();
    for (int i = 0; i < codes.size(); ++i) {
        QAction *item = addItem(m_airport, "menu_airport_target", codes[i]);
        connect(item, &QAction::triggered, this,
                [this, i, code = codes[i]] { emit targetChosen(i, code); });
        m_targets.append(item);
    }
}

void PopupMenu::setNetworkItemsEnabled(bool online, bool autochange)
{
    m_airport->menuAction()->setEnabled(online);
    m_slide->setEnabled(online);
    m_scroll->setEnabled(online && autochange);
    m_weather->setEnabled(online);
    m_setting->setEnabled(online);
}
