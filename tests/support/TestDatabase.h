// A private copy of the delivered database in a temporary directory.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class TestDatabase final
{
public:
    TestDatabase();
    bool isValid() const { return m_valid; }
    QString directory() const { return m_dir.path(); }
    QString path() const;
    /// Runs SQL on the copy directly (outside the program's store).
    bool execute(const QString &sql) const;
    /// Points every configured host at `url`.
    bool setAllHosts(const QString &url) const;

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

class SqlDatabase;

/// Every row of `tables` in rowid order as "table|field|field...", to compare whole contents.
QStringList TableRows(SqlDatabase &db, const QStringList &tables);

/// Path of a station-file fixture, e.g. stationFile("metar/RJTT_1.TXT").
QString stationFile(const QString &relative);
