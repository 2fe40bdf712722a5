// The users of an audio output: the first open() opens the device, later ones only count
// themselves, and the close() of the last user closes it. Every back-end's output keeps one.
#pragma once

namespace platform {

class OpenCount {
public:
    bool isOpen() const { return users_ > 0; }

    // Counts one more user of the open output. False, counting nothing, while it is closed:
    // the caller then opens the device and, once that has worked, calls opened().
    bool join() {
        if (users_ == 0) return false;
        ++users_;
        return true;
    }
    // The device has been opened for its first user.
    void opened() { users_ = 1; }
    // One user fewer; true when that was the last, and the caller closes the device. Leaving
    // a closed output does nothing.
    bool leave() {
        if (users_ == 0) return false;
        return --users_ == 0;
    }
    // Every user at once, as the output goes away; true when the device was open and is to
    // be closed.
    bool leaveAll() {
        const bool open = users_ > 0;
        users_ = 0;
        return open;
    }

private:
    int users_ = 0;
};

}  // namespace platform
