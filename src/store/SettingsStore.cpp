// Opening, reading, writing and compacting the settings database.
#include "store/SettingsStore.h"

#include "platform/FileSync.h"
#include "store/Sources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <limits>

// Every failure in English, with the database engine's words; the command line, which says it
// itself, turns it off.
Q_LOGGING_CATEGORY(lcStore, "tarnbeck.store")

namespace {

// Each message is made twice: in Japanese for the windows, in English for the command line and
// the log, which also carries the database engine's own words.

QString reasonText(SqlDatabase::OpenFailure failure, const QString &journal)
{
    switch (failure) {
    case SqlDatabase::OpenFailure::Missing:
        return QStringLiteral("ファイルがありません。");
    case SqlDatabase::OpenFailure::ReadOnly:
        return QStringLiteral("ファイルに書き込めません (読み取り専用)。");
    case SqlDatabase::OpenFailure::NotADatabase:
        return QStringLiteral("パスワードが違うか、ファイルが壊れています。");
    case SqlDatabase::OpenFailure::InterruptedWrite:
        return QStringLiteral("書き込みが途中で止まっています。Tarnbeck を起動すると、ジャーナル "
                              "%1 から元に戻します。ジャーナルは消さないでください。")
            .arg(journal);
    case SqlDatabase::OpenFailure::Unreadable:
    case SqlDatabase::OpenFailure::Other:
    case SqlDatabase::OpenFailure::None:
        break;
    }
    return QStringLiteral("ファイルを読めません。");
}

QString englishReason(SqlDatabase::OpenFailure failure, const QString &detail,
                      const QString &journal)
{
    switch (failure) {
    case SqlDatabase::OpenFailure::NotADatabase:
        return QStringLiteral("the key is wrong or the file is damaged (%1)").arg(detail);
    case SqlDatabase::OpenFailure::InterruptedWrite:
        return QStringLiteral("a write to it was interrupted, and its journal %1 holds what to "
                              "undo; it could not be read as last saved either (%2). Start the "
                              "ticker once (tarnbeck without options): it rolls the write back. "
                              "Do not delete the journal, or the half-made change stays in the "
                              "file.")
            .arg(journal, detail);
    case SqlDatabase::OpenFailure::Missing:
    case SqlDatabase::OpenFailure::Unreadable:
    case SqlDatabase::OpenFailure::ReadOnly:
    case SqlDatabase::OpenFailure::Other:
    case SqlDatabase::OpenFailure::None:
        break;
    }
    return detail;
}

/// The Japanese for the database engine's reasons a user can act on; empty for the others.
QString writeReasonText(const QString &detail)
{
    if (detail.contains(QLatin1String("readonly")))
        return QStringLiteral("ファイルかフォルダーが読み取り専用です。");
    if (detail.contains(QLatin1String("full")))
        return QStringLiteral("ディスクがいっぱいです。");
    if (detail.contains(QLatin1String("unable to open")))
        return QStringLiteral("ファイルの隣に一時ファイルを作れません。");
    return {};
}

/// SQLite's words for a page it cannot read back (SQLITE_CORRUPT, SQLITE_NOTADB).
bool tellsOfDamage(const QString &detail)
{
    return detail.contains(QLatin1String("malformed")) ||
           detail.contains(QLatin1String("not a database"));
}

QString damagedText()
{
    return QStringLiteral("ファイルの内容が壊れています。");
}

QString damagedEnglish(const QString &detail)
{
    return QStringLiteral("the file is damaged (%1)").arg(detail);
}

} // namespace

QString SettingsStore::databasePath() const
{
    return QDir(m_directory).absoluteFilePath(m_fileName);
}

bool SettingsStore::setError(const QString &japanese, const QString &english)
{
    m_error = japanese;
    m_englishError = english;
    return false;
}

bool SettingsStore::report(const QString &japanese, const QString &english)
{
    // A window shows the Japanese alone: the engine's words stay in the log.
    qCWarning(lcStore).noquote() << english;
    return setError(japanese, english);
}

bool SettingsStore::fail(const QString &why, const QString &englishWhy)
{
    const QString file = QDir::toNativeSeparators(databasePath());
    return report(QStringLiteral("設定ファイル %1 を開けません。\n%2").arg(file, why),
                  QStringLiteral("cannot open the settings file %1: %2").arg(file, englishWhy));
}

bool SettingsStore::openSettingRows()
{
    if (!m_settingRows.Open(m_db, QStringLiteral("select * from setting")))
        return false;
    m_settingRows.MoveFirst();
    return true;
}

bool SettingsStore::openAirportRows()
{
    if (!m_airportRows.Open(m_db, QStringLiteral("select * from airport")))
        return false;
    if (m_airportRows.RecordCount() != 0) {
        m_airportRows.Sort(QStringLiteral("number"));
        m_airportRows.MoveFirst();
    }
    return true;
}

