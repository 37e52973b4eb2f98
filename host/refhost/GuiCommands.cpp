#include "../../platform/Utf8.h"
#include "../Painting.h"
#include "../Rasteriser.h"
#include "CommandFunctions.h"
#include "Scenario.h"
#include "Values.h"

#include <cmath>
#include <iomanip>
#include <iostream>
#include <stdexcept>

namespace refhost::commands {

using namespace testhost;

namespace {

// Sets a pin; `report` also tells the module that it changed.
void setPin(Scenario& scenario, Words& words, bool report) {
    std::string name, type;
    int32_t pin = 0;
    words >> name >> pin >> type;
    Instance& instance = scenario.find(name);
    const Bytes bytes = parseValue(type, restOfLine(words));
    std::cout << (report ? "set " : "store ") << name << " pin " << pin << " "
              << describe(type, bytes) << "\n";
    int32_t result = instance.receive(pin, bytes);
    if (report && result == ResultSuccess)
        result = instance.changed(pin);
    if (result != ResultSuccess)
        std::cout << "  answer " << result << "\n";
}

} // namespace

void module(Scenario& scenario, Words& words) {
    std::string name, id, type;
    words >> name >> std::quoted(id);
    Instance instance = Scenario::newInstance(name);
    scenario.offerResources(*instance.host);
    while (words >> type)
        instance.pinTypes.push_back(type);
    instance.module =
        std::make_unique<GuiModule>(scenario.factory(), platform::utf8ToWide(id), *instance.host);
    std::cout << "module " << name << " = \"" << id << "\": "
              << (instance.module->makeResult == ResultSuccess ? "created" : "not created") << "\n";
    if (!*instance.module)
        throw std::runtime_error("cannot make " + id);
    scenario.enter(std::move(instance));
}

void set(Scenario& scenario, Words& words) {
    setPin(scenario, words, true);
}

void store(Scenario& scenario, Words& words) {
    setPin(scenario, words, false);
}

void changed(Scenario& scenario, Words& words) {
    std::string name;
    int32_t pin = 0;
    words >> name >> pin;
    std::cout << "changed " << name << " pin " << pin << "\n";
    if (const int32_t result = scenario.find(name).changed(pin); result != ResultSuccess)
        std::cout << "  answer " << result << "\n";
}

void expect(Scenario& scenario, Words& words) {
    std::string name, type;
    int32_t pin = 0;
    words >> name >> pin >> type;
    const Instance& instance = scenario.find(name);
    const Bytes wanted = parseValue(type, restOfLine(words));
    const SentValue* last = nullptr;
    for (const SentValue& value : instance.host->sent)
        if (value.pinId == pin)
            last = &value;
    const bool ok = last && last->bytes == wanted;
    std::cout << (ok ? "ok: " : "MISMATCH: ") << name << " pin " << pin << " is "
              << (last ? describe(type, last->bytes) : "never sent") << ", expected "
              << describe(type, wanted) << "\n";
    scenario.check(ok);
}

void release(Scenario& scenario, Words& words) {
    std::string name;
    words >> name;
    scenario.release(name);
}

void legacy(Scenario& scenario, Words& words) {
    std::string name, id, type;
    int32_t pins = 0;
    words >> name >> id >> pins;
    Instance instance = Scenario::newInstance(name);
    while (words >> type)
        instance.pinTypes.push_back(type);
    instance.host->pinCount = pins;
    instance.legacy = std::make_unique<LegacyGuiModule>(scenario.factory(),
                                                        platform::utf8ToWide(id), *instance.host);
    std::cout << "legacy " << name << " = \"" << id << "\" with " << pins
              << " pins: " << (*instance.legacy ? "created" : "not created") << "\n";
    if (!*instance.legacy)
        throw std::runtime_error("cannot make " + id);
    (*instance.legacy)->onStartup();
    scenario.enter(std::move(instance));
}

void paint(Scenario& scenario, Words& words) {
    std::string name, picture;
    float width = 0, height = 0;
    words >> name >> width >> height >> picture;
    Instance& instance = scenario.find(name);
    if (!instance.module)
        throw std::runtime_error(name + " is no Gui2Part module");
    if (!(width > 0 && height > 0) || picture.empty())
        throw std::runtime_error("paint needs a name, a size and a picture file");
    const PaintResult painted =
        paintModule(instance.module->unknown(), *instance.drawing, width, height);
    if (!painted.painted)
        throw std::runtime_error(name + ": " + painted.error);
    std::cout << "paint " << name << " " << floatText(width) << " x " << floatText(height) << ": "
              << painted.recording->calls.size() << " drawing call(s), answer " << painted.answer
              << "\n";
    if (!painted.error.empty())
        std::cout << "  " << painted.error << "\n";
    std::string why;
    if (rasteriseToPng(*painted.recording, int32_t(std::ceil(width)), int32_t(std::ceil(height)),
                       picture, &why))
        std::cout << "  wrote " << picture << "\n";
    else
        std::cout << "  no picture: " << why << "\n";
}

void pointer(Scenario& scenario, Words& words) {
    std::string name, event;
    int32_t flags = 0;
    GuiPoint point{};
    words >> name >> event >> flags >> point.x >> point.y;
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
    else if (event == "release")
        answer = graphics->onRelease(flags, point);
    else
        throw std::runtime_error("unknown pointer event " + event);
    std::cout << "pointer " << name << " " << event << " at (" << floatText(point.x) << ", "
              << floatText(point.y) << ") flags " << flags << ": answer " << answer << "\n";
}

void pick(Scenario& scenario, Words& words) {
    std::string name;
    words >> name;
    Instance& instance = scenario.find(name);
    if (!instance.picker) {
        instance.picker = std::make_unique<FilePicker>();
        instance.picker->serve(*instance.host);
    }
    instance.picker->path = restOfLine(words);
}

} // namespace refhost::commands
