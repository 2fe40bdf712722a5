// The program's entry. What it printed must have reached standard output, or the run failed.
#include <cstdio>
#include <new>

#include "app/Program.h"
#include "platform/Files.h"

namespace {

int run(int argc, char** argv) {
#ifdef __EMSCRIPTEN__
    // In the page the frame loop leaves main by unwinding the browser's stack while the run's
    // objects live on in these frames. A try block here would make the call one that hands the
    // stack back when it is left that way, and the loop's objects would be overwritten.
    return app::runProgram(argc, argv);
#else
    try {
        return app::runProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        // Outside the game's loop (whose failures are shown and the game goes on): the start
        // or the end of the run.
        std::fputs("orbita: Out of memory\n", stderr);
        return 1;
    }
#endif
}

}  // namespace

int main(int argc, char** argv) { return platform::checkedStatus("orbita", run(argc, argv)); }
