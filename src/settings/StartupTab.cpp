// The tab "起動": its check box, and the autostart entry behind it.
#include "settings/StartupTab.h"

#include "desktop/MessageBox.h"
#include "platform/Autostart.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>

StartupTab::StartupTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("startup"));
    m_startAtLogin = new QCheckBox(QStringLiteral("ログイン時に起動する"), this);
    m_startAtLogin->setObjectName(QStringLiteral("startAtLogin"));
    m_startAtLogin->setChecked(StartsAtLogin());
    // Only the user's click writes; setChecked from the entry itself must not.
    connect(m_startAtLogin, &QCheckBox::clicked, this, &StartupTab::apply);

    auto *where =
        new QLabel(QStringLiteral("チェックすると自動起動ファイル %1 を作成し、外すと削除します。")
                       .arg(QDir::toNativeSeparators(AutostartEntryPath())),
                   this);
    where->setTextFormat(Qt::PlainText);
    where->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_startAtLogin);
    layout->addWidget(where);
    layout->addStretch();
}

void StartupTab::showEvent(QShowEvent *event)
{
    m_startAtLogin->setChecked(StartsAtLogin());
    QWidget::showEvent(event);
}

void StartupTab::apply(bool on)
{
    const QString error = SetStartAtLogin(on, QCoreApplication::applicationFilePath());
    if (error.isEmpty())
        return;
    m_startAtLogin->setChecked(StartsAtLogin());
    ShowMessage(window(), QMessageBox::Warning, window()->windowTitle(), error);
}
