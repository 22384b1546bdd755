#include "varobs/QualitativeVariableInfo.h"

#include <cmath>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"

using nc::kMissingValue;
using nc::kUnencodableValue;

namespace {
// "QVI" version 2, one sub-stream; only version 2 is read.
const Section& StreamSection() {
    static const Section section("QVI", 2, 1);
    return section;
}

// value + offset truncated toward zero, computed without any float-to-int conversion so that
// huge, infinite or NaN values are harmless.
double Truncated(float value, double offset) { return std::trunc(static_cast<double>(value) + offset); }
}  // namespace

const ZStreamableData& QualitativeVariableInfo::StreamData() { return StreamSection().Data(); }

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
      mSection(other.mSection),
      mSettings(std::make_unique<NCStringVector>(*other.mSettings)) {}

QualitativeVariableInfo& QualitativeVariableInfo::operator=(const QualitativeVariableInfo& other) {
    if (this == &other) return *this;
    VariableInfo::operator=(other);
    mSection = other.mSection;
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
    const auto bases = [&] { return VariableInfo::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) { out.Write(0, *mSettings); });
}

bool QualitativeVariableInfo::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] { return VariableInfo::ZStreamableStartRead(is); };
    return StreamSection().Read(is, mSection, bases, [&](SectionInput& in) {
        auto fresh = std::make_unique<NCStringVector>();  // the settings change only when read whole
        in.Required(0, *fresh);
        mSettings = std::move(fresh);
    });
}

void QualitativeVariableInfo::ZStreamableReset() {
    mSection.Reset();
    VariableInfo::ZStreamableReset();
}
