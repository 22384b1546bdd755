// ncds: the command-line tool of the dataset library.
//
//   ncds demo [folder]   runs the embedded demonstration, writing its files into the folder
//                        (default: the system's temporary folder)
//   ncds help            this text

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/Demo.h"

namespace {

void PrintUsage(std::ostream& os) {
    os << "usage: ncds demo [folder]   run the embedded demonstration\n"
          "       ncds help            show this text\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "demo") == 0) {
        std::error_code error;
        const std::string folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path(error).string();
        return RunDemo(std::cout, folder.empty() ? "." : folder);
    }
    std::cerr << "ncds: unknown command '" << argv[1] << "'\n";
    PrintUsage(std::cerr);
    return 2;
}
