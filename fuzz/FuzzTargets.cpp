#include "fuzz/FuzzTargets.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <utility>

#include "batch/BatchAligner.h"
#include "batch/CreateBatchLevelInfo.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/DVInfo.h"
#include "centering/AVGLocalCenteringInfo.h"
#include "centering/DefaultCenterValues.h"
#include "centering/LocalCenteringData.h"
#include "centering/LocalCenteringInfo.h"
#include "compound/CompoundDataset.h"
#include "dataset/AuxiliaryData.h"
#include "dataset/NCDataSetInfo.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/ZoStreamError.h"
#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/Exception.h"
#include "tests/golden/GoldenObjects.h"
#include "tests/golden/LightRecordObject.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/RecordFactory.h"
#include "varobs/SelectedLabel.h"
#include "varobs/VarObsInfo.h"

namespace fuzz {
namespace {

// An input buffer that, like a pipe, can neither seek nor tell its size.
class PipeBuffer : public std::streambuf {
public:
    explicit PipeBuffer(const std::string& bytes) {
        char* begin = const_cast<char*>(bytes.data());  // never written: the buffer only reads
        setg(begin, begin, begin + bytes.size());
    }
};

Outcome Rejected() { return {Verdict::Rejected, ""}; }
Outcome RoundTripped() { return {Verdict::RoundTripped, ""}; }
Outcome Finding(std::string what) { return {Verdict::Finding, std::move(what)}; }

// How a family reads and writes its objects.
struct Codec {
    // A new object read from the stream; null when the read fails. May throw what the family's
    // readers are documented to throw; anything else escaping is a finding.
    std::function<std::unique_ptr<ZStreamBase>(std::istream&)> read;
    // Writes the object; false when the write fails.
    std::function<bool(const ZStreamBase&, std::ostream&)> write;
    // The first contract that a read object breaks, as text; empty when it keeps them all.
    std::function<std::string(const ZStreamBase&)> check;
};

// One whole object of class T through operator>> / operator<<.
template <typename T>
Codec ObjectCodec(std::function<std::string(const T&)> check = nullptr) {
    Codec codec;
    codec.read = [](std::istream& is) -> std::unique_ptr<ZStreamBase> {
        auto object = std::make_unique<T>();
        is >> *object;
        if (is.fail()) return nullptr;
        return object;
    };
    codec.write = [](const ZStreamBase& object, std::ostream& os) {
        os << object;
        return os.good();
    };
    if (check) codec.check = [check](const ZStreamBase& object) { return check(dynamic_cast<const T&>(object)); };
    return codec;
}

// Reads with the codec; a finding when an exception escapes. `read` is null after a failed read.
bool ReadCatching(const Codec& codec, std::istream& is, std::unique_ptr<ZStreamBase>& read, std::string& error) {
    try {
        read = codec.read(is);
        return true;
    } catch (const std::exception& e) {
        error = std::string("a reader let an exception escape: ") + e.what();
    } catch (...) {
        error = "a reader let an exception of unknown type escape";
    }
    return false;
}

bool WriteCatching(const Codec& codec, const ZStreamBase& object, std::string& bytes, std::string& error) {
    try {
        std::ostringstream os;
        if (!codec.write(object, os)) {
            error = "an object that was read cannot be written";
            return false;
        }
        bytes = os.str();
        return true;
    } catch (const std::exception& e) {
        error = std::string("a writer let an exception escape: ") + e.what();
    } catch (...) {
        error = "a writer let an exception of unknown type escape";
    }
    return false;
}

std::string Describe(const std::string& first, const std::string& second) {
    const std::size_t common = std::min(first.size(), second.size());
    std::size_t at = 0;
    while (at < common && first[at] == second[at]) ++at;
    return std::to_string(first.size()) + " bytes, then " + std::to_string(second.size()) +
           " bytes; first difference at byte " + std::to_string(at);
}

// The check of the header: read, write, read back, write again, compare; then the same input
// through a pipe.
Outcome RoundTrip(const Codec& codec, const std::string& input) {
    std::string error;
    std::unique_ptr<ZStreamBase> first;
    {
        std::istringstream is(input);
        if (!ReadCatching(codec, is, first, error)) return Finding(error);
    }
    if (!first) {
        // A read that fails on a seekable stream must fail on a pipe too.
        PipeBuffer pipe(input);
        std::istream piped(&pipe);
        std::unique_ptr<ZStreamBase> fromPipe;
        if (!ReadCatching(codec, piped, fromPipe, error)) return Finding(error + " (from a pipe)");
        if (fromPipe) return Finding("the input reads from a pipe but not from a seekable stream");
        return Rejected();
    }
    if (codec.check) {
        const std::string broken = codec.check(*first);
        if (!broken.empty()) return Finding(broken);
    }
    std::string written;
    if (!WriteCatching(codec, *first, written, error)) return Finding(error);

    std::unique_ptr<ZStreamBase> second;
    std::istringstream back(written);
    if (!ReadCatching(codec, back, second, error)) return Finding(error + " (reading back)");
    if (!second) return Finding("the bytes written from a read object do not read back");
    if (back.tellg() != static_cast<std::streamoff>(written.size()))
        return Finding("the bytes written from a read object are not read to their end");
    std::string rewritten;
    if (!WriteCatching(codec, *second, rewritten, error)) return Finding(error + " (written again)");
    if (rewritten != written)
        return Finding("write, read back and write again change the bytes: " + Describe(written, rewritten));

    // Streams that cannot seek take other paths through the readers (growing as bytes arrive,
    // no put-back of an absent section); when such a read succeeds, the object is the same.
    PipeBuffer pipe(input);
    std::istream piped(&pipe);
    std::unique_ptr<ZStreamBase> fromPipe;
    if (!ReadCatching(codec, piped, fromPipe, error)) return Finding(error + " (from a pipe)");
    if (fromPipe) {
        std::string pipeWritten;
        if (!WriteCatching(codec, *fromPipe, pipeWritten, error)) return Finding(error + " (read from a pipe)");
        if (pipeWritten != written)
            return Finding("the input read from a pipe writes other bytes: " + Describe(written, pipeWritten));
    }
    return RoundTripped();
}

std::string Bytes(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
}

std::string WriteObject(const ZStreamBase& object, bool& ok) {
    std::ostringstream os;
    os << object;
    ok = os.good();
    return os.str();
}

// ---- containers ---------------------------------------------------------------------------------

// A matrix read from a stream can take one more row and one more column at a bounded cost: each
// adds at most as many cells as the matrix has or, for a matrix without cells, as its header
// allows (NCDataMatrix::kMaxEmptyDimension).
std::string CheckMatrix(const NCDataMatrix<float>& matrix) {
    const auto cells =
        static_cast<std::uint64_t>(matrix.GetNumRows()) * static_cast<std::uint64_t>(matrix.GetNumColumns());
    const std::uint64_t allowed = std::max<std::uint64_t>(cells, NCDataMatrix<float>::kMaxEmptyDimension);
    if (static_cast<std::uint64_t>(matrix.GetNumRows()) > allowed ||
        static_cast<std::uint64_t>(matrix.GetNumColumns()) > allowed) {
        return "a matrix of " + std::to_string(matrix.GetNumRows()) + " x " + std::to_string(matrix.GetNumColumns()) +
               " read: one added row or column would cost more cells than it holds";
    }
    return "";
}

Codec ContainerCodec(std::uint8_t kind) {
    switch (kind % kContainerKinds) {
        case kIndexVector:
            return ObjectCodec<NCIntegralVector<int, -99>>();
        case kIDVector:
            return ObjectCodec<NCIntegralVector<unsigned long, 0>>();
        case kFlagVector:
            return ObjectCodec<NCIntegralVector<bool, 0>>();
        case kDataVector:
            return ObjectCodec<NCDataVector<float>>();
        case kDataMatrix:
            return ObjectCodec<NCDataMatrix<float>>(CheckMatrix);
        default:
            return ObjectCodec<NCStringVector>();
    }
}

Outcome Containers(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return Rejected();
    return RoundTrip(ContainerCodec(data[0]), Bytes(data + 1, size - 1));
}

bool FrameContainer(const ZStreamBase& object, std::string& input) {
    std::uint8_t kind = kContainerKinds;
    if (dynamic_cast<const NCIntegralVector<int, -99>*>(&object))
        kind = kIndexVector;
    else if (dynamic_cast<const NCIntegralVector<unsigned long, 0>*>(&object))
        kind = kIDVector;
    else if (dynamic_cast<const NCIntegralVector<bool, 0>*>(&object))
        kind = kFlagVector;
    else if (dynamic_cast<const NCDataVector<float>*>(&object))
        kind = kDataVector;
    else if (dynamic_cast<const NCDataMatrix<float>*>(&object))
        kind = kDataMatrix;
    else if (dynamic_cast<const NCStringVector*>(&object))
        kind = kStringVector;
    if (kind == kContainerKinds) return false;
    bool ok = false;
    input = std::string(1, static_cast<char>(kind)) + WriteObject(object, ok);
    return ok;
}

// ---- stream directories -------------------------------------------------------------------------

// A directory read as a tree: a sub-stream whose bytes are wholly a directory is read as one, to
// the depth the reader allows; any other sub-stream is kept as bytes.
struct DirectoryNode {
    std::vector<std::pair<int, DirectoryNode>> children;  // for a directory
    std::string bytes;                                    // for any other sub-stream
    bool isDirectory = false;
};

// The bytes of a sub-stream, which always knows its size.
std::string ReadAll(std::istream& is) {
    std::string bytes(static_cast<std::size_t>(std::max<std::int64_t>(StreamBytesLeft(is), 0)), '\0');
    is.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// False when the stream does not hold a valid directory at its position.
bool ReadDirectory(std::istream& is, DirectoryNode& node) {
    InputStreamDirectory directory(is);
    if (!directory.IsValid()) return false;
    node.isDirectory = true;
    for (int k = 0; k < kProbedSubStreams; ++k) {
        std::istream* input = directory.GetInput(k);
        if (!input) continue;
        DirectoryNode child;
        child.bytes = ReadAll(*input);
        // A fresh window at the sub-stream's start, one level deeper, for a nested directory.
        std::istream* nested = directory.GetInput(k);
        DirectoryNode inner;
        if (nested && ReadDirectory(*nested, inner) &&
            nested->tellg() == static_cast<std::streamoff>(child.bytes.size()))
            child = std::move(inner);
        node.children.emplace_back(k, std::move(child));
    }
    directory.Close();
    return true;
}

void WriteDirectory(const DirectoryNode& node, std::ostream& os) {
    OutputStreamDirectory directory(os, kProbedSubStreams);
    for (const auto& [k, child] : node.children) {
        std::ostream& output = directory.GetOutput(k);
        if (child.isDirectory)
            WriteDirectory(child, output);
        else
            output.write(child.bytes.data(), static_cast<std::streamsize>(child.bytes.size()));
    }
    directory.Close();
}

// The directory as a persistent object, so that it takes the same round trip as the others.
class DirectoryObject : public ZStreamBase {
public:
    bool ZStreamableStartWrite(std::ostream& os) override {
        WriteDirectory(mRoot, os);
        return os.good();
    }
    bool ZStreamableStartRead(std::istream& is) override {
        mRoot = DirectoryNode();
        return ReadDirectory(is, mRoot) && is.good();
    }

private:
    DirectoryNode mRoot;
};

Outcome Directory(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<DirectoryObject>(), Bytes(data, size));
}

// Any object, as the first sub-stream of a directory and again inside a nested one.
bool FrameDirectory(const ZStreamBase& object, std::string& input) {
    bool ok = false;
    const std::string bytes = WriteObject(object, ok);
    std::ostringstream os;
    {
        OutputStreamDirectory outer(os, 3);
        outer.GetOutput(0) << bytes;
        {
            OutputStreamDirectory inner(outer.GetOutput(2), 2);
            inner.GetOutput(1) << bytes;
        }
    }
    input = os.str();
    return ok && os.good();
}

// ---- records, by class name as the collections read them
// ------------------------------------------

Codec RecordCodec() {
    Codec codec;
    codec.read = [](std::istream& is) -> std::unique_ptr<ZStreamBase> {
        try {
            return std::unique_ptr<ZStreamBase>(RecordFactory::ReadRecord(is));
        } catch (const ZoStreamError&) {
            throw;
        } catch (const Exception& e) {
            // An unknown class name: documented, and the collections turn it into a failed read.
            if (std::string(e.what()).rfind("Internal error: ", 0) == 0) return nullptr;
            throw;
        }
    };
    codec.write = [](const ZStreamBase& object, std::ostream& os) {
        return RecordFactory::WriteRecord(dynamic_cast<const VarObsInfo&>(object), os);
    };
    return codec;
}

Outcome Records(const std::uint8_t* data, std::size_t size) { return RoundTrip(RecordCodec(), Bytes(data, size)); }

bool FrameRecord(const ZStreamBase& object, std::string& input) {
    const auto* record = dynamic_cast<const VarObsInfo*>(&object);
    if (!record || RecordFactory::GetClassName(*record).empty()) return false;
    std::ostringstream os;
    if (!RecordFactory::WriteRecord(*record, os)) return false;
    input = os.str();
    return true;
}

// ---- collections and labels ---------------------------------------------------------------------

// What a caller does first with a collection it has read: every alias column's label and kind,
// the used aliases, and the ID index of the first few columns.
template <typename Collection>
std::string CheckCollection(const Collection& collection) {
    const int aliases = collection.SizeAliases();
    if (aliases < 1) return "a collection read with " + std::to_string(aliases) + " alias columns";
    for (int alias = 1; alias <= aliases; ++alias) {
        collection.GetIDLabelRaw(alias);
        collection.IsIDNumeral(alias);
    }
    const std::vector<int> used = collection.GetAllUsedAliases();
    for (int alias = 1; alias <= std::min(aliases, 4); ++alias) collection.GetInfosByUserID(alias);
    collection.GetSelectedLabel().GetSelectedLongLabel(used);
    collection.GetSelectedLabel().GetSelectedShortLabel(used);
    for (auto it = collection.Begin(); it != collection.End(); ++it) {
        if (!it->second) return "a collection read with a null record";
        if (it->second->GetUniqueID() != it->first) return "a record filed under another unique ID";
    }
    return "";
}

std::string CheckVariables(const NCVariables& variables) {
    const std::string broken = CheckCollection(variables);
    if (!broken.empty()) return broken;
    variables.GetDefaultTimeVariable();
    for (auto it = variables.Begin(); it != variables.End(); ++it)
        if (!it->second->AsVariableInfo()) return "a variables collection read with a record that is no variable";
    return "";
}

std::string CheckObservations(const NCObservations& observations) {
    const std::string broken = CheckCollection(observations);
    if (!broken.empty()) return broken;
    observations.GetAllKnownBatchNames();
    for (auto it = observations.Begin(); it != observations.End(); ++it)
        if (!it->second->AsObservationInfo())
            return "an observations collection read with a record that is no observation";
    return "";
}

Outcome Variables(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<NCVariables>(CheckVariables), Bytes(data, size));
}

Outcome Observations(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<NCObservations>(CheckObservations), Bytes(data, size));
}

