#include "app/ProjectFile.h"

boost::shared_ptr<ReferenceProject> ProjectFile::Open(const std::string& path) {
    throw ProjectFileError(ProjectFileError::Kind::Io, "Project files are not implemented yet: " + path);
}

void ProjectFile::Save(ReferenceProject&, const std::string& path, NCProgress*) {
    throw ProjectFileError(ProjectFileError::Kind::Io, "Project files are not implemented yet: " + path);
}
