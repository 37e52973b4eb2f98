// What the second-generation base contains at the host boundary.
#include "framework/MpGuiBase2.h"
#include "host/TestHost.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace {

class ThrowingModule final : public SeGuiInvisibleBase {
public:
    ThrowingModule() {
        registerPin(pinText, &ThrowingModule::onText);
        registerPin(pinOut);
    }
    void onText() {
        pinOut.setAndSend(1);
        pinText.setAndSendUtf8("\xFF"); // not UTF-8: throws std::range_error
    }
    StringGuiPin pinText;
    MpGuiPinInt pinOut;
};

TEST(GuiBaseBoundary, AHandlerThatThrowsAnswersFailure) {
    testhost::TestHost host;
    auto* module = new ThrowingModule;
    ASSERT_EQ(module->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(module->onPinChanged(0, 0), ResultFailure);
    ASSERT_EQ(host.sent.size(), 1u); // what was sent before the failure stays sent
    EXPECT_EQ(host.sent[0].pinId, 1);
    EXPECT_EQ(module->release(), 0);
    EXPECT_TRUE(host.referencesBalanced());
}

// Pin 0's handler sends pin 1 := pin 0 + 1.
class EchoModule final : public SeGuiInvisibleBase {
public:
    EchoModule() {
        registerPin(pinIn, &EchoModule::onIn);
        registerPin(pinOut);
    }
    void onIn() { pinOut.setAndSend(pinIn.get() + 1); }
    void set(int32_t value) {
        receivePinValue(0, 0, 4, &value);
        onPinChanged(0, 0);
    }
    MpGuiPinInt pinIn;
    MpGuiPinInt pinOut;
};

std::vector<int32_t> sentInts(const testhost::TestHost& host) {
    std::vector<int32_t> values;
    for (const testhost::SentValue& sent : host.sent)
        values.push_back(sent.asInt());
    return values;
}

// The pins send to the host that attachHost found last, also when the host
// attaches another from inside a send, and to none once a host without
// IGuiHost is attached.
TEST(GuiBaseHost, PinsSendToTheHostAttachedLast) {
    testhost::TestHost first, second, without;
    without.offer(testhost::HostInterface::Gui, false);
    auto* module = new EchoModule;
    ASSERT_EQ(module->attachHost(first.object()), ResultSuccess);
    bool switched = false;
    first.onAccept = [&](const testhost::SentValue&) {
        if (!std::exchange(switched, true)) {
            EXPECT_EQ(module->attachHost(second.object()), ResultSuccess);
        }
    };
    module->set(1); // reaches the first host, which lets itself go while it hears it
    EXPECT_EQ(first.references(testhost::HostInterface::Gui), 0);
    module->set(2);
    module->set(3);
    EXPECT_EQ(sentInts(first), (std::vector<int32_t>{2}));
    EXPECT_EQ(sentInts(second), (std::vector<int32_t>{3, 4}));

    EXPECT_EQ(module->attachHost(without.object()), ResultUnsupported);
    module->set(4);
    EXPECT_EQ(module->pinOut.get(), 5); // kept, though no host heard of it
    EXPECT_EQ(sentInts(second), (std::vector<int32_t>{3, 4}));
    EXPECT_TRUE(without.sent.empty());
    EXPECT_EQ(module->release(), 0);
    EXPECT_TRUE(first.referencesBalanced());
    EXPECT_TRUE(second.referencesBalanced());
    EXPECT_TRUE(without.referencesBalanced());
}

} // namespace
