#pragma once
// A reference project with a scripted user for the dataset tests, and a helper that builds a
// dataset of named records with known values.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/ReferenceProject.h"
#include "app/ScriptedUserComm.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "interfaces/utility/ZoSystemInfo.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserComm::SetUserComm(user);
        ZoSystemInfo::SetApplicationName("DatasetTestApp");
    }
    void TearDown() override { UserComm::SetUserComm(nullptr); }

    unsigned long AddVariableRecord(const std::string& name) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project->GetVariables().Add(
            std::make_unique<QuantitativeVariableInfo>(CString(name), id, CString(), -1, -1, eVarTypeDefault), nullptr);
        return id;
    }
    unsigned long AddObservationRecord(const std::string& name) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project->GetObservations().Add(std::make_unique<ObservationInfo>(CString(name), id), nullptr);
        return id;
    }

    // Observations O1…On, variables V1…Vm, value at (i, j) = 100 i + j; held by the project.
    boost::shared_ptr<NCDataSet> MakeDataset(int number, int rows, int cols) {
        NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
        for (int i = 1; i <= rows; ++i) obsIDs.push_back(AddObservationRecord("O" + std::to_string(i)));
        for (int j = 1; j <= cols; ++j) varIDs.push_back(AddVariableRecord("V" + std::to_string(j)));
        NCDataMatrix<float> data(rows, cols);
        for (int i = 1; i <= rows; ++i)
            for (int j = 1; j <= cols; ++j) data(i, j, static_cast<float>(100 * i + j));
        auto dataset =
            NCDataSet::Create(project, "Data", number, &data, &obsIDs, &varIDs, {1}, {1}, "", nullptr, nullptr, false);
        project->AddDataset(dataset);
        return dataset;
    }

    static void ExpectShapeKept(const NCDataSet& dataset) {
        const NCDataMatrix<float> data = dataset.GetData(false, boost::shared_ptr<DefaultCenterValues const>());
        EXPECT_EQ(data.GetNumRows(), dataset.SizeObservations());
        EXPECT_EQ(data.GetNumColumns(), dataset.SizeVariables());
    }

    static float Value(const NCDataSet& dataset, int obs, int var) {
        return dataset.GetData(false, boost::shared_ptr<DefaultCenterValues const>())(obs, var);
    }

    boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    std::shared_ptr<ScriptedUserComm> user = std::make_shared<ScriptedUserComm>();
};
