// The committed golden files (tests/data/<name>.bin, see tests/golden/GoldenObjects.h) against
// today's code: each file reads into an object equal to the made one, both write the file's bytes
// again, and damaged copies of every file fail cleanly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "tests/LargestAllocation.h"
#include "tests/TestStreams.h"
#include "tests/golden/GoldenObjects.h"
#include "varobs/RecordFactory.h"
#include "varobs/VarObsInfo.h"

namespace {

using golden::GoldenEntry;

std::string GoldenPath(const GoldenEntry& entry) {
    return std::string(NC_TEST_DATA_DIR) + "/" + golden::GoldenFileName(entry);
}

// The file's bytes; false when it cannot be opened.
bool LoadFile(const std::string& path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// A write-only buffer that, like a pipe, cannot seek: stream directories then buffer each
// sub-stream.
class PipeSink : public std::streambuf {
public:
    const std::string& Bytes() const { return mBytes; }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) mBytes.push_back(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        mBytes.append(s, static_cast<std::size_t>(n));
        return n;
    }

private:
    std::string mBytes;
};

// Where two byte strings first differ, as text; empty when they are equal. Keeps failure messages
// short where the whole bytes would fill the screen.
std::string FirstByteDifference(const std::string& expected, const std::string& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    std::size_t at = 0;
    while (at < common && expected[at] == actual[at]) ++at;
    if (at == common && expected.size() == actual.size()) return "";
    std::ostringstream text;
    text << "expected " << expected.size() << " bytes, got " << actual.size() << "; first difference at byte " << at;
    if (at < common) {
        text << std::hex << " (expected 0x" << static_cast<int>(static_cast<unsigned char>(expected[at])) << ", got 0x"
             << static_cast<int>(static_cast<unsigned char>(actual[at])) << ")";
    }
    return text.str();
}

std::vector<std::string> EntryNames() {
    std::vector<std::string> names;
    for (const GoldenEntry& entry : golden::GoldenEntries()) names.push_back(entry.name);
    return names;
}

class GoldenFile : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenFile, ReadsIntoTheMadeObjectAndBothWriteTheSameBytes) {
    const GoldenEntry* entry = golden::FindGoldenEntry(GetParam());
    ASSERT_NE(entry, nullptr);
    const std::string path = GoldenPath(*entry);
    SCOPED_TRACE("golden file " + path);
    std::string bytes;
    ASSERT_TRUE(LoadFile(path, bytes)) << "cannot open " << path;
    ASSERT_FALSE(bytes.empty()) << path;

    const auto made = entry->make();
    const auto read = entry->makeEmpty();
    std::istringstream is(bytes);
    is >> *read;
    ASSERT_FALSE(is.fail()) << path << " does not read";
    EXPECT_EQ(is.tellg(), static_cast<std::streamoff>(bytes.size())) << path << " is not read to its end";
    EXPECT_EQ(entry->difference(*made, *read), "") << path;

    bool ok = false;
    EXPECT_EQ(golden::WriteToBytes(*read, &ok), bytes) << path << ": the object read writes other bytes";
    EXPECT_TRUE(ok) << path;
    EXPECT_EQ(golden::WriteToBytes(*made, &ok), bytes) << path << ": the made object writes other bytes";
    EXPECT_TRUE(ok) << path;

    // Streams that cannot seek take the other path through the stream directories; the bytes
    // and the object are the same.
    PipeSink sink;
    std::ostream piped(&sink);
    piped << *entry->make();
    EXPECT_TRUE(piped.good()) << path;
    EXPECT_EQ(FirstByteDifference(bytes, sink.Bytes()), "")
        << path << ": writing to an unseekable stream gives other bytes";
    nctest::PipeBuffer pipe(bytes);
    std::istream fromPipe(&pipe);
    const auto readFromPipe = entry->makeEmpty();
    fromPipe >> *readFromPipe;
    ASSERT_FALSE(fromPipe.fail()) << path << " does not read from an unseekable stream";
    EXPECT_EQ(entry->difference(*entry->make(), *readFromPipe), "") << path << " read from an unseekable stream";
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenFile, ::testing::ValuesIn(EntryNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '.') c = '_';
                             return name;
                         });

