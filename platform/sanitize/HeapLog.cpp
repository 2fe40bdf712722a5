// In sanitizer builds: when ORBITA_HEAP_LOG names a file, a small thread writes there every
// millisecond (a few ticks of a fast headless run, so that a sample lies close to any tick)
// the wall-clock time and the bytes the program holds on the heap, as the sanitizer's
// allocator counts them ("1765240000.123456 8388608", one sample a line). The soak reads it to
// tell memory that the program keeps from memory that the allocator merely has not returned.
#include <fcntl.h>
#include <pthread.h>
#include <sanitizer/allocator_interface.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int logFile = -1;

void* writeSamples(void*) {
    for (;;) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%lld.%06ld %zu\n", static_cast<long long>(now.tv_sec),
                                    now.tv_nsec / 1000, __sanitizer_get_current_allocated_bytes());
        if (n <= 0 || write(logFile, line, static_cast<size_t>(n)) != n) return nullptr;
        const timespec pause{0, 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

__attribute__((constructor)) void startHeapLog() {
    const char* path = std::getenv("ORBITA_HEAP_LOG");
    if (!path || !*path) return;
    logFile = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (logFile < 0) return;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, writeSamples, nullptr) == 0) pthread_detach(thread);
}

}  // namespace
