// A tiny program linked as the game is (the platform library with its leak suppressions and
// its kept-loaded shared libraries), run under Xvfb in sanitizer builds. It opens the real
// window, presents a frame and closes it, as the game does, so the display libraries and the
// GL driver load and unload their modules. Then:
//   LeakReportTest clean   ends; the leak checker must find nothing.
//   LeakReportTest leak    first loses a block of its own; the leak checker must report that
//                          block, with this program's function in its stack.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace {

char* volatile lastBlock = nullptr;

__attribute__((noinline)) void leakOnPurpose() {
    lastBlock = static_cast<char*>(std::malloc(4242));
    std::memset(lastBlock, 0x5A, 4242);
    lastBlock = nullptr;  // the only pointer to it is gone
}

// Overwrites the stack below the caller so no stale copy of the pointer stays there.
__attribute__((noinline)) void scrubStack() {
    volatile char area[16384];
    for (size_t i = 0; i < sizeof area; ++i) area[i] = 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "clean" && mode != "leak") {
        std::fprintf(stderr, "usage: LeakReportTest clean|leak\n");
        return 2;
    }
    {
        auto p = platform::createSdlPlatform();
        platform::WindowOptions w;
        w.fullScreen = false;
        w.scale = 1;
        if (!p->openDisplay({640, 480, 16}, w)) {
            std::fprintf(stderr, "LeakReportTest: no window could be opened\n");
            return 3;
        }
        std::vector<uint16_t> frame(platform::kFrameWidth * platform::kFrameHeight, 0x001F);
        for (int i = 0; i < 3; ++i) p->present(frame.data(), true);
        platform::Event e;
        while (p->pollEvent(e)) {
        }
    }
    if (mode == "leak") {
        leakOnPurpose();
        scrubStack();
    }
    std::printf("LeakReportTest %s: window opened and closed\n", mode.c_str());
    return 0;
}
