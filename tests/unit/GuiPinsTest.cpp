// GUI pins: how each type stores host bytes, what set-and-send sends, the
// registry, and the byte block and text objects.
#include "framework/GuiPins.h"
#include "framework/MpGuiBase2.h"
#include "framework/MpString.h"
#include "host/PinBytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using testhost::Bytes;
using testhost::bytesOf;
using testhost::floatBits;

namespace {

struct Send {
    int32_t pinId;
    Bytes bytes;
    int32_t voice;
    bool operator==(const Send&) const = default;
};

// A registry that records what its pins send.
class RecordingOwner : public GuiPinOwner {
public:
    int32_t sendPinToHost(int32_t pinId, int32_t size, const void* data, int32_t voice) override {
        const auto* bytes = static_cast<const uint8_t*>(data);
        sends.push_back(Send{pinId, Bytes(bytes, bytes + size), voice});
        return ResultSuccess;
    }
    void add(MpGuiPinBase& pin) { bindPin(nextPinIndex(), pin, nullptr); }
    template <class Module> void add(MpGuiPinBase& pin, void (Module::*handler)()) {
        bindPin(nextPinIndex(), pin, handler);
    }
    void addAt(int32_t index, MpGuiPinBase& pin) { bindPin(index, pin, nullptr); }
    std::vector<Send> sends;
};

template <class Pin> bool store(Pin& pin, const Bytes& bytes) {
    return pin.storeHostValue(0, int32_t(bytes.size()), bytes.data());
}

TEST(GuiPinStore, Bool) {
    struct Case {
        bool before;
        Bytes bytes;
        bool after;
        bool changed;
    };
    const Case cases[] = {
        {false, {0}, false, false},
        {false, {1}, true, true},
        {true, {1}, true, false},
        {true, {0}, false, true},
        {false, {7}, true, true},
        {true, {7}, true, true}, // stored as true, not 7
        {false, {7, 0, 0, 0}, true, true},
        {true, {0, 0, 0, 0}, false, true},
        {true, {0, 0, 0, 2}, true, true},
        {false, {1, 0}, true, true},
        {false, {0, 1, 0, 0, 0}, false, true},
        {true, {}, true, false},
    };
    for (const Case& c : cases) {
        MpGuiPinBool pin(c.before);
        EXPECT_EQ(store(pin, c.bytes), c.changed) << c.bytes.size();
        EXPECT_EQ(pin.get(), c.after) << c.bytes.size();
        // The stored byte is always 0 or 1.
        EXPECT_LE(*static_cast<const uint8_t*>(pin.valueAddress()), 1);
    }
}

TEST(GuiPinStore, IntAndFloatCopyAtMostFourBytes) {
    MpGuiPinInt number(0x11223344);
    EXPECT_TRUE(store(number, {0xAA, 0xBB}));
    EXPECT_EQ(number.get(), 0x1122BBAA);
    EXPECT_FALSE(store(number, bytesOf(int32_t(0x1122BBAA))));
    EXPECT_TRUE(store(number, {1, 0, 0, 0, 9, 9, 9, 9}));
    EXPECT_EQ(number.get(), 1);
    EXPECT_TRUE(number.storeHostValue(0, -5, nullptr)); // bytes outside the contract: nothing read
    EXPECT_EQ(number.get(), 1);

    MpGuiPinFloat real(0.0f);
    EXPECT_TRUE(store(real, bytesOf(-0.0f))); // bit patterns differ
    EXPECT_EQ(floatBits(real.get()), 0x80000000u);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(store(real, bytesOf(nan)));
    EXPECT_FALSE(store(real, bytesOf(nan))); // the same NaN bits
}

TEST(GuiPinStore, BlobAndText) {
    MpGuiPinBlob blob;
    EXPECT_FALSE(store(blob, {}));
    EXPECT_TRUE(store(blob, {1, 2, 3}));
    EXPECT_FALSE(store(blob, {1, 2, 3}));
    EXPECT_TRUE(store(blob, {1, 2, 4}));
    EXPECT_EQ(blob.valueByteCount(), 3);
    EXPECT_EQ(static_cast<const uint8_t*>(blob.valueAddress())[2], 4);

    StringGuiPin text(u"ab");
    EXPECT_FALSE(store(text, bytesOf(u"ab")));
    EXPECT_TRUE(store(text, bytesOf(u"abc")));
    EXPECT_EQ(text.get(), u"abc");
    Bytes odd = bytesOf(u"xy");
    odd.push_back(0x41); // an odd last byte is dropped
    EXPECT_TRUE(store(text, odd));
    EXPECT_EQ(text.get(), u"xy");
    EXPECT_TRUE(store(text, {}));
    EXPECT_EQ(text.get(), u"");
}

TEST(GuiPinStore, HostEchoingThePinsOwnBytesLeavesThemIntact) {
    MpGuiPinBlob blob;
    store(blob, {5, 6, 7, 8});
    blob.storeHostValue(0, 2, blob.valueAddress()); // a shorter block from its own bytes
    EXPECT_EQ(blob.valueByteCount(), 2);
    EXPECT_EQ(static_cast<const uint8_t*>(blob.valueAddress())[1], 6);

    StringGuiPin text(u"hello");
    text.storeHostValue(0, 4, text.valueAddress());
    EXPECT_EQ(text.get(), u"he");
}

TEST(GuiPinStore, TextFromAnOddAddressIsCopiedByteForByte) {
    // The units of u"abcd" one byte into a buffer: no char16_t may be read there.
    alignas(2) uint8_t buffer[10] = {};
    const Bytes units = bytesOf(u"abcd");
    std::memcpy(buffer + 1, units.data(), units.size());
    StringGuiPin text(u"xy");
    EXPECT_TRUE(text.storeHostValue(0, 8, buffer + 1));
    EXPECT_EQ(text.get(), u"abcd");
    EXPECT_FALSE(text.storeHostValue(0, 8, buffer + 1));
    EXPECT_TRUE(text.storeHostValue(0, 3, buffer + 1)); // one unit, the odd byte dropped
    EXPECT_EQ(text.get(), u"a");
}

// The registry stores some values itself; whatever it stores must be what the
// pin's own store leaves, for every kind and every size a host may give.
TEST(GuiPinRegistry, ReceivingStoresWhatThePinsOwnStoreStores) {
    const struct {
        const char* what;
        Bytes bytes;
        int32_t size; // as the host tells it
        bool null;    // the data pointer is null
    } deliveries[] = {
        {"four bytes", {7, 0, 0, 0}, 4, false},
        {"four other bytes", {0x00, 0x00, 0xC0, 0x7F}, 4, false},
        {"two bytes", {0xAA, 0xBB}, 2, false},
        {"eight bytes", {1, 2, 3, 4, 5, 6, 7, 8}, 8, false},
        {"one byte", {0}, 1, false},
        {"nothing", {}, 0, false},
        {"four bytes told, none given", {}, 4, true},
        {"a negative size", {1, 2, 3, 4}, -4, false},
    };
    for (const auto& d : deliveries) {
        SCOPED_TRACE(d.what);
        const void* data = d.null ? nullptr : d.bytes.data();
        RecordingOwner owner;
        MpGuiPinBool flag(true);
        MpGuiPinInt number(0x11223344);
        MpGuiPinFloat real(2.0f);
        StringGuiPin text(u"abc");
        MpGuiPinBlob blob;
        MpGuiPinBase* received[] = {&flag, &number, &real, &text, &blob};
        for (MpGuiPinBase* pin : received)
            owner.add(*pin);
        for (int32_t index = 0; index < 5; ++index)
            EXPECT_EQ(owner.receivePinValue(index, 0, d.size, data), ResultSuccess);

        MpGuiPinBool flagStored(true);
        MpGuiPinInt numberStored(0x11223344);
        MpGuiPinFloat realStored(2.0f);
        StringGuiPin textStored(u"abc");
        MpGuiPinBlob blobStored;
        flagStored.storeHostValue(0, d.size, data);
        numberStored.storeHostValue(0, d.size, data);
        realStored.storeHostValue(0, d.size, data);
        textStored.storeHostValue(0, d.size, data);
        blobStored.storeHostValue(0, d.size, data);

        EXPECT_EQ(*static_cast<const uint8_t*>(flag.valueAddress()),
                  *static_cast<const uint8_t*>(flagStored.valueAddress()));
        EXPECT_EQ(number.get(), numberStored.get());
        EXPECT_EQ(floatBits(real.get()), floatBits(realStored.get()));
        EXPECT_EQ(text.get(), textStored.get());
        EXPECT_TRUE(blob.get() == blobStored.get());
    }
}

// The registry replaces a text without comparing it first: units taken from
// the text itself, from inside it, from an odd address, equal or not, all
// arrive whole.
TEST(GuiPinRegistry, ReceivedTextArrivesWholeFromWhereverItComes) {
    RecordingOwner owner;
    StringGuiPin text(u"hello, world"); // longer than a text held in place
    owner.add(text);
    const auto units = [&] { return static_cast<const char16_t*>(text.valueAddress()); };

    EXPECT_EQ(owner.receivePinValue(0, 0, 24, units()), ResultSuccess); // itself, whole
    EXPECT_EQ(text.get(), u"hello, world");
    owner.receivePinValue(0, 0, 10, units() + 7); // from inside, overlapping where it goes
    EXPECT_EQ(text.get(), u"world");
    owner.receivePinValue(0, 0, 6, units()); // its own start, shorter
    EXPECT_EQ(text.get(), u"wor");

    alignas(2) uint8_t buffer[20] = {};
    const Bytes odd = bytesOf(u"abcdefgh");
    std::memcpy(buffer + 1, odd.data(), odd.size());
    owner.receivePinValue(0, 0, 16, buffer + 1);
    EXPECT_EQ(text.get(), u"abcdefgh");
    owner.receivePinValue(0, 0, 16, buffer + 1); // the same again
    EXPECT_EQ(text.get(), u"abcdefgh");
    owner.receivePinValue(0, 0, 5, buffer + 1); // two units, the odd byte dropped
    EXPECT_EQ(text.get(), u"ab");
    const std::u16string within = u"abcdef"; // longer, within the storage the text has
    owner.receivePinValue(0, 0, 12, within.data());
    EXPECT_EQ(text.get(), within);

    const std::u16string longer(40, u'z'); // beyond the storage the text has
    owner.receivePinValue(0, 0, 80, longer.data());
    EXPECT_EQ(text.get(), longer);
    EXPECT_TRUE(owner.sends.empty()) << "a received value is not sent back";
}

TEST(GuiPinSend, OnlyChangesAreSent) {
    RecordingOwner owner;
    MpGuiPinFloat real(1.0f);
    MpGuiPinBool flag;
    StringGuiPin text(u"ab");
    MpGuiPinBlob blob;
    MpGuiPinInt number;
    owner.add(real);
    owner.add(flag);
    owner.add(text);
    owner.add(blob);
    owner.add(number);

    real.setAndSend(1.0f);
    EXPECT_TRUE(owner.sends.empty());
    real.setAndSend(-0.0f); // differs from 1.0: sent
    const float nan = std::numeric_limits<float>::quiet_NaN();
    real.setAndSend(0.0f); // 0.0 over -0.0 compares equal: not sent
    real.setAndSend(nan);
    real.setAndSend(nan); // a NaN is always sent
    text.setAndSend(u"ab");
    text.setAndSend(u"abc");
    blob.setAndSend(MpBlob()); // two empty blobs are equal
    number.setAndSend(0);
    number.setAndSend(-3);

    const std::vector<Send> expected = {
        {0, bytesOf(-0.0f), 0},  {0, bytesOf(nan), 0},         {0, bytesOf(nan), 0},
        {2, bytesOf(u"abc"), 0}, {4, bytesOf(int32_t(-3)), 0},
    };
    EXPECT_EQ(owner.sends, expected);
}

TEST(GuiPinSend, AMovedValueIsTakenOnlyWhenItChanges) {
    RecordingOwner owner;
    StringGuiPin text(u"same");
    owner.add(text);
    std::u16string offered = u"same";
    text.setAndSend(std::move(offered));
    EXPECT_EQ(offered, u"same"); // not taken: nothing changed
    std::u16string changed(100, u'x');
    text.setAndSend(std::move(changed));
    EXPECT_EQ(text.get(), std::u16string(100, u'x'));
    const std::vector<Send> expected = {{0, bytesOf(std::u16string(100, u'x')), 0}};
    EXPECT_EQ(owner.sends, expected);
}

TEST(GuiPinSend, TextFromABufferIsSentOnlyWhenItDiffers) {
    RecordingOwner owner;
    StringGuiPin text(u"ab");
    owner.add(text);
    const char16_t buffer[] = {u'a', u'b', u'c'};
    text.setAndSendText(std::u16string_view(buffer, 2)); // the same text
    text.setAndSendText(std::u16string_view(buffer, 3));
    text.setAndSendText(u"abd");     // the same length, one unit differs
    text.setAndSendText(text.get()); // its own text
    text.setAndSendText(u"");        // empty
    text.setAndSendText(std::u16string_view());
    const std::u16string longText(40, u'z'); // beyond the text's own short storage
    text.setAndSendText(longText);
    text.setAndSendText(u"z");
    const std::vector<Send> expected = {
        {0, bytesOf(u"abc"), 0},   {0, bytesOf(u"abd"), 0}, {0, {}, 0},
        {0, bytesOf(longText), 0}, {0, bytesOf(u"z"), 0},
    };
    EXPECT_EQ(owner.sends, expected);
    EXPECT_EQ(text.get(), u"z");
}

TEST(GuiPinSend, BoolPulse) {
    RecordingOwner owner;
    MpGuiPinBool pin;
    owner.add(pin);
    boolPulse(pin);
    boolPulse(pin);
    pin.setAndSend(true);
    boolPulse(pin);
    const std::vector<Send> expected = {{0, {1}, 0}, {0, {0}, 0}, {0, {1}, 0},
                                        {0, {0}, 0}, {0, {1}, 0}, {0, {0}, 0}};
    EXPECT_EQ(owner.sends, expected);
}

TEST(GuiPinSend, TextPinUtf8) {
    RecordingOwner owner;
    StringGuiPin text;
    owner.add(text);
    text.setAndSendUtf8("\xE2\x82\xAC"
                        "1");
    EXPECT_EQ(text.get(), u"\u20ac1");
    EXPECT_EQ(text.toUtf8(), "\xE2\x82\xAC"
                             "1");
    EXPECT_THROW(text.setAndSendUtf8("\xF0\x9F\x98\x80"), std::range_error);
    EXPECT_EQ(text.get(), u"\u20ac1");
    EXPECT_EQ(owner.sends.size(), 1u);
    text.setAndSend(u"\xd800");
    EXPECT_THROW(text.toUtf8(), std::range_error);
}

// A handler is a member function of the module that owns the pins.
struct CountingOwner : RecordingOwner {
    int runs = 0;
    void onChange() { ++runs; }
};

TEST(GuiPinRegistry, IndicesHandlersAndMissingPins) {
    CountingOwner owner;
    CountingOwner& counter = owner;
    MpGuiPinInt first, second, duplicate;
    owner.add(first, &CountingOwner::onChange);
    owner.add(second);
    EXPECT_EQ(first.getId(), 0);
    EXPECT_EQ(second.getId(), 1);
    owner.addAt(1, duplicate); // the earlier pin stays in the map
    EXPECT_EQ(owner.findPin(1), &second);
    EXPECT_EQ(owner.nextPinIndex(), 2);

    const int32_t value = 9;
    EXPECT_EQ(owner.receivePinValue(0, 3, 4, &value), ResultSuccess);
    EXPECT_EQ(counter.runs, 0); // storing runs no handler
    EXPECT_EQ(owner.onPinChanged(0, 3), ResultSuccess);
    EXPECT_EQ(owner.onPinChanged(0, 3), ResultSuccess); // runs on every report
    EXPECT_EQ(counter.runs, 2);
    EXPECT_EQ(owner.onPinChanged(1, 0), ResultSuccess); // no handler: nothing
    EXPECT_EQ(owner.receivePinValue(2, 0, 4, &value), ResultFailure);
    EXPECT_EQ(owner.onPinChanged(-1, 0), ResultFailure);

    EXPECT_EQ(owner.receiveAndNotify(0, 0, 4, &value), ResultSuccess); // unchanged
    EXPECT_EQ(counter.runs, 2);
    const int32_t other = 10;
    EXPECT_EQ(owner.receiveAndNotify(0, 0, 4, &other), ResultSuccess);
    EXPECT_EQ(counter.runs, 3);
    EXPECT_EQ(owner.receiveAndNotify(5, 0, 4, &other), ResultFailure);
}

TEST(GuiPinRegistry, IndicesWithGapsAndOutOfOrderAreFoundInIndexOrder) {
    RecordingOwner owner;
    MpGuiPinInt pin5, pin0, pin2, pin9, negative, duplicate;
    owner.addAt(5, pin5);
    owner.addAt(0, pin0);
    owner.addAt(9, pin9);
    owner.addAt(2, pin2);
    owner.addAt(-3, negative);
    owner.addAt(2, duplicate); // in the middle of the table: the earlier pin stays
    EXPECT_EQ(duplicate.getId(), 2);

    std::vector<int32_t> order;
    for (const auto& entry : owner.registeredPins()) {
        order.push_back(entry.index);
        EXPECT_EQ(entry.pin->getId(), entry.index);
    }
    EXPECT_EQ(order, (std::vector<int32_t>{-3, 0, 2, 5, 9}));
    EXPECT_EQ(owner.nextPinIndex(), 10);

    const struct {
        int32_t index;
        MpGuiPinBase* pin;
    } lookups[] = {
        {-3, &negative}, {0, &pin0},    {2, &pin2},           {5, &pin5},
        {9, &pin9},      {-1, nullptr}, {1, nullptr},         {3, nullptr},
        {4, nullptr},    {10, nullptr}, {INT32_MIN, nullptr}, {INT32_MAX, nullptr},
    };
    for (const auto& l : lookups) {
        EXPECT_EQ(owner.findPin(l.index), l.pin) << l.index;
        const int32_t value = 1;
        const int32_t expected = l.pin ? ResultSuccess : ResultFailure;
        EXPECT_EQ(owner.receivePinValue(l.index, 0, 4, &value), expected) << l.index;
        EXPECT_EQ(owner.onPinChanged(l.index, 0), expected) << l.index;
    }
    EXPECT_EQ(owner.registeredPins().at(5), &pin5);
    EXPECT_THROW(owner.registeredPins().at(4), std::out_of_range);
}

TEST(GuiPinRegistry, TheHighestIndexDoesNotOverflow) {
    RecordingOwner owner;
    MpGuiPinInt last, next;
    owner.addAt(INT32_MAX, last);
    EXPECT_EQ(owner.nextPinIndex(), INT32_MAX);
    owner.add(next); // lands on the index present: the earlier pin stays
    EXPECT_EQ(owner.findPin(INT32_MAX), &last);
    EXPECT_EQ(owner.registeredPins().size(), 1u);
}

// The registry part lies behind another base, as in the module bases: the
// handlers must run on the whole module.
struct FrontPart {
    virtual ~FrontPart() = default;
    int64_t front = 0;
};

class LayeredOwner final : public FrontPart, public RecordingOwner {
public:
    LayeredOwner() {
        bindPin(0, plain, &LayeredOwner::onPlain);
        bindIndexedPin(1, voiced, &LayeredOwner::onVoice);
        bindPin(2, silent, nullptr);
    }
    void onPlain() { runs.push_back("plain " + std::to_string(plain.get())); }
    void onVoice(int32_t voice) { runs.push_back("voice " + std::to_string(voice)); }

