// The commands of a scenario line: one function each, listed in one table
// with the words they take and a line of help, from which the usage is printed.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace refhost {

class Scenario;
class Words;

struct Command {
    std::string_view name;
    std::string_view synopsis; // the words after the name
    std::string_view help;     // one line
    // Reads its words (those after the name), all of them, and does what the
    // line says.
    void (*run)(Scenario& scenario, Words& words);
};

std::span<const Command> commandTable();
// The command of that name, or null.
const Command* findCommand(std::string_view name);

// How to call the program and what a scenario may say.
void printUsage(std::ostream& out);
// The first lines of the usage, for a wrong command line.
void printUsageSummary(std::ostream& out);

} // namespace refhost
