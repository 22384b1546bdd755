#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/TestStreams.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kMissingValue;
using nc::kUnencodableValue;

using namespace ZoTimeUtl;

namespace {

const char* const kMinuteFormat = "yyyy-MM-dd HH:mm";
const SimpDateTime kOffset2000(2000, 1, 1, 0, 0, 0, 0, true);

DateTimeVariableInfo Hours() {
    return DateTimeVariableInfo("Time", 7, eParseExact, kMinuteFormat, kMinuteFormat, kOffset2000, eAccuracyHour);
}

DateTimeVariableInfo WithAccuracy(eTimeAccuracy accuracy, const char* datasetFormat = "") {
    return DateTimeVariableInfo("T", 1, eParseExact, "", datasetFormat, kOffset2000, accuracy);
}

// A "DTVI" section as an older writer made it: only the given sub-streams, each a 4-byte value,
// or 2 bytes for the parse method (0) and the accuracy (11).
std::string HandWrittenSection(const std::vector<std::pair<int, std::int32_t>>& subStreams) {
    std::ostringstream os;
    DateTimeVariableInfo::StreamData().Write(os);
    os << QuantitativeVariableInfo("Old", 5, "", -1, -1, eVarTypeDefault);
    OutputStreamDirectory directory(os, 12);
    for (const auto& [k, value] : subStreams) {
        if (k == 0 || k == 11)
            WriteToStream(static_cast<short>(value), directory.GetOutput(k));
        else
            WriteToStream(value, directory.GetOutput(k));
    }
    directory.Close();
    return os.str();
}

}  // namespace

TEST(DateTimeVariableInfo, EveryAccuracyRoundTripsTextThroughItsValue) {
    struct Case {
        eTimeAccuracy accuracy;
        const char* format;
        double secondsPerUnit;
    };
    const Case cases[] = {
        {eAccuracyYear, "yyyy-MM-dd", 31104000.0},      {eAccuracyMonth, "yyyy-MM-dd HH", 2592000.0},
        {eAccuracyDay, "yyyy-MM-dd HH", 86400.0},       {eAccuracyHour, "yyyy-MM-dd HH:mm", 3600.0},
        {eAccuracyMinute, "yyyy-MM-dd HH:mm:ss", 60.0}, {eAccuracySecond, "yyyy-MM-dd HH:mm:ss.fff", 1.0}};
    for (const Case& c : cases) {
        DateTimeVariableInfo var("T", 1, eParseExact, c.format, c.format, kOffset2000, c.accuracy);
        for (float units : {2.25f, -3.5f, 17.0f}) {
            const std::string text = (kOffset2000 + SimpDuration(units * c.secondsPerUnit)).ToLocalString(c.format);
            EXPECT_EQ(var.Encode(text.c_str()), units) << text;
            EXPECT_EQ(var.Decode(units), text);
        }
    }
    // The other two parsers; without an accuracy the unit is the second.
    EXPECT_EQ(
        DateTimeVariableInfo("T", 1, eParseUsingLocale, "", "", kOffset2000, eNoAccuracy).Encode("2000-01-01T00:01:30"),
        90.0f);
    EXPECT_EQ(DateTimeVariableInfo("T", 1, eParseUsingAscTime, "", "", kOffset2000, eAccuracyDay)
                  .Encode("Mon Jan  3 00:00:00 2000"),
              2.0f);

    const DateTimeVariableInfo var = Hours();
    EXPECT_EQ(var.Encode("2000-01-01 00:00"), 0.0f);  // zero is a value, not a rejection
    EXPECT_EQ(var.Decode(kMissingValue), "");
    EXPECT_EQ(var.EncodeCustom("dd.MM.yyyy HH", "02.01.2000 06"), 30.0f);
    EXPECT_EQ(var.EncodeCustom("dd.MM.yyyy HH", "2000-01-02 06:00"), kUnencodableValue);
    EXPECT_EQ(var.EncodeCustom(kMinuteFormat, ""), kUnencodableValue);  // parsed before the empty test
}

TEST(DateTimeVariableInfo, RejectedTextEncodesAsTheUnencodableValueAndEmptyTextAsMissing) {
    for (eParseType method : {eParseUsingLocale, eParseUsingAscTime, eParseExact, eNoParse}) {
        DateTimeVariableInfo var("T", 1, method, kMinuteFormat, "", kOffset2000, eAccuracyHour);
        EXPECT_EQ(var.Encode(""), kMissingValue);
        EXPECT_EQ(var.Encode(nullptr), kMissingValue);
        for (const char* text : {"not a date", "2000-13-45 25:61", "\xff\xfe", " ", "Mon Foo 99"})
            EXPECT_EQ(var.Encode(text), kUnencodableValue) << method << " " << text;
    }
    EXPECT_EQ(DateTimeVariableInfo().Encode("2000-01-02 06:00"), kUnencodableValue);
}

