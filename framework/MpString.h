// UTF-8 text object handed to host operations that return text. It keeps no
// reference count: callers build it on their stack and read it after the call.
#pragma once

#include "MpTypes.h"

#include <string>

namespace gmpi_sdk {

// A text object for one host call that returns text: callers build it on
// their stack and read it after the call, so it answers its own ids and keeps
// no reference count. Derived classes say where the text is kept.
class StackString : public gmpi::IString {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
};

class MpString final : public StackString {
public:
    int32_t assignBytes(const char* bytes, int32_t size) override;
    int32_t byteLength() override { return int32_t(text.size()); }
    const char* byteData() override { return text.c_str(); }

    const std::string& str() const { return text; }

private:
    std::string text;
};

} // namespace gmpi_sdk
