#include "tools/Commands.h"

#include <algorithm>

#include <boost/make_shared.hpp>
#include <string>
#include <vector>

#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSetInfo.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "tools/ExitStatus.h"
#include "tools/JsonWriter.h"
#include "tools/ProjectSession.h"
#include "tools/TextTable.h"
#include "varobs/NCObservations.h"
#include "varobs/VariableInfo.h"

namespace {

// Batches listed in the text report unless --all.
constexpr std::size_t kBatchesShown = 20;

const char* Kind(const VariableInfo* info) {
    if (!info) return "unknown";
    if (info->IsQualitative()) return "qualitative";
    if (info->AsDateTimeVariableInfo()) return "date/time";
    return "quantitative";
}

const char* Block(const VariableInfo* info) {
    if (!info) return "";
    switch (info->GetVariableBlock()) {
        case eBlockX:
            return "X";
        case eBlockY:
            return "Y";
        case eBlockExcludedX:
            return "excluded X";
        case eBlockExcludedY:
            return "excluded Y";
    }
    return "";
}

std::string Plural(long long count, const char* word, const char* plural = nullptr) {
    return std::to_string(count) + " " + (count == 1 ? std::string(word) : plural ? plural : std::string(word) + "s");
}

std::string DescribePhases(const ClassInfoVector* phases) {
    std::string text;
    if (phases)
        for (const auto& phase : *phases)
            text += (text.empty() ? "" : ", ") + phase->GetPhaseName().GetString() + " " +
                    std::to_string(phase->GetNumObs());
    return text;
}

// The description of dataset `number`, which the project keeps without loading the dataset.
boost::shared_ptr<NCDataSetInfo> Describe(ReferenceProject& project, ProjectSession& session, int number) {
    if (const boost::shared_ptr<NCDataSetInfo> info = project.GetDataSetInfo(number)) return info;
    return boost::make_shared<NCDataSetInfo>(session.Dataset(number));
}

std::string SourceText(const NCDataSetInfo& dataset) {
    const unsigned long source = dataset.GetSourceID();
    return source == nc::kNoUniqueID ? std::string() : std::to_string(source);
}

void WriteText(const std::string& path, ReferenceProject& project, ProjectSession& session, bool all,
               std::ostream& out) {
    const std::vector<int> numbers = project.GetDatasetNumbers();
    out << path << ": " << Plural(static_cast<long long>(numbers.size()), "dataset") << ", "
        << Plural(project.GetVariables().GetNumberOfVarObs() - 1, "variable") << " and "
        << Plural(project.GetObservations().GetNumberOfVarObs(), "observation") << " in the project\n";
    for (const int number : numbers) {
        const boost::shared_ptr<NCDataSetInfo> dataset = Describe(project, session, number);
        out << "\nDataset " << number << " \"" << dataset->GetName()
            << "\": " << Plural(dataset->GetNumObservations(), "observation") << " x "
            << Plural(dataset->GetNumVariables(), "variable");
        if (!SourceText(*dataset).empty()) out << ", made from dataset " << SourceText(*dataset);
        out << '\n';

        TextTable variables({"Variable", "Kind", "Block", "Generated"});
        for (int var = 1; var <= dataset->GetNumVariables(); ++var) {
            const VariableInfo* info = dataset->GetVariableInfo(var);
            variables.AddRow({dataset->GetVariableID(var, 1), Kind(info), Block(info),
                              info && info->IsGenerated() ? info->GetRecipe().GetString() : std::string()});
        }
        out << '\n';
        variables.Print(out);

        const auto batches = dataset->GetBatchInfoVector();
        if (batches && !batches->empty()) {
            out << "\n  " << Plural(static_cast<long long>(batches->size()), "batch", "batches") << ":\n";
            TextTable table({"Batch", "Observations", "Phases"});
            std::size_t shown = 0;
            for (const auto& batch : *batches) {
                if (!all && shown++ == kBatchesShown) break;
                table.AddRow({batch->GetBatchName().GetString(), std::to_string(batch->GetNumObs(nullptr, true)),
                              DescribePhases(batch->GetClassVector())});
            }
            table.Print(out, 4);
            if (!all && batches->size() > kBatchesShown)
                out << "    ... and " << batches->size() - kBatchesShown << " more (--all lists them)\n";
        }
        const auto phases = dataset->GetPhaseInfoVector();
        if (phases && !phases->empty()) out << "\n  Phases: " << DescribePhases(phases.get()) << '\n';
    }
}

// A phase list as an array of {name, observations}; empty for no list.
void WritePhases(JsonWriter& json, const ClassInfoVector* phases) {
    json.BeginArray();
    if (phases)
        for (const auto& phase : *phases) {
            json.BeginObject();
            json.Key("name");
            json.String(phase->GetPhaseName().GetString());
            json.Key("observations");
            json.Int(phase->GetNumObs());
            json.EndObject();
        }
    json.EndArray();
}

void WriteJson(const std::string& path, ReferenceProject& project, ProjectSession& session, std::ostream& out) {
    JsonWriter json(out);
    json.BeginObject();
    json.Key("file");
    json.String(path);
    json.Key("datasets");
    json.BeginArray();
    for (const int number : project.GetDatasetNumbers()) {
        const boost::shared_ptr<NCDataSetInfo> dataset = Describe(project, session, number);
        json.BeginObject();
        json.Key("number");
        json.Int(number);
        json.Key("name");
        json.String(dataset->GetName());
        json.Key("observations");
        json.Int(dataset->GetNumObservations());
        json.Key("source");
        if (SourceText(*dataset).empty())
            json.Null();
        else
            json.Int(static_cast<long long>(dataset->GetSourceID()));
        json.Key("variables");
        json.BeginArray();
        for (int var = 1; var <= dataset->GetNumVariables(); ++var) {
            const VariableInfo* info = dataset->GetVariableInfo(var);
            json.BeginObject();
            json.Key("name");
            json.String(dataset->GetVariableID(var, 1));
            json.Key("kind");
            json.String(Kind(info));
            json.Key("block");
            json.String(Block(info));
            json.Key("recipe");
            json.String(info ? info->GetRecipe().GetString() : std::string());
            json.EndObject();
        }
        json.EndArray();
        json.Key("batches");
        json.BeginArray();
        if (const auto batches = dataset->GetBatchInfoVector())
            for (const auto& batch : *batches) {
                json.BeginObject();
                json.Key("name");
                json.String(batch->GetBatchName().GetString());
                json.Key("observations");
                json.Int(batch->GetNumObs(nullptr, true));
                json.Key("included");
                json.Bool(batch->IsIncluded());
                json.Key("phases");
                WritePhases(json, batch->GetClassVector());
                json.EndObject();
            }
        json.EndArray();
        json.Key("phases");
        WritePhases(json, dataset->GetPhaseInfoVector().get());
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

}  // namespace

namespace Commands {

int Info(const InfoArgs& args, std::ostream& out) {
    ProjectSession session(args.project, false);
    if (args.json)
        WriteJson(args.project, session.Project(), session, out);
    else
        WriteText(args.project, session.Project(), session, args.all, out);
    return ExitStatus::kSuccess;
}

}  // namespace Commands
