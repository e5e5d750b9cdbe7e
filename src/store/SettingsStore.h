// The settings database: one connection and three record sets that live for the whole run.
#pragma once

#include "platform/SqlDatabase.h"
#include "store/AirportCoordinates.h"
#include "store/RecordSet.h"
#include "store/Settings.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

/// One row of the target list.
struct TargetAirport
{
    QString airport;
    bool checked = false;
    bool operator==(const TargetAirport &) const = default;
};

/// Where a compaction may be cut short, so tests can prove each cut leaves a usable file.
enum class CompactStop { Never, AfterLeftoverRemoved, AfterExport, AfterFlush };

class SettingsStore final
{
public:
    static constexpr auto fileName = "tarnbeck.dat";
    static constexpr auto tempFileName = "tarnbeck_tmp.dat";
    static constexpr auto password = "pelko";

    /// The store of `directory`/`file`; nothing is opened yet.
    explicit SettingsStore(const QString &directory, const QString &file = QLatin1String(fileName))
        : m_directory(directory), m_fileName(file)
    {}

    /// Opens the connection and the three record sets. On false, errorString() names the file.
    bool OpenSettings() { return open(SqlDatabase::Access::ReadWrite); }
    /// Opens the file as it is, for reading only: nothing is brought up to date or written, no
    /// lock is needed, and a source an older file lacks reads as its default address. A file
    /// left with an interrupted write is read as last committed (see notice()).
    bool OpenSettingsReadOnly() { return open(SqlDatabase::Access::ReadOnly); }
    /// Closes the record sets and then the connection, in that order.
    void CloseSettings();
    /// Compacts the closed file through tarnbeck_tmp.dat; the old file is replaced only by a
    /// complete, flushed copy.
    bool CompactSettings(CompactStop stop = CompactStop::Never);
    /// True for an existing plain, non-hidden file.
    static bool FileExists(const QString &path);

    bool isOpen() const { return m_db.isOpen(); }
    QString databasePath() const;
    QString directory() const { return m_directory; }
    /// Why the last step failed, in Japanese for a window: the file named, no engine's words.
    QString errorString() const { return m_error; }
    /// The same in English for the command line and the log, with the database engine's words.
    QString englishError() const { return m_englishError; }
    /// After an open that succeeded: in English, what the user should know of the file (an
    /// interrupted write read around); empty when nothing.
    QString notice() const { return m_notice; }

    RecordSet &settingRows() { return m_settingRows; }
    RecordSet &airportRows() { return m_airportRows; }
    RecordSet &airportListRows() { return m_airportListRows; }

    /// The settings row as it stands now, each field held to its bounds.
    Settings settings();
    /// Writes the fields of `settings` that differ from the row, in one Update.
    bool saveSettings(const Settings &settings);
    /// Reads the row, lets `edit` change it and writes what changed at once.
    template <typename Edit> bool changeSettings(Edit &&edit)
    {
        Settings changed = settings();
        edit(changed);
        return saveSettings(changed);
    }

    /// A field of the settings row in its stored form (for checks of the file itself).
    QVariant setting(const QString &field);
    /// Writes fields of the settings row in their stored form, in one Update.
    bool writeSettings(const QList<std::pair<QString, QVariant>> &fields);
    bool writeSetting(const QString &field, const QVariant &value)
    {
        return writeSettings({{field, value}});
    }

    /// The target airports in list order.
    QList<TargetAirport> targetAirports();
    /// Replaces the target list by `targets`, numbered 1, 2, 3, ... and reopens airportRows.
    bool ReplaceTargets(const QList<TargetAirport> &targets);
    /// Re-reads the settings row from the file.
    bool RefreshSettingRows();
    /// The coordinate texts of a known airport, searched from the first row; none if unknown.
    std::optional<AirportCoordinates> coordinatesOf(const QString &airport);
    /// The configured address of an outside server (table host), empty if not configured;
    /// blanks and trailing "/" are trimmed, so paths can be appended to it.
    QString host(const QString &name);
    /// Every configured address, by name.
    QHash<QString, QString> hosts();
    /// Writes the addresses of `hosts` (name to address; empty: not set) in one transaction,
    /// adding rows that are missing. Nothing is written when any write fails.
    bool saveHosts(const QHash<QString, QString> &hosts);
    /// A value of the table `option`, or `fallback` when it has none.
    QString option(const QString &name, const QString &fallback = {});
    bool setOption(const QString &name, const QString &value)
    {
        return setOptions({{name, value}});
    }
    /// Writes options (name to value) in one transaction: all of them or, on false, none.
    bool setOptions(const QList<std::pair<QString, QString>> &values);

    /// Saves the window position and applies the start-counter rule; true in *compactDue when
    /// this run must compact after closing.
    bool SaveExitState(float posX, float posY, bool *compactDue);

private:
    bool open(SqlDatabase::Access access);
    bool openSettingRows();
    /// Brings a database from before the table `option`, or without some source's `host` row,
    /// up to date; a read-only store only checks the file.
    bool upgrade();
    bool updateSettingRow();
    /// Writes (name, value) rows into `table` "name (column, column)" in one transaction.
    bool writeRows(const QString &table, const QList<std::pair<QString, QString>> &rows);
    /// False, with the message of a write that failed: the file named, damage told as such.
    bool failWrite(const QString &detail);
    bool openAirportRows();
    bool setError(const QString &japanese, const QString &english);
    /// setError() and the English in the log category "tarnbeck.store".
    bool report(const QString &japanese, const QString &english);
    /// False, with the open's failure: the file named, then why.
    bool fail(const QString &why, const QString &englishWhy);

    QString m_directory;
    QString m_fileName;
    bool m_readOnly = false;
    SqlDatabase m_db;
    RecordSet m_settingRows;
    RecordSet m_airportRows;
    RecordSet m_airportListRows;
    QString m_error;
    QString m_englishError;
    QString m_notice;
};

/// A stored server address as it is used: blanks and trailing "/" trimmed.
QString NormalisedHost(const QString &stored);