bool SettingsStore::open(SqlDatabase::Access access)
{
    setError({}, {});
    m_readOnly = access == SqlDatabase::Access::ReadOnly;
    const QString journal = QDir::toNativeSeparators(databasePath() + QStringLiteral("-journal"));
    if (!m_db.open(databasePath(), QByteArray(password), access))
        return fail(reasonText(m_db.openFailure(), journal),
                    englishReason(m_db.openFailure(), m_db.errorString(), journal));

    const auto damaged = [this](const QString &detail) {
        CloseSettings();
        return fail(damagedText(), damagedEnglish(detail));
    };
    if (!upgrade()) {
        const QString why = m_error;
        const QString englishWhy = m_englishError;
        CloseSettings();
        return fail(why, englishWhy);
    }
    if (!openSettingRows())
        return damaged(m_settingRows.errorString());
    // Every reader relies on the one settings row and on at least one known airport.
    if (m_settingRows.RecordCount() != 1)
        return damaged(QStringLiteral("setting: %1 rows").arg(m_settingRows.RecordCount()));
    if (!openAirportRows())
        return damaged(m_airportRows.errorString());
    if (!m_airportListRows.Open(m_db, QStringLiteral("select * from airportlist")))
        return damaged(m_airportListRows.errorString());
    if (m_airportListRows.RecordCount() == 0)
        return damaged(QStringLiteral("airportlist is empty"));
    m_airportListRows.Sort(QStringLiteral("number"));
    m_airportListRows.MoveFirst();
    m_notice = m_db.readsCommittedCopy()
                   ? QStringLiteral("the settings file %1 holds a write that was interrupted; its "
                                    "settings as last saved were read with the journal %2. "
                                    "Starting the ticker once rolls the write back.")
                         .arg(QDir::toNativeSeparators(databasePath()), journal)
                   : QString();
    return true;
}

void SettingsStore::CloseSettings()
{
    m_settingRows.Close();
    m_airportRows.Close();
    m_airportListRows.Close();
    m_db.close();
}

bool SettingsStore::FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

QVariant SettingsStore::setting(const QString &field)
{
    m_settingRows.MoveFirst();
    return m_settingRows.value(field);
}

Settings SettingsStore::settings()
{
    m_settingRows.MoveFirst();
    return Settings::read(m_settingRows);
}

bool SettingsStore::saveSettings(const Settings &settings)
{
    m_settingRows.MoveFirst();
    if (!Settings::assign(m_settingRows, settings))
        return failWrite(m_settingRows.errorString());
    return updateSettingRow();
}

bool SettingsStore::writeSettings(const QList<std::pair<QString, QVariant>> &fields)
{
    m_settingRows.MoveFirst();
    for (const auto &[field, value] : fields) {
        if (!m_settingRows.setValue(field, value))
            return failWrite(m_settingRows.errorString());
    }
    return updateSettingRow();
}

bool SettingsStore::updateSettingRow()
{
    if (!m_settingRows.Update())
        return failWrite(m_settingRows.errorString());
    return true;
}

bool SettingsStore::failWrite(const QString &detail)
{
    const QString file = QDir::toNativeSeparators(databasePath());
    const QString why = tellsOfDamage(detail) ? damagedText() : writeReasonText(detail);
    return report(QStringLiteral("設定ファイル %1 に書き込めません。").arg(file) +
                      (why.isEmpty() ? QString() : QLatin1Char('\n') + why),
                  QStringLiteral("cannot write the settings file %1: %2").arg(file, detail));
}

QList<TargetAirport> SettingsStore::targetAirports()
{
    QList<TargetAirport> targets;
    if (m_airportRows.RecordCount() == 0)
        return targets;
    for (m_airportRows.MoveFirst(); !m_airportRows.AtEOF(); m_airportRows.MoveNext()) {
        targets.append({m_airportRows.value(QStringLiteral("airport")).toString(),
                        m_airportRows.flag(QStringLiteral("check"))});
    }
    return targets;
}

bool SettingsStore::ReplaceTargets(const QList<TargetAirport> &targets)
{
    // One transaction, so a failure half-way leaves the old list rather than part of the new one.
    const auto failed = [this](const QString &detail) {
        m_db.execute(QStringLiteral("ROLLBACK"));
        failWrite(detail);
        openAirportRows();
        return false;
    };
    if (!m_db.execute(QStringLiteral("BEGIN")))
        return failed(m_db.errorString());
    if (!m_db.execute(QStringLiteral("DELETE FROM airport")))
        return failed(m_db.errorString());
    qint16 number = 0;
    for (const TargetAirport &target : targets) {
        m_airportRows.AddNew();
        m_airportRows.setValue(QStringLiteral("number"), ++number);
        m_airportRows.setValue(QStringLiteral("airport"), target.airport);
        m_airportRows.setValue(QStringLiteral("check"), target.checked);
        if (!m_airportRows.Update())
            return failed(m_airportRows.errorString());
    }
    if (!m_db.execute(QStringLiteral("COMMIT")))
        return failed(m_db.errorString());
    if (!openAirportRows())
        return failed(m_airportRows.errorString());
    return true;
}

