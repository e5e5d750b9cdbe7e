// SQLCipher connection and statements over its C API.
#include "platform/SqlDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

namespace {

// Long enough for another process's read, short enough not to freeze the windows for long.
constexpr int kBusyWaitMs = 2000;

QString messageOf(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

std::optional<QByteArray> contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// One file format on every supported system: SQLCipher 3's, which 3.4 and 4.x both open.
// SQLCipher 4 writes its own format, which 3.x cannot read, unless told so after the key.
bool useOneFormat(sqlite3 *db, const QByteArray &schema)
{
    if (SqlDatabase::cipherMajorVersion() < 4)
        return true;
    const QByteArray sql = "PRAGMA \"" + schema + "\".cipher_compatibility = 3;";
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

SqlStatement::SqlStatement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK) {
        m_error = messageOf(db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_stmt);
}

SqlStatement::SqlStatement(SqlStatement &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_error(std::move(other.m_error))
{}

SqlStatement &SqlStatement::operator=(SqlStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_error = std::move(other.m_error);
    }
    return *this;
}

bool SqlStatement::bind(int index, const QVariant &value)
{
    if (!m_stmt)
        return false;
    int rc = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        rc = sqlite3_bind_null(m_stmt, index);
        break;
    case QMetaType::Bool:
        rc = sqlite3_bind_int(m_stmt, index, value.toBool() ? -1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
        break;
    case QMetaType::Float:
    case QMetaType::Double:
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
        break;
    default: {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
    if (rc != SQLITE_OK)
        m_error = messageOf(m_db);
    return rc == SQLITE_OK;
}

bool SqlStatement::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_error = messageOf(m_db);
    return false;
}

bool SqlStatement::exec()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW)
        return true;
    m_error = messageOf(m_db);
    return false;
}

int SqlStatement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString SqlStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QVariant SqlStatement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return {};
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)));
    }
    }
}

SqlDatabase::~SqlDatabase()
{
    close();
}

bool SqlDatabase::failOpen(OpenFailure failure, const QString &error)
{
    m_failure = failure;
    m_error = error;
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    return false;
}

bool SqlDatabase::open(const QString &path, const QByteArray &key, Access access)
{
    close();
    m_error.clear();
    m_failure = OpenFailure::None;
    const QFileInfo info(path);
    if (!info.exists())
        return failOpen(OpenFailure::Missing, QStringLiteral("the file does not exist"));
    if (!info.isFile() || !info.isReadable())
        return failOpen(OpenFailure::Unreadable, QStringLiteral("the file cannot be read"));
    // Never SQLITE_OPEN_CREATE: the schema is delivered, not made here.
    const QByteArray native = info.absoluteFilePath().toUtf8();
    const int flags = access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(native.constData(), &m_db, flags, nullptr) != SQLITE_OK)
        return failOpen(OpenFailure::Unreadable, messageOf(m_db));
    if (sqlite3_key(m_db, key.constData(), int(key.size())) != SQLITE_OK ||
        !useOneFormat(m_db, "main"))
        return failOpen(OpenFailure::Other, messageOf(m_db));
    // Another process reading the file (a second tool, a backup) holds its lock only briefly:
    // wait for it rather than lose the write.
    sqlite3_busy_timeout(m_db, kBusyWaitMs);
    // SQLCipher accepts any key at open; only the first read shows a wrong one.
    const int rc =
        sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        return failOpen(OpenFailure::NotADatabase, messageOf(m_db));
    if (access == Access::ReadOnly && sqlite3_extended_errcode(m_db) == SQLITE_READONLY_ROLLBACK)
        return openCommittedCopy(info.absoluteFilePath(), key);
    if (rc != SQLITE_OK)
        return failOpen(OpenFailure::Unreadable, messageOf(m_db));
    if (access == Access::ReadWrite && sqlite3_db_readonly(m_db, "main") == 1)
        return failOpen(OpenFailure::ReadOnly, QStringLiteral("the file is read-only"));
    return true;
}

bool SqlDatabase::openCommittedCopy(const QString &path, const QByteArray &key)
{
    const QString journal = path + QStringLiteral("-journal");
    const auto interrupted = [this](const QString &why) {
        return failOpen(OpenFailure::InterruptedWrite, why);
    };
    // The journal keeps the pages as they were before the write; replayed onto a copy they give
    // the last committed state, and the file stays as it is for the writer that rolls it back.
    auto copy = std::make_unique<QTemporaryDir>();
    if (!copy->isValid())
        return interrupted(QStringLiteral("no private copy can be made: ") + copy->errorString());
    // The pair read twice alike: no writer changed either between the reads.
    std::optional<QByteArray> file, undo;
    for (int attempt = 0; attempt < 3; ++attempt) {
        file = contentsOf(path);
        undo = contentsOf(journal);
        if (file && undo && !undo->isEmpty() && contentsOf(path) == file &&
            contentsOf(journal) == undo)
            break;
        file.reset();
    }
    if (!file)
        return interrupted(QStringLiteral("the file and its journal could not be read as one"));
    const QString copyPath = copy->filePath(QFileInfo(path).fileName());
    if (!writeFile(copyPath, *file) || !writeFile(copyPath + QStringLiteral("-journal"), *undo))
        return interrupted(QStringLiteral("cannot write a private copy in ") + copy->path());
    if (!open(copyPath, key, Access::ReadWrite) ||
        !execute(QStringLiteral("PRAGMA query_only = 1")))
        return interrupted(QStringLiteral("its copy does not open: ") + m_error);
    m_committedCopy = std::move(copy);
    return true;
}

void SqlDatabase::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_committedCopy.reset();
}

int SqlDatabase::cipherMajorVersion()
{
    static const int major = [] {
        sqlite3 *db = nullptr;
        QByteArray version;
        if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_stmt *q = nullptr;
            if (sqlite3_prepare_v2(db, "PRAGMA cipher_version;", -1, &q, nullptr) == SQLITE_OK &&
                sqlite3_step(q) == SQLITE_ROW)
                version = reinterpret_cast<const char *>(sqlite3_column_text(q, 0));
            sqlite3_finalize(q);
        }
        sqlite3_close_v2(db);
        return version.left(version.indexOf('.')).toInt(); // "3.4.1", "4.6.1 community"
    }();
    return major;
}

bool SqlDatabase::attach(const QString &path, const QString &schema, const QByteArray &key)
{
    SqlStatement q = prepare(QStringLiteral("ATTACH DATABASE ?1 AS \"%1\" KEY ?2").arg(schema));
    if (!q.bind(1, path) || !q.bind(2, QString::fromUtf8(key)) || !q.exec()) {
        m_error = q.errorString();
        return false;
    }
    if (!useOneFormat(m_db, schema.toUtf8())) {
        m_error = messageOf(m_db);
        execute(QStringLiteral("DETACH DATABASE \"%1\"").arg(schema));
        return false;
    }
    return true;
}

bool SqlDatabase::execute(const QString &sql)
{
    if (!m_db) {
        m_error = QStringLiteral("the database is not open");
        return false;
    }
    char *message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        m_error = message ? QString::fromUtf8(message) : messageOf(m_db);
        sqlite3_free(message);
        return false;
    }
    return true;
}

SqlStatement SqlDatabase::prepare(const QString &sql)
{
    if (!m_db) {
        m_error = QStringLiteral("the database is not open");
        return {};
    }
    SqlStatement statement(m_db, sql);
    if (!statement.isValid())
        m_error = statement.errorString();
    return statement;
}

qint64 SqlDatabase::lastInsertRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

int SqlDatabase::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}
