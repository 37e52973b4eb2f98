// The values a test host received, in a form that tests compare whole.
#pragma once

#include "host/TestHost.h"

#include <cstdio>
#include <ostream>
#include <vector>

namespace blackbox {

// One value as the host received it: through IGuiHost with voice 0 unless given.
struct Send {
    int32_t pinId;
    testhost::Bytes bytes;
    int32_t voice = 0;
    testhost::HostInterface via = testhost::HostInterface::Gui;

    friend bool operator==(const Send&, const Send&) = default;
};

inline void PrintTo(const Send& send, std::ostream* os) {
    *os << "{pin " << send.pinId << ":";
    char hex[4];
    for (const uint8_t b : send.bytes) {
        std::snprintf(hex, sizeof hex, " %02x", b);
        *os << hex;
    }
    if (send.voice != 0)
        *os << " voice " << send.voice;
    if (send.via != testhost::HostInterface::Gui)
        *os << " via " << testhost::interfaceName(send.via);
    *os << "}";
}

inline std::vector<Send> sendsOf(const testhost::TestHost& host) {
    std::vector<Send> sends;
    for (const testhost::SentValue& value : host.sent)
        sends.push_back({value.pinId, value.bytes, value.voice, value.via});
    return sends;
}

} // namespace blackbox
