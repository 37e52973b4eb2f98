#include "../../platform/Utf8.h"
#include "../Painting.h"
#include "../Rasteriser.h"
#include "CommandFunctions.h"
#include "Scenario.h"
#include "Values.h"

#include <cmath>
#include <ostream>
#include <stdexcept>

namespace refhost::commands {

using namespace testhost;

namespace {

// Sets a pin; `report` also tells the module that it changed.
void setPin(Scenario& scenario, Words& words, bool report) {
    const std::string name = words.word("NAME");
    const int32_t pin = words.integer("PIN");
    const std::string type = words.type("TYPE");
    const Bytes bytes = words.value(type, "VALUE");
    words.end();
    Instance& instance = scenario.find(name);
    int32_t result = instance.receive(pin, bytes);
    if (report && result == ResultSuccess)
        result = instance.changed(pin);
    if (result != ResultSuccess)
        scenario.out() << "  answer " << answerText(result) << "\n";
}

// The types after a module's ID, each checked.
std::vector<std::string> pinTypes(Words& words) {
    std::vector<std::string> types;
    while (words.more())
        types.push_back(words.type("TYPE"));
    return types;
}

[[noreturn]] void cannotMake(const std::string& id, int32_t answer) {
    throw std::runtime_error("cannot make " + id + ": the factory answers " + answerText(answer) +
                             "; tavri_refhost --list names the registrations");
}

} // namespace

void module(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const std::string id = words.quotable("MODULE-ID");
    Instance instance = Scenario::newInstance(name);
    instance.pinTypes = pinTypes(words);
    scenario.offerResources(*instance.host);
    instance.module =
        std::make_unique<GuiModule>(scenario.factory(), platform::utf8ToWide(id), *instance.host);
    if (!*instance.module)
        cannotMake(id, instance.module->makeResult);
    if (instance.module->makeResult != ResultSuccess)
        scenario.out() << "  answer " << answerText(instance.module->makeResult) << "\n";
    scenario.enter(std::move(instance));
}

void set(Scenario& scenario, Words& words) {
    setPin(scenario, words, true);
}

void store(Scenario& scenario, Words& words) {
    setPin(scenario, words, false);
}

void changed(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const int32_t pin = words.integer("PIN");
    words.end();
    if (const int32_t result = scenario.find(name).changed(pin); result != ResultSuccess)
        scenario.out() << "  answer " << answerText(result) << "\n";
}

void expect(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const int32_t pin = words.integer("PIN");
    const std::string type = words.type("TYPE");
    const Bytes wanted = words.value(type, "VALUE");
    words.end();
    const Instance& instance = scenario.find(name);
    const SentValue* last = nullptr;
    for (const SentValue& value : instance.host->sent)
        if (value.pinId == pin)
            last = &value;
    const bool ok = last && last->bytes == wanted;
    scenario.out() << (ok ? "  ok: " : "  MISMATCH: ") << name << " pin " << pin << " is "
                   << (last ? describe(type, last->bytes) : "never sent");
    if (!ok)
        scenario.out() << ", expected " << describe(type, wanted);
    scenario.out() << "\n";
    scenario.check(ok);
}

void release(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    words.end();
    scenario.release(name);
}

void legacy(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const std::string id = words.quotable("MODULE-ID");
    const int32_t pins = words.integer("PINS");
    Instance instance = Scenario::newInstance(name);
    instance.pinTypes = pinTypes(words);
    instance.host->pinCount = pins;
    instance.legacy = std::make_unique<LegacyGuiModule>(scenario.factory(),
                                                        platform::utf8ToWide(id), *instance.host);
    if (!*instance.legacy)
        cannotMake(id, instance.legacy->makeResult);
    (*instance.legacy)->onStartup();
    scenario.enter(std::move(instance));
}

void paint(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const float width = words.size("WIDTH");
    const float height = words.size("HEIGHT");
    const std::string picture = scenario.pathFor(words.word("PNG"));
    words.end();
    Instance& instance = scenario.find(name);
    if (!instance.module)
        throw std::runtime_error(name + " is no Gui2Part module");
    const PaintResult painted =
        paintModule(instance.module->unknown(), *instance.drawing, width, height);
    if (!painted.painted)
        throw std::runtime_error(name + ": " + painted.error);
    std::ostream& out = scenario.out();
    out << "  " << painted.recording->calls.size() << " drawing call(s)\n";
    if (painted.answer != ResultSuccess)
        out << "  answer " << answerText(painted.answer) << "\n";
    if (!painted.error.empty())
        out << "  " << painted.error << "\n";
    if (painted.recording->paints().empty()) {
        out << "  it draws nothing: no picture written\n";
        return;
    }
    if (!canRasterise()) {
        out << "  no picture: this build does not write pictures\n";
        scenario.pictureNotPainted();
        return;
    }
    std::string why;
    if (!rasteriseToPng(*painted.recording, int32_t(std::ceil(width)), int32_t(std::ceil(height)),
                        picture, &why))
        throw std::runtime_error(why);
    out << "  wrote " << picture << "\n";
    scenario.pictureWritten(picture);
}

void pointer(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const std::string event = words.word("EVENT");
    if (event != "press" && event != "motion" && event != "release")
        throw std::runtime_error("not a pointer event (press, motion or release): " + event);
    const int32_t flags = words.integer("FLAGS");
    GuiPoint point{};
    point.x = words.number("X");
    point.y = words.number("Y");
    words.end();
    Instance& instance = scenario.find(name);
    const auto graphics =
        instance.module
            ? gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(instance.module->unknown())
            : gmpi_sdk::ComPtr<gmpi_gui_api::IMpGraphics2>();
    if (!graphics)
        throw std::runtime_error(name + " is no widget");
    int32_t answer = 0;
    if (event == "press")
        answer = graphics->onPress(flags, point);
    else if (event == "motion")
        answer = graphics->onMotion(flags, point);
    else
        answer = graphics->onRelease(flags, point);
    if (answer != ResultSuccess)
        scenario.out() << "  answer " << answerText(answer) << "\n";
}

void pick(Scenario& scenario, Words& words) {
    const std::string name = words.word("NAME");
    const std::string path = words.rest();
    Instance& instance = scenario.find(name);
    if (!instance.picker) {
        instance.picker = std::make_unique<FilePicker>();
        instance.picker->serve(*instance.host);
    }
    instance.picker->path = path;
}

} // namespace refhost::commands
