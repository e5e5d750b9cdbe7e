// A thin owner of one SQLCipher connection and its prepared statements.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

/// One prepared statement; finalized when it goes out of scope.
class SqlStatement final
{
public:
    SqlStatement() = default;
    SqlStatement(sqlite3 *db, const QString &sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;
    SqlStatement(SqlStatement &&other) noexcept;
    SqlStatement &operator=(SqlStatement &&other) noexcept;

    bool isValid() const { return m_stmt != nullptr; }
    QString errorString() const { return m_error; }

    /// Binds a value to the 1-based parameter; a bool is written as -1 (true) or 0 (false).
    bool bind(int index, const QVariant &value);
    /// Runs to the next row: true while a row is available. Check errorString() after false.
    bool next();
    /// Runs a statement that returns no rows; false on an error.
    bool exec();
    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_error;
};

/// An encrypted database file. Never creates a file: a missing one is an error.
class SqlDatabase final
{
public:
    /// Why open() failed, for messages the user can act on.
    /// InterruptedWrite: a read-only open met the journal of a write that was cut short (a
    /// "hot" journal), and its last committed state could not be read from a copy either.
    enum class OpenFailure {
        None,
        Missing,
        Unreadable,
        ReadOnly,
        NotADatabase,
        InterruptedWrite,
        Other
    };
    /// ReadOnly never writes the file, so it may be read while a ticker works on it.
    enum class Access { ReadWrite, ReadOnly };

    SqlDatabase() = default;
    ~SqlDatabase();
    SqlDatabase(const SqlDatabase &) = delete;
    SqlDatabase &operator=(const SqlDatabase &) = delete;

    /// Opens the file under the key and proves the key with one statement. ReadWrite fails on a
    /// file that cannot be written. ReadOnly over the journal of an interrupted write (which
    /// only a writer may roll back) reads the last committed state from a private copy of the
    /// file and the journal, rolled back there; the file and its journal stay as they are.
    bool open(const QString &path, const QByteArray &key, Access access = Access::ReadWrite);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    /// Open on the rolled-back copy: the file itself still holds an interrupted write.
    bool readsCommittedCopy() const { return m_committedCopy != nullptr; }

    /// Attaches another encrypted file as `schema`, in the same file format as open() uses.
    bool attach(const QString &path, const QString &schema, const QByteArray &key);
    bool execute(const QString &sql);
    SqlStatement prepare(const QString &sql);
    qint64 lastInsertRowId() const;
    int changes() const;

    QString errorString() const { return m_error; }
    OpenFailure openFailure() const { return m_failure; }

    /// The SQLCipher library's major version, as it says itself (0 if it does not say).
    static int cipherMajorVersion();

private:
    bool failOpen(OpenFailure failure, const QString &error);
    bool openCommittedCopy(const QString &path, const QByteArray &key);

    sqlite3 *m_db = nullptr;
    std::unique_ptr<QTemporaryDir> m_committedCopy;
    OpenFailure m_failure = OpenFailure::None;
    QString m_error;
};
