// The sqlcipher shell run on a settings file.
#include "support/SqlShell.h"

#include <QProcess>

QString RunSqlShell(const QString &database, const QString &statements)
{
    QProcess sqlcipher;
    sqlcipher.start(QStringLiteral("sqlcipher"), {database});
    sqlcipher.waitForStarted();
    sqlcipher.write(QStringLiteral("PRAGMA key = 'pelko';\n%1\n").arg(statements).toUtf8());
    sqlcipher.closeWriteChannel();
    sqlcipher.waitForFinished();
    QString output = QString::fromUtf8(sqlcipher.readAllStandardOutput()).trimmed();
    if (output == QLatin1String("ok"))
        return {};
    if (output.startsWith(QLatin1String("ok\n")))
        output.remove(0, 3);
    return output;
}
