#include "app/SqliteDatabase.h"

#include <sqlite3.h>

namespace {
constexpr int kBusyTimeoutMs = 5000;
}

SqliteDatabase::SqliteDatabase(const std::string& path, int flags) : mPath(path) {
    const int rc = sqlite3_open_v2(path.c_str(), &mHandle, flags, nullptr);
    if (rc != SQLITE_OK) {
        // sqlite3_open_v2 hands out a handle even when it fails; it holds the message.
        const std::string message = mHandle ? sqlite3_errmsg(mHandle) : sqlite3_errstr(rc);
        const int code = mHandle ? sqlite3_extended_errcode(mHandle) : rc;
        sqlite3_close(mHandle);
        mHandle = nullptr;
        throw SqliteError(code, message);
    }
    sqlite3_extended_result_codes(mHandle, 1);
    sqlite3_busy_timeout(mHandle, kBusyTimeoutMs);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close(mHandle); }

void SqliteDatabase::Execute(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(mHandle, sql, nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return;
    const std::string text = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    throw SqliteError(sqlite3_extended_errcode(mHandle), text);
}

std::int64_t SqliteDatabase::QueryInteger(const char* sql) {
    SqliteStatement statement(*this, sql);
    return statement.Step() ? statement.ColumnInteger(0) : 0;
}

void SqliteDatabase::Fail(int code, const std::string& what) const {
    throw SqliteError(code, what + ": " + sqlite3_errmsg(mHandle));
}

SqliteStatement::SqliteStatement(SqliteDatabase& database, const char* sql) : mDatabase(database) {
    const int rc = sqlite3_prepare_v2(database.Handle(), sql, -1, &mHandle, nullptr);
    if (rc != SQLITE_OK) database.Fail(sqlite3_extended_errcode(database.Handle()), sql);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(mHandle); }

void SqliteStatement::BindText(int index, const std::string& text) {
    const int rc = sqlite3_bind_text(mHandle, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK) mDatabase.Fail(rc, "binding a name");
}

void SqliteStatement::BindBlob(int index, const void* data, std::size_t size) {
    // sqlite3_bind_blob64 refuses what exceeds the connection's length limit with SQLITE_TOOBIG.
    const int rc = sqlite3_bind_blob64(mHandle, index, size ? data : "", size, SQLITE_STATIC);
    if (rc != SQLITE_OK) mDatabase.Fail(rc, "binding a stream");
}

void SqliteStatement::BindInteger(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(mHandle, index, value);
    if (rc != SQLITE_OK) mDatabase.Fail(rc, "binding a number");
}

bool SqliteStatement::Step() {
    const int rc = sqlite3_step(mHandle);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int code = sqlite3_extended_errcode(mDatabase.Handle());
    sqlite3_reset(mHandle);
    mDatabase.Fail(code, sqlite3_sql(mHandle));
}

void SqliteStatement::Reset() {
    sqlite3_reset(mHandle);
    sqlite3_clear_bindings(mHandle);
}

std::int64_t SqliteStatement::ColumnInteger(int column) const { return sqlite3_column_int64(mHandle, column); }

std::string SqliteStatement::ColumnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(mHandle, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(mHandle, column))) : std::string();
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& database) : mDatabase(database) {
    mDatabase.Execute("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    // After a failed COMMIT SQLite may already have rolled back on its own.
    if (mOpen && !sqlite3_get_autocommit(mDatabase.Handle()))
        sqlite3_exec(mDatabase.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit() {
    mDatabase.Execute("COMMIT");
    mOpen = false;
}
