// An in-memory record set over one table: read once, walked, edited and written back row by row.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class SqlDatabase;

/// Holds the rows of "select * from <table>" in memory; Update writes the current row at once.
class RecordSet final
{
public:
    /// Runs the query (only "select * from <table>" is understood) and positions at the first row.
    bool Open(SqlDatabase &db, const QString &sql);
    void Close();
    bool isOpen() const { return m_db != nullptr; }

    int RecordCount() const { return int(m_rows.size()); }
    /// Orders the rows by one numeric field, keeping the order of equal keys.
    void Sort(const QString &field);
    void MoveFirst() { m_position = 0; }
    void MoveNext();
    bool AtEOF() const { return m_position >= m_rows.size(); }

    /// The field of the current row; an invalid QVariant at end-of-file or for an unknown field.
    QVariant value(const QString &field) const;
    /// A Yes/No field: true for any non-zero value.
    bool flag(const QString &field) const;
    bool setValue(const QString &field, const QVariant &value);
    /// Appends an empty row and makes it current; Update inserts it.
    void AddNew();
    /// Writes the current row to the file in one committed transaction.
    bool Update();

    QString errorString() const { return m_error; }

private:
    struct Row
    {
        qint64 rowid = -1; // -1 until an added row is inserted
        QVariantList values;
        QList<bool> changed;
    };

    int columnIndex(const QString &field) const;

    SqlDatabase *m_db = nullptr;
    QString m_table;
    QStringList m_columns;
    QList<Row> m_rows;
    qsizetype m_position = 0;
    QString m_error;
};
