#include "LibraryFixture.h"

namespace blackbox {

testhost::ModuleLibrary& library() {
    static testhost::ModuleLibrary loaded(testhost::ModuleLibrary::defaultPath());
    return loaded;
}

} // namespace blackbox

#ifdef __SANITIZE_ADDRESS__
// The leak check at the end of a black-box program does not search
// thread-local storage for pointers. The library keeps a thread_local; once
// the program has unloaded the library, the sanitizer's record of that storage
// still names the freed block, and searching it reads whatever the memory
// holds now: junk roots, or a crash of the leak check itself (a program that
// runs a single test case meets it). Without that search the check can only
// report more, never less: nothing of this program keeps an allocation in
// thread-local storage alone.
extern "C" const char* __lsan_default_options() {
    return "use_tls=0";
}
#endif
