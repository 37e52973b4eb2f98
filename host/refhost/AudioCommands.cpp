#include "../../platform/Utf8.h"
#include "CommandFunctions.h"
#include "Scenario.h"
#include "Values.h"

#include <map>
#include <ostream>
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
        throw std::runtime_error(
            "not an event kind (value, streamon, streamoff, message or runstart): " + word);
    return it->second;
}

// The samples of the buffer attached to that pin.
const std::vector<float>& samplesOf(Scenario& scenario, const std::string& name, int32_t pin) {
    AudioModule& part = scenario.find(name).audioPart();
    try {
        return part.buffer(pin);
    } catch (const std::out_of_range&) {
        throw std::runtime_error(name + " has no buffer on pin " + std::to_string(pin));
    }
}

} // namespace

void audio(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const std::string id = words.quotable("MODULE-ID");
    const int32_t countdown = words.more() ? words.integer("COUNTDOWN") : 0;
    words.end();
    Instance instance = Scenario::newInstance(name);
    instance.audioHost = std::make_unique<AudioHost>();
    instance.audioHost->framesBeforeSleep = countdown;
    instance.audio = std::make_unique<AudioModule>(scenario.factory(), platform::utf8ToWide(id),
                                                   *instance.audioHost);
    if (!*instance.audio)
        throw std::runtime_error("cannot make " + id + ": the factory answers " +
                                 answerText(instance.audio->makeResult) +
                                 "; tavri_refhost --list names the registrations");
    scenario.enter(std::move(instance));
}

void buffer(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const int32_t pin = words.integer("PIN");
    const int32_t frames = words.count("FRAMES", "frames");
    words.end();
    scenario.find(name).audioPart().attach(pin, size_t(frames));
}

void event(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const int32_t frame = words.integer("FRAME");
    const int32_t code = eventKind(words.word("KIND"));
    int32_t pin = -1;
    Bytes bytes;
    if (code != EventRunStart) {
        pin = words.integer("PIN");
        bytes = words.value(words.type("TYPE"), "VALUE");
    }
    words.end();
    scenario.find(name).pending.add(frame, code, pin, bytes);
}

void run(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const int32_t frames = words.integer("FRAMES");
    words.end();
    Instance& instance = scenario.find(name);
    instance.audioPart().run(frames, instance.pending);
    instance.pending.clear();
}

void samples(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const int32_t pin = words.integer("PIN");
    words.end();
    const std::vector<float>& samples = samplesOf(scenario, name, pin);
    scenario.out() << "  " << describeRuns(samples) << "\n";
}

void expectSample(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const int32_t pin = words.integer("PIN");
    const int32_t frame = words.integer("FRAME");
    const float wanted = words.number("VALUE");
    words.end();
    const std::vector<float>& samples = samplesOf(scenario, name, pin);
    if (frame < 0 || size_t(frame) >= samples.size())
        throw std::runtime_error("no sample " + std::to_string(frame));
    const float got = samples[size_t(frame)];
    const bool ok = floatBits(got) == floatBits(wanted);
    scenario.out() << (ok ? "  ok: " : "  MISMATCH: ") << name << " pin " << pin << " sample "
                   << frame << " is " << floatText(got);
    if (!ok)
        scenario.out() << ", expected " << floatText(wanted);
    scenario.out() << "\n";
    scenario.check(ok);
}

} // namespace refhost::commands