TEST(GoldenFiles, EveryFileBelongsToOneEntryOfUniqueName) {
    std::set<std::string> expected;
    for (const GoldenEntry& entry : golden::GoldenEntries())
        EXPECT_TRUE(expected.insert(golden::GoldenFileName(entry)).second) << "two entries named " << entry.name;
    std::set<std::string> found;
    for (const auto& item : std::filesystem::directory_iterator(NC_TEST_DATA_DIR))
        if (item.path().extension() == ".bin") found.insert(item.path().filename().string());
    EXPECT_EQ(found, expected) << "golden files in " << NC_TEST_DATA_DIR << " and table entries differ";
}

TEST(GoldenFiles, ComparisonsTellTheFullFormFromTheMinimalOne) {
    int pairs = 0;
    for (const GoldenEntry& full : golden::GoldenEntries()) {
        const std::size_t dot = full.name.rfind(".full");
        if (dot == std::string::npos) continue;
        const GoldenEntry* minimal = golden::FindGoldenEntry(full.name.substr(0, dot) + ".minimal");
        ASSERT_NE(minimal, nullptr) << full.name << " has no minimal form";
        ++pairs;
        EXPECT_NE(full.difference(*full.make(), *minimal->make()), "") << full.name;
        EXPECT_NE(full.difference(*minimal->make(), *full.make()), "") << full.name;
        EXPECT_EQ(full.difference(*full.make(), *full.make()), "") << full.name << ": two made objects differ";
        for (const GoldenEntry& other : golden::GoldenEntries()) {
            if (other.name.compare(0, dot + 1, full.name, 0, dot + 1) == 0) continue;
            EXPECT_NE(full.difference(*full.make(), *other.make()), "") << full.name << " accepts " << other.name;
            break;
        }
    }
    EXPECT_EQ(pairs * 2, static_cast<int>(golden::GoldenEntries().size()));
}

TEST(GoldenFiles, DamagedCopiesFailCleanly) {
    for (const GoldenEntry& entry : golden::GoldenEntries()) {
        const std::string path = GoldenPath(entry);
        SCOPED_TRACE("golden file " + path);
        std::string bytes;
        if (!LoadFile(path, bytes)) {
            ADD_FAILURE() << "cannot open " << path;
            continue;
        }
        std::string thrown;
        // A damaged copy that still reads must give an object that can be used: the comparison
        // of the object with itself calls every accessor the entry knows.
        const auto read = [&](std::istream& is) {
            try {
                const auto object = entry.makeEmpty();
                is >> *object;
                if (is.fail()) return false;
                entry.difference(*object, *object);
                return true;
            } catch (const std::exception& error) {
                if (thrown.empty()) thrown = error.what();
                return false;
            }
        };
        // Cut streams fail whether or not they can tell their size (a pipe cannot).
        std::vector<std::size_t> readingPrefixes;
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            std::istringstream seekable(bytes.substr(0, length));
            nctest::PipeBuffer cut(bytes.substr(0, length));
            std::istream piped(&cut);
            if (read(seekable) || read(piped)) readingPrefixes.push_back(length);
        }
        if (!readingPrefixes.empty()) {
            ADD_FAILURE() << path << ": " << readingPrefixes.size() << " proper prefixes of " << bytes.size()
                          << " bytes read as a whole object, the first one " << readingPrefixes.front()
                          << " bytes long";
        }
        // No count read from a damaged copy is trusted before it is checked against the bytes left.
        nctest::LargestAllocation largest;
        EXPECT_GT(nctest::ReadCorruptedCopies(bytes, read), 0) << path;
        if (nctest::LargestAllocation::Available()) EXPECT_LT(largest.Bytes(), 256u * 1024u) << path;
        EXPECT_EQ(thrown, "") << path << ": a damaged copy throws instead of failing";
    }
}

