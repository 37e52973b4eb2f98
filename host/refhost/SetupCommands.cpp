#include "../MessageLoop.h"
#include "CommandFunctions.h"
#include "Scenario.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

namespace refhost::commands {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace

std::string restOfLine(Words& words) {
    std::string text;
    std::getline(words >> std::ws, text);
    return text;
}

void wait(Scenario&, Words& words) {
    uint32_t ms = 0;
    words >> ms;
    std::cout << "wait " << ms << " ms\n";
    testhost::pumpMessagesFor(ms);
}

void resource(Scenario& scenario, Words& words) {
    Resource resource;
    std::string file;
    words >> resource.name >> resource.kind >> file;
    if (file.empty())
        throw std::runtime_error("resource needs a name, a kind and a file");
    const std::string& folder = scenario.folder();
    resource.uri = folder.empty() || file.front() == '/' ? file : folder + "/" + file;
    std::ifstream in(resource.uri, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + resource.uri);
    resource.bytes.assign(std::istreambuf_iterator<char>(in), {});
    std::cout << "resource " << resource.name << " (" << resource.kind << ") = " << file << ", "
              << resource.bytes.size() << " bytes\n";
    scenario.addResource(std::move(resource));
}

void tempFolder(Scenario& scenario, Words& words) {
    std::string token;
    words >> token;
    scenario.makeTempFolder(token);
    std::cout << "tempfolder %" << token << "%\n";
}

void makeFolder(Scenario&, Words& words) {
    std::string path;
    words >> path;
    std::error_code error;
    fs::create_directories(pathOf(path), error);
    if (error)
        throw std::runtime_error("cannot make folder " + path);
}

void makeFile(Scenario&, Words& words) {
    std::string path;
    words >> path;
    const std::string text = restOfLine(words);
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace refhost::commands
