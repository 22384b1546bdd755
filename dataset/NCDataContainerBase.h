#pragma once
// NCDataContainerBase: the read interface over a table of observations (rows) and variables
// (columns) whose items are named by project-wide unique IDs. Datasets, compound datasets,
// dataset descriptions and prediction data all present themselves through it. Positions are
// 1-based. A container holds only a weak reference to its project: it never keeps the project
// alive, and the records of its items live in the project's collections.

#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"

class NCProjectBase;
class ObservationInfo;
class VarObsInfo;
class VariableInfo;
class BatchInfoVector;

class NCDataContainerBase {
public:
    explicit NCDataContainerBase(boost::shared_ptr<NCProjectBase> project);
    virtual ~NCDataContainerBase();

    // The project while it exists, otherwise an empty pointer.
    boost::shared_ptr<NCProjectBase> GetProject();
    boost::shared_ptr<NCProjectBase const> GetProject() const;

    // The container's number within the project.
    virtual int GetNumber() const = 0;
    // The data type bit set (the bits the library uses are in nc::DataType).
    virtual int GetDataType() const = 0;
    // Copies of the unique IDs in row (column) order.
    virtual NCIntegralVector<unsigned long, 0> GetObsIDs() const = 0;
    virtual NCIntegralVector<unsigned long, 0> GetVarIDs() const = 0;
    // Default: the size of GetObsIDs() (GetVarIDs()).
    virtual int SizeObservations() const;
    virtual int SizeVariables() const;
    // The ID columns shown, as 1-based column numbers of the project's collection.
    virtual const std::vector<int>& GetUsedObsAliases() const = 0;
    virtual const std::vector<int>& GetUsedVarAliases() const = 0;
    // Default: element `obs` (`var`) of GetObsIDs() (GetVarIDs()); the caller passes a valid index.
    virtual unsigned long GetObsID(int obs) const;
    virtual unsigned long GetVarID(int var) const;
    // Default: the project's record with that position's unique ID; null when there is none or
    // the project no longer exists. The caller passes a valid index.
    virtual const ObservationInfo* GetObservationInfo(int obs) const;
    virtual const VariableInfo* GetVariableInfo(int var) const;
    // One ID text of an item; `alias` is a 1-based position in the used aliases.
    virtual const char* GetObservationID(int obs, int alias) const = 0;
    virtual const char* GetVariableID(int var, int alias) const = 0;
    // The batch list; empty for a container without batches.
    virtual boost::shared_ptr<BatchInfoVector const> GetBatchInfoVector() const = 0;
    // The batch names in list order; empty when the data type lacks DataType::kObservationLevelBatch
    // or there is no batch list.
    virtual NCStringVector GetBatchNames() const;

protected:
    // The text of `record`'s ID in used alias `alias`, a 1-based position in `usedAliases`; "" when
    // that position, or the column it names, is out of range.
    static const char* UsedIDText(const VarObsInfo& record, const std::vector<int>& usedAliases, int alias);
    // Throws the NCError (level Critical) for an observation of the container `name` that the
    // project lacks.
    [[noreturn]] static void ThrowMissingObservation(const char* name);

private:
    boost::weak_ptr<NCProjectBase> mProject;
};
