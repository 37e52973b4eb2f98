#include "Scenario.h"

#include "../../platform/Utf8.h"
#include "Commands.h"
#include "Values.h"
#include "Words.h"

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string_view>

namespace refhost {

namespace fs = std::filesystem;
using namespace testhost;

std::string Instance::pinType(int32_t pin) const {
    return pin >= 0 && size_t(pin) < pinTypes.size() ? pinTypes[size_t(pin)] : "";
}

int32_t Instance::receive(int32_t pin, const Bytes& bytes) const {
    if (legacy)
        return legacy->receive(pin, bytes);
    if (!module)
        throw std::runtime_error(name + " has no GUI pins");
    return module->receive(pin, bytes);
}

int32_t Instance::changed(int32_t pin) const {
    if (legacy)
        return legacy->changed(pin);
    if (!module)
        throw std::runtime_error(name + " has no GUI pins");
    return module->changed(pin);
}

AudioModule& Instance::audioPart() const {
    if (!audio)
        throw std::runtime_error(name + " is no audio part");
    return *audio;
}

Scenario::Scenario(gmpi::IMpFactory2* factory, std::string folder, std::ostream& out)
    : modules(factory), scenarioFolder(std::move(folder)), output(out) {}

Scenario::~Scenario() {
    std::error_code error;
    for (const fs::path& made : tempFolders)
        fs::remove_all(made, error);
}

void Scenario::run(std::istream& in) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        try {
            runLine(line);
        } catch (const std::exception& e) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
        }
        reportSends();
    }
    if (in.bad())
        throw std::runtime_error("cannot read the scenario after line " + std::to_string(number));
    for (auto& [name, instance] : instances) {
        output << "release " << name << "\n";
        releaseInstance(instance);
    }
    for (const auto& [name, ledger] : releasedDrawing) {
        if (ledger->live() != 0) {
            output << "UNBALANCED: " << name << ": drawing objects alive: " << ledger->describe()
                   << "\n";
            ++unbalanced;
        }
    }
}

namespace {

// The number of the first byte of text that is not well-formed UTF-8, from 1;
// 0 when all are.
size_t firstIllFormedByte(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const platform::Utf8Sequence sequence = platform::readUtf8Sequence(text.substr(at));
        if (!sequence.wellFormed)
            return at + 1;
        at += sequence.length;
    }
    return 0;
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

void Scenario::runLine(const std::string& text) {
    std::string_view line = text;
    if (!line.empty() && line.back() == '\r') // a line that ends in CR LF
        line.remove_suffix(1);
    if (const size_t bad = firstIllFormedByte(line))
        throw std::runtime_error("not UTF-8: byte " + std::to_string(bad) + " is ill-formed");
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#')
        return;
    line.remove_prefix(first);
    output << line << "\n";
    std::string expanded(line);
    for (const auto& [token, value] : tokens)
        for (size_t at = expanded.find(token); at != std::string::npos;
             at = expanded.find(token, at + value.size()))
            expanded.replace(at, token.size(), value);
    const std::string name = expanded.substr(0, expanded.find_first_of(" \t"));
    const Command* command = findCommand(name);
    if (!command)
        throw std::runtime_error("unknown command: " + name);
    Words words(std::string_view(expanded).substr(name.size()), *command);
    command->run(*this, words);
}

std::string Scenario::pathFor(const std::string& file) const {
    const bool absolute =
        !file.empty() && (file.front() == '/' || file.front() == '\\' ||
                          fs::path(std::u8string(file.begin(), file.end())).is_absolute());
    return absolute || scenarioFolder.empty() ? file : scenarioFolder + "/" + file;
}

void Scenario::check(bool ok) {
    ++expected;
    held += ok ? 1 : 0;
}

void Scenario::pictureWritten(const std::string& path) {
    pictures.push_back(path);
}

std::string Scenario::summary() const {
    std::string text =
        std::to_string(held) + " of " + std::to_string(expected) + " expectation(s) held";
    if (unbalanced)
        text += "; " + std::to_string(unbalanced) + " module(s) unbalanced";
    if (pictures.empty()) {
        text += picturesSkipped ? "; no pictures: this build does not write them" : "; no pictures";
        return text;
    }
    std::vector<std::string> folders;
    for (const std::string& picture : pictures) {
        std::error_code error;
        const fs::path file =
            fs::absolute(fs::path(std::u8string(picture.begin(), picture.end())), error);
        const std::string folder = utf8Of(file.parent_path().lexically_normal());
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    text += "; " + std::to_string(pictures.size()) + " picture(s) written in ";
    for (size_t i = 0; i < folders.size(); ++i)
        text += (i ? ", " : "") + folders[i];
    return text;
}

Instance Scenario::newInstance(const std::string& name) {
    Instance instance;
    instance.name = name;
    instance.host = std::make_unique<TestHost>();
    instance.drawing = std::make_unique<DrawingFactory>();
    instance.drawing->serve(*instance.host);
    return instance;
}

Instance& Scenario::find(const std::string& name) {
    const auto it = instances.find(name);
    if (it == instances.end())
        throw std::runtime_error("no module named " + name);
    return it->second;
}

void Scenario::enter(Instance instance) {
    if (const auto old = instances.find(instance.name); old != instances.end()) {
        output << "  the earlier " << instance.name << " is released\n";
        releaseInstance(old->second);
        instances.erase(old);
    }
    const std::string name = instance.name;
    instances.emplace(name, std::move(instance));
}

void Scenario::release(const std::string& name) {
    releaseInstance(find(name));
    instances.erase(name);
}

void Scenario::addResource(Resource resource) {
    for (auto& [name, instance] : instances) {
        instance.host->addResource(resource.name, resource.kind, resource.uri);
        instance.host->addUriData(resource.uri, resource.bytes);
    }
    resources.push_back(std::move(resource));
}

void Scenario::offerResources(TestHost& host) const {
    for (const Resource& resource : resources) {
        host.addResource(resource.name, resource.kind, resource.uri);
        host.addUriData(resource.uri, resource.bytes);
    }
}

fs::path Scenario::makeTempFolder(const std::string& token) {
    std::random_device seed;
    std::mt19937_64 random(uint64_t(seed()) << 32 ^ seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path made =
            fs::temp_directory_path() / ("tavri-scenario-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(made, error)) {
            tempFolders.push_back(made);
            tokens.emplace_back("%" + token + "%", utf8Of(made));
            return made;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

void Scenario::reportSends() {
    for (auto& [name, instance] : instances) {
        if (instance.audioHost) {
            const auto& calls = instance.audioHost->calls;
            for (; instance.callsReported < calls.size(); ++instance.callsReported)
                output << "  " << name << " calls " << calls[instance.callsReported].describe()
                       << "\n";
        }
        const auto& sent = instance.host->sent;
        for (; instance.reported < sent.size(); ++instance.reported) {
            const SentValue& value = sent[instance.reported];
            output << "  " << name << " sends pin " << value.pinId << " "
                   << describe(instance.pinType(value.pinId), value.bytes) << " (voice "
                   << value.voice << ", " << interfaceName(value.via) << ")\n";
        }
    }
}

void Scenario::releaseInstance(Instance& instance) {
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
        output << "UNBALANCED: " << instance.name << ": " << report << "\n";
        ++unbalanced;
    }
}

} // namespace refhost
