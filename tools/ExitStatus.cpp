#include "tools/ExitStatus.h"

#include <exception>
#include <new>

#include "app/InputError.h"
#include "app/OperationCancelled.h"
#include "app/OutputFile.h"
#include "app/ProjectFile.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/utility/Exception.h"

namespace ExitStatus {

const char* Describe() {
    return "Exit status:\n"
           "  0    success\n"
           "  1    failure of another kind (out of memory, internal error)\n"
           "  2    usage: unknown command or option, missing or bad argument\n"
           "  3    input: the CSV file, or a dataset or variable the project does not have\n"
           "  4    project file: missing, not a project, written by a newer version, damaged, not writable\n"
           "  5    output: the CSV or SVG file could not be written\n"
           "  130  cancelled with Ctrl-C; the project file and outputs are left as they were\n";
}

int Run(const char* name, std::ostream& err, const std::function<int()>& command) {
    const auto report = [&](const char* message) { err << "ncds " << name << ": " << message << '\n'; };
    try {
        return command();
    } catch (const OperationCancelled&) {
        report("cancelled; nothing was changed");
        return kCancelled;
    } catch (const InputError& error) {
        report(error.what());
        return kInput;
    } catch (const ProjectFileError& error) {
        report(error.what());
        return kProjectFile;
    } catch (const OutputError& error) {
        report(error.what());
        return kOutput;
    } catch (const NCError& error) {
        // The library refused the data (a batch whose phases cannot be smoothed, a maturity that
        // cannot be aligned): a problem of the input.
        report(error.what());
        return kInput;
    } catch (const std::bad_alloc&) {
        report("out of memory");
        return kFailure;
    } catch (const std::exception& error) {
        report(error.what());
        return kFailure;
    }
}

}  // namespace ExitStatus
