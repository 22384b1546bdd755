#pragma once
// Golden objects: one made object of every persistent class of the library, in a "full" form
// (every optional part present, values other than the defaults) and a "minimal" form (a
// default-constructed or smallest valid object). The bytes each one writes today are committed as
// tests/data/<name>.bin; GoldenFilesTest reads every file, checks the object member by member,
// and expects the object and its copy read back to write exactly those bytes again. So a change
// of the stream format, deliberate or not, shows up as a failing golden test.
//
// Regenerating the files (from the repository root, after a debug build):
//
//     NC_WRITE_GOLDEN=$PWD/tests/data ./build/debug/ncdataset_tests
//     --gtest_filter=GoldenFiles.Regenerate
//
// A golden file is regenerated only when the version of a section it holds changes, and then
// together with a reader test for the older bytes. Never regenerate a file to make a failing
// golden test pass: the failure means that streams written by earlier builds read differently.
//
// Adding a persistent class is one line in the table of GoldenObjects.cpp (with a make function
// for the full form) and a CompareObjects overload for the class's members; the minimal form is
// the default-constructed object. A class that needs a project or lives only in a shared pointer
// (stored batch lists, datasets) enters the table through a small adapter object that holds it,
// in a project kept for the process, and forwards its section. This file does not depend on
// GoogleTest, so a fuzzing harness can use the make functions to write its seed corpus
// (WriteGoldenFiles).
//
// Process-wide state written into the bytes: collections and labels write the process-wide label
// change counter, and a new collection takes texts from the language table. The make functions
// of those entries therefore restore the built-in language table first and set the counter to
// kLabelChangeCount last, so that their bytes do not depend on what the process did before.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "interfaces/streams/ZStreamBase.h"

class NCProjectBase;

namespace golden {

// The label change counter that the entries holding a label leave behind (and write).
constexpr unsigned kLabelChangeCount = 4242;

struct GoldenEntry {
    // "<Class>.<form>", also the file name without ".bin".
    std::string name;
    // The object whose bytes are pinned; each call makes a new, equal object.
    std::function<std::unique_ptr<ZStreamBase>()> make;
    // A new object of the same class to read into.
    std::function<std::unique_ptr<ZStreamBase>()> makeEmpty;
    // Compares a read object with a made one through the class's accessors: the first difference
    // found, as text naming the member; empty when they agree. Both must be of the entry's class.
    std::function<std::string(const ZStreamBase& expected, const ZStreamBase& actual)> difference;
};

// The project kept for the process whose datasets 1, 2 and 3 the compound dataset entries
// combine; a compound read from a stream finds its datasets there.
boost::shared_ptr<NCProjectBase> CompoundProject();

// Every entry, in a fixed order; names are unique.
const std::vector<GoldenEntry>& GoldenEntries();
// The entry of that name, or null.
const GoldenEntry* FindGoldenEntry(const std::string& name);
// "<name>.bin".
std::string GoldenFileName(const GoldenEntry& entry);

// The bytes of one whole object (operator<<); `ok` (when given) tells whether the write succeeded.
std::string WriteToBytes(const ZStreamBase& object, bool* ok = nullptr);

// Writes every entry's made object to `directory`/<name>.bin. Returns an empty text on success,
// otherwise the first failure (entry and reason); the files written before it stay.
std::string WriteGoldenFiles(const std::string& directory);

}  // namespace golden
