// The current back-end, the headless hooks and the choice of the windowed back-end.
#include "platform/Platform.h"

#include <stdexcept>

#include "platform/Audio.h"
#include "platform/headless/HeadlessControl.h"

namespace platform {

namespace {
Platform* g_current = nullptr;
}  // namespace

Platform& current() {
    if (!g_current) throw std::logic_error("no platform back-end has been set");
    return *g_current;
}

bool hasCurrent() { return g_current != nullptr; }

void setCurrent(Platform* p) { g_current = p; }

HeadlessControl* headlessControl(Platform& p) { return dynamic_cast<HeadlessControl*>(&p); }

#ifdef __EMSCRIPTEN__
std::unique_ptr<Platform> createWindowedPlatform() { return createWebPlatform(); }
std::unique_ptr<AudioDevice> createWindowedAudio() { return createWebAudio(); }
#else
std::unique_ptr<Platform> createWindowedPlatform() { return createSdlPlatform(); }
std::unique_ptr<AudioDevice> createWindowedAudio() { return createSdlAudio(); }
#endif

}  // namespace platform
