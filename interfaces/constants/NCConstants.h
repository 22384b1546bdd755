#pragma once
// Reserved values that every part of the library and its callers share. They live in namespace nc
// so that a caller's own names cannot clash with them.

namespace nc {

// The float stored wherever a value is absent (bits 0xC2C60000).
constexpr float kMissingValue = -99.0f;
// The unique ID that no record receives: "none" wherever a unique ID is expected, and "all
// variables" where a function takes one variable. Every unique ID from here upward is reserved.
constexpr unsigned long kNoUniqueID = 3262240001UL;
// The unique ID of the variables collection's constant pseudo-variable.
constexpr unsigned long kConstantVariableUniqueID = 3262240002UL;
// The default-time-variable setting that means "this project has none".
constexpr unsigned long kNoDefaultDateTimeID = 3262240003UL;
// What a variable encodes for a text that it rejects: the largest finite float.
constexpr float kUnencodableValue = 3.4028235e38f;

}  // namespace nc
