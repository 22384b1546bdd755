#pragma once
// Resident memory of this process, read from Linux's /proc, for benchmarks that report how much
// memory an operation holds at its peak.

#include <cstring>
#include <fstream>
#include <string>

namespace benchmem {

// Resident memory in kB from /proc/self/status: "VmRSS" now, "VmHWM" the peak since the reset;
// -1 when the field is missing.
inline long StatusKB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line[length] == ':') return std::stol(line.substr(length + 1));
    return -1;
}

// Resets the peak resident size to the current one (Linux: "5" to clear_refs).
inline bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.close();
    return static_cast<bool>(clear);
}

}  // namespace benchmem
