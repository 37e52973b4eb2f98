#include "Scenario.h"

#include "Commands.h"
#include "Values.h"

#include <iostream>
#include <random>
#include <sstream>
#include <stdexcept>

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

Scenario::Scenario(gmpi::IMpFactory2* factory, std::string folder)
    : modules(factory), scenarioFolder(std::move(folder)) {}

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
            runLine(std::move(line));
        } catch (const std::exception& e) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
        }
        reportSends();
    }
    for (auto& [name, instance] : instances)
        releaseInstance(instance);
    for (const auto& [name, ledger] : releasedDrawing) {
        if (ledger->live() != 0) {
            std::cout << "UNBALANCED: " << name << ": drawing objects alive: " << ledger->describe()
                      << "\n";
            ++failed;
        }
    }
}

void Scenario::runLine(std::string line) {
    if (const auto hash = line.find('#'); hash != std::string::npos)
        line.erase(hash);
    for (const auto& [token, value] : tokens)
        for (size_t at = line.find(token); at != std::string::npos;
             at = line.find(token, at + value.size()))
            line.replace(at, token.size(), value);
    std::istringstream words(line);
    std::string name;
    if (!(words >> name))
        return;
    const Command* command = findCommand(name);
    if (!command)
        throw std::runtime_error("unknown command " + name);
    command->run(*this, words);
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
            const std::u8string path = made.u8string();
            tokens.emplace_back("%" + token + "%", std::string(path.begin(), path.end()));
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
                std::cout << "  " << name << " calls " << calls[instance.callsReported].describe()
                          << "\n";
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
        std::cout << "UNBALANCED: " << instance.name << ": " << report << "\n";
        ++failed;
    }
    std::cout << "release " << instance.name << "\n";
}

} // namespace refhost
