// Reference host: loads a built module library, runs a scenario of module
// creations and pin changes, and prints every value the modules send.
//
//   tavri_refhost [--library PATH] SCENARIO
//
// Scenario lines (words separated by spaces, "#" starts a comment):
//   module NAME MODULE-ID [TYPE...]   make and attach a Gui2Part module; the
//                                     pin types (bool int float text blob) say
//                                     how to print its sends; an ID with spaces
//                                     stands in double quotes
//   set NAME PIN TYPE VALUE           the host sets a pin and reports the change
//   store NAME PIN TYPE VALUE         the host sets a pin without reporting it
//   changed NAME PIN                  the host reports a change
//   expect NAME PIN TYPE VALUE        the last value sent on that pin must be VALUE
//   release NAME                      the host releases the module
//   legacy NAME MODULE-ID PINS [TYPE...]
//                                     make a GuiPart module (the factory attaches
//                                     it) whose host counts PINS pins, then start
//                                     it; set, store, changed, expect as above
//   wait MS                           let MS milliseconds of timer ticks pass
//   audio NAME MODULE-ID [COUNTDOWN]  make the AudioPart module; its host answers
//                                     COUNTDOWN (default 0) for the frames before
//                                     sleep
//   buffer NAME PIN FRAMES            attach a buffer of FRAMES zero samples
//   event NAME FRAME runstart         queue an event for the next block; KIND is
//   event NAME FRAME KIND PIN [TYPE VALUE]   value, streamon, streamoff or message
//   run NAME FRAMES                   run one block with the queued events
//   samples NAME PIN                  print the buffer as runs of equal samples
//   expectsample NAME PIN FRAME VALUE the sample must be the float VALUE exactly
//   resource NAME KIND FILE           lookUpResource (NAME, KIND) gives FILE, and
//                                     openUriStream and the drawing factory's
//                                     loadImageUri read it; FILE is relative to the
//                                     scenario's folder; applies to every module
//   paint NAME WIDTH HEIGHT PNG       the host places the widget at the origin with
//                                     that size, has it paint, and prints how many
//                                     drawing calls it made; on Linux the calls are
//                                     painted into the picture file PNG (relative to
//                                     the working folder), other builds write none
//   pointer NAME EVENT FLAGS X Y      the host passes a pointer event (press,
//                                     motion or release) to the widget and prints
//                                     its answer; FLAGS as a number (16: the
//                                     first button, 131072: fine adjust)
//   tempfolder TOKEN                  make an empty temporary folder, removed
//                                     when the run ends; "%TOKEN%" in later
//                                     lines stands for its path
//   makefolder PATH                   make a folder (and those above it)
//   makefile PATH TEXT                write TEXT as the whole of a file
//   pick NAME PATH                    the file dialog of module NAME's host
//                                     chooses PATH (the rest of the line) as
//                                     soon as it is shown; without it the
//                                     host makes no dialog
// A text VALUE or TEXT is the rest of the line (UTF-8); a PATH is one word. Audio
// host calls print as they happen.
#include "../AudioHost.h"
#include "../DrawingFactory.h"
#include "../FilePicker.h"
#include "../GuiModule.h"
#include "../LegacyGuiModule.h"
#include "../MessageLoop.h"
#include "../ModuleLibrary.h"
#include "../Painting.h"
#include "../Rasteriser.h"
#include "../TestHost.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

using namespace testhost;

namespace {

std::string utf8(const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string widen(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80 || i + 1 >= text.size()) {
            out += char16_t(c);
        } else if (c < 0xE0) {
            out += char16_t((c & 0x1F) << 6 | (text[i + 1] & 0x3F));
            i += 1;
        } else if (i + 2 < text.size()) {
            out += char16_t((c & 0x0F) << 12 | (text[i + 1] & 0x3F) << 6 | (text[i + 2] & 0x3F));
            i += 2;
        }
    }
    return out;
}

