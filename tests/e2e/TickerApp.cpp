// The program in a scratch folder for the end-to-end tests.
#include "e2e/TickerApp.h"

#include "support/TestDatabase.h"

#include <QFile>
#include <QFileInfo>

bool TickerApp::prepare()
{
    const QString binary = path(QStringLiteral("tarnbeck"));
    const QString db = path(QStringLiteral("tarnbeck.dat"));
    if (!m_dir.isValid() || !QFile::copy(QStringLiteral(TARNBECK_BINARY), binary) ||
        !QFile::copy(QStringLiteral(TARNBECK_DELIVERED_DB), db) ||
        !QFile::setPermissions(binary, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
        !QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner) || !m_server.start())
        return false;
    m_server.setRoute(QStringLiteral("/ident.dat"), {200, "ok\n", {}, {}});
    const char *codes[] = {"RJTT", "RJAA", "RJBB"};
    for (const char *code : codes) {
        const QString c = QLatin1String(code);
        m_server.serveFile(QStringLiteral("/data/observations/metar/stations/%1.TXT").arg(c),
                           stationFile(QStringLiteral("metar/%1_2.TXT").arg(c)));
        m_server.serveFile(QStringLiteral("/data/forecasts/taf/stations/%1.TXT").arg(c),
                           stationFile(QStringLiteral("taf/%1_1.TXT").arg(c)));
    }
    return sql(QStringLiteral("UPDATE host SET url = '%1'; UPDATE setting SET forecolor = 65535; "
                              "SELECT count(*) > 0 FROM host WHERE url = '%1';")
                   .arg(m_server.baseUrl().toString())) == QLatin1String("1");
}

QString TickerApp::sql(const QString &statements) const
{
    QProcess sqlcipher;
    sqlcipher.start(QStringLiteral("sqlcipher"), {path(QStringLiteral("tarnbeck.dat"))});
    sqlcipher.waitForStarted();
    // SQLCipher 4 reads the project's format 3 only when told (3.4 ignores the pragma), and
    // its shell answers the key with "ok": only the statements' own output is read.
    sqlcipher.write(QStringLiteral(".output /dev/null\nPRAGMA key = 'pelko';\n"
                                   "PRAGMA cipher_compatibility = 3;\n.output\n%1\n")
                        .arg(statements)
                        .toUtf8());
    sqlcipher.closeWriteChannel();
    sqlcipher.waitForFinished();
    return QString::fromUtf8(sqlcipher.readAllStandardOutput()).trimmed();
}

QProcess *TickerApp::start(const QStringList &environment)
{
    m_process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    for (const QString &assignment : environment)
        env.insert(assignment.section(QLatin1Char('='), 0, 0),
                   assignment.section(QLatin1Char('='), 1));
    m_process->setProcessEnvironment(env);
    m_process->start(path(QStringLiteral("tarnbeck")), {});
    m_process->waitForStarted();
    return m_process.get();
}

bool TickerApp::terminate()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return false;
    m_process->terminate();
    return m_process->waitForFinished(30000) && m_process->exitCode() == 0;
}
