// The program's entry. What it printed must have reached standard output, or the run failed.
#include <cstdio>
#include <new>

#include "app/Program.h"
#include "platform/Files.h"

int main(int argc, char** argv) {
    int status = 1;
    try {
        status = app::runProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        // Outside the game's loop (whose failures are shown and the game goes on): the start
        // or the end of the run.
        std::fputs("orbita: Out of memory\n", stderr);
    }
    return platform::checkedStatus("orbita", status);
}
