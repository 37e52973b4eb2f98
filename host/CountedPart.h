// One interface of a host object made of several: it counts the references
// that modules hold on it and leaves queryInterface to the host object.
#pragma once

#include "../framework/MpTypes.h"

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

} // namespace testhost
