// The item sink a test passes to fillContextMenu; it records every item.
#pragma once

#include "../framework/HostApi.h"
#include "HostCall.h"

#include <string>
#include <vector>

namespace testhost {

struct MenuItem {
    std::string text; // UTF-8
    int32_t id;
    int32_t flags;
    bool operator==(const MenuItem&) const = default;
};

class MenuItemSink final : public IMenuItemSink {
public:
    MenuItemSink() = default;
    MenuItemSink(const MenuItemSink&) = delete;
    MenuItemSink& operator=(const MenuItemSink&) = delete;

    // Answers IMenuItemSink while offerSink is set; belongs to the test and
    // counts the references modules hold.
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    int32_t addMenuItem(const char* text, int32_t id, int32_t flags) override;

    bool offerSink = true;
    std::vector<MenuItem> items;
    // Runs at the end of addMenuItem; may call the module.
    HostCallHook onCall;
    int32_t references() const { return refs; }

private:
    int32_t refs = 0;
};

} // namespace testhost
