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
            "make and attach a Gui2Part module; TYPE, pin by pin, says how to print its sends",
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
            "lookUpResource, openUriStream and loadImageUri give every module FILE",
            commands::resource},
    Command{"paint", "NAME WIDTH HEIGHT PNG",
            "the widget paints at that size; on Linux its drawing is written to PNG, unless it "
            "draws nothing",
            commands::paint},
    Command{"pointer", "NAME EVENT FLAGS X Y",
            "pass a pointer event (press, motion or release) to the widget; FLAGS as a number "
            "(16: first button, 131072: fine adjust)",
            commands::pointer},
    Command{"pick", "NAME PATH",
            "the module's file dialog chooses PATH at once; without a pick there is no dialog",
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

void printUsageSummary(std::ostream& out) {
    out << "usage: tavri_refhost [--library PATH] SCENARIO\n"
           "       tavri_refhost [--library PATH] --list [MODULE-ID]\n"
           "       tavri_refhost --help\n";
}

void printUsage(std::ostream& out) {
    printUsageSummary(out);
    out << "\n"
           "Loads a module library (by default TavriGUIModules_x64.sem beside the program,\n"
           "or $TAVRI_SEM), runs the scenario's lines one after another and prints every\n"
           "value the modules send and every call of an audio part to its host. --list\n"
           "prints the registrations the host knows, with their sub-types, marking any the\n"
           "library does not make; --list MODULE-ID prints that ID's pins in index order,\n"
           "each with its type, its direction and what it does.\n"
           "\n"
           "The output repeats each scenario line as it was written, so that a line can be\n"
           "copied from it into a scenario; what the line did follows, indented. The run\n"
           "ends with a summary: how many expectations held and where the pictures are.\n"
           "The exit status is 0 when every expectation held, 1 when one failed, a module\n"
           "left a reference behind or a line was refused (the message names the line),\n"
           "and 2 for a wrong command line.\n"
           "\n"
           "A scenario line is a command and its words, separated by blanks (spaces and\n"
           "tabs). A line whose first character that is not a blank is \"#\" is a comment,\n"
           "and a blank line is skipped; anywhere else \"#\" is an ordinary character, so\n"
           "that a text value can hold it. Every other line is read whole: a word that is\n"
           "not what the command expects, a missing word or a word too many refuses it.\n"
           "Lines are UTF-8 (one that is not is refused) and end in LF or CR LF.\n"
           "\n"
           "TYPE is bool, int, float, text or blob; it says how to read a VALUE and,\n"
           "listed after a module, how to print each pin's sends. A bool is true, false, 1\n"
           "or 0; an int is decimal; a float is decimal, inf, -inf or nan; a blob is pairs\n"
           "of hexadecimal digits, none for no bytes. A text VALUE, the TEXT of makefile\n"
           "and the PATH of pick are the rest of the line exactly as written, from its\n"
           "first character that is not a blank. Every other word is one word; a MODULE-ID\n"
           "with blanks stands in double quotes. The files the host itself reads and\n"
           "writes (resource, paint, makefile, makefolder) are relative to the scenario's\n"
           "folder; a path given to a module goes to it as written.\n"
           "\n"
           "An answer is the result code that a call into a module returned, printed when\n"
           "it is not ResultSuccess (0): ResultFailure (-1), ResultUnsupported (-2), or\n"
           "another number that the call's contract gives (a press that takes the pointer\n"
           "answers 1). A module answers ResultFailure to a value on a pin it does not\n"
           "have, so a splitter does to a value on a pin that the host added.\n"
           "\n"
           "Commands:\n";
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