TEST(DateTimeVariableInfo, ToSecondsSpanAndRangeCheck) {
    EXPECT_EQ(WithAccuracy(eAccuracyYear).ToSeconds(2.0f), 2.0L * 31104000.0L);
    EXPECT_EQ(WithAccuracy(eAccuracyMinute).ToSeconds(1.5f), 90.0L);
    EXPECT_EQ(WithAccuracy(eAccuracyHour).ToSeconds(kMissingValue), -99.0L);
    EXPECT_EQ(WithAccuracy(eNoAccuracy).ToSeconds(5.0f), -99.0L);

    const auto span = [](const DateTimeVariableInfo& var) {
        eTimeAccuracy unit = eAccuracySecond;
        float length = 1234.0f;
        var.GetMaximumSaveTimeUnitAndTime(unit, length);
        return std::make_pair(static_cast<int>(unit), length);
    };
    EXPECT_EQ(span(WithAccuracy(eAccuracyDay)), std::make_pair(6, -99.0f));
    EXPECT_EQ(span(WithAccuracy(eAccuracyHour)), std::make_pair(0, 114.0f));
    EXPECT_EQ(span(WithAccuracy(eAccuracyMinute)), std::make_pair(1, 23.0f));
    EXPECT_EQ(span(WithAccuracy(eAccuracySecond, "HH:mm:ss.ff")), std::make_pair(2, 11.0f));
    EXPECT_EQ(span(WithAccuracy(eNoAccuracy)), std::make_pair(5, 1234.0f));

    const DateTimeVariableInfo millis = WithAccuracy(eAccuracySecond, "HH:mm:ss.fff");
    EXPECT_TRUE(millis.IsValidTimeRange(960.0f));
    EXPECT_TRUE(millis.IsValidTimeRange(-960.0f));
    EXPECT_FALSE(millis.IsValidTimeRange(961.0f));
    EXPECT_TRUE(WithAccuracy(eAccuracySecond).IsValidTimeRange(11.0f * 86400.0f));
    EXPECT_FALSE(WithAccuracy(eAccuracySecond).IsValidTimeRange(11.0f * 86400.0f + 1.0f));
    EXPECT_TRUE(WithAccuracy(eAccuracyMonth).IsValidTimeRange(1e30f));
    EXPECT_FALSE(WithAccuracy(eAccuracyHour).IsValidTimeRange(114.0f * 8640.0f + 1.0f));
    EXPECT_FALSE(WithAccuracy(eNoAccuracy).IsValidTimeRange(0.0f));
}

TEST(DateTimeVariableInfo, SettingsEqualityCopyAndClone) {
    DateTimeVariableInfo a = Hours();
    DateTimeVariableInfo b(std::vector<CString>{"Other"}, 9, eParseExact, "yyyy-MM-dd hh:mm", kMinuteFormat,
                           kOffset2000, eAccuracyHour);
    EXPECT_TRUE(a != b);  // formats compare case-sensitively
    b.CopySettings(a);
    EXPECT_TRUE(a == b);                                                                   // IDs do not count here …
    EXPECT_FALSE(static_cast<const VarObsInfo&>(a) == static_cast<const VarObsInfo&>(b));  // … but do for records
    EXPECT_STREQ(b.GetPrimaryAlias(), "Other");
    EXPECT_EQ(b.GetMaturity(), kMissingValue);
    b.SetDatasetFormatString("yyyy");
    EXPECT_TRUE(a != b);

    a.SetUnit("h");
    std::unique_ptr<DateTimeVariableInfo> clone(a.Clone());
    EXPECT_TRUE(*clone == a);
    EXPECT_EQ(clone->GetUnit(), CString("h"));
    EXPECT_EQ(clone->AsDateTimeVariableInfo(), clone.get());
}

// Plain round trips (an invalid offset is written as the start of the count), the factory's
// framing, damaged copies and other versions are covered by the golden files.
TEST(DateTimeVariableInfo, OlderSectionsBuildTheOffsetAndAbsentFieldsStay) {
    DateTimeVariableInfo read = Hours();
    ASSERT_TRUE(nctest::ReadObject(
        HandWrittenSection({{3, 1999}, {4, 12}, {5, 31}, {6, 23}, {7, 58}, {8, 30}, {9, 250000}}), read));
    EXPECT_EQ(read.GetDateTimeOffset(), SimpDateTime(1999, 12, 31, 23, 58, 30, 250000, true));
    EXPECT_EQ(read.GetParseMethod(), eParseExact);  // absent sub-streams keep the fields
    EXPECT_EQ(read.GetDatasetFormat(), CString(kMinuteFormat));
    EXPECT_EQ(read.GetTimeAccuracy(), eAccuracyHour);
    EXPECT_STREQ(read.GetPrimaryAlias(), "Old");

    ASSERT_TRUE(nctest::ReadObject(HandWrittenSection({{0, 1}, {11, 4}}), read));
    EXPECT_EQ(read.GetDateTimeOffset(), SimpDateTime(1400, 1, 1, 0, 0, 0, 0, true));
    EXPECT_EQ(read.GetParseMethod(), eParseUsingAscTime);
    EXPECT_EQ(read.GetTimeAccuracy(), eAccuracyMinute);

    // Parts below their range are adjusted, sub-stream 10 is ignored; stored enums without a
    // meaning read as "none".
    ASSERT_TRUE(nctest::ReadObject(
        HandWrittenSection({{0, 9}, {11, -2}, {3, 0}, {4, -3}, {5, 0}, {6, -1}, {7, -1}, {8, -1}, {9, -5}, {10, 77}}),
        read));
    EXPECT_EQ(read.GetDateTimeOffset(), SimpDateTime(1400, 1, 1, 0, 0, 0, 0, true));
    EXPECT_EQ(read.GetParseMethod(), eNoParse);
    EXPECT_EQ(read.GetTimeAccuracy(), eNoAccuracy);
}
