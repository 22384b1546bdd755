#pragma once
// A reference project for the local centering tests: observations named by ID texts in three
// alias columns (1 name, 2 batch, 3 phase; the collection knows columns 2 and 3 as its batch and
// phase columns) and quantitative variables.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ReferenceProject.h"
#include "centering/LocalCenteringData.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

class CenteringTest : public ::testing::Test {
protected:
    static constexpr int kBatch = 2;
    static constexpr int kPhase = 3;

    CenteringTest() {
        project->GetObservations().SetBatchID(kBatch);
        project->GetObservations().SetPhaseID(kPhase);
    }

    // An observation with the texts `ids` in alias columns 1, 2, … ; returns its unique ID.
    unsigned long AddObservation(const std::vector<CString>& ids) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project->GetObservations().Add(std::make_unique<ObservationInfo>(ids, id), nullptr);
        obsIDs.push_back(id);
        return id;
    }
    // A variable with the texts `ids` in alias columns 1, 2, … ; returns its unique ID.
    unsigned long AddVariable(const std::vector<CString>& ids) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project->GetVariables().Add(
            std::make_unique<QuantitativeVariableInfo>(ids[0], id, CString(), -1, -1, eVarTypeDefault), nullptr);
        for (std::size_t k = 1; k < ids.size(); ++k)
            project->GetVariables()[id]->SetUserID(ids[k], static_cast<int>(k) + 1, nullptr);
        varIDs.push_back(id);
        return id;
    }

    LocalCenteringData& Table() { return *project->GetLocalCenteringData(); }

    boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    NCIntegralVector<unsigned long, 0> obsIDs;
    NCIntegralVector<unsigned long, 0> varIDs;
};
