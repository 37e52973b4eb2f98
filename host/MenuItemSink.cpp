#include "MenuItemSink.h"

namespace testhost {

int32_t MenuItemSink::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || (offerSink && iid == iidOf<IMenuItemSink>())) {
        *out = static_cast<IMenuItemSink*>(this);
        addRef();
        return ResultSuccess;
    }
    return ResultUnsupported;
}

int32_t MenuItemSink::addMenuItem(const char* text, int32_t id, int32_t flags) {
    items.push_back(MenuItem{text ? text : "", id, flags});
    notify(onCall, HostCall::AddMenuItem);
    return ResultSuccess;
}

} // namespace testhost