Outcome Label(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<SelectedLabel>(), Bytes(data, size));
}

// ---- batch records and import settings ------------------------------------------------------------

Outcome Phase(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<ClassInfo>(), Bytes(data, size));
}

Outcome Batch(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<BatchInfo>(), Bytes(data, size));
}

Outcome BatchList(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<BatchInfoVector>(), Bytes(data, size));
}

Outcome Settings(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<BatchImportSettings>(), Bytes(data, size));
}

Outcome DVRecord(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<DVInfo>(), Bytes(data, size));
}

// Whatever grid a stream holds (NaN, infinities, any order), the aligner aligns a batch that runs
// in its direction without throwing, one row per grid point.
std::string CheckAligner(const BatchAligner& aligner) {
    const int gridSize = aligner.GetTimeMaturityVector() ? aligner.GetTimeMaturityVector()->size() : 0;
    NCDataVector<float> maturity;
    for (const float x : {-1.0f, 0.5f, 0.5f, 2.0f}) maturity.push_back(aligner.IsAscending() ? x : -x);
    NCDataMatrix<float> values(4, 2, 1.5f);
    values(2, 1, -99.0f);
    try {
        const std::unique_ptr<NCDataMatrix<float>> aligned(aligner.Align(values, maturity));
        if (aligned->GetNumRows() != gridSize || aligned->GetNumColumns() != 2)
            return "an aligner read gives an output of another shape than its grid";
    } catch (const std::exception& e) {
        return std::string("an aligner read cannot align a monotone batch: ") + e.what();
    }
    return "";
}

