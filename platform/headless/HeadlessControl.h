// The headless back-end's hooks for tests and input scripts.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace platform {

// Test and script hooks of the headless back-end (a no-op cast target for others).
class HeadlessControl {
public:
    virtual ~HeadlessControl() = default;
    virtual void pushEvent(const Event& e) = 0;
    virtual void setKey(int vk, bool down) = 0;
    virtual void releaseAllKeys() = 0;
    virtual void setForeground(bool foreground) = 0;
    virtual void setActive(bool active) = 0;  // also queues Activate/Deactivate
    virtual void setDisplayModes(const std::vector<DisplayMode>& modes) = 0;
    virtual void setDisplayLost(bool lost) = 0;
    virtual void setRestoreFails(bool fails) = 0;
    virtual void setJoystick(int id, const JoystickState& state) = 0;
    virtual void advanceClock(uint32_t ms) = 0;
};
HeadlessControl* headlessControl(Platform& p);  // nullptr unless p is headless

}  // namespace platform
