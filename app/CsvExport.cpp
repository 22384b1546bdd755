#include "app/CsvExport.h"

#include <charconv>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "app/OperationCancelled.h"
#include "dataset/NCFullDataContainerBase.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/notification/NCProgress.h"
#include "varobs/NCObservations.h"
#include "varobs/VariableInfo.h"

namespace {

constexpr int kProgressRows = 8192;

void WriteCell(std::string& line, const std::string& text, char delimiter) {
    const bool quote =
        text.find_first_of(std::string{delimiter, '"', '\n', '\r'}) != std::string::npos ||
        (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' || text.back() == '\t'));
    if (!quote) {
        line += text;
        return;
    }
    line += '"';
    for (const char c : text) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

void WriteNumber(std::string& line, float value) {
    if (value == nc::kMissingValue) return;
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    line.append(text, result.ptr);
}

}  // namespace

namespace CsvExport {

void Write(const NCFullDataContainerBase& container, std::ostream& out, const CsvExportOptions& options) {
    const int rows = container.SizeObservations();
    const int columns = container.SizeVariables();
    const int aliases = static_cast<int>(container.GetUsedObsAliases().size());
    const boost::shared_ptr<const NCProjectBase> project = container.GetProject();

    std::string line;
    for (int k = 1; k <= aliases; ++k) {
        const int alias = container.GetUsedObsAliases()[static_cast<std::size_t>(k - 1)];
        if (k > 1) line += options.delimiter;
        WriteCell(line, project ? project->GetObservations().GetIDLabelRaw(alias).GetString() : std::string(),
                  options.delimiter);
    }
    // Texts for qualitative and date/time variables unless centred; numbers otherwise.
    std::vector<bool> asText(static_cast<std::size_t>(columns) + 1, false);
    for (int var = 1; var <= columns; ++var) {
        line += options.delimiter;
        const char* name = container.GetVariableID(var, 1);
        WriteCell(line, name ? name : "", options.delimiter);
        const VariableInfo* info = container.GetVariableInfo(var);
        asText[static_cast<std::size_t>(var)] =
            !options.centred && info && (info->IsQualitative() || info->AsDateTimeVariableInfo() != nullptr);
    }
    out << line << '\n';

    const NCDataMatrix<float> data = container.GetData(options.centred, nullptr);
    NCProgress progress(("Writing the " + std::to_string(rows) + " rows").c_str(), 0.0, rows > 0 ? rows : 1);
    for (int obs = 1; obs <= rows; ++obs) {
        line.clear();
        for (int k = 1; k <= aliases; ++k) {
            if (k > 1) line += options.delimiter;
            WriteCell(line, container.GetObservationID(obs, k), options.delimiter);
        }
        for (int var = 1; var <= columns; ++var) {
            line += options.delimiter;
            if (asText[static_cast<std::size_t>(var)])
                WriteCell(line, container.GetStrValue(obs, var), options.delimiter);
            else
                WriteNumber(line, data(obs, var));
        }
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
        if (obs % kProgressRows == 0 && progress.SetValue(obs)) throw OperationCancelled();
    }
    progress.SetValue(rows);
    out.flush();
}

}  // namespace CsvExport
