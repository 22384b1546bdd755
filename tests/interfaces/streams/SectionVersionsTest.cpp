// Every section reads only its own tag and the versions it knows, checked on the golden objects:
// a negative version, the one after the current, the one before the oldest accepted and the
// extremes fail.
// A section that checks its version before its bases leaves the object as it was. Sections are
// found by their length-prefixed tag, so a refused nested section fails its owner too.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "interfaces/utility/BinaryIO.h"
#include "tests/TestStreams.h"
#include "tests/golden/GoldenObjects.h"

namespace {

struct Gate {
    const char* entry;  // the golden entry whose bytes hold the section
    const char* tag;
    int oldest;  // the oldest version read
    int current;
    bool beforeBases;
};

const Gate kGates[] = {
    {"VarObsInfo.full", "VOI", 0, 3, false},
    {"QuantitativeVariableInfo.full", "VIO", 4, 4, false},
    {"QualitativeVariableInfo.full", "QVI", 2, 2, false},
    {"DateTimeVariableInfo.full", "DTVI", 1, 1, false},
    {"ObservationInfo.full", "OI", 0, 1, true},
    {"SelectedLabel.full", "SELECTED_LABLE", 2, 2, false},
    {"NCVariables.full", "NCV", 0, 2, true},
    {"NCObservations.full", "NCO", 0, 1, true},
    {"NCObservations.full", "VO", 2, 2, false},
    {"NCIntegralVectorInt.full", "NCIV", 1, 1, false},
    {"NCDataVector.full", "NCDV", 1, 1, false},
    {"NCDataMatrix.full", "NCDM", 1, 1, false},
    {"NCStringVector.full", "NCSV", 1, 1, false},
    {"ClassInfo.full", "DPINFO", 4, 4, false},
    {"BatchInfo.full", "DBINFO", 2, 2, false},
    {"BatchInfoVector.full", "BI", 2, 2, false},
    {"BatchInfoVector.full", "DPINFO", 4, 4, false},
    {"BatchImportSettings.full", "WSINFO", 2, 2, false},
    {"ColumnConcatenateInfo.full", "CCI", 0, 2, false},
    {"DVInfo.full", "DVINFO", 1, 1, false},
    {"AuxiliaryData.full", "AuxiliaryData", 2, 2, false},
    {"BatchAligner.full", "Aligner", 2, 2, false},
    {"BatchLevelComponent.full", "BLC", 1, 1, false},
    {"CreateBatchLevelInfo.full", "CBLI", 1, 1, false},
    {"CreateBatchLevelInfo.full", "BLC", 1, 1, false},
    {"CompoundDataset.full", "NCCOMPDS", 1, 1, false},
};

// Where the first section tagged `tag` starts (its tag's 4-byte length).
std::size_t SectionAt(const std::string& bytes, const std::string& tag) {
    std::string prefixed(4, '\0');
    for (int i = 0; i < 4; ++i) prefixed[i] = static_cast<char>(tag.size() >> (8 * i));
    const std::size_t at = bytes.find(prefixed + tag);
    EXPECT_NE(at, std::string::npos) << tag;
    return at == std::string::npos ? 0 : at;
}

std::string WithVersion(std::string bytes, std::size_t at, std::size_t tagLength, std::int32_t version) {
    std::ostringstream os;
    WriteFourBytes(&version, 1, os);
    bytes.replace(at + 4 + tagLength, 4, os.str());
    return bytes;
}

TEST(SectionVersions, EverySectionRefusesOtherTagsAndUnknownVersions) {
    for (const Gate& gate : kGates) {
        const golden::GoldenEntry* entry = golden::FindGoldenEntry(gate.entry);
        ASSERT_NE(entry, nullptr) << gate.entry;
        SCOPED_TRACE(std::string(gate.entry) + " " + gate.tag);
        const std::string bytes = nctest::WriteObject(*entry->make());
        const std::size_t at = SectionAt(bytes, gate.tag), tagLength = std::string(gate.tag).size();
        EXPECT_TRUE(nctest::ReadObject(WithVersion(bytes, at, tagLength, gate.current), *entry->makeEmpty()));
        std::string otherTag = bytes;
        otherTag[at + 4] ^= 0x20;  // the tag in the other case
        EXPECT_FALSE(nctest::ReadObject(otherTag, *entry->makeEmpty())) << "another tag";
        std::vector<std::int32_t> refused{-1, gate.current + 1, INT_MAX, INT_MIN};
        if (gate.oldest > 0) refused.push_back(gate.oldest - 1);
        for (const std::int32_t version : refused) {
            const auto target = entry->makeEmpty();
            const std::string before = nctest::WriteObject(*target);
            EXPECT_FALSE(nctest::ReadObject(WithVersion(bytes, at, tagLength, version), *target))
                << "version " << version;
            if (gate.beforeBases) EXPECT_EQ(nctest::WriteObject(*target), before) << "version " << version;
        }
    }
}

}  // namespace
