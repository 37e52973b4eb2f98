// What the second-generation base contains at the host boundary.
#include "framework/MpGuiBase2.h"
#include "host/TestHost.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

} // namespace