bool SettingsStore::RefreshSettingRows()
{
    m_settingRows.Close();
    if (!openSettingRows()) {
        const QString file = QDir::toNativeSeparators(databasePath());
        return report(QStringLiteral("設定ファイル %1 を読めません。").arg(file),
                      QStringLiteral("cannot read the settings file %1: %2")
                          .arg(file, m_settingRows.errorString()));
    }
    return true;
}

std::optional<AirportCoordinates> SettingsStore::coordinatesOf(const QString &airport)
{
    for (m_airportListRows.MoveFirst(); !m_airportListRows.AtEOF(); m_airportListRows.MoveNext()) {
        if (m_airportListRows.value(QStringLiteral("airport")).toString() == airport) {
            return AirportCoordinates{m_airportListRows.value(QStringLiteral("lat")).toString(),
                                      m_airportListRows.value(QStringLiteral("lon")).toString()};
        }
    }
    return std::nullopt;
}

QString NormalisedHost(const QString &stored)
{
    QString host = stored.trimmed();
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return host;
}

QString SettingsStore::host(const QString &name)
{
    SqlStatement query = m_db.prepare(QStringLiteral("SELECT url FROM host WHERE name = ?"));
    query.bind(1, name);
    if (query.next())
        return NormalisedHost(query.value(0).toString());
    // Where the upgrade would have added the row.
    const Source *source = m_readOnly ? FindSource(name) : nullptr;
    return source ? NormalisedHost(QLatin1String(source->defaultAddress)) : QString();
}

QHash<QString, QString> SettingsStore::hosts()
{
    QHash<QString, QString> all;
    SqlStatement query = m_db.prepare(QStringLiteral("SELECT name, url FROM host"));
    while (query.next())
        all.insert(query.value(0).toString(), NormalisedHost(query.value(1).toString()));
    for (const Source &source : AllSources()) {
        if (m_readOnly && !all.contains(QLatin1String(source.name)))
            all.insert(QLatin1String(source.name),
                       NormalisedHost(QLatin1String(source.defaultAddress)));
    }
    return all;
}

