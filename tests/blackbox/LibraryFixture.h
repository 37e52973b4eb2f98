// Black-box tests load the built library once per program, as a host does, and
// check after each test that modules released every host reference.
#pragma once

#include "host/GuiModule.h"
#include "host/ModuleLibrary.h"
#include "host/TestHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace blackbox {

testhost::ModuleLibrary& library();

class LibraryTest : public ::testing::Test {
protected:
    gmpi::IMpFactory2* factory() { return library().factory(); }
    testhost::GuiModule make(const std::u16string& id, bool attach = true) {
        return testhost::GuiModule(factory(), id, host, attach);
    }
    void TearDown() override {
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }

    testhost::TestHost host;
};

} // namespace blackbox
