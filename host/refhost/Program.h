// The reference host's program: its command line, the run of a scenario file
// and the listing of the registrations it knows.
#pragma once

#include "../../framework/ModuleApi.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace refhost {

// What main does with its arguments (those after the program's name): prints
// the run on `out` and what went wrong on `err`, and answers the exit status.
int runProgram(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// Runs the lines of `text` against `factory`, `folder` being the scenario's,
// and prints the summary. 0 when every expectation held; 1 when one failed, a
// module left a reference or a line was refused (named on `err`).
int runScenario(gmpi::IMpFactory2* factory, const std::string& text, const std::string& folder,
                std::ostream& out, std::ostream& err);
// The same for the scenario file at `path`, which must be a regular file.
int runScenarioFile(gmpi::IMpFactory2* factory, const std::string& path, std::ostream& out,
                    std::ostream& err);

// --list: with no ID, every registration the host knows with its sub-type and
// the scenario command that makes it, marking those that `factory` does not
// make (then answering 1); with an ID, the pins of its registrations.
int listModules(gmpi::IMpFactory2* factory, const std::string& id, std::ostream& out,
                std::ostream& err);

} // namespace refhost
