#include "Commands.h"

#include "CommandFunctions.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string>

namespace refhost {
namespace {

constexpr std::array table = {
    Command{"module", "NAME MODULE-ID [TYPE...]",
            "make and attach a Gui2Part module; an ID with spaces stands in double quotes",
            commands::module},
    Command{"legacy", "NAME MODULE-ID PINS [TYPE...]",
            "make a GuiPart module (the factory attaches it) whose host counts PINS pins, and "
            "start it",
            commands::legacy},
    Command{"audio", "NAME MODULE-ID [COUNTDOWN]",
            "make an AudioPart module; its host answers COUNTDOWN (default 0) for the frames "
            "before sleep",
            commands::audio},
    Command{"release", "NAME", "the host releases the module", commands::release},
    Command{"set", "NAME PIN TYPE VALUE", "the host sets a pin and reports the change",
            commands::set},
    Command{"store", "NAME PIN TYPE VALUE", "the host sets a pin without reporting it",
            commands::store},
    Command{"changed", "NAME PIN", "the host reports a change", commands::changed},
    Command{"expect", "NAME PIN TYPE VALUE", "the last value sent on that pin must be VALUE",
            commands::expect},
    Command{"wait", "MS", "let MS milliseconds of timer ticks pass", commands::wait},
    Command{"buffer", "NAME PIN FRAMES", "attach a buffer of FRAMES zero samples",
            commands::buffer},
    Command{"event", "NAME FRAME KIND [PIN TYPE VALUE]",
            "queue an event for the next block; KIND is value, streamon, streamoff, message or "
            "runstart (which takes no pin)",
            commands::event},
    Command{"run", "NAME FRAMES", "run one block with the queued events", commands::run},
    Command{"samples", "NAME PIN", "print the buffer as runs of equal samples", commands::samples},
    Command{"expectsample", "NAME PIN FRAME VALUE", "the sample must be the float VALUE exactly",
            commands::expectSample},
    Command{"resource", "NAME KIND FILE",
            "lookUpResource, openUriStream and loadImageUri give every module FILE (relative to "
            "the scenario's folder)",
            commands::resource},
    Command{"paint", "NAME WIDTH HEIGHT PNG",
            "the widget paints at that size; prints its drawing calls and, on Linux, writes them "
            "to PNG",
            commands::paint},
    Command{"pointer", "NAME EVENT FLAGS X Y",
            "pass a pointer event (press, motion or release) to the widget; FLAGS as a number "
            "(16: first button, 131072: fine adjust)",
            commands::pointer},
    Command{"pick", "NAME PATH",
            "the module's file dialog chooses PATH (the rest of the line) at once; without it "
            "there is no dialog",
            commands::pick},
    Command{"tempfolder", "TOKEN",
            "make an empty temporary folder, removed at the end; \"%TOKEN%\" in later lines "
            "stands for its path",
            commands::tempFolder},
    Command{"makefolder", "PATH", "make a folder (and those above it)", commands::makeFolder},
    Command{"makefile", "PATH TEXT", "write TEXT as the whole of a file", commands::makeFile},
};

} // namespace

std::span<const Command> commandTable() {
    return table;
}

const Command* findCommand(std::string_view name) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const Command& command) { return command.name == name; });
    return it == table.end() ? nullptr : &*it;
}

void printUsage(std::ostream& out) {
    out << "usage: tavri_refhost [--library PATH] SCENARIO\n"
           "       tavri_refhost --help\n"
           "\n"
           "Loads a module library (by default TavriGUIModules_x64.sem beside the program,\n"
           "or $TAVRI_SEM), runs the scenario's lines one after another and prints every\n"
           "value the modules send and every call of an audio part to its host.\n"
           "\n"
           "A scenario line is a command and its words, separated by spaces; \"#\" starts\n"
           "a comment. TYPE is bool, int, float, text or blob (hexadecimal bytes); it says\n"
           "how to read a VALUE and, listed after a module, how to print each pin's sends.\n"
           "A text VALUE or TEXT is the rest of the line (UTF-8); a PATH is one word.\n"
           "\n";
    size_t width = 0;
    for (const Command& command : table)
        width = std::max(width, command.name.size() + 1 + command.synopsis.size());
    for (const Command& command : table) {
        const size_t used = command.name.size() + 1 + command.synopsis.size();
        out << "  " << command.name << ' ' << command.synopsis << std::string(width - used + 2, ' ')
            << command.help << "\n";
    }
}

} // namespace refhost
