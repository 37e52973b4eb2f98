// One interface of a host object made of several: it counts the references
// that modules hold on it and leaves queryInterface to the host object.
#pragma once

#include "../framework/MpTypes.h"

#include <initializer_list>

namespace testhost {

template <class Host, class Interface> class CountedPart : public Interface {
public:
    using Answer = int32_t (Host::*)(const InterfaceId&, void**);
    CountedPart(Host& host, Answer answer) : host(host), answer(answer) {}
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        return (host.*answer)(iid, out);
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    int32_t refs = 0;

protected:
    Host& host;

private:
    Answer answer;
};

// One interface a host object may answer with: its id, the part that answers
// and whether the host offers it now.
struct PartOffer {
    InterfaceId iid;
    gmpi::IMpUnknown* part;
    bool offered;
};

// A host object's queryInterface: the first offered part with the id, with a
// new reference; ResultUnsupported when none.
inline int32_t answerFrom(const InterfaceId& iid, void** out,
                          std::initializer_list<PartOffer> offers) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    for (const PartOffer& offer : offers)
        if (offer.offered && iid == offer.iid) {
            *out = offer.part;
            offer.part->addRef();
            return ResultSuccess;
        }
    return ResultUnsupported;
}

} // namespace testhost
