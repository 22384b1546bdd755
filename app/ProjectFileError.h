#pragma once
// ProjectFileError: what went wrong with a project file. The message is meant for the user: it
// names the file and, for a damaged stream, the stream and what it holds.

#include <stdexcept>
#include <string>

class ProjectFileError : public std::runtime_error {
public:
    enum class Kind {
        NotAProject,    // not an SQLite database, or one of another application
        NewerVersion,   // written by a newer version of the application, in a layout this one does not know
        DamagedStream,  // a stream (or the database structure holding it) cannot be read
        Io              // the file could not be opened, read or written (missing, no permission, full disk, locked)
    };

    ProjectFileError(Kind kind, const std::string& message) : std::runtime_error(message), mKind(kind) {}
    Kind GetKind() const { return mKind; }

private:
    Kind mKind;
};
