// The sqlcipher shell run on a settings file.
#include "support/SqlShell.h"

#include <QProcess>

QString RunSqlShell(const QString &database, const QString &statements)
{
    QProcess sqlcipher;
    sqlcipher.start(QStringLiteral("sqlcipher"), {database});
    sqlcipher.waitForStarted();
    // SQLCipher 4 reads the project's format 3 only when told (3.4 ignores the pragma), and its
    // shell answers the key with "ok": only the statements' own output is read.
    sqlcipher.write(QStringLiteral(".output /dev/null\nPRAGMA key = 'pelko';\n"
                                   "PRAGMA cipher_compatibility = 3;\n.output\n%1\n")
                        .arg(statements)
                        .toUtf8());
    sqlcipher.closeWriteChannel();
    sqlcipher.waitForFinished();
    return QString::fromUtf8(sqlcipher.readAllStandardOutput()).trimmed();
}
