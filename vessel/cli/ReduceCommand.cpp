// kalvex-vessel reduce: measured traces reduced to force, covolume, burning law and
// temperature coefficients, with pictures and a JSON record on request.
#include "core/format/Units.h"
#include "report/PropellantSave.h"
#include "report/SafeSave.h"
#include "study/StudyJson.h"
#include "vessel/ReducedRow.h"
#include "vessel/Reduction.h"
#include "vessel/ReductionJson.h"
#include "vessel/ReductionText.h"
#include "vessel/Resimulation.h"
#include "vessel/TraceCsv.h"
#include "vessel/cli/VesselCommands.h"
#include "vessel/pictures/FileChecksum.h"
#include "vessel/pictures/PictureFile.h"
#include "vessel/pictures/VesselPlots.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace kalvex::vessel::cli {

namespace {

constexpr int kPictureWidth = 640, kPictureHeight = 400;  // logical pixels

// An empty field is no value: "a.csv,200,40,,1.5,20" has no temperature.
std::optional<double> optionalNumber(const std::string& field, const std::string& text)
{
    if (field.find_first_not_of(" \t") == std::string::npos)
        return std::nullopt;
    std::istringstream in(field);
    in.imbue(std::locale::classic());
    double value = 0;
    if (!(in >> value) || !(in >> std::ws).eof())
        throw std::runtime_error("\"" + field + "\" is not a number in the firing " + text);
    return value;
}

Firing parseFiring(const std::string& text, const TraceUnits& units)
{
    std::vector<std::string> fields;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (!text.empty() && text.back() == ',')
        fields.emplace_back();  // getline does not return the empty last field
    if (fields.size() < 3 || fields.size() == 5 || fields.size() > 6)
        throw std::runtime_error("a firing is FILE,VOLUME_CM3,CHARGE_G[,TEMPERATURE_C[,START_MS,END_MS]]: " + text);
    const auto volume = optionalNumber(fields[1], text), charge = optionalNumber(fields[2], text);
    if (!volume || !charge || !(*volume > 0) || !(*charge > 0))
        throw std::runtime_error("a firing needs a positive volume and charge: " + text);
    TypedFiring typed{*volume, *charge};
    if (fields.size() > 3)
        typed.temperature = optionalNumber(fields[3], text);
    if (fields.size() > 4) {
        typed.start = optionalNumber(fields[4], text);
        typed.end = optionalNumber(fields[5], text);
    }
    Firing f = typed.firing(fields[0]);
    std::ifstream file(f.name);
    if (!file)
        throw std::runtime_error("cannot read " + f.name);
    f.trace = readTraceCsv(file, units);
    return f;
}

void drawPictures(const std::vector<Firing>& firings, const VesselReduction& reduction,
                  const std::vector<ResimulatedTrace>& again, const ReduceOptions& o)
{
    const std::filesystem::path folder(o.pictures);
    std::filesystem::create_directories(folder);
    const auto save = [&](const std::string& name, const std::function<void(plot::PlotState&)>& draw) {
        auto plot = std::make_unique<plot::PlotState>();
        plot::InitPlot(*plot, kPictureWidth, kPictureHeight);
        draw(*plot);
        savePicture(*plot, (folder / (name + "." + o.pictureFormat)).string());
    };
    save("traces", [&](plot::PlotState& p) { plotTraces(p, firings, reduction); });
    save("burning-rate", [&](plot::PlotState& p) { plotBurningRate(p, reduction); });
    save("vivacity", [&](plot::PlotState& p) { plotVivacity(p, firings, reduction); });
    save("residuals", [&](plot::PlotState& p) { plotResiduals(p, firings, again); });
    for (std::size_t i = 0; i < again.size(); ++i)
        save("resimulated-" + std::to_string(i + 1), [&](plot::PlotState& p) { plotResimulated(p, again[i]); });
}

}  // namespace

int reduce(const ReduceOptions& o)
{
    std::vector<Firing> firings;
    for (const std::string& text : o.firings)
        firings.push_back(parseFiring(text, {o.timeUnit, o.pressureUnit}));
    BallisticInput propellant = study::readBaseReport(o.input);
    if (o.igniter >= 0)
        propellant.CI = o.igniter * kGramToKilogram;  // the vessel's, not the gun's
    const ReductionOptions options = o.reduction.options();
    const VesselReduction reduction = reduceFirings(firings, propellant, options);
    std::vector<ResimulatedTrace> again;
    for (std::size_t i = 0; i < firings.size(); ++i)
        again.push_back(resimulateFiring(firings, i, reduction, propellant));
    std::cout << reductionText(firings, reduction, again);
    if (!o.exportJson.empty())
        report::streamFileSafely(o.exportJson, [&](std::ostream& out) {
            out << reductionJson(firings, options, reduction, again).dump(2) << "\n";
        });
    if (!o.pictures.empty())
        drawPictures(firings, reduction, again, o);
    if (!o.saveAs.empty()) {
        std::vector<std::string> checksums;
        for (const Firing& f : firings)
            checksums.push_back(fileSha256(f.name));
        const Propellant row = reducedPropellantRow(o.saveAs, firings, checksums, propellant, options, reduction,
                                                    isoDateUtc(std::chrono::system_clock::now()));
        const std::string library = o.library.empty() ? userPropellantPath() : o.library;
        report::savePropellantToLibrary(row, library);
        std::cout << "saved as \"" << o.saveAs << "\" in " << library << "\n";
    }
    return 0;
}

}  // namespace kalvex::vessel::cli
