#pragma once
// A reference project for the compound dataset tests: observations and variables named by
// letters and made on first use (observations with a batch name in ID column 2, the project's
// batch ID column), and datasets over them whose values tell where they came from.

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>

#include "app/ReferenceProject.h"
#include "app/ScriptedUserComm.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

class CompoundTest : public ::testing::Test {
protected:
    CompoundTest() {
        const std::vector<CString> labels{"Obs", VarObs::mszBatchIDString};
        project->GetObservations().Set_ID_Labels(&labels);
        project->GetObservations().SetBatchID(2);
    }
    void SetUp() override { UserComm::SetUserComm(user); }
    void TearDown() override { UserComm::SetUserComm(nullptr); }

    // The unique ID of the observation (variable) named `name`, made on first use with `batch`
    // in ID column 2.
    unsigned long Obs(const std::string& name, const std::string& batch = "") {
        const auto found = mObs.find(name);
        if (found != mObs.end()) return found->second;
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project->GetObservations().Add(std::make_unique<ObservationInfo>(std::vector<CString>{name, batch}, id),
                                       nullptr);
        return mObs[name] = id;
    }
    unsigned long Var(const std::string& name) {
        const auto found = mVars.find(name);
        if (found != mVars.end()) return found->second;
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project->GetVariables().Add(
            std::make_unique<QuantitativeVariableInfo>(CString(name), id, CString(), -1, -1, eVarTypeDefault), nullptr);
        return mVars[name] = id;
    }

    static std::vector<std::string> Names(const std::string& names) {
        std::istringstream in(names);
        std::vector<std::string> list;
        for (std::string name; in >> name;) list.push_back(name);
        return list;
    }

    // Value of a cell of dataset `number` at its own (row, column).
    static float Value(int number, int row, int column) { return static_cast<float>(100 * number + 10 * row + column); }

    // Dataset `number` over the observations and variables named in `obs` and `vars` (names
    // separated by blanks), held by the project, each value Value(number, row, column).
    boost::shared_ptr<NCDataSet> AddDataset(int number, const std::string& obs, const std::string& vars,
                                            const BatchInfoVector* batches = nullptr,
                                            const ClassInfoVector* phases = nullptr) {
        NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
        for (const std::string& name : Names(obs)) obsIDs.push_back(Obs(name));
        for (const std::string& name : Names(vars)) varIDs.push_back(Var(name));
        NCDataMatrix<float> data(obsIDs.size(), varIDs.size());
        for (int i = 1; i <= obsIDs.size(); ++i)
            for (int j = 1; j <= varIDs.size(); ++j) data(i, j, Value(number, i, j));
        const std::string name = "D" + std::to_string(number);
        auto dataset = NCDataSet::Create(project, name.c_str(), number, &data, &obsIDs, &varIDs, {1}, {1},
                                         ("log " + name).c_str(), batches, phases, false);
        project->AddDataset(dataset);
        return dataset;
    }

    // The primary IDs of a container's observations (variables), separated by blanks.
    std::string ObsNames(const NCDataContainerBase& container) const {
        std::string text;
        for (const unsigned long id : container.GetObsIDs())
            text += (text.empty() ? "" : " ") + std::string(project->GetObservations()[id]->GetPrimaryAlias());
        return text;
    }
    std::string VarNames(const NCDataContainerBase& container) const {
        std::string text;
        for (const unsigned long id : container.GetVarIDs())
            text += (text.empty() ? "" : " ") + std::string(project->GetVariables()[id]->GetPrimaryAlias());
        return text;
    }

    // A batch (phase) list of the named batches (phases), and the names of such a list.
    static std::unique_ptr<BatchInfoVector> Batches(const std::string& names) {
        return MakeList<BatchInfoVector, BatchInfo>(names);
    }
    static std::unique_ptr<ClassInfoVector> Phases(const std::string& names) {
        return MakeList<ClassInfoVector, ClassInfo>(names);
    }
    template <typename List>
    static std::string ListNames(const List* list) {
        std::string text;
        if (list)
            for (const auto& item : *list) text += (text.empty() ? "" : " ") + Name(*item).GetString();
        return text;
    }

    boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    std::shared_ptr<ScriptedUserComm> user = std::make_shared<ScriptedUserComm>();

private:
    template <typename List, typename Item>
    static std::unique_ptr<List> MakeList(const std::string& names) {
        auto list = std::make_unique<List>();
        for (const std::string& name : Names(names)) list->push_back(boost::make_shared<Item>(name.c_str()));
        return list;
    }
    static const CString& Name(const BatchInfo& batch) { return batch.GetBatchName(); }
    static const CString& Name(const ClassInfo& phase) { return phase.GetPhaseName(); }

    std::map<std::string, unsigned long> mObs;
    std::map<std::string, unsigned long> mVars;
};
