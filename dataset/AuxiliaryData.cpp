#include "dataset/AuxiliaryData.h"

#include <algorithm>
#include <cstdint>

#include <boost/make_shared.hpp>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/BinaryIO.h"

namespace {

constexpr int kRecords = 0;

// The sub-streams of one record's directory.
enum RecordField : int { kVarID = 0, kFlag = 1, kSetting = 2, kSourceModel = 3, kCount = 4, kValues = 5, kFields = 6 };

// The fewest bytes a record takes in sub-stream 0: its model number and the end of an empty
// directory. Bounds the record count before any record is read.
constexpr std::uint64_t kMinimumRecordBytes = 8;

// "AuxiliaryData" version 2; only version 2 is read.
const Section& StreamSection() {
    static const Section section("AuxiliaryData", 2, 1);
    return section;
}

bool WriteRecord(const AuxiliaryData::Record& record, std::ostream& os) {
    OutputStreamDirectory directory(os, kFields);
    WriteToStream(record.varID, directory.GetOutput(kVarID));
    WriteToStream(record.flag, directory.GetOutput(kFlag));
    WriteToStream(record.setting, directory.GetOutput(kSetting));
    WriteToStream(record.sourceModel, directory.GetOutput(kSourceModel));
    WriteToStream(record.count, directory.GetOutput(kCount));
    WriteToStream(record.values, directory.GetOutput(kValues));
    directory.Close();
    return os.good();
}

// All six fields are required: an absent or short one raises ZoStreamError, which fails the read.
bool ReadRecord(AuxiliaryData::Record& record, std::istream& is) {
    InputStreamDirectory directory(is);
    SectionInput in(directory);
    in.Required(kVarID, record.varID);
    in.Required(kFlag, record.flag);
    in.Required(kSetting, record.setting);
    in.Required(kSourceModel, record.sourceModel);
    in.Required(kCount, record.count);
    in.Required(kValues, record.values);
    directory.Close();
    return is.good();
}

}  // namespace

const ZStreamableData& AuxiliaryData::StreamData() { return StreamSection().Data(); }

AuxiliaryData::AuxiliaryData(NCVariables* variables) : mVariables(variables) {}

AuxiliaryData::~AuxiliaryData() = default;

void AuxiliaryData::ClearCachedData() const {
    mIDCache.clear();
    mSizeCache.clear();
}

template <typename Visit>
void AuxiliaryData::VisitModel(int model, Visit&& visit) const {
    const auto range = mRecords.equal_range(model);
    for (auto it = range.first; it != range.second; ++it) visit(*it->second);
}

template <typename Visit>
void AuxiliaryData::VisitWithShared(int model, Visit&& visit) const {
    if (model != 0) VisitModel(0, visit);
    VisitModel(model, visit);
}

void AuxiliaryData::Insert(int model, const Record& record) {
    // A multimap inserts after the elements of an equal key, so the model's order is kept.
    mRecords.emplace(model, boost::make_shared<Record>(record));
    ClearCachedData();
}

bool AuxiliaryData::HasAuxiliaryData(int model) const {
    if (model == -1) return false;
    if (mRecords.count(model) > 0) return true;
    return model != 0 && mRecords.count(0) > 0;
}

int AuxiliaryData::SizeModel(int model) const {
    if (const auto cached = mSizeCache.find(model); cached != mSizeCache.end()) return cached->second;
    int size = 0;
    VisitWithShared(model, [&](const Record&) { ++size; });
    mSizeCache.emplace(model, size);
    return size;
}

NCIntegralVector<unsigned long, 0> AuxiliaryData::GetAuxiliaryVarIDs(int model) const {
    if (const auto cached = mIDCache.find(model); cached != mIDCache.end()) return cached->second;
    NCIntegralVector<unsigned long, 0> ids;
    VisitWithShared(model, [&](const Record& record) { ids.push_back(record.varID); });
    return mIDCache.emplace(model, ids).first->second;
}

