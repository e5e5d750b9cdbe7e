// Record sets over SQLCipher tables, kept client-side as the settings code expects.
#include "store/RecordSet.h"

#include "platform/SqlDatabase.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

} // namespace

bool RecordSet::Open(SqlDatabase &db, const QString &sql)
{
    Close();
    static const QRegularExpression selectAll(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\w+)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = selectAll.match(sql);
    if (!match.hasMatch()) {
        m_error = QStringLiteral("unsupported query: %1").arg(sql);
        return false;
    }
    m_table = match.captured(1);

    // The rowid is kept beside the fields so that Update can find the row again.
    SqlStatement query = db.prepare(QStringLiteral("SELECT rowid, * FROM %1").arg(quoted(m_table)));
    if (!query.isValid()) {
        m_error = query.errorString();
        return false;
    }
    for (int c = 1; c < query.columnCount(); ++c)
        m_columns.append(query.columnName(c));
    while (query.next()) {
        Row row;
        row.rowid = query.value(0).toLongLong();
        for (int c = 1; c < query.columnCount(); ++c)
            row.values.append(query.value(c));
        row.changed.fill(false, m_columns.size());
        m_rows.append(std::move(row));
    }
    if (!query.errorString().isEmpty()) {
        m_error = query.errorString();
        m_rows.clear();
        m_columns.clear();
        return false;
    }
    m_db = &db;
    m_position = 0;
    return true;
}

void RecordSet::Close()
{
    m_db = nullptr;
    m_table.clear();
    m_columns.clear();
    m_rows.clear();
    m_position = 0;
}

void RecordSet::Sort(const QString &field)
{
    const int column = columnIndex(field);
    if (column < 0)
        return;
    std::stable_sort(m_rows.begin(), m_rows.end(), [column](const Row &a, const Row &b) {
        return a.values[column].toDouble() < b.values[column].toDouble();
    });
    m_position = 0;
}

void RecordSet::MoveNext()
{
    if (m_position < m_rows.size())
        ++m_position;
}

int RecordSet::columnIndex(const QString &field) const
{
    // Field names are case-insensitive, as in SQL.
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].compare(field, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

QVariant RecordSet::value(const QString &field) const
{
    const int column = columnIndex(field);
    if (column < 0 || AtEOF())
        return {};
    return m_rows[m_position].values[column];
}

bool RecordSet::flag(const QString &field) const
{
    return value(field).toLongLong() != 0;
}

bool RecordSet::setValue(const QString &field, const QVariant &value)
{
    const int column = columnIndex(field);
    if (column < 0 || AtEOF()) {
        m_error =
            AtEOF() ? QStringLiteral("no current row") : QStringLiteral("no field %1").arg(field);
        return false;
    }
    Row &row = m_rows[m_position];
    // Stored as the database will hand it back, so reads before a reopen see the same value.
    row.values[column] =
        value.typeId() == QMetaType::Bool ? QVariant(qint64(value.toBool() ? -1 : 0)) : value;
    row.changed[column] = true;
    return true;
}

void RecordSet::AddNew()
{
    Row row;
    row.values.resize(m_columns.size());
    row.changed.fill(false, m_columns.size());
    m_rows.append(std::move(row));
    m_position = m_rows.size() - 1;
}

bool RecordSet::Update()
{
    if (!m_db || AtEOF()) {
        m_error =
            m_db ? QStringLiteral("no current row") : QStringLiteral("the record set is closed");
        return false;
    }
    Row &row = m_rows[m_position];
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (row.changed[c]) {
            names.append(quoted(m_columns[c]));
            values.append(row.values[c]);
        }
    }
    if (row.rowid >= 0 && names.isEmpty())
        return true;

    QString sql;
    if (row.rowid < 0) {
        QStringList marks(names.size(), QStringLiteral("?"));
        sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
                              : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(quoted(m_table), names.join(QLatin1Char(',')),
                                         marks.join(QLatin1Char(',')));
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                  .arg(quoted(m_table), names.join(QStringLiteral(" = ?, ")));
        values.append(row.rowid);
    }
    // One statement outside any explicit transaction commits on its own.
    SqlStatement statement = m_db->prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values[i]);
    if (!statement.exec()) {
        m_error = statement.errorString().isEmpty() ? m_db->errorString() : statement.errorString();
        return false;
    }
    if (row.rowid < 0) {
        row.rowid = m_db->lastInsertRowId();
    } else if (m_db->changes() != 1) {
        m_error = QStringLiteral("the row is no longer in table %1").arg(m_table);
        return false;
    }
    row.changed.fill(false);
    return true;
}
