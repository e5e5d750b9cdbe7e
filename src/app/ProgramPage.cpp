// The page the version item opens: the configured address, or the delivered about page.
#include "app/ProgramPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QUrl ProgramPageUrl(const QString &configured, const QStringList &directories)
{
    const QString address = configured.trimmed();
    if (!address.isEmpty())
        return QUrl(address);
    for (const QString &dir : directories) {
        const QFileInfo page(QDir(dir), QStringLiteral("about/index.html"));
        if (page.isFile())
            return QUrl::fromLocalFile(page.absoluteFilePath());
    }
    return {};
}

QUrl ProgramPageUrl(const QString &configured)
{
    return ProgramPageUrl(configured,
                          ProgramPageDirectories(QCoreApplication::applicationDirPath()));
}

QStringList ProgramPageDirectories(const QString &programDir)
{
    // Cleaned by text, so a page is found and named without a detour through "bin/..".
    return {programDir,
            QDir::cleanPath(
                QDir(programDir).absoluteFilePath(QStringLiteral(TARNBECK_DELIVERED_RELDIR)))};
}