Outcome Aligner(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<BatchAligner>(CheckAligner), Bytes(data, size));
}

// ---- local centering ------------------------------------------------------------------------------

Outcome FullLocalCentering(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<LocalCenteringInfo>(), Bytes(data, size));
}

Outcome LocalCenteringAverages(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<AVGLocalCenteringInfo>(), Bytes(data, size));
}

Outcome CentreTable(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<LocalCenteringData>(), Bytes(data, size));
}

Outcome DefaultCentres(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<DefaultCenterValues>(), Bytes(data, size));
}

// ---- dataset descriptions -------------------------------------------------------------------------

// A description of no project: its section needs none.
class DetachedDataSetInfo : public NCDataSetInfo {
public:
    DetachedDataSetInfo() : NCDataSetInfo(boost::shared_ptr<NCProjectBase>()) {}
};

Outcome DataSetDescription(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<DetachedDataSetInfo>(), Bytes(data, size));
}

// ---- auxiliary data -------------------------------------------------------------------------------

// Auxiliary data of no variable collection: its section needs none.
class DetachedAuxiliaryData : public AuxiliaryData {
public:
    DetachedAuxiliaryData() : AuxiliaryData(nullptr) {}
};

// Every model read answers its queries alike: as many IDs and matrix rows as its size, and each of
// its records found by its variable. The matrix, as wide as a record's values and as high as the
// model's records, can outgrow the input many times; it is built only while it stays small.
std::string CheckAuxiliaryData(const DetachedAuxiliaryData& data) {
    const auto records = data.GetRecords();
    std::uint64_t widest = 0;
    for (const auto& entry : records) widest = std::max<std::uint64_t>(widest, entry.second.values.size());
    for (const auto& entry : records) {
        const int model = entry.first;
        const int size = data.SizeModel(model);
        if (data.GetAuxiliaryVarIDs(model).size() != size)
            return "model " + std::to_string(model) + ": its ID list disagrees with its size";
        if (widest * static_cast<std::uint64_t>(size) <= 65536 && data.GetAuxiliaryData(model).GetNumRows() != size)
            return "model " + std::to_string(model) + ": its matrix disagrees with its size";
        bool flag = false;
        short setting = 0;
        int sourceModel = 0;
        if (!data.FindAuxiliaryData(model, entry.second.varID, flag, setting, sourceModel))
            return "model " + std::to_string(model) + ": a record read is not found by its variable";
    }
    return "";
}