std::string floatText(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

Bytes parseValue(const std::string& type, const std::string& text) {
    if (type == "float") {
        float value = 0;
        if (text == "inf" || text == "-inf" || text == "nan")
            value = text == "nan" ? NAN : (text[0] == '-' ? -INFINITY : INFINITY);
        else if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
            throw std::runtime_error("not a float: " + text);
        return bytesOf(value);
    }
    if (type == "int") {
        int32_t value = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
            throw std::runtime_error("not an int: " + text);
        return bytesOf(value);
    }
    if (type == "bool")
        return bytesOf(text == "1" || text == "true");
    if (type == "text")
        return bytesOf(widen(text));
    if (type == "blob") {
        Bytes bytes;
        for (size_t i = 0; i + 1 < text.size(); i += 2)
            bytes.push_back(uint8_t(std::stoi(text.substr(i, 2), nullptr, 16)));
        return bytes;
    }
    throw std::runtime_error("unknown type: " + type);
}

std::string describe(const std::string& type, const Bytes& bytes) {
    if (type == "float" && bytes.size() == 4)
        return "float " + floatText(valueOf<float>(bytes));
    if (type == "int" && bytes.size() == 4)
        return "int " + std::to_string(valueOf<int32_t>(bytes));
    if (type == "bool" && bytes.size() == 1)
        return bytes[0] ? "bool true" : "bool false";
    if (type == "text")
        return "text \"" + utf8(textOf(bytes)) + "\"";
    std::string hex = "bytes";
    char pair[4];
    for (const uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, " %02x", b);
        hex += pair;
    }
    return bytes.empty() ? "bytes (none)" : hex;
}

struct Instance {
    std::string name;
    std::vector<std::string> pinTypes;
    std::unique_ptr<TestHost> host;
    std::unique_ptr<DrawingFactory> drawing;
    std::unique_ptr<GuiModule> module;
    size_t reported = 0; // sends already printed
    std::unique_ptr<LegacyGuiModule> legacy;
    std::unique_ptr<AudioHost> audioHost;
    std::unique_ptr<AudioModule> audio;
    EventList pending; // events of the next block
    size_t callsReported = 0;
    std::unique_ptr<FilePicker> picker;

    std::string pinType(int32_t pin) const {
        return pin >= 0 && size_t(pin) < pinTypes.size() ? pinTypes[size_t(pin)] : "";
    }
    int32_t receive(int32_t pin, const Bytes& bytes) const {
        if (legacy)
            return legacy->receive(pin, bytes);
        if (!module)
            throw std::runtime_error(name + " has no GUI pins");
        return module->receive(pin, bytes);
    }
    int32_t changed(int32_t pin) const {
        if (legacy)
            return legacy->changed(pin);
        if (!module)
            throw std::runtime_error(name + " has no GUI pins");
        return module->changed(pin);
    }
    AudioModule& audioPart() const {
        if (!audio)
            throw std::runtime_error(name + " is no audio part");
        return *audio;
    }
};

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

struct Resource {
    std::string name;
    std::string kind;
    std::string uri;
    Bytes bytes;
};

void offerResource(TestHost& host, const Resource& resource) {
    host.addResource(resource.name, resource.kind, resource.uri);
    host.addUriData(resource.uri, resource.bytes);
}

Instance newInstance(const std::string& name) {
    Instance instance;
    instance.name = name;
    instance.host = std::make_unique<TestHost>();
    instance.drawing = std::make_unique<DrawingFactory>();
    instance.drawing->serve(*instance.host);
    return instance;
}

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

// "0-9 0, 10-29 1, 30-63 0"
std::string describeRuns(const std::vector<float>& samples) {
    std::string text;
    for (size_t first = 0; first < samples.size();) {
        size_t last = first;
        while (last + 1 < samples.size() &&
               floatBits(samples[last + 1]) == floatBits(samples[first]))
            ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(first) + "-" + std::to_string(last) +
                " " + floatText(samples[first]);
        first = last + 1;
    }
    return text.empty() ? "(no samples)" : text;
}

class Scenario {
public:
    Scenario(gmpi::IMpFactory2* factory, std::string folder)
        : factory(factory), folder(std::move(folder)) {}
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;
    ~Scenario() {
        std::error_code error;
        for (const fs::path& made : tempFolders)
            fs::remove_all(made, error);
    }

    void run(std::istream& in) {
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            if (const auto hash = line.find('#'); hash != std::string::npos)
                line.erase(hash);
            for (const auto& [token, value] : tokens)
                for (size_t at = line.find(token); at != std::string::npos;
                     at = line.find(token, at + value.size()))
                    line.replace(at, token.size(), value);
            std::istringstream words(line);
            std::string command;
            if (!(words >> command))
                continue;
            try {
                execute(command, words);
            } catch (const std::exception& e) {
                throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
            }
            reportSends();
        }
        for (auto& [name, instance] : instances)
            releaseInstance(instance);
        for (const auto& [name, ledger] : releasedDrawing) {
            if (ledger->live() != 0) {
                std::cout << "UNBALANCED: " << name
                          << ": drawing objects alive: " << ledger->describe() << "\n";
                ++failures;
            }
        }
    }

    int failures = 0;

