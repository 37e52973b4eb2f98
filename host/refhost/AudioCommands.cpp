#include "../../platform/Utf8.h"
#include "CommandFunctions.h"
#include "Scenario.h"
#include "Values.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <stdexcept>

namespace refhost::commands {

using namespace testhost;

namespace {

int32_t eventKind(const std::string& word) {
    static const std::map<std::string, int32_t> kinds = {{"value", EventValueChanged},
                                                         {"streamon", EventStreamOn},
                                                         {"streamoff", EventStreamOff},
                                                         {"message", EventPinMessage},
                                                         {"runstart", EventRunStart}};
    const auto it = kinds.find(word);
    if (it == kinds.end())
        throw std::runtime_error("unknown event kind: " + word);
    return it->second;
}

} // namespace

void audio(Scenario& scenario, Words& words) {
    std::string name, id;
    int32_t countdown = 0;
    words >> name >> id >> countdown;
    Instance instance = Scenario::newInstance(name);
    instance.audioHost = std::make_unique<AudioHost>();
    instance.audioHost->framesBeforeSleep = countdown;
    instance.audio = std::make_unique<AudioModule>(scenario.factory(), platform::utf8ToWide(id),
                                                   *instance.audioHost);
    std::cout << "audio " << name << " = \"" << id
              << "\": " << (*instance.audio ? "created" : "not created") << "\n";
    if (!*instance.audio)
        throw std::runtime_error("cannot make " + id);
    scenario.enter(std::move(instance));
}

void buffer(Scenario& scenario, Words& words) {
    std::string name;
    int32_t pin = 0, frames = 0;
    words >> name >> pin >> frames;
    scenario.find(name).audioPart().attach(pin, size_t(std::max(frames, 0)));
    std::cout << "buffer " << name << " pin " << pin << ": " << frames << " frames\n";
}

void event(Scenario& scenario, Words& words) {
    std::string name, kind, type;
    int32_t frame = 0, pin = -1;
    words >> name >> frame >> kind;
    Instance& instance = scenario.find(name);
    const int32_t code = eventKind(kind);
    Bytes bytes;
    if (code != EventRunStart && (words >> pin >> type))
        bytes = parseValue(type, restOfLine(words));
    instance.pending.add(frame, code, pin, bytes);
    std::cout << "event " << name << " frame " << frame << " " << kind;
    if (code != EventRunStart)
        std::cout << " pin " << pin << " " << describe(type, bytes);
    std::cout << "\n";
}

void run(Scenario& scenario, Words& words) {
    std::string name;
    int32_t frames = 0;
    words >> name >> frames;
    Instance& instance = scenario.find(name);
    std::cout << "run " << name << " " << frames << " frames\n";
    instance.audioPart().run(frames, instance.pending);
    instance.pending.clear();
}

void samples(Scenario& scenario, Words& words) {
    std::string name;
    int32_t pin = 0;
    words >> name >> pin;
    const std::vector<float>& samples = scenario.find(name).audioPart().buffer(pin);
    std::cout << "samples " << name << " pin " << pin << ": " << describeRuns(samples) << "\n";
}

void expectSample(Scenario& scenario, Words& words) {
    std::string name;
    int32_t pin = 0, frame = 0;
    words >> name >> pin;
    const std::vector<float>& samples = scenario.find(name).audioPart().buffer(pin);
    words >> frame;
    const float wanted = valueOf<float>(parseValue("float", restOfLine(words)));
    if (frame < 0 || size_t(frame) >= samples.size())
        throw std::runtime_error("no sample " + std::to_string(frame));
    const float got = samples[size_t(frame)];
    const bool ok = floatBits(got) == floatBits(wanted);
    std::cout << (ok ? "ok: " : "MISMATCH: ") << name << " pin " << pin << " sample " << frame
              << " is " << floatText(got) << ", expected " << floatText(wanted) << "\n";
    scenario.check(ok);
}

} // namespace refhost::commands
