#include "tools/Demo.h"

#include <boost/shared_ptr.hpp>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "app/ReferenceProject.h"
#include "app/ScriptedUserComm.h"
#include "app/SignalLog.h"
#include "batch/BatchAligner.h"
#include "batch/ConditionalDeleteBatchAndPhase.h"
#include "batch/DatasetComponents.h"
#include "batch/Smooth.h"
#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/BatchLookups.h"
#include "batchinfo/ClassInfoVector.h"
#include "centering/LocalCenteringData.h"
#include "compound/CompoundDataset.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/utility/UserComm.h"
#include "interfaces/utility/ZoString.h"
#include "tools/Commands.h"
#include "tools/TextTable.h"
#include "varobs/AliasAccess.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/RecordFactory.h"

using nc::kMissingValue;

namespace {

// A small batch process: four batches, each heated, held and cooled, sampled every 15 minutes.
const char* const kProcessTable =
    "Obs,Batch,Phase,Time,Temp,Pressure,Grade\n"
    "B1-01,B1,Heat,2026-03-02 08:00:00,20.5,1.01,low\n"
    "B1-02,B1,Heat,2026-03-02 08:15:00,41.0,1.12,low\n"
    "B1-03,B1,Heat,2026-03-02 08:30:00,63.2,1.30,medium\n"
    "B1-04,B1,Hold,2026-03-02 08:45:00,79.8,1.52,medium\n"
    "B1-05,B1,Hold,2026-03-02 09:00:00,80.1,1.55,high\n"
    "B1-06,B1,Hold,2026-03-02 09:15:00,80.0,,high\n"
    "B1-07,B1,Cool,2026-03-02 09:30:00,62.4,1.31,high\n"
    "B2-01,B2,Heat,2026-03-03 08:00:00,19.8,1.00,low\n"
    "B2-02,B2,Heat,2026-03-03 08:15:00,39.7,1.10,low\n"
    "B2-03,B2,Heat,2026-03-03 08:30:00,61.9,1.27,medium\n"
    "B2-04,B2,Hold,2026-03-03 08:45:00,78.9,1.49,medium\n"
    "B2-05,B2,Hold,2026-03-03 09:00:00,79.6,1.51,medium\n"
    "B2-06,B2,Hold,2026-03-03 09:15:00,79.9,1.53,high\n"
    "B2-07,B2,Cool,2026-03-03 09:30:00,61.0,1.29,high\n"
    "B3-01,B3,Heat,2026-03-04 08:00:00,21.1,1.02,low\n"
    "B3-02,B3,Heat,2026-03-04 08:15:00,42.4,1.14,medium\n"
    "B3-03,B3,Heat,2026-03-04 08:30:00,64.0,1.31,medium\n"
    "B3-04,B3,Hold,2026-03-04 08:45:00,80.4,1.54,high\n"
    "B3-05,B3,Hold,2026-03-04 09:00:00,80.6,1.56,high\n"
    "B3-06,B3,Hold,2026-03-04 09:15:00,80.2,1.55,high\n"
    "B3-07,B3,Cool,2026-03-04 09:30:00,63.1,1.33,high\n"
    "B4-01,B4,Heat,2026-03-05 08:00:00,20.2,1.01,low\n"
    "B4-02,B4,Heat,2026-03-05 08:15:00,40.8,1.11,low\n"
    "B4-03,B4,Heat,2026-03-05 08:30:00,62.7,1.29,medium\n"
    "B4-04,B4,Hold,2026-03-05 08:45:00,79.5,1.50,medium\n"
    "B4-05,B4,Hold,2026-03-05 09:00:00,80.3,1.54,high\n"
    "B4-06,B4,Hold,2026-03-05 09:15:00,80.1,1.55,high\n"
    "B4-07,B4,Cool,2026-03-05 09:30:00,61.8,1.30,high\n";

constexpr int kIDColumns = 3;  // Obs, Batch, Phase

std::vector<std::string> SplitLine(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    return cells;
}

std::vector<std::vector<std::string>> ParseTable(const char* text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) rows.push_back(SplitLine(line));
    return rows;
}

std::string Describe(const VarObsInfo& record) {
    if (const ObservationInfo* obs = record.AsObservationInfo())
        return "default class " + std::to_string(obs->GetDefaultClass());
    const VariableInfo* var = record.AsVariableInfo();
    if (!var) return std::string();
    if (const QualitativeVariableInfo* q = var->AsQualitativeVariableInfo()) {
        std::vector<std::string> settings;
        q->GetSettings().Convert(settings);
        return "settings " + ZoString::FormatStringVector("/", settings);
    }
    if (const DateTimeVariableInfo* t = var->AsDateTimeVariableInfo())
        return "dates from " + t->GetDateTimeOffset().ToLocalString("") + " in minutes";
    return var->GetUnit().IsEmpty() ? std::string("no unit") : "unit " + std::string(var->GetUnit());
}

// ---- records ---------------------------------------------------------------------------------

bool DemoRecords(std::ostream& out, const std::string& folder) {
    out << "1. Records written to a stream and read back\n\n";
    QuantitativeVariableInfo temp("Temp", 101, "", -1, -1, eVarTypeDefault);
    temp.SetUnit("degC");
    const NCStringVector grades(std::vector<std::string>{"low", "medium", " ", "high"});
    QualitativeVariableInfo grade("Grade", 102, &grades, "");
    ObservationInfo sample(std::vector<CString>{"B1-01", "B1", "Heat"}, 201);
    sample.SetDefaultClass(1);

    const std::string path = folder + "/ncds-records.bin";
    {
        std::ofstream file(path, std::ios::binary);
        for (const VarObsInfo* record : std::vector<const VarObsInfo*>{&temp, &grade, &sample})
            RecordFactory::WriteRecord(*record, file);
        if (!file) {
            out << "  could not write " << path << '\n';
            return false;
        }
    }
    TextTable table({"Class", "Unique ID", "Primary ID", "Details"});
    std::ifstream file(path, std::ios::binary);
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<VarObsInfo> record(RecordFactory::ReadRecord(file));
        if (!record) {
            out << "  could not read record " << i + 1 << " back\n";
            return false;
        }
        table.AddRow({RecordFactory::GetClassName(*record), std::to_string(record->GetUniqueID()),
                      record->GetPrimaryAlias(), Describe(*record)});
    }
    table.Print(out);
    out << "\n  Grade encodes \"HIGH\" as " << grade.Encode("HIGH") << " and decodes 2 as \"" << grade.Decode(2.0f)
        << "\"; the blank setting was dropped.\n"
        << "  Temp encodes \" 12.5 \" as " << temp.Encode(" 12.5 ") << " and \"n/a\" as " << temp.Encode("n/a")
        << " (missing).\n\n";
    return true;
}

