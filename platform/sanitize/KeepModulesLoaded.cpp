// In sanitizer builds: shared libraries are never unloaded. The display libraries load
// the GL driver's modules and unload them again when the window closes; the blocks those
// modules still hold would then be reported as leaks from an "<unknown module>" that no
// suppression can name. With the modules kept loaded, their globals stay readable to the
// leak checker (so what they still point to is not a leak) and any real leak in them is
// reported under the library's own name, where a suppression by name can match it.
// Leaks of our own code are reported as before.
extern "C" int dlclose(void*) { return 0; }
