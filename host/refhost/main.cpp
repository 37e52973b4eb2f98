// Reference host: loads a built module library, runs a scenario of module
// creations and pin changes, and prints every value the modules send.
// `tavri_refhost --help` lists the scenario commands.
#include "../../platform/Utf8.h"
#include "../ModuleLibrary.h"
#include "Commands.h"
#include "Scenario.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

struct CommandLine {
    std::string library = testhost::ModuleLibrary::defaultPath();
    std::string scenario;
    bool help = false;
};

CommandLine readCommandLine(int argc, char** argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--library" && i + 1 < argc)
            line.library = argv[++i];
        else if (arg == "--help")
            line.help = true;
        else
            line.scenario = arg;
    }
    return line;
}

// The folder of the scenario file, which its resource files are relative to.
std::string folderOf(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

int runScenario(const CommandLine& line) {
    std::ifstream in(line.scenario);
    if (!in)
        throw std::runtime_error("cannot read " + line.scenario);
    testhost::ModuleLibrary modules(line.library);
    int32_t version = 0;
    char16_t build[64] = {};
    modules.factory()->describeBuild(&version, 64, build);
    const std::u16string_view buildText(build, size_t(std::find(build, build + 64, u'\0') - build));
    std::cout << "library " << line.library << ": " << platform::wideToUtf8Portable(buildText)
              << ", version " << version << "\n";
    refhost::Scenario scenario(modules.factory(), folderOf(line.scenario));
    scenario.run(in);
    if (scenario.failures()) {
        std::cout << scenario.failures() << " expectation(s) failed\n";
        return 1;
    }
    std::cout << "scenario done\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine line = readCommandLine(argc, argv);
    if (line.help) {
        refhost::printUsage(std::cout);
        return 0;
    }
    if (line.scenario.empty()) {
        std::cerr << "usage: tavri_refhost [--library PATH] SCENARIO\n"
                     "       tavri_refhost --help\n";
        return 2;
    }
    try {
        return runScenario(line);
    } catch (const std::exception& e) {
        std::cerr << "tavri_refhost: " << e.what() << "\n";
        return 1;
    }
}