// ---- collections -----------------------------------------------------------------------------

struct ProcessRecords {
    std::vector<unsigned long> observations;
    std::vector<unsigned long> variables;

    // The same unique IDs as the ID lists a dataset takes.
    NCIntegralVector<unsigned long, 0> ObservationIDs() const { return IDList(observations); }
    NCIntegralVector<unsigned long, 0> VariableIDs() const { return IDList(variables); }

private:
    static NCIntegralVector<unsigned long, 0> IDList(const std::vector<unsigned long>& ids) {
        NCIntegralVector<unsigned long, 0> list;
        for (const unsigned long id : ids) list.push_back(id);
        return list;
    }
};

// Fills a project's two collections from the table's ID columns and header.
ProcessRecords FillCollections(const std::vector<std::vector<std::string>>& rows, NCVariables& vars,
                               NCObservations& obs, UniqueIDFactory& ids) {
    const std::vector<CString> labels{"Obs", VarObs::mszBatchIDString, VarObs::mszPhaseIDString};
    obs.Set_ID_Labels(&labels);
    obs.SetBatchID(2);
    obs.SetPhaseID(3);

    ProcessRecords made;
    const std::vector<std::string>& header = rows.front();
    for (std::size_t c = kIDColumns; c < header.size(); ++c) {
        const unsigned long id = ids.GetNewUniqueID(nc::UniqueIDKind::kRecord);
        const std::string& name = header[c];
        if (name == "Time") {
            vars.Add(std::make_unique<DateTimeVariableInfo>(
                         name, id, ZoTimeUtl::eParseExact, "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm",
                         ZoTimeUtl::SimpDateTime(2026, 3, 2, 0, 0, 0, 0, true), ZoTimeUtl::eAccuracyMinute),
                     nullptr);
        } else if (name == "Grade") {
            const NCStringVector settings(std::vector<std::string>{"low", "medium", "high"});
            vars.Add(std::make_unique<QualitativeVariableInfo>(name, id, &settings, ""), nullptr);
        } else {
            auto variable = std::make_unique<QuantitativeVariableInfo>(name, id, "", -1, -1, eVarTypeDefault);
            variable->SetUnit(name == "Temp" ? "degC" : "bar");
            vars.Add(std::move(variable), nullptr);
        }
        made.variables.push_back(id);
    }
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const unsigned long id = ids.GetNewUniqueID(nc::UniqueIDKind::kRecord);
        obs.Add(std::make_unique<ObservationInfo>(std::vector<CString>{rows[r][0], rows[r][1], rows[r][2]}, id),
                nullptr);
        made.observations.push_back(id);
    }
    return made;
}

// The table's values encoded by their variables: a row per observation, a column per variable.
NCDataMatrix<float> EncodedValues(const std::vector<std::vector<std::string>>& rows, const NCVariables& variables,
                                  const ProcessRecords& made) {
    const int numObs = static_cast<int>(made.observations.size());
    const int numVars = static_cast<int>(made.variables.size());
    NCDataMatrix<float> data(numObs, numVars, kMissingValue);
    for (int var = 1; var <= numVars; ++var) {
        const VariableInfo* info = variables[made.variables[static_cast<std::size_t>(var - 1)]];
        for (int obs = 1; obs <= numObs; ++obs)
            data(obs, var,
                 info->Encode(
                     rows[static_cast<std::size_t>(obs)][static_cast<std::size_t>(kIDColumns + var - 1)].c_str()));
    }
    return data;
}

void PrintCollection(std::ostream& out, const VarObs& collection, const char* what) {
    const AliasAccess view(collection);
    std::vector<std::string> header{"Unique ID"};
    for (int k = 1; k <= view.SizeAliases(); ++k)
        header.push_back(std::string(view.GetRawAliasName(k)) + (view.IsAliasNumeral(k) ? " (numeral)" : ""));
    header.push_back("Details");
    TextTable table(header);
    for (const auto& entry : collection) {
        std::vector<std::string> row{std::to_string(entry.first)};
        for (int k = 1; k <= view.SizeAliases(); ++k) row.push_back(std::string(view.GetAlias(k, *entry.second)));
        row.push_back(Describe(*entry.second));
        table.AddRow(row);
    }
    out << "  " << what << " (" << collection.GetNumberOfVarObs() << " records):\n";
    table.Print(out, 4);
    out << '\n';
}

// A unique-ID source for collections that are not inside a project.
class Counter : public UniqueIDFactory {
public:
    unsigned long GetNewUniqueID(int) override { return mNext++; }

private:
    unsigned long mNext = 1;
};

bool DemoCollections(std::ostream& out, const std::string& folder, const std::vector<std::vector<std::string>>& rows) {
    out << "2. The project's collections written to a stream and read back\n\n";
    NCVariables vars;
    NCObservations obs;
    Counter ids;
    FillCollections(rows, vars, obs, ids);

    const std::string path = folder + "/ncds-collections.bin";
    {
        std::ofstream file(path, std::ios::binary);
        file << vars << obs;
        if (!file) {
            out << "  could not write " << path << '\n';
            return false;
        }
    }
    NCVariables readVars;
    NCObservations readObs;
    std::ifstream file(path, std::ios::binary);
    file >> readVars >> readObs;
    if (!file) {
        out << "  could not read the collections back from " << path << '\n';
        return false;
    }
    PrintCollection(out, readVars, "Variables");
    PrintCollection(out, readObs, "Observations");
    std::vector<std::string> batches;
    readObs.GetAllKnownBatchNames()->Convert(batches);
    const DateTimeVariableInfo* time = readVars.GetDefaultTimeVariable();
    out << "  Known batches: " << ZoString::FormatStringVector(", ", batches)
        << "; default time variable: " << (time ? time->GetPrimaryAlias() : "none") << "\n\n";
    return true;
}

// ---- dataset ---------------------------------------------------------------------------------

