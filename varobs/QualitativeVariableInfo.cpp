#include "varobs/QualitativeVariableInfo.h"

#include <cmath>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"

using nc::kMissingValue;
using nc::kUnencodableValue;

namespace {
constexpr int kCurrentVersion = 2;
constexpr int kSubStreams = 1;

// value + offset truncated toward zero, computed without any float-to-int conversion so that
// huge, infinite or NaN values are harmless.
double Truncated(float value, double offset) { return std::trunc(static_cast<double>(value) + offset); }
}  // namespace

const ZStreamableData& QualitativeVariableInfo::StreamData() {
    static const ZStreamableData data(kCurrentVersion, "QVI");
    return data;
}

QualitativeVariableInfo::QualitativeVariableInfo() : mSettings(std::make_unique<NCStringVector>()) {}

QualitativeVariableInfo::QualitativeVariableInfo(const CString& id, unsigned long uniqueID,
                                                 const NCStringVector* settings, const CString& recipe)
    : VariableInfo(id, uniqueID, recipe, -1, -1, eVarTypeDefault),
      mSettings(settings ? std::make_unique<NCStringVector>(*settings) : std::make_unique<NCStringVector>()) {
    RemoveBlankSettings();
}

QualitativeVariableInfo::QualitativeVariableInfo(const std::vector<CString>& ids, unsigned long uniqueID,
                                                 const NCStringVector* settings, EVariableType type,
                                                 const CString& recipe)
    : VariableInfo(ids, uniqueID, type, recipe, -1, -1, -99.0f),
      mSettings(settings ? std::make_unique<NCStringVector>(*settings) : std::make_unique<NCStringVector>()) {
    RemoveBlankSettings();
}

QualitativeVariableInfo::QualitativeVariableInfo(const QualitativeVariableInfo& other)
    : ZStreamBase(other),
      VariableInfo(other),
      mSectionDone(other.mSectionDone),
      mSettings(std::make_unique<NCStringVector>(*other.mSettings)) {}

QualitativeVariableInfo& QualitativeVariableInfo::operator=(const QualitativeVariableInfo& other) {
    if (this == &other) return *this;
    VariableInfo::operator=(other);
    mSectionDone = other.mSectionDone;
    mSettings = std::make_unique<NCStringVector>(*other.mSettings);
    return *this;
}

QualitativeVariableInfo::~QualitativeVariableInfo() = default;

QualitativeVariableInfo* QualitativeVariableInfo::Clone() const { return new QualitativeVariableInfo(*this); }

void QualitativeVariableInfo::RemoveBlankSettings() {
    for (int i = mSettings->Size(); i >= 1; --i) {
        if (IsBlank((*mSettings)[i])) mSettings->RemoveStrings(i, 1);
    }
}

int QualitativeVariableInfo::SizeSettings() const { return mSettings->Size(); }

const char* QualitativeVariableInfo::GetSettingName(int i) const { return (*mSettings)[i]; }

void QualitativeVariableInfo::AppendSetting(const char* text) {
    if (IsBlank(text)) return;
    mSettings->push_back(text);
}

float QualitativeVariableInfo::Encode(const char* text) const {
    if (IsBlank(text)) return kMissingValue;
    const int count = mSettings->Size();
    for (int i = 1; i <= count; ++i) {
        if (CompareNoCase(text, (*mSettings)[i]) == 0) return static_cast<float>(i);
    }
    return kUnencodableValue;
}

std::string QualitativeVariableInfo::Decode(float value) const {
    if (value == kMissingValue) return std::string();
    const double k = Truncated(value, 0.00001);
    if (k >= 1.0 && k <= static_cast<double>(mSettings->Size())) return (*mSettings)[static_cast<int>(k)];
    return "???";
}

float QualitativeVariableInfo::Expand(float value, int setting) {
    if (value == kMissingValue) return kMissingValue;
    return Truncated(value, 0.0001) == static_cast<double>(setting) ? 1.0f : 0.0f;
}

float QualitativeVariableInfo::Collapse(const std::vector<float>& values) {
    int position = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double entry = Truncated(values[i], 0.0001);
        if (entry == 1.0) {
            if (position != 0) return kMissingValue;
            position = static_cast<int>(i) + 1;
        } else if (entry != 0.0) {
            return kMissingValue;
        }
    }
    return static_cast<float>(position);
}

bool QualitativeVariableInfo::ZStreamableStartWrite(std::ostream& os) {
    if (mSectionDone) return true;
    mSectionDone = true;
    if (!StreamData().Write(os) || !VariableInfo::ZStreamableStartWrite(os)) return false;
    OutputStreamDirectory directory(os, kSubStreams);
    directory.GetOutput(0) << *mSettings;
    directory.Close();
    return os.good();
}

bool QualitativeVariableInfo::ZStreamableStartRead(std::istream& is) {
    if (mSectionDone) return true;
    mSectionDone = true;
    int version = 0;
    if (!StreamData().Check(is, &version) || !VariableInfo::ZStreamableStartRead(is)) return false;
    if (version != kCurrentVersion) return false;

    InputStreamDirectory directory(is);
    std::istream* settings = directory.GetInput(0);
    if (!settings) return false;
    auto fresh = std::make_unique<NCStringVector>();
    *settings >> *fresh;
    if (settings->fail()) return false;
    mSettings = std::move(fresh);
    directory.Close();
    return is.good();
}

void QualitativeVariableInfo::ZStreamableReset() {
    mSectionDone = false;
    VariableInfo::ZStreamableReset();
}
