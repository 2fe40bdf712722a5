// In sanitizer builds: leaks that belong to the system's font and display libraries, which
// keep caches for the life of the process, are not ours to report.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n"
           "leak:libdbus-1.so\n"
           "leak:libX11.so\n"
           "leak:libasound.so\n"
           "leak:libSDL2-2.0.so\n";
}
