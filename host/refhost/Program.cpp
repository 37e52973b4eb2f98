#include "Program.h"

#include "../../platform/Utf8.h"
#include "../ModuleLibrary.h"
#include "../ModulePins.h"
#include "CommandFunctions.h"
#include "Commands.h"
#include "Scenario.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace refhost {

using namespace testhost;

namespace {

struct CommandLine {
    std::string library = ModuleLibrary::defaultPath();
    std::string scenario;
    bool help = false;
    bool list = false;
    std::string listed; // the module ID after --list, if any
};

// A command line that does not fit the usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

CommandLine readCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool valueFollows = i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0;
        if (argument == "--library") {
            if (!valueFollows)
                throw UsageError("--library needs a PATH");
            line.library = arguments[++i];
        } else if (argument == "--help") {
            line.help = true;
        } else if (argument == "--list") {
            line.list = true;
            if (valueFollows)
                line.listed = arguments[++i];
        } else if (argument.rfind("-", 0) == 0 && argument.size() > 1) {
            throw UsageError("unknown option " + argument);
        } else if (!line.scenario.empty()) {
            throw UsageError("more than one SCENARIO: " + line.scenario + " and " + argument);
        } else {
            line.scenario = argument;
        }
    }
    if (line.help)
        return line;
    if (line.list && !line.scenario.empty())
        throw UsageError("--list takes no SCENARIO");
    if (!line.list && line.scenario.empty())
        throw UsageError("missing SCENARIO");
    return line;
}

// The folder of the scenario file, which the files it names are relative to.
std::string folderOf(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string textOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void describeLibrary(const ModuleLibrary& modules, const std::string& path, std::ostream& out) {
    int32_t version = 0;
    char16_t build[64] = {};
    modules.factory()->describeBuild(&version, 64, build);
    const std::u16string_view buildText(build, size_t(std::find(build, build + 64, u'\0') - build));
    out << "library " << path << ": " << platform::wideToUtf8Portable(buildText) << ", version "
        << version << "\n";
}

std::string idText(const std::u16string& id) {
    const std::string text = platform::wideToUtf8Portable(id);
    return text.find_first_of(" \t") == std::string::npos ? text : "\"" + text + "\"";
}

// The scenario command that makes a module of that kind.
const char* commandOf(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Legacy:
        return "legacy";
    case ModuleKind::Audio:
        return "audio";
    default:
        return "module";
    }
}

const char* kindText(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Invisible:
        return "an invisible GUI module";
    case ModuleKind::Widget:
        return "a widget, a GUI module that draws";
    case ModuleKind::Legacy:
        return "a GUI module of the older kind";
    case ModuleKind::Audio:
        return "an audio part";
    }
    return "";
}

bool makes(gmpi::IMpFactory2* factory, const ModuleDescription& module) {
    void* out = nullptr;
    const int32_t made = factory->makeModuleWithoutHost(module.id.c_str(), module.subType, &out);
    if (out)
        static_cast<gmpi::IMpUnknown*>(out)->release();
    return made == ResultSuccess && out;
}

void listPins(const ModuleDescription& module, std::ostream& out) {
    out << idText(module.id) << ": sub-type " << module.subType << ", " << kindText(module.kind)
        << "; in a scenario: " << commandOf(module.kind) << " NAME " << idText(module.id)
        << (module.kind == ModuleKind::Legacy ? " PINS" : "") << "\n";
    out << "    pin  type   direction  what it does\n";
    char row[64];
    auto print = [&](const std::string& index, PinRole role, PinDirection direction,
                     const char* what) {
        std::snprintf(row, sizeof row, "  %5s  %-5s  %-9s  ", index.c_str(),
                      std::string(pinTypeWord(role)).c_str(),
                      std::string(pinDirectionWord(direction)).c_str());
        out << row << what << "\n";
    };
    for (const PinDescription& pin : module.pins)
        print(std::to_string(pin.index), pin.role, pin.direction, pin.what);
    if (module.added)
        print(std::to_string(module.pins.size()) + "...", module.added->role,
              module.added->direction, module.added->what);
}

} // namespace

int runScenario(gmpi::IMpFactory2* factory, const std::string& text, const std::string& folder,
                std::ostream& out, std::ostream& err) {
    std::istringstream in(text);
    Scenario scenario(factory, folder, out);
    try {
        scenario.run(in);
    } catch (const std::exception& e) {
        out.flush();
        err << "tavri_refhost: " << e.what() << "\n";
        return 1;
    }
    out << "summary: " << scenario.summary() << "\n";
    return scenario.failures() == 0 ? 0 : 1;
}

int runScenarioFile(gmpi::IMpFactory2* factory, const std::string& path, std::ostream& out,
                    std::ostream& err) {
    std::string text;
    try {
        text = textOf(commands::readRegularFile(path));
    } catch (const std::exception& e) {
        err << "tavri_refhost: " << e.what() << "\n";
        return 1;
    }
    return runScenario(factory, text, folderOf(path), out, err);
}

int listModules(gmpi::IMpFactory2* factory, const std::string& id, std::ostream& out,
                std::ostream& err) {
    const std::vector<ModuleDescription>& all = moduleDescriptions();
    if (!id.empty()) {
        const std::u16string wanted = platform::utf8ToWide(id);
        bool found = false;
        for (const ModuleDescription& module : all) {
            if (module.id != wanted)
                continue;
            out << (found ? "\n" : "");
            listPins(module, out);
            found = true;
        }
        if (!found)
            err << "tavri_refhost: no registration of the module ID " << id
                << " (tavri_refhost --list names them)\n";
        return found ? 0 : 1;
    }
    out << "sub-type  made by  module ID\n";
    int missing = 0;
    for (const ModuleDescription& module : all) {
        const bool made = makes(factory, module);
        missing += made ? 0 : 1;
        char row[32];
        std::snprintf(row, sizeof row, "%8d  %-7s  ", int(module.subType), commandOf(module.kind));
        out << row << idText(module.id) << (made ? "" : "  (the library does not make it)") << "\n";
    }
    out << all.size()
        << " registrations (sub-type 0: audio part, 1: older GUI kind, 2: GUI); "
           "tavri_refhost --list MODULE-ID lists one's pins\n";
    if (missing)
        err << "tavri_refhost: the library does not make " << missing << " of them\n";
    return missing ? 1 : 0;
}

int runProgram(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CommandLine line;
    try {
        line = readCommandLine(arguments);
    } catch (const UsageError& e) {
        err << "tavri_refhost: " << e.what() << "\n";
        printUsageSummary(err);
        return 2;
    }
    if (line.help) {
        printUsage(out);
        return 0;
    }
    try {
        if (line.list) {
            const ModuleLibrary modules(line.library);
            return listModules(modules.factory(), line.listed, out, err);
        }
        // The scenario is read first: a wrong one needs no library.
        const std::string text = textOf(commands::readRegularFile(line.scenario));
        const ModuleLibrary modules(line.library);
        describeLibrary(modules, line.library, out);
        return runScenario(modules.factory(), text, folderOf(line.scenario), out, err);
    } catch (const std::exception& e) {
        out.flush();
        err << "tavri_refhost: " << e.what() << "\n";
        return 1;
    }
}

} // namespace refhost
