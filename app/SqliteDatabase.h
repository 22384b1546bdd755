#pragma once
// SqliteDatabase and SqliteStatement: thin owners of an SQLite connection and of a prepared
// statement, so that every path out of a function (a return or an exception) closes and
// finalizes what it opened. Errors are reported as SqliteError with SQLite's result code and
// message; callers translate them into their own errors.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// An SQLite call that failed: its (extended) result code and SQLite's message.
class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), mCode(code) {}
    // The extended result code (SQLITE_NOTADB, SQLITE_FULL, SQLITE_READONLY_ROLLBACK, ...).
    int GetCode() const { return mCode; }
    // The primary result code (the low byte of the extended one).
    int GetPrimaryCode() const { return mCode & 0xff; }

private:
    int mCode;
};

class SqliteDatabase {
public:
    // Opens `path` with the sqlite3_open_v2 `flags` and extended result codes on, waiting up to
    // five seconds for another connection's lock. Throws SqliteError.
    SqliteDatabase(const std::string& path, int flags);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs one or more statements that return no rows. Throws SqliteError.
    void Execute(const char* sql);
    // The first column of the first row of `sql` as an integer (0 when there is no row). Throws.
    std::int64_t QueryInteger(const char* sql);
    // Throws SqliteError with `code`, SQLite's message for this connection and `what` in front.
    [[noreturn]] void Fail(int code, const std::string& what) const;

    sqlite3* Handle() const { return mHandle; }
    const std::string& GetPath() const { return mPath; }

private:
    sqlite3* mHandle = nullptr;
    std::string mPath;
};

class SqliteStatement {
public:
    // Prepares `sql` on `database`, which must outlive the statement. Throws SqliteError.
    SqliteStatement(SqliteDatabase& database, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Binds parameter `index` (1-based). The text and the bytes must stay valid until the
    // statement is reset or stepped to its end: SQLite does not copy them.
    void BindText(int index, const std::string& text);
    void BindBlob(int index, const void* data, std::size_t size);
    void BindInteger(int index, std::int64_t value);
    // True when a row is ready, false when the statement is done. Throws SqliteError.
    bool Step();
    // Makes the statement ready to run again and clears its bindings.
    void Reset();

    std::int64_t ColumnInteger(int column) const;
    std::string ColumnText(int column) const;

private:
    SqliteDatabase& mDatabase;
    sqlite3_stmt* mHandle = nullptr;
};

// Rolls back the transaction that the constructor begins unless Commit was called: a save
// that stops half-way for any reason leaves the database as it was.
class SqliteTransaction {
public:
    // BEGIN IMMEDIATE: takes the write lock at once, so a save fails before it writes anything
    // when another connection is writing. Throws SqliteError.
    explicit SqliteTransaction(SqliteDatabase& database);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // COMMIT. Throws SqliteError; the transaction is then rolled back by the destructor.
    void Commit();

private:
    SqliteDatabase& mDatabase;
    bool mOpen = true;
};
