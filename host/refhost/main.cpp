// Reference host: loads a built module library, runs a scenario of module
// creations and pin changes, and prints every value the modules send.
// `tavri_refhost --help` lists the scenario commands.
#include "Program.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return refhost::runProgram(arguments, std::cout, std::cerr);
}
