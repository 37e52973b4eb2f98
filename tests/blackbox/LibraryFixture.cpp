#include "LibraryFixture.h"

namespace blackbox {

testhost::ModuleLibrary& library() {
    static testhost::ModuleLibrary loaded(testhost::ModuleLibrary::defaultPath());
    return loaded;
}

} // namespace blackbox
