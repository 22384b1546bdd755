#pragma once
// RecordFactory: creates variable and observation records by class name, and frames a record
// with its class name in a stream, so that a collection can persist records of mixed classes.
// The creators live in the process-wide factory repository under the product type name
// "VarObsInfo*"; each class is registered under its own class name.

#include <istream>
#include <memory>
#include <ostream>
#include <string>

class VarObsInfo;

namespace RecordFactory {

// The product type name under which the record creators are registered.
constexpr const char* kProductTypeName = "VarObsInfo*";

// Registers every record class once per process; safe to call from any thread at any time.
// Every function below calls it first, so no static initialiser is relied on.
void RegisterRecordClasses();

// A new default record of the class. Throws Exception with "Internal error:
// No factory found that produces '…'." or "Internal error: Could not find a factory method for
// '…'." when the class is unknown.
std::unique_ptr<VarObsInfo> CreateRecord(const std::string& className);

// The registered class name of the record's run-time type; "" when it has none.
std::string GetClassName(const VarObsInfo& record);

// Writes the class name (a binary string) and the record. A record of an unregistered class is
// not written: the stream's failbit is set and the result is false.
bool WriteRecord(const VarObsInfo& record, std::ostream& os);

// Reads a class name and a record of that class; null when the name or the record cannot be
// read. An unknown class name throws Exception (as CreateRecord); the caller decides.
std::unique_ptr<VarObsInfo> ReadRecord(std::istream& is);

}  // namespace RecordFactory
