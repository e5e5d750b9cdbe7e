// The temporary database copy used by store and ticker tests.
#include "support/TestDatabase.h"

#include "platform/SqlDatabase.h"

#include <QFile>

TestDatabase::TestDatabase()
{
    m_valid = m_dir.isValid() && QFile::copy(QStringLiteral(TARNBECK_DELIVERED_DB), path()) &&
              QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
}

QString TestDatabase::path() const
{
    return m_dir.filePath(QStringLiteral("tarnbeck.dat"));
}

bool TestDatabase::execute(const QString &sql) const
{
    SqlDatabase db;
    return db.open(path(), "pelko") && db.execute(sql);
}

bool TestDatabase::setAllHosts(const QString &url) const
{
    return execute(QStringLiteral("UPDATE host SET url = '%1'").arg(url));
}

QStringList TableRows(SqlDatabase &db, const QStringList &tables)
{
    QStringList rows;
    for (const QString &table : tables) {
        SqlStatement q = db.prepare(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
        while (q.next()) {
            QStringList fields{table};
            for (int c = 0; c < q.columnCount(); ++c)
                fields.append(q.value(c).toString());
            rows.append(fields.join(QLatin1Char('|')));
        }
    }
    return rows;
}

QString stationFile(const QString &relative)
{
    return QStringLiteral(TARNBECK_STATIONS "/") + relative;
}