void PrintDataset(std::ostream& out, const NCDataSet& dataset) {
    const auto project = dataset.GetProject();
    std::vector<std::string> header;
    const AliasAccess obsView(dataset.GetUsedObsAliases(), project->GetObservations());
    for (int k = 1; k <= obsView.SizeAliases(); ++k) header.push_back(std::string(obsView.GetRawAliasName(k)));
    for (int var = 1; var <= dataset.SizeVariables(); ++var) header.push_back(dataset.GetVariableID(var, 1));
    TextTable table(header);
    for (int obs = 1; obs <= dataset.SizeObservations(); ++obs) {
        std::vector<std::string> row;
        for (int k = 1; k <= obsView.SizeAliases(); ++k) row.push_back(dataset.GetObservationID(obs, k));
        for (int var = 1; var <= dataset.SizeVariables(); ++var) row.push_back(dataset.GetStrValue(obs, var));
        table.AddRow(row);
    }
    table.Print(out, 4);
}

bool DemoDataset(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    out << "3. A dataset in a project, edited with the user's consent\n\n";
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    const ProcessRecords made = FillCollections(rows, project->GetVariables(), project->GetObservations(), *project);

    NCDataMatrix<float> data = EncodedValues(rows, project->GetVariables(), made);
    NCIntegralVector<unsigned long, 0> obsIDs = made.ObservationIDs();
    NCIntegralVector<unsigned long, 0> varIDs = made.VariableIDs();
    const boost::shared_ptr<NCDataSet> dataset =
        NCDataSet::Create(project, "Process data", 1, &data, &obsIDs, &varIDs, {1, 2, 3}, {1},
                          "imported from the demo table", nullptr, nullptr, false);
    project->AddDataset(dataset);
    out << "  Imported " << dataset->SizeObservations() << " observations x " << dataset->SizeVariables()
        << " variables.\n";

    SignalLog log;
    auto user = std::make_shared<ScriptedUserComm>(std::initializer_list<int>{1});
    UserComm::SetUserComm(user);

    dataset->AddVariables(1, "Yield", true, false);
    const int yield = dataset->SizeVariables();
    int stored = 0;
    for (int obs = 1; obs <= dataset->SizeObservations(); ++obs) {
        const std::string text = ZoString::Format("%.1f", 0.9f * dataset->GetData(false, nullptr)(obs, 2));
        if (dataset->SetValue(obs, yield, text.c_str(), false, false, true)) ++stored;
    }
    const bool rejected = !dataset->SetValue(1, 6, "excellent", false, false, true);
    NCIntegralVector<int, -99> remove;
    remove.push_back(6);
    dataset->RemoveObservation(&remove, true, false);
    UserComm::SetUserComm(nullptr);

    out << "  Added the variable Yield, stored " << stored << " values from text"
        << (rejected ? ", refused the grade \"excellent\"" : "") << ", removed observation 6 after the user said "
        << (remove.size() ? "yes" : "no") << ".\n\n";
    PrintDataset(out, *dataset);
    out << "\n  Questions asked: " << user->QuestionCount()
        << "; consent requests to the project: " << project->GetConsentRequests().size() << "\n  Signals raised:\n";
    std::map<std::string, int> counts;
    std::vector<std::string> order;
    for (const std::string& line : log.GetLines()) {
        const std::string kind = line.substr(0, line.find(':'));
        if (counts[kind]++ == 0) order.push_back(kind);
    }
    for (const std::string& kind : order) out << "    " << kind << " x " << counts[kind] << '\n';
    return dataset->SizeObservations() == static_cast<int>(dataset->GetObsIDs().size());
}

// ---- batches and phases ----------------------------------------------------------------------

// "Heat 3, Hold 3, Cool 1" (an excluded phase or variable in parentheses).
std::string DescribePhases(const ClassInfoVector* phases, const NCVariables& vars) {
    if (!phases) return "no phase list";
    std::string text;
    for (const auto& phase : *phases) {
        if (!text.empty()) text += ", ";
        text += std::string(phase->GetPhaseName()) + " " + std::to_string(phase->GetNumObs());
        if (phase->GetOriginalName() != phase->GetPhaseName())
            text += " (was " + std::string(phase->GetOriginalName()) + ")";
        for (const unsigned long var : phase->GetExcludedVariablesVector())
            if (const VariableInfo* info = vars[var]) text += " (without " + std::string(info->GetPrimaryAlias()) + ")";
    }
    return text;
}

void PrintBatches(std::ostream& out, const BatchInfoVector& batches, const NCVariables& vars) {
    std::vector<std::string> header{"Batch", "Observations", "Included"};
    for (const unsigned long id : batches.GetBCVariableIDs()) header.push_back(vars[id]->GetPrimaryAlias());
    header.push_back("Phases");
    TextTable table(header);
    for (const auto& batch : batches) {
        std::vector<std::string> row{std::string(batch->GetBatchName()),
                                     std::to_string(batch->GetNumObs(nullptr, true)),
                                     batch->IsIncluded() ? "yes" : "no"};
        const NCDataVector<float>& values = batch->GetBatchConditionValues();
        for (int i = 1; i <= values.size(); ++i)
            row.push_back(values(i) == kMissingValue ? std::string("missing") : ZoString::Format("%g", values(i)));
        row.push_back(DescribePhases(batch->GetClassVector(), vars));
        table.AddRow(row);
    }
    table.Print(out, 4);
}

std::string JoinPositions(const NCIntegralVector<int, -99>* positions) {
    std::string text;
    if (positions)
        for (const int p : *positions) text += (text.empty() ? "" : ", ") + std::to_string(p);
    return text;
}