Outcome AuxiliaryVariables(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<DetachedAuxiliaryData>(CheckAuxiliaryData), Bytes(data, size));
}

// ---- batch-level descriptions ---------------------------------------------------------------------

using BatchLevelDescription = LightRecordObject<CreateBatchLevelInfo>;

// A description read from any bytes still has a log, whatever its types and indices.
std::string CheckBatchLevelDescription(const BatchLevelDescription& object) {
    const CreateBatchLevelInfo& info = object.Get();
    const std::string log = info.GetLog(nullptr);
    if (info.GetComponents().empty() != log.empty()) return "a description's log and its components disagree";
    if (info.HasScores() != (info.Find(BatchLevelComponent::eScores) != nullptr)) return "HasScores and Find disagree";
    return "";
}

Outcome BatchLevel(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<BatchLevelDescription>(CheckBatchLevelDescription), Bytes(data, size));
}

// ---- compound datasets ----------------------------------------------------------------------------

// A compound of the golden objects' project, whose datasets 1 to 3 the numbers read may name.
class GoldenProjectCompound : public CompoundDataset {
public:
    GoldenProjectCompound() : CompoundDataset(golden::CompoundProject()) {}
};

// Every observation and variable once, every number a dataset of the project, and a match
// percentage within 0 … 100.
std::string CheckCompound(const GoldenProjectCompound& compound) {
    const auto unique = [](NCIntegralVector<unsigned long, 0> ids) {
        ids.Sort(Ascending);
        return std::adjacent_find(ids.begin(), ids.end()) == ids.end();
    };
    if (!unique(compound.GetObsIDs())) return "a compound read with an observation twice";
    if (!unique(compound.GetVarIDs())) return "a compound read with a variable twice";
    const auto project = compound.GetProject();
    for (const int number : compound.GetDatasets())
        if (!project->GetDataSetInfo(number)) return "a compound read with a dataset its project lacks";
    const std::atomic<bool> cancel{false};
    const float percent = compound.CalculateMatchPercent(cancel);
    if (!(percent >= 0.0f && percent <= 100.0f)) return "a match percentage outside 0 … 100";
    compound.GetVarToDSMap();
    return "";
}