private:
    Instance& find(const std::string& name) {
        const auto it = instances.find(name);
        if (it == instances.end())
            throw std::runtime_error("no module named " + name);
        return it->second;
    }

    static std::string rest(std::istringstream& words) {
        std::string text;
        std::getline(words >> std::ws, text);
        return text;
    }

    void execute(const std::string& command, std::istringstream& words) {
        if (command == "module") {
            std::string name, id, type;
            words >> name >> std::quoted(id);
            Instance instance = newInstance(name);
            for (const Resource& resource : resources)
                offerResource(*instance.host, resource);
            while (words >> type)
                instance.pinTypes.push_back(type);
            instance.module = std::make_unique<GuiModule>(factory, widen(id), *instance.host);
            std::cout << "module " << name << " = \"" << id << "\": "
                      << (instance.module->makeResult == ResultSuccess ? "created" : "not created")
                      << "\n";
            if (!*instance.module)
                throw std::runtime_error("cannot make " + id);
            enter(std::move(instance));
        } else if (command == "set" || command == "store") {
            std::string name, type;
            int32_t pin = 0;
            words >> name >> pin >> type;
            Instance& instance = find(name);
            const Bytes bytes = parseValue(type, rest(words));
            std::cout << command << " " << name << " pin " << pin << " " << describe(type, bytes)
                      << "\n";
            int32_t result = instance.receive(pin, bytes);
            if (command == "set" && result == ResultSuccess)
                result = instance.changed(pin);
            if (result != ResultSuccess)
                std::cout << "  answer " << result << "\n";
        } else if (command == "changed") {
            std::string name;
            int32_t pin = 0;
            words >> name >> pin;
            std::cout << "changed " << name << " pin " << pin << "\n";
            if (const int32_t result = find(name).changed(pin); result != ResultSuccess)
                std::cout << "  answer " << result << "\n";
        } else if (command == "expect") {
            std::string name, type;
            int32_t pin = 0;
            words >> name >> pin >> type;
            const Instance& instance = find(name);
            const Bytes wanted = parseValue(type, rest(words));
            const SentValue* last = nullptr;
            for (const SentValue& value : instance.host->sent)
                if (value.pinId == pin)
                    last = &value;
            const bool ok = last && last->bytes == wanted;
            std::cout << (ok ? "ok: " : "MISMATCH: ") << name << " pin " << pin << " is "
                      << (last ? describe(type, last->bytes) : "never sent") << ", expected "
                      << describe(type, wanted) << "\n";
            failures += ok ? 0 : 1;
        } else if (command == "legacy") {
            std::string name, id, type;
            int32_t pins = 0;
            words >> name >> id >> pins;
            Instance instance = newInstance(name);
            while (words >> type)
                instance.pinTypes.push_back(type);
            instance.host->pinCount = pins;
            instance.legacy = std::make_unique<LegacyGuiModule>(factory, widen(id), *instance.host);
            std::cout << "legacy " << name << " = \"" << id << "\" with " << pins
                      << " pins: " << (*instance.legacy ? "created" : "not created") << "\n";
            if (!*instance.legacy)
                throw std::runtime_error("cannot make " + id);
            (*instance.legacy)->onStartup();
            enter(std::move(instance));
        } else if (command == "wait") {
            uint32_t ms = 0;
            words >> ms;
            std::cout << "wait " << ms << " ms\n";
            pumpMessagesFor(ms);
        } else if (command == "audio") {
            std::string name, id;
            int32_t countdown = 0;
            words >> name >> id >> countdown;
            Instance instance = newInstance(name);
            instance.audioHost = std::make_unique<AudioHost>();
            instance.audioHost->framesBeforeSleep = countdown;
            instance.audio = std::make_unique<AudioModule>(factory, widen(id), *instance.audioHost);
            std::cout << "audio " << name << " = \"" << id
                      << "\": " << (*instance.audio ? "created" : "not created") << "\n";
            if (!*instance.audio)
                throw std::runtime_error("cannot make " + id);
            enter(std::move(instance));
        } else if (command == "buffer") {
            std::string name;
            int32_t pin = 0, frames = 0;
            words >> name >> pin >> frames;
            find(name).audioPart().attach(pin, size_t(std::max(frames, 0)));
            std::cout << "buffer " << name << " pin " << pin << ": " << frames << " frames\n";
        } else if (command == "event") {
            std::string name, kind, type;
            int32_t frame = 0, pin = -1;
            words >> name >> frame >> kind;
            Instance& instance = find(name);
            const int32_t code = eventKind(kind);
            Bytes bytes;
            if (code != EventRunStart && (words >> pin >> type))
                bytes = parseValue(type, rest(words));
            instance.pending.add(frame, code, pin, bytes);
            std::cout << "event " << name << " frame " << frame << " " << kind;
            if (code != EventRunStart)
                std::cout << " pin " << pin << " " << describe(type, bytes);
            std::cout << "\n";
        } else if (command == "run") {
            std::string name;
            int32_t frames = 0;
            words >> name >> frames;
            Instance& instance = find(name);
            std::cout << "run " << name << " " << frames << " frames\n";
            instance.audioPart().run(frames, instance.pending);
            instance.pending.clear();
        } else if (command == "samples" || command == "expectsample") {
            std::string name;
            int32_t pin = 0, frame = 0;
            words >> name >> pin;
            const std::vector<float>& samples = find(name).audioPart().buffer(pin);
            if (command == "samples") {
                std::cout << "samples " << name << " pin " << pin << ": " << describeRuns(samples)
                          << "\n";
                return;
            }
            words >> frame;
            const float wanted = valueOf<float>(parseValue("float", rest(words)));
            if (frame < 0 || size_t(frame) >= samples.size())
                throw std::runtime_error("no sample " + std::to_string(frame));
            const float got = samples[size_t(frame)];
            const bool ok = floatBits(got) == floatBits(wanted);
            std::cout << (ok ? "ok: " : "MISMATCH: ") << name << " pin " << pin << " sample "
                      << frame << " is " << floatText(got) << ", expected " << floatText(wanted)
                      << "\n";
            failures += ok ? 0 : 1;
        } else if (command == "resource") {
            Resource resource;
            std::string file;
            words >> resource.name >> resource.kind >> file;
            resource.uri = folder.empty() || file.front() == '/' ? file : folder + "/" + file;
            std::ifstream in(resource.uri, std::ios::binary);
            if (!in)
                throw std::runtime_error("cannot read " + resource.uri);
            resource.bytes.assign(std::istreambuf_iterator<char>(in), {});
            std::cout << "resource " << resource.name << " (" << resource.kind << ") = " << file
                      << ", " << resource.bytes.size() << " bytes\n";
            for (auto& [name, instance] : instances)
                offerResource(*instance.host, resource);
            resources.push_back(std::move(resource));
        } else if (command == "paint") {
            std::string name, picture;
            float width = 0, height = 0;
            words >> name >> width >> height >> picture;
            Instance& instance = find(name);
            if (!instance.module)
                throw std::runtime_error(name + " is no Gui2Part module");
            if (!(width > 0 && height > 0) || picture.empty())
                throw std::runtime_error("paint needs a name, a size and a picture file");
            const PaintResult painted =
                paintModule(instance.module->unknown(), *instance.drawing, width, height);
            if (!painted.painted)
                throw std::runtime_error(name + ": " + painted.error);
            std::cout << "paint " << name << " " << floatText(width) << " x " << floatText(height)
                      << ": " << painted.recording->calls.size() << " drawing call(s), answer "
                      << painted.answer << "\n";
            if (!painted.error.empty())
                std::cout << "  " << painted.error << "\n";
            std::string why;
            if (rasteriseToPng(*painted.recording, int32_t(std::ceil(width)),
                               int32_t(std::ceil(height)), picture, &why))
                std::cout << "  wrote " << picture << "\n";
            else
                std::cout << "  no picture: " << why << "\n";
        } else if (command == "pointer") {
            std::string name, event;
            int32_t flags = 0;
            GuiPoint point{};
            words >> name >> event >> flags >> point.x >> point.y;
            Instance& instance = find(name);
            const auto graphics = instance.module
                                      ? gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(
                                            instance.module->unknown())
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
        } else if (command == "release") {
            std::string name;
            words >> name;
            releaseInstance(find(name));
            instances.erase(name);
        } else if (command == "pick") {
            std::string name;
            words >> name;
            Instance& instance = find(name);
            if (!instance.picker) {
                instance.picker = std::make_unique<FilePicker>();
                instance.picker->serve(*instance.host);
            }
            instance.picker->path = rest(words);
        } else if (command == "tempfolder") {
            std::string token;
            words >> token;
            const fs::path made = makeTempFolder();
            tokens.emplace_back("%" + token + "%", utf8Of(made));
            std::cout << "tempfolder %" << token << "%\n";
        } else if (command == "makefolder") {
            std::string path;
            words >> path;
            std::error_code error;
            fs::create_directories(pathOf(path), error);
            if (error)
                throw std::runtime_error("cannot make folder " + path);
        } else if (command == "makefile") {
            std::string path;
            words >> path;
            const std::string text = rest(words);
            std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
            out.write(text.data(), std::streamsize(text.size()));
            if (!out)
                throw std::runtime_error("cannot write " + path);
        } else {
            throw std::runtime_error("unknown command " + command);
        }
    }

    // A name used again stands for the new module; the old one goes first.
    void enter(Instance instance) {
        if (const auto old = instances.find(instance.name); old != instances.end()) {
            releaseInstance(old->second);
            instances.erase(old);
        }
        const std::string name = instance.name;
        instances.emplace(name, std::move(instance));
    }

    void reportSends() {
        for (auto& [name, instance] : instances) {
            if (instance.audioHost) {
                const auto& calls = instance.audioHost->calls;
                for (; instance.callsReported < calls.size(); ++instance.callsReported)
                    std::cout << "  " << name << " calls "
                              << calls[instance.callsReported].describe() << "\n";
            }
            const auto& sent = instance.host->sent;
            for (; instance.reported < sent.size(); ++instance.reported) {
                const SentValue& value = sent[instance.reported];
                std::cout << "  " << name << " sends pin " << value.pinId << " "
                          << describe(instance.pinType(value.pinId), value.bytes) << " (voice "
                          << value.voice << ", " << interfaceName(value.via) << ")\n";
            }
        }
    }

    void releaseInstance(Instance& instance) {
        if (!instance.module && !instance.legacy && !instance.audio)
            return;
        instance.module.reset();
        instance.legacy.reset();
        instance.audio.reset();
        std::string report;
        instance.host->referencesBalanced(&report);
        if (const int32_t refs = instance.drawing->references())
            report += "the drawing factory holds " + std::to_string(refs) + " reference(s); ";
        // Skin pictures stay in the library's image cache while any image
        // widget lives, so drawing objects are counted once all are gone.
        releasedDrawing.emplace_back(instance.name, instance.drawing->ledger());
        if (const int32_t streams = instance.host->openStreams())
            report += std::to_string(streams) + " resource stream(s) open; ";
        if (instance.audioHost)
            instance.audioHost->referencesBalanced(&report);
        if (instance.picker && instance.picker->references() != 0)
            report += "its file dialog has " + std::to_string(instance.picker->references()) +
                      " reference(s) left; ";
        if (!report.empty()) {
            std::cout << "UNBALANCED: " << instance.name << ": " << report << "\n";
            ++failures;
        }
        std::cout << "release " << instance.name << "\n";
    }

    std::vector<std::pair<std::string, LedgerPtr>> releasedDrawing;

    fs::path makeTempFolder() {
        std::random_device seed;
        std::mt19937_64 random(uint64_t(seed()) << 32 ^ seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path made =
                fs::temp_directory_path() / ("tavri-scenario-" + std::to_string(random()));
            std::error_code error;
            if (fs::create_directory(made, error)) {
                tempFolders.push_back(made);
                return made;
            }
        }
        throw std::runtime_error("cannot make a temporary folder");
    }

    gmpi::IMpFactory2* factory;
    std::string folder; // of the scenario file, for resource files
    std::map<std::string, Instance> instances;
    std::vector<Resource> resources;
    std::vector<std::pair<std::string, std::string>> tokens; // ("%NAME%", path)
    std::vector<fs::path> tempFolders;
};

} // namespace

int main(int argc, char** argv) {
    std::string library = ModuleLibrary::defaultPath();
    std::string scenarioPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--library" && i + 1 < argc)
            library = argv[++i];
        else
            scenarioPath = arg;
    }
    if (scenarioPath.empty()) {
        std::cerr << "usage: tavri_refhost [--library PATH] SCENARIO\n";
        return 2;
    }
    try {
        std::ifstream in(scenarioPath);
        if (!in)
            throw std::runtime_error("cannot read " + scenarioPath);
        ModuleLibrary modules(library);
        int32_t version = 0;
        char16_t build[64] = {};
        modules.factory()->describeBuild(&version, 64, build);
        std::cout << "library " << library << ": " << utf8(build) << ", version " << version
                  << "\n";
        const auto cut = scenarioPath.find_last_of("/\\");
        Scenario scenario(modules.factory(),
                          cut == std::string::npos ? std::string() : scenarioPath.substr(0, cut));
        scenario.run(in);
        if (scenario.failures) {
            std::cout << scenario.failures << " expectation(s) failed\n";
            return 1;
        }
        std::cout << "scenario done\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "tavri_refhost: " << e.what() << "\n";
        return 1;
    }
}