bool SettingsStore::upgrade()
{
    // A page that cannot be read back is damage, whichever table it holds: found before any
    // write, so the file is left as it is.
    SqlStatement check = m_db.prepare(QStringLiteral("PRAGMA quick_check(1)"));
    const QString verdict = check.next() ? check.value(0).toString() : check.errorString();
    if (verdict != QLatin1String("ok"))
        return setError(damagedText(), damagedEnglish(verdict));
    // Only a file that holds the program's tables is brought up to date; any other is damaged.
    QStringList tables;
    SqlStatement list =
        m_db.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    while (list.next())
        tables.append(list.value(0).toString());
    for (const char *table : {"setting", "airport", "airportlist", "host"}) {
        if (!tables.contains(QLatin1String(table)))
            return setError(
                damagedText(),
                damagedEnglish(QStringLiteral("no table %1").arg(QLatin1String(table))));
    }
    if (m_readOnly)
        return true; // read as it is: the readers fall back to the defaults
    // The table option and the sources a newer program added; an older program ignores them
    // and keeps working on the file.
    const QHash<QString, QString> present = hosts();
    QList<const Source *> missing;
    for (const Source &source : AllSources()) {
        if (!present.contains(QLatin1String(source.name)))
            missing.append(&source);
    }
    if (tables.contains(QStringLiteral("option")) && missing.isEmpty())
        return true;

    const auto failed = [this](const QString &detail) {
        m_db.execute(QStringLiteral("ROLLBACK"));
        if (tellsOfDamage(detail))
            return setError(damagedText(), damagedEnglish(detail));
        const QString why = writeReasonText(detail);
        return setError(QStringLiteral("新しい形に更新できません。") +
                            (why.isEmpty() ? QString() : QLatin1Char('\n') + why),
                        QStringLiteral("cannot bring it up to date (%1)").arg(detail));
    };
    if (!m_db.execute(QStringLiteral("BEGIN")) ||
        !m_db.execute(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS option (name TEXT PRIMARY KEY, value TEXT NOT NULL)")))
        return failed(m_db.errorString());
    for (const Source *source : std::as_const(missing)) {
        SqlStatement insert =
            m_db.prepare(QStringLiteral("INSERT OR IGNORE INTO host (name, url) VALUES (?, ?)"));
        insert.bind(1, QLatin1String(source->name));
        insert.bind(2, QLatin1String(source->defaultAddress));
        if (!insert.exec())
            return failed(insert.errorString());
    }
    if (!m_db.execute(QStringLiteral("COMMIT")))
        return failed(m_db.errorString());
    return true;
}

bool SettingsStore::saveHosts(const QHash<QString, QString> &hosts)
{
    QList<std::pair<QString, QString>> rows;
    for (auto it = hosts.begin(); it != hosts.end(); ++it)
        rows.append({it.key(), it.value()});
    return writeRows(QStringLiteral("host (name, url)"), rows);
}

bool SettingsStore::writeRows(const QString &table, const QList<std::pair<QString, QString>> &rows)
{
    // One transaction: a failure half-way leaves every row as it was.
    const auto failed = [this](const QString &detail) {
        m_db.execute(QStringLiteral("ROLLBACK"));
        return failWrite(detail);
    };
    if (!m_db.execute(QStringLiteral("BEGIN")))
        return failed(m_db.errorString());
    for (const auto &[name, value] : rows) {
        SqlStatement write =
            m_db.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (?, ?)").arg(table));
        write.bind(1, name);
        write.bind(2, value);
        if (!write.exec())
            return failed(write.errorString());
    }
    if (!m_db.execute(QStringLiteral("COMMIT")))
        return failed(m_db.errorString());
    return true;
}

QString SettingsStore::option(const QString &name, const QString &fallback)
{
    SqlStatement query = m_db.prepare(QStringLiteral("SELECT value FROM option WHERE name = ?"));
    query.bind(1, name);
    return query.next() ? query.value(0).toString() : fallback;
}

bool SettingsStore::setOptions(const QList<std::pair<QString, QString>> &values)
{
    return writeRows(QStringLiteral("option (name, value)"), values);
}

bool SettingsStore::SaveExitState(float posX, float posY, bool *compactDue)
{
    *compactDue = false;
    if (!changeSettings([&](Settings &s) {
            s.posX = posX;
            s.posY = posY;
        }))
        return false;
    if (settings().startup > 100) {
        if (!changeSettings([](Settings &s) { s.startup = 0; }))
            return false;
        *compactDue = true;
    }
    return true;
}

bool SettingsStore::CompactSettings(CompactStop stop)
{
    const QDir dir(m_directory);
    const QString target = databasePath();
    const QString temp = dir.absoluteFilePath(QLatin1String(tempFileName));
    const auto failed = [this, &temp](const QString &detail) {
        QFile::remove(temp);
        return report(
            QStringLiteral("設定ファイルを一時ファイル %1 を通して整理できませんでした。"
                           "元のファイルはそのままです。")
                .arg(QDir::toNativeSeparators(temp)),
            QStringLiteral("cannot compact the settings file through %1 (%2); the original is "
                           "unchanged")
                .arg(QDir::toNativeSeparators(temp), detail));
    };

    if (FileExists(temp) && !QFile::remove(temp))
        return failed(QStringLiteral("cannot remove %1").arg(temp));
    if (stop == CompactStop::AfterLeftoverRemoved)
        return true;

    {
        // The connection may not create files, so the export goes into an empty file made here.
        QFile empty(temp);
        if (!empty.open(QIODevice::WriteOnly)) // name the file: the directory may be read-only
            return failed(QDir::toNativeSeparators(temp) + QStringLiteral(": ") +
                          empty.errorString());
        empty.close();
        SqlDatabase source;
        if (!source.open(target, QByteArray(password)))
            return failed(source.errorString());
        // ATTACH resolves relative paths against the working directory, so give it an absolute one.
        if (!source.attach(temp, QStringLiteral("c"), QByteArray(password)) ||
            !source.execute(QStringLiteral("SELECT sqlcipher_export('c'); DETACH DATABASE c;")))
            return failed(source.errorString());
    }
    if (stop == CompactStop::AfterExport)
        return true;

    {
        // Only a copy that opens and holds the settings row may replace the original.
        SqlDatabase copy;
        if (!copy.open(temp, QByteArray(password)))
            return failed(copy.errorString());
        SqlStatement rows = copy.prepare(QStringLiteral("SELECT count(*) FROM setting"));
        if (!rows.next() || rows.value(0).toLongLong() != 1)
            return failed(QStringLiteral("the copy has no settings row"));
    }
    if (!SyncFile(temp))
        return failed(QStringLiteral("cannot flush %1").arg(temp));
    if (stop == CompactStop::AfterFlush)
        return true;

    if (const QString error = ReplaceFile(temp, target); !error.isEmpty())
        return failed(error);
    return true;
}
