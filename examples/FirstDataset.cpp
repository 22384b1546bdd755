// A first program with the library: a project of its own, three variables and four
// observations, a dataset over them, values set from text and printed back.

#include <iomanip>
#include <iostream>
#include <map>

#include <ncdataset.h>

// The library reaches the application only through NCProjectBase. This project keeps its records
// and datasets in memory, allows every change and has no storage, models or local centering.
class ExampleProject : public NCProjectBase {
public:
    static boost::shared_ptr<ExampleProject> Create() { return boost::shared_ptr<ExampleProject>(new ExampleProject); }

    unsigned long GetNewUniqueID(int) override { return mNextUniqueID++; }
    bool ConfirmDatasetChange(int, const NCIntegralVector<unsigned long, 0>*) override { return true; }
    boost::shared_ptr<NCDataSet> GetDataset(int number) const override {
        const auto found = mDatasets.find(number);
        return found == mDatasets.end() ? nullptr : found->second;
    }
    const ProjectStorage& GetStorage() const override { return mStorage; }
    const NCVariables& GetVariables() const override { return mVariables; }
    NCVariables& GetVariables() override { return mVariables; }
    const NCObservations& GetObservations() const override { return mObservations; }
    NCObservations& GetObservations() override { return mObservations; }
    int GetNumberOfModels() const override { return 0; }
    const BatchImportSettings& GetBatchImportSettings(int) const override { return mBatchImportSettings; }
    void SetBatchImportSettings(const BatchImportSettings& settings) override { mBatchImportSettings = settings; }
    std::string GetStreamName(int kind, int number) const override {
        return std::to_string(kind) + "-" + std::to_string(number);
    }
    bool AskBatchQuestion() const override { return false; }
    void SaveDataset(boost::shared_ptr<NCDataSet const>) override {}
    boost::shared_ptr<LocalCenteringData> GetLocalCenteringData() const override { return nullptr; }
    boost::shared_ptr<NCDataSetInfo> GetDataSetInfo(int) const override { return nullptr; }

    void AddDataset(const boost::shared_ptr<NCDataSet>& dataset) { mDatasets[dataset->GetNumber()] = dataset; }

private:
    ExampleProject() = default;

    // No stored streams: every dataset of this project lives in memory.
    class NoStorage : public ProjectStorage {
    public:
        std::istream* OpenInputStream(const char*) const override { return nullptr; }
    };

    std::map<int, boost::shared_ptr<NCDataSet>> mDatasets;
    NCVariables mVariables;
    NCObservations mObservations;
    NoStorage mStorage;
    BatchImportSettings mBatchImportSettings;
    unsigned long mNextUniqueID = 1;
};

int main() {
    const auto project = ExampleProject::Create();

    // Records first: the project's collections name every variable and observation once, by a
    // unique ID; datasets refer to them by that ID only.
    NCIntegralVector<unsigned long, 0> varIDs;
    NCIntegralVector<unsigned long, 0> obsIDs;
    for (const char* name : {"Temperature", "Pressure"}) {
        const unsigned long id = project->GetNewUniqueID(1);
        project->GetVariables().Add(new QuantitativeVariableInfo(name, id, "", -1, -1, eVarTypeDefault), nullptr);
        varIDs.push_back(id);
    }
    const unsigned long gradeID = project->GetNewUniqueID(1);
    const NCStringVector grades(std::vector<std::string>{"low", "medium", "high"});
    project->GetVariables().Add(new QualitativeVariableInfo("Grade", gradeID, &grades, ""), nullptr);
    varIDs.push_back(gradeID);
    for (const char* name : {"Sample 1", "Sample 2", "Sample 3", "Sample 4"}) {
        const unsigned long id = project->GetNewUniqueID(1);
        project->GetObservations().Add(new ObservationInfo(name, id), nullptr);
        obsIDs.push_back(id);
    }

    // A dataset over those records; every value is missing until set.
    const auto dataset =
        NCDataSet::Create(project, "Measurements", 1, nullptr, &obsIDs, &varIDs, {1}, {1}, "", nullptr, nullptr, false);
    project->AddDataset(dataset);

    // Values from text, encoded by each variable's record (positions are 1-based): "" is a missing
    // value, and "excellent", which is no grade, is refused. The project is asked and agrees.
    const char* const texts[4][3] = {
        {"20.5", "1.01", "low"}, {"41.0", "1.12", "medium"}, {"63.2", "", "HIGH"}, {"79.8", "1.52", "excellent"}};
    for (int obs = 1; obs <= dataset->SizeObservations(); ++obs) {
        for (int var = 1; var <= dataset->SizeVariables(); ++var) {
            const char* text = texts[obs - 1][var - 1];
            if (!dataset->SetValue(obs, var, text, false, false, true))
                std::cout << "Not stored: \"" << text << "\" for " << dataset->GetVariableID(var, 1) << '\n';
        }
    }

    // The values printed back as text, decoded by the same records.
    std::cout << '\n' << std::left << std::setw(14) << dataset->GetName();
    for (int var = 1; var <= dataset->SizeVariables(); ++var)
        std::cout << std::setw(13) << dataset->GetVariableID(var, 1);
    std::cout << '\n';
    for (int obs = 1; obs <= dataset->SizeObservations(); ++obs) {
        std::cout << std::setw(14) << dataset->GetObservationID(obs, 1);
        for (int var = 1; var <= dataset->SizeVariables(); ++var)
            std::cout << std::setw(13) << dataset->GetStrValue(obs, var);
        std::cout << '\n';
    }
    return 0;
}
