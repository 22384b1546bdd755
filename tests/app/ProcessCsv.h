#pragma once
// Test helper: the CSV of a batch process that the import, the batch pipeline and the tool are
// tested with. Batches of random length run through the phases Heat, Hold and Cool, sampled every
// minute: an observation ID, the batch and phase, the time, a conversion that rises through the
// batch (the maturity), a temperature that rises, holds and falls, a pressure, and a grade
// (qualitative). About one value in a hundred is missing.

#include <cstdio>
#include <random>
#include <string>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "app/CsvImport.h"

namespace testcsv {

struct ProcessShape {
    int batches = 12;
    int minLength = 120;
    int maxLength = 260;
    unsigned seed = 7;
};

inline std::string ProcessCsv(const ProcessShape& shape) {
    std::mt19937 random(shape.seed);
    std::uniform_int_distribution<int> length(shape.minLength, shape.maxLength);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_int_distribution<int> percent(0, 99);
    const boost::posix_time::ptime start(boost::gregorian::date(2026, 3, 2), boost::posix_time::hours(6));

    std::string csv = "Obs,Batch,Phase,Time,Conversion,Temp,Pressure,Grade\n";
    char cell[64];
    const auto number = [&](double value) {
        if (percent(random) == 0) return std::string();
        std::snprintf(cell, sizeof cell, "%.3f", value);
        return std::string(cell);
    };
    for (int b = 1; b <= shape.batches; ++b) {
        const int n = length(random);
        const int heat = n * 3 / 10;
        const int hold = n / 2;
        const double rate = 0.9 + 0.2 * (b % 5) / 4.0;
        for (int k = 0; k < n; ++k) {
            const char* phase = k < heat ? "Heat" : k < heat + hold ? "Hold" : "Cool";
            const double temp = k < heat          ? 20.0 + 60.0 * k / heat
                                : k < heat + hold ? 80.0
                                                  : 80.0 - 40.0 * (k - heat - hold) / (n - heat - hold);
            const double conversion = 100.0 * rate * k / n;
            const auto when = start + boost::gregorian::days(b - 1) + boost::posix_time::minutes(k);
            std::string time = boost::posix_time::to_iso_extended_string(when);
            time[10] = ' ';
            std::snprintf(cell, sizeof cell, "B%02d-%03d,B%02d,%s,", b, k + 1, b, phase);
            csv += cell;
            csv += time + ",";
            csv += number(conversion + 0.3 * noise(random)) + ",";
            csv += number(temp + 0.5 * noise(random)) + ",";
            csv += number(1.0 + 0.4 * temp / 80.0 + 0.01 * noise(random)) + ",";
            csv += temp < 45 ? "low" : temp < 75 ? "medium" : "High";
            csv += '\n';
        }
    }
    return csv;
}

// The import options that the process CSV needs: its ID, batch, phase, qualitative and
// date/time columns.
inline CsvImportOptions ProcessOptions() {
    CsvImportOptions options;
    options.observationIDColumns = {"Obs"};
    options.batchColumn = "Batch";
    options.phaseColumn = "Phase";
    options.qualitativeColumns = {"Grade"};
    options.dateTimeColumns = {{"Time", "yyyy-MM-dd HH:mm:ss"}};
    return options;
}

}  // namespace testcsv