bool DemoBatches(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    out << "\n4. Batches and phases derived from the observations, and kept across changes\n\n";
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    const ProcessRecords made = FillCollections(rows, project->GetVariables(), project->GetObservations(), *project);
    const NCIntegralVector<unsigned long, 0> obsIDs = made.ObservationIDs();
    const NCIntegralVector<unsigned long, 0> varIDs = made.VariableIDs();
    const NCObservations& observations = project->GetObservations();
    const NCVariables& variables = project->GetVariables();

    // The import derives both lists from the ID texts and hands them to the new dataset.
    const std::unique_ptr<NCIntegralVector<int, -99>> batchStarts(
        BatchUtilities::GetBatchBeginnings(&observations, &obsIDs));
    const std::unique_ptr<NCIntegralVector<int, -99>> phaseStarts(
        BatchUtilities::GetPhaseBeginnings(&observations, &obsIDs));
    const std::unique_ptr<BatchInfoVector> batches(BatchUtilities::CreateBatchInfoVector(&observations, &obsIDs));
    const std::unique_ptr<ClassInfoVector> phases(BatchUtilities::CreatePhaseInfoVector(&observations, &obsIDs));
    const boost::shared_ptr<NCDataSet> dataset = NCDataSet::Create(
        project, "Batch data", 1, nullptr, &obsIDs, &varIDs, {1, 2, 3}, {1}, "", batches.get(), phases.get(), false);
    project->AddDataset(dataset);
    out << "  Batches begin at rows " << JoinPositions(batchStarts.get()) << "; batches or phases change at rows "
        << JoinPositions(phaseStarts.get())
        << ".\n  Phases of the dataset: " << DescribePhases(dataset->GetPhaseInfoVector().get(), variables) << ".\n\n";
    PrintBatches(out, *dataset->GetBatchInfoVector(), variables);

    // The user's settings: a batch condition with a value per batch, batch B2 excluded, and in
    // phase Heat of B1 the pressure left out.
    const unsigned long feedID = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
    project->GetVariables().Add(new QuantitativeVariableInfo("Feed rate", feedID, "", -1, -1, eVarTypeBatchCondition),
                                nullptr);
    const boost::shared_ptr<BatchInfoVector> list = NCDataSet::GetMutableBatchInfoVector(*project, 1);
    list->SetBCVariableIDs(NCIntegralVector<unsigned long, 0>(1, feedID));
    float feed = 2.0f;
    for (const auto& batch : *list) {
        const NCDataVector<float> value(1, feed);
        batch->SetBatchConditionValues(&value);
        feed += 0.5f;
    }
    BatchUtilities::FindBatch(list.get(), "B2")->SetIncluded(false);
    const unsigned long pressure = varIDs[3];
    BatchUtilities::FindPhase(BatchUtilities::FindBatch(list.get(), "B1")->GetClassVector(), "Heat", false)
        ->SetIncluded(pressure, false);
    out << "\n  The user adds the batch condition \"Feed rate\", excludes B2 and leaves Pressure out of B1's Heat.\n";

    // The observations change: B3's rows are renamed B3-R, and B4 loses its Cool row.
    NCObservations& writable = project->GetObservations();
    for (int row = 1; row <= dataset->SizeObservations(); ++row) {
        ObservationInfo* record = writable[dataset->GetObsID(row)];
        if (record->GetBatchName(writable) == CString("B3")) record->SetUserID(CString("B3-R"), 2, &writable);
    }
    dataset->SetBatchInfoVecDirty();
    NCIntegralVector<int, -99> coolOfB4(1, dataset->SizeObservations());
    dataset->RemoveObservation(&coolOfB4, false, true);
    out << "  Then B3's ID texts become B3-R and the last row (B4's Cool) is removed; the list is derived again:\n\n";

    const auto rebuilt = dataset->GetBatchInfoVector();
    PrintBatches(out, *rebuilt, variables);
    std::vector<std::string> names;
    dataset->GetBatchNames().Convert(names);
    out << "\n  Batch names: " << ZoString::FormatStringVector(", ", names)
        << ". B1 and B4 keep their feed rates, B2 stays excluded and B1's Heat still leaves Pressure out;\n"
        << "  B3-R is a new name, so it starts included and with its feed rate missing.\n";
    const auto b2 = BatchUtilities::FindBatch(rebuilt.get(), "B2");
    const auto b3 = BatchUtilities::FindBatch(rebuilt.get(), "B3-R");
    return rebuilt->size() == 4 && b2 && !b2->IsIncluded() && b3 && b3->GetBatchConditionValues()(1) == kMissingValue;
}

// ---- smoothing and relative time -------------------------------------------------------------

// The process again, with values and phase numbers (Heat 1, Hold 2, Cool 3): "$Time" counts the
// rows of every phase, and the temperature, made the maturity (a Y variable), is smoothed into a
// strictly monotone curve per phase and made relative to the start of each phase.
bool ShowSmoothing(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    out << "\n5. Relative time and the maturity smoothed phase by phase\n\n";
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    const ProcessRecords made = FillCollections(rows, project->GetVariables(), project->GetObservations(), *project);
    const std::map<std::string, int> phaseNumbers{{"Heat", 1}, {"Hold", 2}, {"Cool", 3}};
    for (std::size_t r = 0; r < made.observations.size(); ++r)
        project->GetObservations()[made.observations[r]]->SetDefaultClass(phaseNumbers.at(rows[r + 1][2]));
    NCIntegralVector<unsigned long, 0> obsIDs = made.ObservationIDs();
    NCIntegralVector<unsigned long, 0> varIDs = made.VariableIDs();
    NCDataMatrix<float> data = EncodedValues(rows, project->GetVariables(), made);
    const boost::shared_ptr<NCDataSet> dataset = NCDataSet::Create(project, "Batch data", 1, &data, &obsIDs, &varIDs,
                                                                   {1, 2, 3}, {1}, "", nullptr, nullptr, false);
    project->AddDataset(dataset);
    const unsigned long temp = varIDs[2];
    project->GetVariables()[temp]->SetVariableBlock(eBlockY);

    BatchImportSettings settings(project->GetBatchImportSettings(1));
    settings.SetBatchID(2);
    settings.SetPhaseID(3);
    std::vector<CString> names;
    if (Smooth::CreateAndInsert_DollarTime(dataset, &settings)) names.push_back("$Time");
    int created = 0;
    try {
        created = Smooth::CreateAndInsertSmoothedYs(dataset, &settings, nc::kNoUniqueID, &names);
    } catch (const NCError& error) {
        out << "  " << error.what() << '\n';
    }
    project->SetBatchImportSettings(settings);
    out << Smooth::FormatSmoothedVarsMessage(names, true) << '\n';

    // The first two batches, with the new columns beside the measured temperature.
    std::vector<int> columns{2};
    for (int var = 5; var <= dataset->SizeVariables(); ++var) columns.push_back(var);
    std::vector<std::string> header{"Obs", "Phase"};
    for (int var : columns) header.push_back(dataset->GetVariableID(var, 1));
    TextTable table(header);
    const NCDataMatrix<float> values = dataset->GetData(false, nullptr);
    for (int obs = 1; obs <= 14; ++obs) {
        std::vector<std::string> row{dataset->GetObservationID(obs, 1), dataset->GetObservationID(obs, 3)};
        for (int var : columns) {
            const float value = values(obs, var);
            row.push_back(value == kMissingValue ? std::string() : ZoString::Format("%.2f", value));
        }
        table.AddRow(row);
    }
    table.Print(out, 4);
    const VariableInfo* time = dataset->GetVariableInfo(5);
    out << "\n  \"$Time\" has the recipe " << time->GetRecipe().GetString() << "; the relative maturity "
        << (project->GetVariables()[dataset->GetVarID(7)]->IsIncluded() ? "replaces" : "stands beside")
        << " Temp, which is now excluded.\n";
    return created == 2 && dataset->SizeVariables() == 7;
}

