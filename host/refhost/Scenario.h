// A scenario of the reference host: the modules it has made, the resources
// and temporary folders it set up, and the run of its lines one command at a
// time, each followed by a print of whatever the modules sent.
#pragma once

#include "../AudioHost.h"
#include "../DrawingFactory.h"
#include "../FilePicker.h"
#include "../GuiModule.h"
#include "../LegacyGuiModule.h"
#include "../TestHost.h"

#include <filesystem>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace refhost {

using testhost::Bytes;

// One module that the scenario made, of one of three kinds, with its host.
struct Instance {
    std::string name;
    std::vector<std::string> pinTypes; // how to print what each pin sends
    std::unique_ptr<testhost::TestHost> host;
    std::unique_ptr<testhost::DrawingFactory> drawing;
    std::unique_ptr<testhost::GuiModule> module;
    size_t reported = 0; // sends already printed
    std::unique_ptr<testhost::LegacyGuiModule> legacy;
    std::unique_ptr<testhost::AudioHost> audioHost;
    std::unique_ptr<testhost::AudioModule> audio;
    testhost::EventList pending; // events of the next block
    size_t callsReported = 0;
    std::unique_ptr<testhost::FilePicker> picker;

    std::string pinType(int32_t pin) const;
    // The host side of a GUI pin, of either GUI kind.
    int32_t receive(int32_t pin, const Bytes& bytes) const;
    int32_t changed(int32_t pin) const;
    testhost::AudioModule& audioPart() const;
};

// A file that lookUpResource, openUriStream and loadImageUri give every module.
struct Resource {
    std::string name;
    std::string kind;
    std::string uri;
    Bytes bytes;
};

class Scenario {
public:
    // `folder` is the scenario file's, which the files the host reads and
    // writes are relative to; the run is printed on `out`.
    Scenario(gmpi::IMpFactory2* factory, std::string folder, std::ostream& out);
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;
    // Removes the temporary folders it made.
    ~Scenario();

    // Runs every line, then releases the modules still alive. Throws
    // std::runtime_error "line N: ..." for a line it refuses or whose command
    // fails.
    void run(std::istream& in);
    // The expectations that failed and the modules that left references or
    // drawing objects behind (the UNBALANCED lines).
    int failures() const { return int(expected - held) + unbalanced; }
    // "57 of 57 expectations held; 10 pictures written in FOLDER".
    std::string summary() const;

    // What the commands work on.
    gmpi::IMpFactory2* factory() const { return modules; }
    std::ostream& out() const { return output; }
    // A file the host reads or writes, named in the scenario: an absolute
    // path as it is, any other relative to the scenario's folder.
    std::string pathFor(const std::string& file) const;
    // A new instance with its host and drawing factory, not yet entered.
    static Instance newInstance(const std::string& name);
    Instance& find(const std::string& name);
    // A name used again stands for the new module; the old one goes first.
    void enter(Instance instance);
    void release(const std::string& name);
    // Offered to every module alive and to every one made later by "module".
    void addResource(Resource resource);
    void offerResources(testhost::TestHost& host) const;
    // An empty temporary folder; "%TOKEN%" in later lines stands for its path.
    std::filesystem::path makeTempFolder(const std::string& token);
    // Counts an expect or expectsample line.
    void check(bool ok);
    void pictureWritten(const std::string& path);
    // This build cannot write pictures, and a paint line asked for one.
    void pictureNotPainted() { picturesSkipped = true; }

private:
    void runLine(const std::string& line);
    void reportSends();
    void releaseInstance(Instance& instance);

    gmpi::IMpFactory2* modules;
    std::string scenarioFolder;
    std::ostream& output;
    std::map<std::string, Instance> instances;
    std::vector<Resource> resources;
    std::vector<std::pair<std::string, std::string>> tokens; // ("%NAME%", path)
    std::vector<std::filesystem::path> tempFolders;
    std::vector<std::pair<std::string, testhost::LedgerPtr>> releasedDrawing;
    size_t expected = 0;
    size_t held = 0;
    int unbalanced = 0;
    std::vector<std::string> pictures; // written, in order
    bool picturesSkipped = false;
};

} // namespace refhost
