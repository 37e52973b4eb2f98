// Loading and unloading the library again and again, as hosts do when they
// scan: each load registers afresh and each unload runs the exit list.
#include "LibraryFixture.h"

#include <filesystem>

using namespace testhost;

namespace {

TEST(LoadUnload, ACopyLoadsWorksAndUnloadsRepeatedly) {
    namespace fs = std::filesystem;
    const fs::path original = ModuleLibrary::defaultPath();
    const fs::path copy = fs::temp_directory_path() / "tavri_load_unload_copy.sem";
    fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        TestHost host;
        {
            ModuleLibrary library(copy.string());
            GuiModule module(library.factory(), u"KZ_Hz2Oct", host);
            ASSERT_TRUE(module);
            module.set(0, 880.0f);
            ASSERT_EQ(host.sent.size(), 1u);
            EXPECT_EQ(floatBits(host.sent[0].asFloat()), floatBits(6.0f));
            module.reset();
            library.unload();
            EXPECT_FALSE(library.loaded());
        }
        EXPECT_TRUE(host.referencesBalanced());
    }
    std::error_code ignored;
    fs::remove(copy, ignored);
}

} // namespace