// ---- sorting and trimming ----------------------------------------------------------------------

// "S3/Viscosity, S4/pH" for the cells GetTrimmedIndex lists.
std::string DescribeTrimmedCells(const NCDataSet& dataset) {
    NCIntegralVector<int, -99> vars, obs;
    dataset.GetTrimmedIndex(&vars, &obs);
    std::string text;
    for (int k = 1; k <= vars.size(); ++k)
        text += (text.empty() ? "" : ", ") + std::string(dataset.GetObservationID(obs[k], 1)) + "/" +
                dataset.GetVariableID(vars[k], 1);
    return text.empty() ? "none" : text;
}

bool DemoSortingAndTrimming(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    out << "\n6. Sorting a dataset, trimming extreme values and undoing the trimming\n\n";
    auto user = std::make_shared<ScriptedUserComm>();
    UserComm::SetUserComm(user);

    // The process project has a batch ID column: its datasets may not be sorted.
    const boost::shared_ptr<ReferenceProject> batchProject = ReferenceProject::Create();
    const ProcessRecords process =
        FillCollections(rows, batchProject->GetVariables(), batchProject->GetObservations(), *batchProject);
    const NCIntegralVector<unsigned long, 0> processObs = process.ObservationIDs();
    const NCIntegralVector<unsigned long, 0> processVars = process.VariableIDs();
    const auto processData = NCDataSet::Create(batchProject, "Batch data", 1, nullptr, &processObs, &processVars,
                                               {1, 2, 3}, {1}, "", nullptr, nullptr, false);
    batchProject->AddDataset(processData);
    const bool refused = !processData->SortDataset(1, true, true, false, nullptr);
    const std::string told = user->GetExchanges().empty() ? "nothing" : user->GetExchanges().back().text;
    out << "  Sorting the process dataset by observation ID: " << (refused ? "refused" : "sorted")
        << "; the user is told \"" << told << "\".\n";

    // A small project of lab samples without batches: sample and lot IDs, two measurements.
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    const std::vector<CString> labels{"Sample", "Lot"};
    project->GetObservations().Set_ID_Labels(&labels);
    const std::vector<std::vector<std::string>> samples{
        {"S1", "C"}, {"S2", "A"}, {"S3", "B"}, {"S4", "A"}, {"S5", "C"}};
    const float measured[5][2] = {{12.1f, 6.8f}, {11.4f, 7.1f}, {55.0f, 6.9f}, {10.9f, 2.1f}, {12.6f, 7.0f}};
    NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
    for (const auto& sample : samples) {
        obsIDs.push_back(project->GetNewUniqueID(nc::UniqueIDKind::kRecord));
        project->GetObservations().Add(
            std::make_unique<ObservationInfo>(std::vector<CString>{sample[0], sample[1]}, obsIDs[obsIDs.size()]),
            nullptr);
    }
    for (const char* name : {"Viscosity", "pH"}) {
        varIDs.push_back(project->GetNewUniqueID(nc::UniqueIDKind::kRecord));
        project->GetVariables().Add(
            std::make_unique<QuantitativeVariableInfo>(name, varIDs[varIDs.size()], "", -1, -1, eVarTypeDefault),
            nullptr);
    }
    NCDataMatrix<float> data(5, 2);
    for (int obs = 1; obs <= 5; ++obs)
        for (int var = 1; var <= 2; ++var) data(obs, var, measured[obs - 1][var - 1]);
    const auto dataset =
        NCDataSet::Create(project, "Lab samples", 1, &data, &obsIDs, &varIDs, {1, 2}, {1}, "", nullptr, nullptr, false);
    project->AddDataset(dataset);

    user->AddAnswer(1);
    const bool sorted = dataset->SortDataset(2, true, true, false, nullptr);
    out << "  Lab samples (a project without batches) sorted by lot after the user said yes: "
        << (sorted ? "done" : "refused") << "; samples of one lot keep their order.\n\n";
    PrintDataset(out, *dataset);

    // Trimming: viscosity capped at 13, pH raised to at least 6.5; each replaced value is recorded.
    const float limits[2] = {13.0f, 6.5f};
    for (int obs = 1; obs <= dataset->SizeObservations(); ++obs) {
        const NCDataMatrix<float> values = dataset->GetData(false, nullptr);
        if (values(obs, 1) > limits[0]) dataset->SetValue(obs, 1, limits[0], true, false, false);
        if (values(obs, 2) < limits[1]) dataset->SetValue(obs, 2, limits[1], true, false, false);
    }
    for (int var = 1; var <= 2; ++var) dataset->SetTrimValues(var, limits[var - 1]);
    out << "\n  Trimmed cells after capping viscosity at 13 and raising pH to 6.5: " << DescribeTrimmedCells(*dataset)
        << ".\n";
    const int s4 = dataset->GetObsIDs().Find(obsIDs[4]);
    dataset->SetValue(s4, 2, 6.6f, false, false, false);
    out << "  After S4's pH is corrected by hand to 6.6, still trimmed: " << DescribeTrimmedCells(*dataset) << ".\n";
    const bool undoneOne = dataset->ResetDatasetFromTrimming(false, 1);
    const int s3 = dataset->GetObsIDs().Find(obsIDs[3]);
    out << "  Undoing Viscosity's trimming " << (undoneOne ? "restores" : "fails to restore") << " S3 to "
        << dataset->GetStrValue(s3, 1) << "; undoing all the rest ";
    const bool undoneAll = dataset->ResetDatasetFromTrimming(true, 0);
    out << (undoneAll ? "leaves" : "fails, leaving") << " S4's hand-set pH at " << dataset->GetStrValue(s4, 2)
        << "; trimmed: " << (dataset->GetIsTrimmed() ? "yes" : "no") << ".\n";
    UserComm::SetUserComm(nullptr);
    const NCDataMatrix<float> result = dataset->GetData(false, nullptr);
    return refused && sorted && undoneOne && undoneAll && !dataset->GetIsTrimmed() && result(s3, 1) == 55.0f &&
           result(s4, 2) == 6.6f && std::string(dataset->GetObservationID(1, 1)) == "S2";
}

// ---- persistence -----------------------------------------------------------------------------

