#include "../MessageLoop.h"
#include "CommandFunctions.h"
#include "Scenario.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>

namespace refhost::commands {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace

void wait(Scenario&, Words& words) {
    const int32_t ms = words.count("MS", "milliseconds");
    words.end();
    testhost::pumpMessagesFor(uint32_t(ms));
}

void resource(Scenario& scenario, Words& words) {
    Resource resource;
    resource.name = words.word("NAME");
    resource.kind = words.word("KIND");
    resource.uri = scenario.pathFor(words.word("FILE"));
    words.end();
    resource.bytes = readRegularFile(resource.uri);
    scenario.out() << "  " << resource.bytes.size() << " bytes from " << resource.uri << "\n";
    scenario.addResource(std::move(resource));
}

void tempFolder(Scenario& scenario, Words& words) {
    const std::string token = words.word("TOKEN");
    words.end();
    const fs::path made = scenario.makeTempFolder(token);
    const std::u8string path = made.u8string();
    scenario.out() << "  %" << token << "% is " << std::string(path.begin(), path.end()) << "\n";
}

void makeFolder(Scenario& scenario, Words& words) {
    const std::string path = scenario.pathFor(words.word("PATH"));
    words.end();
    std::error_code error;
    fs::create_directories(pathOf(path), error);
    if (error)
        throw std::runtime_error("cannot make the folder " + path + ": " + error.message());
}

void makeFile(Scenario& scenario, Words& words) {
    const std::string path = scenario.pathFor(words.word("PATH"));
    const std::string text = words.rest();
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes readRegularFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(pathOf(path), error);
    if (status.type() == fs::file_type::not_found)
        throw std::runtime_error("cannot read " + path + ": no such file");
    if (error)
        throw std::runtime_error("cannot read " + path + ": " + error.message());
    if (!fs::is_regular_file(status))
        throw std::runtime_error("cannot read " + path + ": not a regular file");
    std::ifstream in(pathOf(path), std::ios::binary);
    Bytes bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad() || !in.is_open())
        throw std::runtime_error("cannot read " + path);
    return bytes;
}

} // namespace refhost::commands