Outcome Compound(const std::uint8_t* data, std::size_t size) {
    return RoundTrip(ObjectCodec<GoldenProjectCompound>(CheckCompound), Bytes(data, size));
}

template <typename T>
std::function<bool(const ZStreamBase&, std::string&)> FrameAs() {
    return [](const ZStreamBase& object, std::string& input) {
        if (!dynamic_cast<const T*>(&object)) return false;
        bool ok = false;
        input = WriteObject(object, ok);
        return ok;
    };
}

}  // namespace

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets{
        {"containers", Containers, FrameContainer},
        {"directory", Directory, FrameDirectory},
        {"records", Records, FrameRecord},
        {"variables", Variables, FrameAs<NCVariables>()},
        {"observations", Observations, FrameAs<NCObservations>()},
        {"label", Label, FrameAs<SelectedLabel>()},
        {"phase", Phase, FrameAs<ClassInfo>()},
        {"batch", Batch, FrameAs<BatchInfo>()},
        {"batchlist", BatchList, FrameAs<BatchInfoVector>()},
        {"settings", Settings, FrameAs<BatchImportSettings>()},
        {"dvinfo", DVRecord, FrameAs<DVInfo>()},
        {"aligner", Aligner, FrameAs<BatchAligner>()},
        {"fulllci", FullLocalCentering, FrameAs<LocalCenteringInfo>()},
        {"lci", LocalCenteringAverages, FrameAs<AVGLocalCenteringInfo>()},
        {"lcd", CentreTable, FrameAs<LocalCenteringData>()},
        {"dcv", DefaultCentres, FrameAs<DefaultCenterValues>()},
        {"dsinfo", DataSetDescription, FrameAs<NCDataSetInfo>()},
        {"auxdata", AuxiliaryVariables, FrameAs<AuxiliaryData>()},
        {"cbli", BatchLevel, FrameAs<BatchLevelDescription>()},
        {"compound", Compound, FrameAs<CompoundDataset>()},
    };
    return targets;
}

const Target* FindTarget(const std::string& name) {
    for (const Target& target : Targets())
        if (target.name == name) return &target;
    return nullptr;
}

}  // namespace fuzz
