// Options the AddressSanitizer runtime reads at start, for the test programs,
// which load the module library with dlopen and unload it before they end (the
// environment's ASAN_OPTIONS still win).
//
// The library has one thread-local variable, so a thread that touches it gets
// a block of dynamic TLS. The runtime records such blocks from inside
// __tls_get_addr and finds a block's extent by a guess about the memory just
// before it; where that memory is no header of the C library's (it depends on
// where the block happens to be allocated) the record is nonsense, and the
// leak check at exit reads from an address that is not mapped ("Tracer caught
// signal 11", "LeakSanitizer has encountered a fatal error"), or searches
// freed memory for roots once the library is unloaded. The library and
// these programs keep no heap pointer in thread-local storage, so the leak
// check loses nothing by not following those records.
#if defined(__SANITIZE_ADDRESS__)

extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}

#endif