// The project's two collections and a batch dataset written to one file and read into a new
// project: the sizes of the three sections, and whether the new project holds the same.
bool ShowPersistence(std::ostream& out, const std::string& folder, const std::vector<std::vector<std::string>>& rows) {
    out << "\n7. The collections and a dataset saved to a file and opened in a new project\n\n";
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    const ProcessRecords made = FillCollections(rows, project->GetVariables(), project->GetObservations(), *project);
    NCIntegralVector<unsigned long, 0> obsIDs = made.ObservationIDs();
    NCIntegralVector<unsigned long, 0> varIDs = made.VariableIDs();
    NCDataMatrix<float> data = EncodedValues(rows, project->GetVariables(), made);
    const std::unique_ptr<BatchInfoVector> batches(
        BatchUtilities::CreateBatchInfoVector(&project->GetObservations(), &obsIDs));
    const std::unique_ptr<ClassInfoVector> phases(
        BatchUtilities::CreatePhaseInfoVector(&project->GetObservations(), &obsIDs));
    const boost::shared_ptr<NCDataSet> dataset =
        NCDataSet::Create(project, "Process data", 1, &data, &obsIDs, &varIDs, {1, 2, 3}, {1},
                          "imported from the demo table", batches.get(), phases.get(), false);
    project->AddDataset(dataset);
    dataset->SetValue(5, 2, 85.0f, true, false, false);  // replaced, the value before kept for undoing

    // The three sections one after another; the bytes of each tell its size.
    const auto sections = [](const NCProjectBase& from, const NCDataSet& set) {
        std::vector<std::string> bytes;
        for (const ZStreamBase* object :
             std::vector<const ZStreamBase*>{&from.GetVariables(), &from.GetObservations(), &set}) {
            std::ostringstream os;
            os << *object;
            bytes.push_back(os.good() ? os.str() : std::string());
        }
        return bytes;
    };
    const std::vector<std::string> written = sections(*project, *dataset);
    const std::string path = folder + "/ncds-project.bin";
    {
        std::ofstream file(path, std::ios::binary);
        file << project->GetVariables() << project->GetObservations() << *dataset;
        if (!file) {
            out << "  could not write " << path << '\n';
            return false;
        }
    }
    const boost::shared_ptr<ReferenceProject> opened = ReferenceProject::Create();
    const boost::shared_ptr<NCDataSet> copy = opened->CreateDataset(1);
    std::ifstream file(path, std::ios::binary);
    file >> opened->GetVariables() >> opened->GetObservations() >> *copy;
    if (!file) {
        out << "  could not read the project back from " << path << '\n';
        return false;
    }
    out << "  Wrote " << path << ": variables " << written[0].size() << " bytes, observations " << written[1].size()
        << " bytes, dataset " << written[2].size() << " bytes.\n";
    out << "  The new project holds " << opened->GetVariables().GetNumberOfVarObs() << " variable and "
        << opened->GetObservations().GetNumberOfVarObs() << " observation records and the dataset \"" << copy->GetName()
        << "\" of " << copy->SizeObservations() << " x " << copy->SizeVariables() << " values, "
        << copy->GetBatchInfoVector()->size() << " batches, " << copy->GetPhaseInfoVector()->size() << " phases"
        << (copy->GetIsTrimmed() ? " and one replaced value kept for undoing" : "") << ".\n";

    // Equal: the new project writes the same bytes, and every cell reads as the same text.
    int sameCells = 0;
    for (int obs = 1; obs <= copy->SizeObservations(); ++obs)
        for (int var = 1; var <= copy->SizeVariables(); ++var)
            if (copy->GetStrValue(obs, var) == dataset->GetStrValue(obs, var) &&
                std::string(copy->GetObservationID(obs, 2)) == dataset->GetObservationID(obs, 2))
                ++sameCells;
    const bool equal =
        sections(*opened, *copy) == written && sameCells == dataset->SizeObservations() * dataset->SizeVariables();
    out << "  Written again, the new project gives " << (equal ? "the same" : "OTHER") << " bytes; " << sameCells
        << " of " << dataset->SizeObservations() * dataset->SizeVariables()
        << " cells read as before, with their batch names.\n";
    return equal;
}

// ---- the tool's road through a project file -------------------------------------------------

// A longer run of the same process for the tool: six batches of 40 to 70 samples a minute apart,
// with a conversion that rises through each batch (the maturity) and some noise.
std::string LongProcessTable() {
    std::string csv = "Obs,Batch,Phase,Time,Conversion,Temp,Pressure,Grade\n";
    unsigned state = 12345;
    const auto noise = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) % 2001) / 1000.0 - 1.0;  // -1 … 1
    };
    for (int b = 1; b <= 6; ++b) {
        const int n = 40 + (b * 17) % 31;
        const int heat = n * 3 / 10;
        const int hold = n / 2;
        for (int k = 0; k < n; ++k) {
            const char* phase = k < heat ? "Heat" : k < heat + hold ? "Hold" : "Cool";
            const double temp = k < heat          ? 20.0 + 60.0 * k / heat
                                : k < heat + hold ? 80.0
                                                  : 80.0 - 40.0 * (k - heat - hold) / (n - heat - hold);
            const double conversion = (90.0 + 2.0 * b) * k / n + 0.3 * noise();
            csv += ZoString::Format("B%d-%02d,B%d,%s,2026-03-%02d %02d:%02d:00,%.2f,%.1f,%.3f,%s\n", b, k + 1, b, phase,
                                    b + 1, 8 + k / 60, k % 60, conversion, temp + 0.6 * noise(),
                                    1.0 + 0.5 * temp / 80.0 + 0.01 * noise(),
                                    temp < 45   ? "low"
                                    : temp < 75 ? "medium"
                                                : "high");
        }
    }
    return csv;
}

