#include "report/ReportFile.h"

#include "core/results/Errors.h"
#include "report/SafeSave.h"

#include <filesystem>
#include <fstream>

namespace kalvex::report {

void saveReportFile(const std::string& path, const std::string& weaponName,
                    const BallisticInput& input, const RunResults& completedRun, int outputEvery,
                    const std::vector<std::string>& linesAfterTable)
{
    saveFileSafely(path, [&](std::ostream& out) {
        writeReport(out, weaponName, input, completedRun, outputEvery, linesAfterTable);
    });
}

std::optional<LoadedReport> loadReportFile(const std::string& path, const BallisticInput& current)
{
    std::error_code ec;
    // A pipe or a device would block the open or never end; only plain files are reports.
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return readReport(file, current);
}

std::optional<LoadedReport> loadReportForRun(const std::string& path)
{
    const BallisticInput freshProgram;  // the stored set of a program just started
    auto loaded = loadReportFile(path, freshProgram);
    if (loaded && !loaded->unreadable.empty()) {
        const UnreadableValue& first = loaded->unreadable.front();
        throw InputError(path + ":" + std::to_string(first.line) + ": " + unreadableMessage(first));
    }
    if (loaded)
        refuseDamagedBlock(path, *loaded);
    return loaded;
}

void refuseDamagedBlock(const std::string& path, const LoadedReport& loaded)
{
    if (loaded.blockProblem)
        throw InputError(path + ":" + std::to_string(loaded.blockProblem->line) + ": " + loaded.blockProblem->message);
}

}  // namespace kalvex::report
