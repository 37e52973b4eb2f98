// The command functions of the reference host's table, by family, and what
// they share. Each reads the words after its name from the line.
#pragma once

#include <sstream>
#include <string>

namespace refhost {

class Scenario;

namespace commands {

using Words = std::istringstream;

// The rest of the line, without the spaces in front of it.
std::string restOfLine(Words& words);

// Modules with a GUI side and their pins, pictures and pointer.
void module(Scenario& scenario, Words& words);
void legacy(Scenario& scenario, Words& words);
void release(Scenario& scenario, Words& words);
void set(Scenario& scenario, Words& words);
void store(Scenario& scenario, Words& words);
void changed(Scenario& scenario, Words& words);
void expect(Scenario& scenario, Words& words);
void paint(Scenario& scenario, Words& words);
void pointer(Scenario& scenario, Words& words);
void pick(Scenario& scenario, Words& words);

// Audio parts and their blocks.
void audio(Scenario& scenario, Words& words);
void buffer(Scenario& scenario, Words& words);
void event(Scenario& scenario, Words& words);
void run(Scenario& scenario, Words& words);
void samples(Scenario& scenario, Words& words);
void expectSample(Scenario& scenario, Words& words);

// What the host and its machine provide: time, resources, folders and files.
void wait(Scenario& scenario, Words& words);
void resource(Scenario& scenario, Words& words);
void tempFolder(Scenario& scenario, Words& words);
void makeFolder(Scenario& scenario, Words& words);
void makeFile(Scenario& scenario, Words& words);

} // namespace commands
} // namespace refhost