NCDataMatrix<float> AuxiliaryData::GetAuxiliaryData(int model) const {
    std::vector<const Record*> rows;
    VisitWithShared(model, [&](const Record& record) { rows.push_back(&record); });
    if (rows.empty()) return NCDataMatrix<float>();
    const int columns = rows.front()->values.size();
    NCDataMatrix<float> data(static_cast<int>(rows.size()), columns, nc::kMissingValue);
    for (int row = 1; row <= static_cast<int>(rows.size()); ++row) {
        const NCDataVector<float>& values = rows[row - 1]->values;
        for (int column = 1; column <= std::min(columns, values.size()); ++column) data(row, column, values(column));
    }
    return data;
}

bool AuxiliaryData::FindAuxiliaryData(int model, unsigned long varID, bool& flag, short& setting,
                                      int& sourceModel) const {
    const auto range = mRecords.equal_range(model);
    for (auto it = range.first; it != range.second; ++it) {
        const Record& record = *it->second;
        if (record.varID != varID) continue;
        flag = record.flag != 0;
        setting = record.setting;
        sourceModel = record.sourceModel;
        return true;
    }
    return false;
}

NCIntegralVector<unsigned long, 0> AuxiliaryData::GetVarIDsFromModel(int sourceModel) const {
    NCIntegralVector<unsigned long, 0> ids;
    for (const auto& entry : mRecords)
        if (entry.second->sourceModel == sourceModel) ids.push_back(entry.second->varID);
    return ids;
}

void AuxiliaryData::Reduce(const NCIntegralVector<int, -99>& keep) {
    for (auto& entry : mRecords) {
        const NCDataVector<float>& values = entry.second->values;
        NCDataVector<float> reduced;
        reduced.Reserve(keep.size());
        for (const int position : keep)
            reduced.push_back(position >= 1 && position <= values.size() ? values(position) : nc::kMissingValue);
        // A new record, so that copies sharing the old one keep their values.
        auto record = boost::make_shared<Record>(*entry.second);
        record->values = std::move(reduced);
        entry.second = std::move(record);
    }
}

void AuxiliaryData::Clear() {
    mRecords.clear();
    ClearCachedData();
}

std::vector<std::pair<int, AuxiliaryData::Record>> AuxiliaryData::GetRecords() const {
    std::vector<std::pair<int, Record>> records;
    records.reserve(mRecords.size());
    for (const auto& entry : mRecords) records.emplace_back(entry.first, *entry.second);
    return records;
}

bool AuxiliaryData::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [&] { return ZStreamBase::ZStreamableStartWrite(os); },
        [&](SectionOutput& out) {
            std::ostream& records = out.Stream(kRecords);
            WriteToStream(static_cast<int>(mRecords.size()), records);
            for (const auto& entry : mRecords) {
                WriteToStream(entry.first, records);
                if (!WriteRecord(*entry.second, records)) return false;
            }
            return records.good();
        });
}

bool AuxiliaryData::ReadRecords(std::istream& is) {
    std::int32_t count = 0;
    if (!ReadFourBytes(&count, 1, is)) return false;
    if (count < 0 || !CanStillRead(is, static_cast<std::uint64_t>(count) * kMinimumRecordBytes)) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        int model = 0;
        if (!ReadValue(model, is)) return false;
        auto record = boost::make_shared<Record>();
        if (!ReadRecord(*record, is)) return false;
        mRecords.emplace(model, std::move(record));
    }
    return is.good();
}

bool AuxiliaryData::ZStreamableStartRead(std::istream& is) {
    return StreamSection().Read(
        is, mSection, [&] { return ZStreamBase::ZStreamableStartRead(is); },
        [&](SectionInput& in) {
            mRecords.clear();
            ClearCachedData();
            std::istream* records = in.FindStream(kRecords);
            return records && ReadRecords(*records);
        });
}

void AuxiliaryData::ZStreamableReset() {
    mSection.Reset();
    ZStreamBase::ZStreamableReset();
}