// What `ncds import`, `ncds batch` and `ncds plot` do, run on a CSV written into the folder.
bool DemoProjectFile(std::ostream& out, const std::string& folder) {
    out << "\n11. The tool's road: a CSV imported into a project file, its batches aligned, a plot written\n\n";
    const std::string csv = folder + "/process.csv";
    const std::string project = folder + "/process.ncp";
    {
        std::ofstream file(csv, std::ios::binary);
        file << LongProcessTable();
        if (!file) {
            out << "  could not write " << csv << '\n';
            return false;
        }
    }
    std::filesystem::remove(project);  // a new project each time
    try {
        Commands::ImportArgs importArgs;
        importArgs.project = project;
        importArgs.csv = csv;
        importArgs.options.observationIDColumns = {"Obs"};
        importArgs.options.batchColumn = "Batch";
        importArgs.options.phaseColumn = "Phase";
        importArgs.options.qualitativeColumns = {"Grade"};
        importArgs.options.dateTimeColumns = {{"Time", "yyyy-MM-dd HH:mm:ss"}};
        out << "  $ ncds import process.ncp process.csv --id Obs --batch Batch --phase Phase --qualitative Grade "
               "--datetime \"Time=yyyy-MM-dd HH:mm:ss\"\n  ";
        Commands::Import(importArgs, out);

        Commands::BatchArgs batch;
        batch.project = project;
        batch.maturity = "Conversion";
        out << "  $ ncds batch process.ncp --maturity Conversion\n  ";
        std::ostringstream report;
        Commands::Batch(batch, report);
        std::string text = report.str();
        for (std::size_t at = text.find('\n'); at != std::string::npos && at + 1 < text.size();
             at = text.find('\n', at + 1))
            text.insert(at + 1, "  ");
        out << text;

        Commands::PlotArgs plot;
        plot.project = project;
        plot.variable = "Temp";
        plot.output = folder + "/Temp.svg";
        out << "  $ ncds plot process.ncp --variable Temp -o Temp.svg\n  ";
        Commands::Plot(plot, out);
    } catch (const std::exception& error) {
        out << "\n  failed: " << error.what() << '\n';
        return false;
    }
    out << "\n  The project file is " << project << ";\n  open " << folder
        << "/Temp.svg in a browser to see the batches before and after alignment.\n";
    return true;
}

// ---- aligning batches on their maturity -------------------------------------------------------

// The process once more, with a maturity that every batch passes through at its own pace: the heat
// dose, the running sum of Temp over the 15-minute steps (degree-hours). The aligner picks one grid
// of doses from all batches, then gives every batch its temperature and pressure at those doses.
bool ShowAlignment(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    out << "\n10. Batches aligned on their maturity, the heat dose (running sum of Temp x 0.25 h)\n\n";
    const int numObs = static_cast<int>(rows.size()) - 1;
    NCDataVector<float> dose;
    NCDataMatrix<float> values(numObs, 2);  // Temp and Pressure
    NCIntegralVector<int, -99> beginnings;
    std::vector<std::string> batchNames;
    float sum = 0.0f;
    for (int obs = 1; obs <= numObs; ++obs) {
        const std::vector<std::string>& row = rows[static_cast<std::size_t>(obs)];
        if (batchNames.empty() || row[1] != batchNames.back()) {
            batchNames.push_back(row[1]);
            beginnings.push_back(obs);
            sum = 0.0f;
        }
        for (int var = 1; var <= 2; ++var) {
            float value = kMissingValue;
            ZoString::ToFloat(row[static_cast<std::size_t>(kIDColumns + var)].c_str(), value);
            values(obs, var, value);
        }
        sum += values(obs, 1) * 0.25f;
        dose.push_back(sum);
    }
    BatchAligner aligner;
    aligner.Init(&dose, &beginnings, true);
    const NCDataVector<float>& grid = *aligner.GetTimeMaturityVector();
    const auto cell = [](float value, const char* format = "%.1f") {
        return value == kMissingValue ? std::string("-") : ZoString::Format(format, value);
    };
    std::string gridText;
    for (int i = 1; i <= grid.size(); ++i) gridText += (i > 1 ? ", " : "") + cell(grid(i));
    out << "  Grid of " << grid.size() << " doses, from the median first to the median last dose of the batches:\n    "
        << gridText << "\n\n";

    std::vector<std::string> header{"Batch", "Variable"};
    for (int i = 1; i <= grid.size(); ++i) header.push_back("@" + cell(grid(i)));
    TextTable table(header);
    bool aligned = true;
    for (std::size_t b = 0; b < batchNames.size(); ++b) {
        const int first = beginnings[static_cast<int>(b) + 1];
        const int last = b + 1 < batchNames.size() ? beginnings[static_cast<int>(b) + 2] - 1 : numObs;
        NCIntegralVector<int, -99> batchRows;
        for (int row = first; row <= last; ++row) batchRows.push_back(row);
        NCDataMatrix<float> batch = values;
        batch.ReduceRows(batchRows);
        NCDataVector<float> batchDose = dose;
        batchDose.Reduce(batchRows);
        const std::unique_ptr<NCDataMatrix<float>> result(aligner.Align(batch, batchDose));
        aligned = aligned && result->GetNumRows() == grid.size();
        for (int var = 1; var <= 2 && (var == 1 || b == 0); ++var) {
            std::vector<std::string> line{batchNames[b], var == 1 ? "Temp" : "Pressure"};
            for (int i = 1; i <= result->GetNumRows(); ++i)
                line.push_back(cell((*result)(i, var), var == 1 ? "%.1f" : "%.2f"));
            table.AddRow(line);
        }
    }
    table.Print(out, 4);
    out << "\n  Each batch gets a value at every dose of the grid; B1's pressure missing at 09:15 is bridged\n"
        << "  from its neighbours, and beyond a batch's last dose its last value is held.\n";
    return aligned && grid.size() > 1;
}

// ---- an import that leaves out a phase -------------------------------------------------------------

// The process (its temperatures) as an import builds it, before the dataset exists: the user leaves
// the cooling phase out of every batch, and its rows go from the data with their records.
bool DemoPhaseExclusion(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    out << "\n8. An import that leaves out the Cool phase of every batch\n\n";
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    const ProcessRecords made = FillCollections(rows, project->GetVariables(), project->GetObservations(), *project);
    const NCObservations& observations = project->GetObservations();
    const NCIntegralVector<unsigned long, 0> obsIDs = made.ObservationIDs();

    DatasetComponents parts;
    parts.Allocate();
    parts.settings->SetBatchID(2);
    parts.settings->SetPhaseID(3);
    *parts.data = NCDataMatrix<float>(obsIDs.size(), 1);
    for (int row = 1; row <= obsIDs.size(); ++row) {
        parts.observations->emplace_back(observations[obsIDs[row]]->Clone());
        float temp = kMissingValue;
        ZoString::ToFloat(rows[static_cast<std::size_t>(row)][4].c_str(), temp);
        (*parts.data)(row, 1, temp);
    }
    parts.batches.reset(BatchUtilities::CreateBatchInfoVector(&observations, &obsIDs));
    parts.phases.reset(BatchUtilities::CreatePhaseInfoVector(&observations, &obsIDs));
    for (const auto& batch : *parts.batches)
        BatchUtilities::FindPhase(batch->GetClassVector(), "Cool", false)->SetIncluded(false);

    std::string log;
    ConditionalDeleteBatchAndPhase(&parts).UpdateDataAccordingToBatchAndPhaseInfo(&log);
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) out << "  " << line << "\n";
    out << "\n  " << obsIDs.size() << " rows became " << parts.data->GetNumRows() << "; batch "
        << (*parts.batches)[0]->GetBatchName() << " keeps " << (*parts.batches)[0]->GetClassVector()->size()
        << " phases.\n";
    return parts.data->GetNumRows() == 24 && parts.observations->size() == 24u;
}

