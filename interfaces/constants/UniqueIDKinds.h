#pragma once
// Kinds of unique number that the library asks of its project (UniqueIDFactory::GetNewUniqueID).

namespace nc {
namespace UniqueIDKind {

// The unique ID of a new variable or observation record.
constexpr int kRecord = 1;

}  // namespace UniqueIDKind
}  // namespace nc
