// The row writer: what is written, overwritten after seeks back into parts already stored, and
// read back as rows gives the same bytes; an SQLite error stops the stream and is reported.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/SqliteDatabase.h"
#include "app/SqliteRowWriter.h"

namespace {

class Database {
public:
    Database()
        : mPath(testing::TempDir() + "nc_rowwriter_" + std::to_string(getpid()) + ".db"),
          mDatabase((std::remove(mPath.c_str()), mPath), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) {
        mDatabase.Execute("CREATE TABLE t(name TEXT NOT NULL, part INTEGER NOT NULL, bytes BLOB NOT NULL)");
    }
    ~Database() { std::remove(mPath.c_str()); }
    SqliteDatabase& Get() { return mDatabase; }

    // The rows of `name` in part order.
    std::vector<std::string> Rows(const std::string& name) {
        SqliteStatement select(mDatabase, "SELECT part, bytes FROM t WHERE name = ?1 ORDER BY part");
        select.BindText(1, name);
        std::vector<std::string> rows;
        while (select.Step()) {
            EXPECT_EQ(select.ColumnInteger(0), static_cast<std::int64_t>(rows.size()));
            rows.push_back(select.ColumnText(1));
        }
        return rows;
    }

private:
    std::string mPath;
    SqliteDatabase mDatabase;
};

TEST(SqliteRowWriter, StoresWhatIsWrittenAndOverwrittenInPartsOfTheGivenSize) {
    Database database;
    SqliteStatement insert(database.Get(), "INSERT INTO t(name, part, bytes) VALUES(?1, ?2, ?3)");
    std::mt19937 random(5);
    for (const std::size_t partSize : {std::size_t{1}, std::size_t{7}, std::size_t{5000}, std::size_t{200000}}) {
        SqliteRowWriter writer(database.Get(), insert, "t", "bytes", partSize);
        // Several streams through one writer: each starts afresh.
        for (int stream = 0; stream < 3; ++stream) {
            const std::string name = std::to_string(partSize) + "/" + std::to_string(stream);
            writer.Start(name);
            std::ostream os(&writer);
            std::string expected;
            for (int step = 0; step < 40; ++step) {
                // Appends of every size, from single bytes to several parts at once.
                const std::size_t length = random() % 4 == 0 ? random() % (5 * partSize + 20) : random() % 20;
                std::string bytes(length, '\0');
                for (char& c : bytes) c = static_cast<char>(random());
                os.write(bytes.data(), static_cast<std::streamsize>(length));
                expected += bytes;
                // Now and then an overwrite at an earlier place (stored or still in memory), and back.
                if (step % 3 == 0 && !expected.empty()) {
                    const std::size_t at = random() % expected.size();
                    const std::string patch(std::min<std::size_t>(1 + random() % 20, expected.size() - at), 'P');
                    const auto end = os.tellp();
                    ASSERT_EQ(static_cast<std::size_t>(end), expected.size());
                    os.seekp(static_cast<std::streamoff>(at));
                    os.write(patch.data(), static_cast<std::streamsize>(patch.size()));
                    expected.replace(at, patch.size(), patch);
                    os.seekp(end);
                }
            }
            // A seek past the end is refused.
            os.seekp(static_cast<std::streamoff>(expected.size() + 1));
            EXPECT_TRUE(os.fail());
            os.clear();
            ASSERT_TRUE(os.good());
            writer.Finish();

            const std::vector<std::string> rows = database.Rows(name);
            std::string stored;
            for (std::size_t k = 0; k < rows.size(); ++k) {
                if (k + 1 < rows.size()) EXPECT_EQ(rows[k].size(), partSize);
                stored += rows[k];
            }
            EXPECT_EQ(stored.size(), expected.size());
            EXPECT_TRUE(stored == expected) << name;
        }
        // An empty stream is one empty row.
        const std::string empty = std::to_string(partSize) + "/empty";
        writer.Start(empty);
        writer.Finish();
        EXPECT_EQ(database.Rows(empty), std::vector<std::string>{""});
    }
}

TEST(SqliteRowWriter, AFullDatabaseStopsTheStreamAndFinishReportsWhy) {
    Database database;
    SqliteStatement insert(database.Get(), "INSERT INTO t(name, part, bytes) VALUES(?1, ?2, ?3)");
    database.Get().Execute("PRAGMA max_page_count = 20");
    SqliteRowWriter writer(database.Get(), insert, "t", "bytes", 4096);
    const std::string name = "large";
    writer.Start(name);
    std::ostream os(&writer);
    const std::string block(4096, 'x');
    for (int k = 0; k < 100 && os; ++k) os.write(block.data(), static_cast<std::streamsize>(block.size()));
    EXPECT_TRUE(os.bad());
    try {
        writer.Finish();
        FAIL() << "a full database was not reported";
    } catch (const SqliteError& error) {
        EXPECT_EQ(error.GetPrimaryCode(), SQLITE_FULL);
    }
}

}  // namespace