    MpGuiPinInt plain, voiced, silent;
    std::vector<std::string> runs;
};

TEST(GuiPinRegistry, HandlersRunOnTheModuleWithTheVoiceWhenTheyTakeIt) {
    LayeredOwner owner;
    EXPECT_TRUE(owner.plain.hasHandler());
    EXPECT_TRUE(owner.voiced.hasHandler());
    EXPECT_FALSE(owner.silent.hasHandler());
    const int32_t four = 4;
    EXPECT_EQ(owner.receivePinValue(0, 0, 4, &four), ResultSuccess);
    EXPECT_EQ(owner.onPinChanged(0, 6), ResultSuccess);
    EXPECT_EQ(owner.onPinChanged(1, 7), ResultSuccess);
    EXPECT_EQ(owner.onPinChanged(2, 8), ResultSuccess);
    EXPECT_EQ(owner.receiveAndNotify(1, 9, 4, &four), ResultSuccess);
    EXPECT_EQ(owner.runs, (std::vector<std::string>{"plain 4", "voice 7", "voice 9"}));
}

TEST(MpBlobTest, CopiesMovesAndCompares) {
    MpBlob a;
    EXPECT_EQ(a.byteSize(), 0u);
    EXPECT_EQ(a.bytePointer(), nullptr);
    const uint8_t bytes[] = {1, 2, 3};
    a.setBytes(3, bytes);
    MpBlob b = a;
    EXPECT_TRUE(a == b);
    EXPECT_NE(a.bytePointer(), b.bytePointer());
    b.setBytes(2, b.bytePointer() + 1); // from its own bytes
    EXPECT_EQ(b.byteSize(), 2u);
    EXPECT_EQ(b.bytePointer()[0], 2);
    EXPECT_EQ(b.bytePointer()[1], 3);
    b.setBytes(2, b.bytePointer() + 0); // same size, overlapping
    EXPECT_EQ(b.bytePointer()[1], 3);
    MpBlob c = std::move(a);
    EXPECT_EQ(c.byteSize(), 3u);
    EXPECT_EQ(a.byteSize(), 0u);
    EXPECT_TRUE(a == MpBlob());
    c = c; // self-assignment keeps the bytes
    EXPECT_EQ(c.byteSize(), 3u);
    EXPECT_EQ(c.bytePointer()[2], 3);
    c.setBytes(5, nullptr); // null data counts as nothing
    EXPECT_EQ(c.byteSize(), 0u);
}

TEST(MpStringTest, HoldsUtf8WithATerminatingZero) {
    gmpi_sdk::MpString text;
    EXPECT_EQ(text.assignBytes("abc", 3), ResultSuccess);
    EXPECT_EQ(text.byteLength(), 3);
    EXPECT_STREQ(text.byteData(), "abc");
    EXPECT_EQ(text.assignBytes("xyz", 0), ResultSuccess);
    EXPECT_EQ(text.byteLength(), 0);
    EXPECT_EQ(text.byteData()[0], '\0');
    EXPECT_EQ(text.assignBytes(nullptr, 4), ResultSuccess);
    EXPECT_EQ(text.byteLength(), 0);
    EXPECT_EQ(text.addRef(), 1);
    EXPECT_EQ(text.release(), 1);
    void* out = &out;
    EXPECT_EQ(text.queryInterface(iidOf<gmpi::IString>(), &out), ResultSuccess);
    EXPECT_EQ(out, static_cast<gmpi::IString*>(&text));
    EXPECT_EQ(text.queryInterface(iidOf<gmpi::IMpUserInterface2>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(text.queryInterface(iidOf<gmpi::IString>(), nullptr), ResultFailure);
}

} // namespace
