#pragma once
// ProjectSession: one command's use of a project file. It opens the file (or starts a new project
// when the command may create one), installs nothing, and saves the project back in one
// transaction. A save that fails or is cancelled leaves the file as it was; a file that did not
// exist before is removed again, so no half-written project is left behind.

#include <string>

#include <boost/shared_ptr.hpp>

#include "app/ReferenceProject.h"

class NCDataSet;

class ProjectSession {
public:
    // Opens `path`; when it does not exist and `createIfMissing`, starts a new empty project.
    // Throws ProjectFileError.
    ProjectSession(const std::string& path, bool createIfMissing);

    ReferenceProject& Project() { return *mProject; }
    const boost::shared_ptr<ReferenceProject>& SharedProject() const { return mProject; }
    const std::string& GetPath() const { return mPath; }
    bool IsNew() const { return mNew; }
    // Dataset `number` of the project; throws InputError, naming the datasets there are, when the
    // project has no such dataset.
    boost::shared_ptr<NCDataSet> Dataset(int number);

    // Writes the project into the file with a progress display. Throws OperationCancelled when
    // cancellation was asked for before or during the save, ProjectFileError when it failed.
    void Save();

private:
    std::string mPath;
    bool mNew = false;
    boost::shared_ptr<ReferenceProject> mProject;
};
