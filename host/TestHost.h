// The GUI host object of the tests and the reference host. One object answers
// IGuiHost, ILegacyGuiHost, IDialogHost and IGraphicsHost, each of which can be
// switched off; it counts references per interface, logs every value a module
// sends, and can call back into the module from inside acceptPinValue and from
// inside every other operation a module calls on it.
#pragma once

#include "../framework/HostApi.h"
#include "HostCall.h"
#include "PinBytes.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testhost {

enum class HostInterface { Gui, Legacy, Dialog, Graphics };

const char* interfaceName(HostInterface which);

struct SentValue {
    HostInterface via;
    int32_t pinId;
    Bytes bytes;
    int32_t voice;

    float asFloat() const { return valueOf<float>(bytes); }
    int32_t asInt() const { return valueOf<int32_t>(bytes); }
    bool asBool() const { return !bytes.empty() && bytes[0] != 0; }
    std::u16string asText() const { return textOf(bytes); }
};

// Pointer capture and the requests a widget makes of its graphics host.
struct GraphicsHostState {
    bool captured = false;
    int32_t captureTakes = 0;
    int32_t captureDrops = 0;
    std::vector<std::optional<GuiRect>> repaints; // nullopt: the whole module
    int32_t remeasures = 0;
    // Handed out by fetchDrawingFactory with a new reference; null: none.
    IDrawingFactory* drawingFactory = nullptr;
};

class TestHost;

// What the resource streams a host hands out share with it; they may outlive it.
struct StreamShare {
    int32_t live = 0;
    TestHost* host = nullptr; // null once the host is gone
};

class TestHost {
public:
    TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;
    ~TestHost();

    // The host object as modules receive it.
    gmpi::IMpUnknown* object();
    IGuiHost* guiHost();
    ILegacyGuiHost* legacyHost();

    // An interface switched off is not answered by queryInterface.
    void offer(HostInterface which, bool offered);
    bool offers(HostInterface which) const;

    // References that modules hold on each interface.
    int32_t references(HostInterface which) const;
    // True when no module holds a reference any more; describes the rest otherwise.
    bool referencesBalanced(std::string* report = nullptr) const;

    // Every value sent to acceptPinValue, through either interface, in order.
    std::vector<SentValue> sent;
    // Runs inside acceptPinValue after the value is logged; may call the module.
    std::function<void(const SentValue&)> onAccept;
    // What acceptPinValue answers.
    int32_t acceptResult = ResultSuccess;
    // Runs at the end of every operation a module calls on the host object and
    // on the resource streams it hands out (after onAccept for a value); may
    // call the module.
    HostCallHook onCall;

    // ILegacyGuiHost: countPins answers pinCount; resolveFileName gives
    // defaultFolder for the empty name and otherwise what resolveName makes of
    // the name (the name itself when unset).
    int32_t pinCount = 0;
    std::u16string defaultFolder;
    std::function<std::u16string(const std::u16string& name)> resolveName;
    std::vector<std::u16string> resolvedNames;
    // When set, answers resolveFileName in place of the above (after logging
    // the name), writing into the module's buffer as it likes.
    std::function<int32_t(const char16_t* name, int32_t maxChars, char16_t* fullPath)> resolveRaw;

    // IGuiHost resources: lookUpResource finds (name, kind) in the table;
    // openUriStream serves the bytes stored for a URI; enrolResourceName gives
    // enrolPrefix + the short name and logs the request.
    void addResource(const std::string& name, const std::string& kind, const std::string& uri);
    void removeResource(const std::string& name, const std::string& kind);
    void addUriData(const std::string& uri, Bytes data);
    // The bytes stored for a URI; null when none.
    const Bytes* uriBytes(const std::string& uri) const;
    // Streams that openUriStream handed out and that are not yet released.
    int32_t openStreams() const { return streams->live; }
    std::vector<std::pair<std::string, std::string>> lookups;    // (name, kind)
    std::vector<std::pair<std::string, std::string>> enrolments; // (short name, kind)
    std::string enrolPrefix;

    // IDialogHost: createFilePicker hands out what this makes (one reference
    // for the caller); unset or null: no picker.
    std::function<IFilePicker*(int32_t mode)> makeFilePicker;
    std::vector<int32_t> pickerRequests;

    GraphicsHostState graphics;

private:
    class GuiPart;
    class LegacyPart;
    class DialogPart;
    class GraphicsPart;
    struct Parts;

    int32_t answer(const InterfaceId& iid, void** out);
    int32_t accept(HostInterface via, int32_t pinId, int32_t size, const void* data, int32_t voice);
    // Runs onCall for the operation, then gives its result.
    int32_t called(HostCall call, int32_t result);

    std::unique_ptr<Parts> parts;
    std::map<std::pair<std::string, std::string>, std::string> resources;
    std::map<std::string, Bytes> uriData;
    std::shared_ptr<StreamShare> streams;
    bool offered[4] = {true, true, true, true};
};

} // namespace testhost