// ---- compound datasets and merging -------------------------------------------------------------

// The process data and the lab's results for a few samples (one of them, B2-00, taken before
// batch 2 started and known only to the lab): the two combined by unique ID, the lab results
// merged into the process data, and the temperature shown centred on each batch's mean.
bool DemoCompoundAndMerge(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    out << "\n9. Lab results combined with the process data, merged into it, and the data centred per batch\n\n";
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    const ProcessRecords made = FillCollections(rows, project->GetVariables(), project->GetObservations(), *project);
    NCIntegralVector<unsigned long, 0> obsIDs = made.ObservationIDs();
    NCIntegralVector<unsigned long, 0> varIDs = made.VariableIDs();
    NCDataMatrix<float> data = EncodedValues(rows, project->GetVariables(), made);
    const auto process = NCDataSet::Create(project, "Process data", 1, &data, &obsIDs, &varIDs, {1, 2, 3}, {1},
                                           "imported from the demo table", nullptr, nullptr, false);
    project->AddDataset(process);

    // The lab's dataset: re-measured temperatures and a viscosity.
    const unsigned long earlySample = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
    project->GetObservations().Add(
        std::make_unique<ObservationInfo>(std::vector<CString>{"B2-00", "B2", "Heat"}, earlySample), nullptr);
    const unsigned long viscosity = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
    auto viscosityInfo =
        std::make_unique<QuantitativeVariableInfo>("Viscosity", viscosity, "", -1, -1, eVarTypeDefault);
    viscosityInfo->SetUnit("mPa s");
    project->GetVariables().Add(std::move(viscosityInfo), nullptr);
    const unsigned long temp = made.variables[1];
    const auto find = [&](const char* name) {
        for (unsigned long id : made.observations)
            if (std::string(project->GetObservations()[id]->GetPrimaryAlias()) == name) return id;
        return nc::kNoUniqueID;
    };
    NCIntegralVector<unsigned long, 0> labObs, labVars;
    for (unsigned long id : {find("B1-07"), earlySample, find("B2-01"), find("B2-07")}) labObs.push_back(id);
    labVars.push_back(temp);
    labVars.push_back(viscosity);
    const float labValues[4][2] = {{62.0f, 520.0f}, {18.9f, 180.0f}, {20.1f, 205.0f}, {60.8f, 515.0f}};
    NCDataMatrix<float> labData(4, 2);
    for (int obs = 1; obs <= 4; ++obs)
        for (int var = 1; var <= 2; ++var) labData(obs, var, labValues[obs - 1][var - 1]);
    const auto lab = NCDataSet::Create(project, "Lab results", 2, &labData, &labObs, &labVars, {1, 2, 3}, {1},
                                       "entered by the lab", nullptr, nullptr, false);
    project->AddDataset(lab);

    const CompoundDataset compound(project, {1, 2});
    const std::atomic<bool> cancel{false};
    const float match = compound.CalculateMatchPercent(cancel);
    out << "  \"" << compound.GetName() << "\": " << compound.SizeObservations() << " observations x "
        << compound.SizeVariables() << " variables, match " << ZoString::Format("%.1f", match) << " %.\n";

    SignalLog log;
    process->Merge(lab);
    std::string importLog = process->GetImportLog();
    std::replace(importLog.begin(), importLog.end(), '\n', '/');
    out << "  Merged into \"" << process->GetName() << "\": " << process->SizeObservations() << " x "
        << process->SizeVariables() << ", saved " << project->GetSavedDatasets().size() << " time, "
        << log.Count("merged") << " merged signal; import log \"" << importLog << "\".\n\n";

    // Temp centred on its batch's mean over the merged rows.
    const NCDataMatrix<float> raw = process->GetData(false, nullptr);
    const int tempColumn = process->GetVarIDs().Find(temp);
    std::map<std::string, std::pair<double, int>> sums;
    for (int obs = 1; obs <= process->SizeObservations(); ++obs)
        if (raw(obs, tempColumn) != kMissingValue) {
            auto& sum = sums[process->GetObservationID(obs, 2)];
            sum.first += raw(obs, tempColumn);
            ++sum.second;
        }
    for (const auto& [batch, sum] : sums)
        project->GetLocalCenteringData()->AddInfo(static_cast<float>(sum.first / sum.second), temp, 2, batch.c_str(),
                                                  -1, nullptr);
    const NCDataMatrix<float> centred = process->GetData(true, nullptr);
    TextTable table({"Obs", "Batch", "Temp", "Temp centred", "Viscosity"});
    bool consistent = true;
    for (const char* name : {"B1-06", "B1-07", "B2-00", "B2-01", "B2-07"}) {
        const unsigned long id = std::string(name) == "B2-00" ? earlySample : find(name);
        const int obs = process->GetObsIDs().Find(id);
        const std::string batch = process->GetObservationID(obs, 2);
        const float centre = static_cast<float>(sums[batch].first / sums[batch].second);
        consistent = consistent && centred(obs, tempColumn) == raw(obs, tempColumn) - centre;
        table.AddRow({name, batch, process->GetStrValue(obs, tempColumn),
                      ZoString::Format("%.2f", centred(obs, tempColumn)),
                      process->GetStrValue(obs, process->SizeVariables())});
    }
    table.Print(out, 4);
    return consistent && match > 0.0f && match < 100.0f && process->SizeObservations() == 29 &&
           process->SizeVariables() == 5 && std::string(process->GetObservationID(8, 1)) == "B2-00";
}

}  // namespace

int RunDemo(std::ostream& out, const std::string& folder) {
    const auto rows = ParseTable(kProcessTable);
    if (!DemoRecords(out, folder)) return 1;
    if (!DemoCollections(out, folder, rows)) return 1;
    if (!DemoDataset(out, rows)) return 1;
    if (!DemoBatches(out, rows)) return 1;
    if (!ShowSmoothing(out, rows)) return 1;
    if (!DemoSortingAndTrimming(out, rows)) return 1;
    if (!ShowPersistence(out, folder, rows)) return 1;
    if (!DemoPhaseExclusion(out, rows)) return 1;
    if (!DemoCompoundAndMerge(out, rows)) return 1;
    if (!ShowAlignment(out, rows)) return 1;
    if (!DemoProjectFile(out, folder)) return 1;
    return 0;
}
