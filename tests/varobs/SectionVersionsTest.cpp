#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "tests/TestStreams.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/SelectedLabel.h"

namespace {

using nctest::ReadObject;
using nctest::WriteObject;

// The stream with the version of the section whose tag starts at `at` replaced.
std::string WithVersion(std::string bytes, std::size_t at, std::int32_t version) {
    std::uint32_t tagLength = 0;
    for (int i = 3; i >= 0; --i) tagLength = tagLength << 8 | static_cast<unsigned char>(bytes[at + i]);
    const auto stored = static_cast<std::uint32_t>(version);
    const char little[4] = {static_cast<char>(stored), static_cast<char>(stored >> 8), static_cast<char>(stored >> 16),
                            static_cast<char>(stored >> 24)};
    bytes.replace(at + 4 + tagLength, 4, little, 4);
    return bytes;
}

// Reads `bytes` into fresh objects: as written, and with the version of the section at `at` set to
// -1 and to current + 1. A negative version is never read as another one.
void ExpectOnlyKnownVersions(const char* what, const std::string& bytes, std::size_t at, int current,
                             const std::function<std::unique_ptr<ZStreamBase>()>& make) {
    EXPECT_TRUE(ReadObject(bytes, *make())) << what;
    EXPECT_FALSE(ReadObject(WithVersion(bytes, at, -1), *make())) << what << " version -1";
    EXPECT_FALSE(ReadObject(WithVersion(bytes, at, current + 1), *make())) << what << " version " << current + 1;
}

template <typename T>
void ExpectOnlyKnownVersions(const char* what, const ZStreamBase& source, int current) {
    ExpectOnlyKnownVersions(what, WriteObject(source), 0, current, [] { return std::make_unique<T>(); });
}

}  // namespace

TEST(SectionVersions, EverySectionRefusesNegativeAndNewerVersions) {
    ExpectOnlyKnownVersions<VarObsInfo>("VOI", VarObsInfo("v", 2), 3);
    ExpectOnlyKnownVersions<QuantitativeVariableInfo>("VIO",
                                                      QuantitativeVariableInfo("q", 3, "", -1, -1, eVarTypeDefault), 4);
    NCStringVector settings;
    settings.push_back("low");
    ExpectOnlyKnownVersions<QualitativeVariableInfo>("QVI", QualitativeVariableInfo("c", 4, &settings, ""), 2);
    ExpectOnlyKnownVersions<ObservationInfo>("OI", ObservationInfo("o", 5), 1);
    ExpectOnlyKnownVersions<DateTimeVariableInfo>("DTVI", DateTimeVariableInfo(), 1);
    ExpectOnlyKnownVersions<SelectedLabel>("SELECTED_LABLE", SelectedLabel(), 2);
    ExpectOnlyKnownVersions<NCIntegralVector<int, -99>>("NCIV", NCIntegralVector<int, -99>(2, 7), 1);
    ExpectOnlyKnownVersions<NCDataVector<float>>("NCDV", NCDataVector<float>(3), 1);
    ExpectOnlyKnownVersions<NCDataMatrix<float>>("NCDM", NCDataMatrix<float>(2, 2, 1.0f), 1);
    ExpectOnlyKnownVersions<NCStringVector>("NCSV", settings, 1);

    // The collections used to read a negative version as their current one.
    ExpectOnlyKnownVersions<NCVariables>("NCV", NCVariables(), 2);
    NCObservations observations;
    observations.Add(new ObservationInfo("o", 6), nullptr);
    ExpectOnlyKnownVersions<NCObservations>("NCO", observations, 1);
    // "VO" follows the "NCO" tag (a 4-byte length and 3 bytes) and its version.
    ExpectOnlyKnownVersions("VO", WriteObject(observations), 4 + 3 + 4, 2,
                            [] { return std::make_unique<NCObservations>(); });
}