// Each class keeps a section flag, so that an object reached twice in one pass (through two
// bases, or from two owners) is written and read once; the reset after the pass clears it.
TEST(GoldenFiles, AnObjectReachedTwiceInOnePassIsWrittenAndReadOnce) {
    for (const GoldenEntry& entry : golden::GoldenEntries()) {
        SCOPED_TRACE(entry.name);
        const auto made = entry.make();
        const std::string once = golden::WriteToBytes(*made);
        std::ostringstream os;
        EXPECT_TRUE(made->ZStreamableStartWrite(os));
        EXPECT_TRUE(made->ZStreamableStartWrite(os));
        made->ZStreamableReset();
        EXPECT_EQ(os.str(), once);
        EXPECT_TRUE(made->ZStreamableStartWrite(os));
        made->ZStreamableReset();
        EXPECT_EQ(os.str(), once + once);

        std::istringstream is(once + once);
        const auto read = entry.makeEmpty();
        EXPECT_TRUE(read->ZStreamableStartRead(is));
        EXPECT_TRUE(read->ZStreamableStartRead(is));
        EXPECT_EQ(is.tellg(), static_cast<std::streamoff>(once.size()));
        read->ZStreamableReset();
        EXPECT_TRUE(read->ZStreamableStartRead(is));
        read->ZStreamableReset();
        EXPECT_EQ(is.tellg(), static_cast<std::streamoff>(2 * once.size()));
        EXPECT_EQ(entry.difference(*made, *read), "");
    }
}

// Collections hold their records framed by class name through the record factory: every
// registered record class comes back as itself with its members, and a framed record cut short
// reads as nothing.
TEST(GoldenFiles, RecordsKeepTheirClassThroughTheFactory) {
    const auto readFramed = [](std::istream& is) {
        try {
            return std::unique_ptr<VarObsInfo>(RecordFactory::ReadRecord(is));
        } catch (const std::exception&) {
            return std::unique_ptr<VarObsInfo>();
        }
    };
    int framedClasses = 0;
    for (const GoldenEntry& entry : golden::GoldenEntries()) {
        const auto made = entry.make();
        const auto* record = dynamic_cast<const VarObsInfo*>(made.get());
        if (!record) continue;
        SCOPED_TRACE(entry.name);
        if (RecordFactory::GetClassName(*record).empty()) continue;  // the base, never framed
        std::ostringstream os;
        ASSERT_TRUE(RecordFactory::WriteRecord(*record, os));
        ++framedClasses;
        const std::string bytes = os.str();
        EXPECT_EQ(bytes.substr(4, RecordFactory::GetClassName(*record).size()), RecordFactory::GetClassName(*record));
        std::istringstream is(bytes + bytes);
        const auto first = readFramed(is);
        const auto second = readFramed(is);
        ASSERT_TRUE(first && second);
        EXPECT_EQ(entry.difference(*made, *first), "");
        EXPECT_EQ(entry.difference(*made, *second), "");
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            std::istringstream cut(bytes.substr(0, length));
            EXPECT_EQ(readFramed(cut), nullptr) << "a framed record cut at " << length << " reads";
        }
    }
    EXPECT_GT(framedClasses, 0);
}

// Writes the golden files when NC_WRITE_GOLDEN names a directory (see GoldenObjects.h).
TEST(GoldenFiles, Regenerate) {
    const char* directory = std::getenv("NC_WRITE_GOLDEN");
    if (!directory || !*directory) GTEST_SKIP() << "set NC_WRITE_GOLDEN=<directory> to write the golden files";
    EXPECT_EQ(golden::WriteGoldenFiles(directory), "");
}

}  // namespace
