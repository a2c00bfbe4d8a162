#include "FakeHost.h"

#include <fstream>
#include <stdexcept>

namespace kalvex::test {

namespace {

std::ifstream openData(const std::string& file)
{
    std::ifstream in(std::string(KALVEX_TEST_DATA) + "/" + file, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing test data " + file);
    return in;
}

}  // namespace

FakeHost loadCase(const std::string& name)
{
    std::ifstream in = openData(name + ".case.txt");
    FakeHost host;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto eq = line.find('=');
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "grainType")
            host.grain = std::stoi(value);
        else if (key == "CheckBox1")
            host.options.showEnergy = value == "1";
        else if (key == "CheckBox2")
            host.options.showGrains = value == "1";
        else if (key == "CheckBox3")
            host.heat = value == "1";
        else
            host.fields[key] = value;
    }
    return host;
}

std::vector<std::string> loadMemo(const std::string& name)
{
    std::ifstream in = openData(name + ".memo.txt");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

}  // namespace kalvex::test
