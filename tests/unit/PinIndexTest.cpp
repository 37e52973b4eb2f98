// Pins registered under named indices: each lands where its name says, and a
// module whose registrations do not follow its list is never made.
#include "framework/AudioPins.h"
#include "framework/MpFactory.h"
#include "framework/MpGuiBase.h"
#include "framework/MpGuiBase2.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

enum class ListedPin : int32_t { First = 0, Second = 1, Third = 2, Count };

// Only a scoped list over int32_t that ends in Count names pin indices; a
// plain number or an unscoped enum would let the old silent numbering back.
struct Unlisted {
    enum class NoCount : int32_t { A };
    enum Unscoped : int32_t { A, Count };
    enum class Wide : int64_t { A, Count };
};
static_assert(NamedPinIndex<ListedPin>);
static_assert(!NamedPinIndex<Unlisted::NoCount>);
static_assert(!NamedPinIndex<Unlisted::Unscoped>);
static_assert(!NamedPinIndex<Unlisted::Wide>);
static_assert(!NamedPinIndex<int32_t>);

// Registers pins under the named indices in the order it is given; the pin
// registered under an index is the one of that name (a spare one for Count).
class ListedModule final : public SeGuiInvisibleBase {
public:
    explicit ListedModule(const std::vector<ListedPin>& order) {
        for (const ListedPin index : order)
            registerPin(index, pinNamed(index), &ListedModule::onChange);
    }
    MpGuiPinInt& pinNamed(ListedPin index) { return pins[size_t(index)]; }
    void onChange() { ++changes; }

    MpGuiPinInt pins[4];
    int changes = 0;
};

// Destroys a module that was made; false when its constructor threw.
bool makes(const std::vector<ListedPin>& order) {
    ListedModule* module = nullptr;
    try {
        module = new ListedModule(order);
    } catch (const std::logic_error&) {
        return false;
    }
    module->release();
    return true;
}

TEST(NamedPinIndex, RegistrationsMustFollowTheList) {
    using enum ListedPin;
    const struct Case {
        const char* what;
        std::vector<ListedPin> order;
        bool made;
    } cases[] = {
        {"in order", {First, Second, Third}, true},
        {"two lines swapped", {Second, First, Third}, false},
        {"the last two swapped", {First, Third, Second}, false},
        {"one left out", {First, Third}, false},
        {"one doubled", {First, First, Second, Third}, false},
        {"Count is no pin", {First, Second, Third, Count}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(makes(c.order), c.made) << c.what;
}

TEST(NamedPinIndex, EachPinLandsOnItsNamedIndex) {
    auto* module = new ListedModule({ListedPin::First, ListedPin::Second, ListedPin::Third});
    std::vector<int32_t> indices;
    for (const auto& entry : module->registeredPins()) {
        indices.push_back(entry.index);
        EXPECT_EQ(entry.pin, &module->pins[size_t(entry.index)]);
    }
    EXPECT_EQ(indices, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(module->onPinChanged(2, 0), ResultSuccess);
    EXPECT_EQ(module->changes, 1);
    EXPECT_EQ(module->onPinChanged(3, 0), ResultFailure);
    module->release();
}

TEST(NamedPinIndex, TheFailureNamesBothIndices) {
    try {
        ListedModule module({ListedPin::First, ListedPin::Third});
        FAIL() << "made";
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "pin index 2 registered where 1 is next");
    }
}

// A list whose values skip one: the second pin cannot land on 2.
class GappedModule final : public SeGuiInvisibleBase {
public:
    GappedModule() {
        registerPin(PinIndex::A, a);
        registerPin(PinIndex::B, b);
    }

private:
    enum class PinIndex : int32_t { A = 0, B = 2, Count };
    MpGuiPinInt a, b;
};

// The older base and the audio base take named indices the same way.
class OlderKindModule final : public MpGuiBase {
public:
    explicit OlderKindModule(bool inOrder) {
        registerPin(inOrder ? PinIndex::A : PinIndex::B, a, &OlderKindModule::onA);
        registerPin(inOrder ? PinIndex::B : PinIndex::A, b);
    }
    void onA() {}

private:
    enum class PinIndex : int32_t { A = 0, B = 1, Count };
    MpGuiPinInt a;
    MpGuiPinBool b;
};

class AudioModule final : public MpBase2 {
public:
    explicit AudioModule(bool inOrder) {
        registerPin(inOrder ? PinIndex::Trigger : PinIndex::Length, trigger);
        registerPin(inOrder ? PinIndex::Length : PinIndex::Trigger, length);
    }

private:
    enum class PinIndex : int32_t { Trigger = 0, Length = 1, Count };
    BoolInPin trigger;
    IntInPin length;
};

template <bool inOrder> gmpi::IMpUnknown* makeOlderKind() {
    return static_cast<gmpi::IMpUserInterface*>(new OlderKindModule(inOrder));
}
template <bool inOrder> gmpi::IMpUnknown* makeAudio() {
    return static_cast<gmpi::IMpPlugin2*>(new AudioModule(inOrder));
}

TEST(NamedPinIndex, TheFactoryAnswersFailureForAModuleOutOfOrder) {
    MpFactory factory;
    factory.addModuleCreator(u"Gapped", Gui2Part, &createModule<GappedModule>);
    factory.addModuleCreator(u"Older", GuiPart, &makeOlderKind<true>);
    factory.addModuleCreator(u"OlderSwapped", GuiPart, &makeOlderKind<false>);
    factory.addModuleCreator(u"Audio", AudioPart, &makeAudio<true>);
    factory.addModuleCreator(u"AudioSwapped", AudioPart, &makeAudio<false>);
    const struct Case {
        const char* name;
        const char16_t* id;
        int32_t subType;
        int32_t result;
    } cases[] = {
        {"Gapped", u"Gapped", Gui2Part, ResultFailure},
        {"Older", u"Older", GuiPart, ResultSuccess},
        {"OlderSwapped", u"OlderSwapped", GuiPart, ResultFailure},
        {"Audio", u"Audio", AudioPart, ResultSuccess},
        {"AudioSwapped", u"AudioSwapped", AudioPart, ResultFailure},
    };
    for (const Case& c : cases) {
        void* out = &out;
        EXPECT_EQ(factory.makeModuleWithoutHost(c.id, c.subType, &out), c.result) << c.name;
        if (c.result == ResultSuccess) {
            ASSERT_NE(out, nullptr);
            static_cast<gmpi::IMpUnknown*>(out)->release();
        } else {
            EXPECT_EQ(out, nullptr);
        }
    }
}

} // namespace
