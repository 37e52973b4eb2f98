// The command functions of the reference host's table, by family. Each reads
// all the words after its name from the line, then acts.
#pragma once

#include "Words.h"

#include <string>

namespace refhost {

class Scenario;

namespace commands {

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

// The whole of a regular file; throws std::runtime_error naming the path and
// why for anything else (none there, a folder, a device).
testhost::Bytes readRegularFile(const std::string& path);

} // namespace commands
} // namespace refhost
