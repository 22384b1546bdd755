#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/SelectedLabel.h"

namespace {

std::string Write(const ZStreamBase& object) {
    std::ostringstream os;
    os << object;
    EXPECT_TRUE(os.good());
    return os.str();
}

bool Read(const std::string& bytes, ZStreamBase& object) {
    std::istringstream is(bytes);
    is >> object;
    return !is.fail();
}

// The stream with the version of the section whose tag starts at `at` replaced.
std::string WithVersion(std::string bytes, std::size_t at, std::int32_t version) {
    std::uint32_t tagLength = 0;
    for (int i = 3; i >= 0; --i) tagLength = tagLength << 8 | static_cast<unsigned char>(bytes[at + i]);
    const auto stored = static_cast<std::uint32_t>(version);
    const char little[4] = {static_cast<char>(stored), static_cast<char>(stored >> 8),
                            static_cast<char>(stored >> 16), static_cast<char>(stored >> 24)};
    bytes.replace(at + 4 + tagLength, 4, little, 4);
    return bytes;
}

// Reads `bytes` into fresh objects: as written, and with the version of the section at `at` set to
// -1 and to current + 1. A negative version is never read as another one.
void ExpectOnlyKnownVersionsRead(const char* what, const std::string& bytes, std::size_t at, int current,
                                 const std::function<std::unique_ptr<ZStreamBase>()>& make) {
    EXPECT_TRUE(Read(bytes, *make())) << what;
    EXPECT_FALSE(Read(WithVersion(bytes, at, -1), *make())) << what << " version -1";
    EXPECT_FALSE(Read(WithVersion(bytes, at, current + 1), *make())) << what << " version " << current + 1;
}

template <typename T>
std::function<std::unique_ptr<ZStreamBase>()> Fresh() {
    return [] { return std::make_unique<T>(); };
}

}  // namespace

TEST(SectionVersions, EverySectionRefusesNegativeAndNewerVersions) {
    ExpectOnlyKnownVersionsRead("VOI", Write(VarObsInfo("v", 2)), 0, 3, Fresh<VarObsInfo>());
    ExpectOnlyKnownVersionsRead("VIO", Write(QuantitativeVariableInfo("q", 3, "", -1, -1, eVarTypeDefault)), 0, 4,
                                Fresh<QuantitativeVariableInfo>());
    NCStringVector settings;
    settings.push_back("low");
    ExpectOnlyKnownVersionsRead("QVI", Write(QualitativeVariableInfo("c", 4, &settings, "")), 0, 2,
                                Fresh<QualitativeVariableInfo>());
    ExpectOnlyKnownVersionsRead("OI", Write(ObservationInfo("o", 5)), 0, 1, Fresh<ObservationInfo>());
    ExpectOnlyKnownVersionsRead("DTVI", Write(DateTimeVariableInfo()), 0, 1, Fresh<DateTimeVariableInfo>());
    ExpectOnlyKnownVersionsRead("SELECTED_LABLE", Write(SelectedLabel()), 0, 2, Fresh<SelectedLabel>());
    NCIntegralVector<int, -99> positions(2, 7);
    ExpectOnlyKnownVersionsRead("NCIV", Write(positions), 0, 1, Fresh<NCIntegralVector<int, -99>>());
    ExpectOnlyKnownVersionsRead("NCDV", Write(NCDataVector<float>(3)), 0, 1, Fresh<NCDataVector<float>>());
    ExpectOnlyKnownVersionsRead("NCDM", Write(NCDataMatrix<float>(2, 2, 1.0f)), 0, 1, Fresh<NCDataMatrix<float>>());
    ExpectOnlyKnownVersionsRead("NCSV", Write(settings), 0, 1, Fresh<NCStringVector>());

    // The collections used to read a negative version as their current one.
    NCVariables variables;
    ExpectOnlyKnownVersionsRead("NCV", Write(variables), 0, 2, Fresh<NCVariables>());
    NCObservations observations;
    observations.Add(new ObservationInfo("o", 6), nullptr);
    const std::string bytes = Write(observations);
    ExpectOnlyKnownVersionsRead("NCO", bytes, 0, 1, Fresh<NCObservations>());
    // "VO" follows the "NCO" tag (4-byte length, 3 bytes) and its version.
    ExpectOnlyKnownVersionsRead("VO", bytes, 4 + 3 + 4, 2, Fresh<NCObservations>());
}
