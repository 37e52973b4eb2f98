// A host-side object handed to a module with one reference: it answers only
// the IMpUnknown id, as the objects that host operations give back have no id
// of their own, and its last release deletes it.
#pragma once

#include "../framework/MpTypes.h"
#include "CountedPart.h"

namespace testhost {

template <class Interface> class SelfDeleting : public Interface {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        return answerFrom(iid, out, {{iidOf<gmpi::IMpUnknown>(), this, true}});
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override {
        const int32_t count = --refs;
        if (count == 0)
            delete this;
        return count;
    }
    int32_t references() const { return refs; }

protected:
    SelfDeleting() = default;
    SelfDeleting(const SelfDeleting&) = delete;
    SelfDeleting& operator=(const SelfDeleting&) = delete;
    virtual ~SelfDeleting() = default;

private:
    int32_t refs = 1; // the maker's
};

} // namespace testhost
