#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dataset/AuxiliaryData.h"
#include "interfaces/streams/Section.h"
#include "tests/TestStreams.h"

namespace {

using nctest::ReadObject;
using nctest::WriteObject;
using IDs = std::vector<unsigned long>;

AuxiliaryData::Record Aux(unsigned long varID, std::vector<float> values = {}, int sourceModel = -1, short flag = -1,
                          short setting = -1) {
    AuxiliaryData::Record record;
    record.varID = varID;
    record.sourceModel = sourceModel;
    record.flag = flag;
    record.setting = setting;
    for (const float value : values) record.values.push_back(value);
    return record;
}

IDs VarIDs(const AuxiliaryData& data, int model) {
    const auto ids = data.GetAuxiliaryVarIDs(model);
    return IDs(ids.begin(), ids.end());
}

std::vector<std::vector<float>> Rows(const NCDataMatrix<float>& matrix) {
    std::vector<std::vector<float>> rows(matrix.GetNumRows());
    for (int r = 1; r <= matrix.GetNumRows(); ++r)
        for (int c = 1; c <= matrix.GetNumColumns(); ++c) rows[r - 1].push_back(matrix(r, c));
    return rows;
}

TEST(AuxiliaryData, ModelZeroIsSharedByEveryModelButMinusOneAndInsertsRefreshTheCaches) {
    AuxiliaryData data(nullptr);
    EXPECT_FALSE(data.HasAuxiliaryData(0));
    data.Insert(0, Aux(1));
    data.Insert(0, Aux(2));
    EXPECT_TRUE(data.HasAuxiliaryData(5));
    EXPECT_FALSE(data.HasAuxiliaryData(-1));
    EXPECT_EQ(data.SizeModel(5), data.SizeModel(0));
    EXPECT_EQ(VarIDs(data, 5), VarIDs(data, 0));

    data.Insert(5, Aux(50));  // model 5's size and IDs are cached by now
    data.Insert(3, Aux(30));
    data.Insert(5, Aux(51));
    EXPECT_EQ(data.SizeModel(5), 4);
    EXPECT_EQ(data.SizeModel(0), 2);
    EXPECT_EQ(VarIDs(data, 5), (IDs{1, 2, 50, 51}));
    EXPECT_EQ(VarIDs(data, 0), (IDs{1, 2}));
    data.Insert(0, Aux(3));
    EXPECT_EQ(VarIDs(data, 5), (IDs{1, 2, 3, 50, 51}));

    data.Clear();
    for (const int model : {-1, 0, 3, 5}) {
        EXPECT_FALSE(data.HasAuxiliaryData(model));
        EXPECT_EQ(data.SizeModel(model), 0);
        EXPECT_EQ(VarIDs(data, model), IDs());
    }
}

TEST(AuxiliaryData, FindSearchesOnlyTheModelsOwnRecords) {
    AuxiliaryData data(nullptr);
    data.Insert(0, Aux(7, {}, 1, 1, 4));
    data.Insert(5, Aux(8, {}, 2, 0, 9));
    data.Insert(5, Aux(8, {}, 3, 1, 6));
    const auto find = [&](int model, unsigned long varID) {
        bool flag = true;
        short setting = 99;
        int source = 99;
        const bool found = data.FindAuxiliaryData(model, varID, flag, setting, source);
        return std::vector<int>{found, flag, setting, source};
    };
    EXPECT_EQ(find(5, 7), (std::vector<int>{false, true, 99, 99}));  // model 0's record, outputs untouched
    EXPECT_EQ(find(5, 8), (std::vector<int>{true, false, 9, 2}));    // the first of two
    EXPECT_EQ(find(0, 7), (std::vector<int>{true, true, 4, 1}));

    data.Insert(3, Aux(9, {}, 2));
    const auto fromModel2 = data.GetVarIDsFromModel(2);
    EXPECT_EQ(IDs(fromModel2.begin(), fromModel2.end()), (IDs{9, 8}));
    EXPECT_TRUE(data.GetVarIDsFromModel(4).empty());
}

TEST(AuxiliaryData, MatrixRowsFollowTheIDsAndTakeTheirWidthFromTheFirst) {
    AuxiliaryData data(nullptr);
    EXPECT_EQ(data.GetAuxiliaryData(1).GetNumRows() + data.GetAuxiliaryData(1).GetNumColumns(), 0);
    data.Insert(1, Aux(10, {1, 2, 3, 4}));
    data.Insert(0, Aux(1, {5, 6, 7}));
    data.Insert(1, Aux(11, {8}));
    using Matrix = std::vector<std::vector<float>>;
    EXPECT_EQ(Rows(data.GetAuxiliaryData(1)), (Matrix{{5, 6, 7}, {1, 2, 3}, {8, -99, -99}}));
    EXPECT_EQ(Rows(data.GetAuxiliaryData(0)), (Matrix{{5, 6, 7}}));

    // Reduce gives new values to this object only; the cached IDs and sizes stay right.
    EXPECT_EQ(data.SizeModel(1), 3);
    const AuxiliaryData copy = data;
    NCIntegralVector<int, -99> keep;
    for (const int position : {3, 1, 3}) keep.push_back(position);
    data.Reduce(keep);
    EXPECT_EQ(Rows(data.GetAuxiliaryData(1)), (Matrix{{7, 5, 7}, {3, 1, 3}, {-99, 8, -99}}));
    EXPECT_EQ(Rows(copy.GetAuxiliaryData(1)), (Matrix{{5, 6, 7}, {1, 2, 3}, {8, -99, -99}}));
    EXPECT_EQ(data.SizeModel(1), 3);
    EXPECT_EQ(VarIDs(data, 1), (IDs{1, 10, 11}));
}

// An "AuxiliaryData" section of `version` with the given records; `omit` names a sub-stream left
// out of every record (-1: none); no sub-stream 0 at all when `count` is negative.
std::string AuxSection(int version, int count, int omit = -1) {
    const Section section("AuxiliaryData", version, 1);
    SectionFlag flag;
    std::ostringstream os;
    section.Write(
        os, flag, [] { return true; },
        [&](SectionOutput& out) {
            if (count < 0) return;
            std::ostream& records = out.Stream(0);
            WriteToStream(count, records);
            for (int i = 0; i < count; ++i) {
                WriteToStream(4, records);
                OutputStreamDirectory record(records, 6);
                const AuxiliaryData::Record made = Aux(100 + i, {1.5f}, 2, 1, 3);
                if (omit != 0) WriteToStream(made.varID, record.GetOutput(0));
                if (omit != 1) WriteToStream(made.flag, record.GetOutput(1));
                if (omit != 2) WriteToStream(made.setting, record.GetOutput(2));
                if (omit != 3) WriteToStream(made.sourceModel, record.GetOutput(3));
                if (omit != 4) WriteToStream(made.count, record.GetOutput(4));
                if (omit != 5) WriteToStream(made.values, record.GetOutput(5));
                record.Close();
            }
        });
    return os.str();
}

TEST(AuxiliaryDataStream, ReadReplacesRecordsAndCachesAndFailsOnWhatItCannotRead) {
    const auto readInto = [](const std::string& bytes, IDs& left) {
        AuxiliaryData data(nullptr);
        data.Insert(4, Aux(99));
        EXPECT_EQ(VarIDs(data, 4), (IDs{99}));  // cached, to be emptied by the read
        const bool ok = ReadObject(bytes, data);
        left = VarIDs(data, 4);
        return ok;
    };
    IDs left;
    ASSERT_TRUE(readInto(AuxSection(2, 2), left));
    EXPECT_EQ(left, (IDs{100, 101}));
    for (const int version : {1, 3}) {
        EXPECT_FALSE(readInto(AuxSection(version, 2), left)) << version;
        EXPECT_EQ(left, (IDs{99})) << version;  // refused before the records are touched
    }
    EXPECT_FALSE(readInto(AuxSection(2, -1), left));  // no sub-stream 0
    EXPECT_EQ(left, IDs());
    for (int omit = 0; omit < 6; ++omit) {
        EXPECT_FALSE(readInto(AuxSection(2, 2, omit), left)) << omit;
        EXPECT_EQ(left, IDs()) << omit;
    }
    // A count beyond the records written: those read before the short one stay.
    std::string longCount = AuxSection(2, 1);
    const std::size_t countAt = longCount.find(std::string("\x01\0\0\0\x04\0\0\0", 8));
    ASSERT_NE(countAt, std::string::npos);
    longCount[countAt] = 2;
    EXPECT_FALSE(readInto(longCount, left));
    EXPECT_EQ(left, (IDs{100}));
    longCount[countAt] = '\xff';
    longCount[countAt + 3] = '\xff';  // -1
    EXPECT_FALSE(readInto(longCount, left));
    EXPECT_EQ(left, IDs());
}

}  // namespace
