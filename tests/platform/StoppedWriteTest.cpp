// A write stopped by SIGTERM or SIGINT in a program that asks for it leaves no temporary
// file behind, and the previous content of the target stays.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/Files.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

class StoppedWrite : public testfiles::TempFolderTest {
protected:
    StoppedWrite() : TempFolderTest("orbita_stopped_write_") {}
    bool temporaryThere() const {
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename().string().rfind(".out.dxg.", 0) == 0) return true;
        return false;
    }
};

}  // namespace

TEST_F(StoppedWrite, TheTemporaryFileIsRemovedWhenAStopSignalEndsTheWrite) {
    for (int sig : {SIGTERM, SIGINT}) {
        std::ofstream(path("out.dxg")) << "previous";
        pid_t pid = fork();
        if (pid == 0) {
            platform::removeTemporaryOnStopSignals();
            // A large write of zero pages, long enough to be caught in the middle.
            const size_t size = size_t(1) << 30;
            void* zeros = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (zeros == MAP_FAILED) _exit(3);
            platform::writeFileSafely(path("out.dxg"), zeros, size);
            _exit(2);  // finished before the signal came
        }
        bool seen = false;
        for (int i = 0; i < 4000 && !seen; ++i) {
            seen = temporaryThere();
            if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        kill(pid, sig);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!seen || !WIFSIGNALED(status)) {
            fs::remove(path("out.dxg"));
            GTEST_SKIP() << "the write ended before it could be stopped";
        }
        EXPECT_EQ(WTERMSIG(status), sig);  // ended by the signal, as usual
        EXPECT_FALSE(temporaryThere());
        std::ifstream in(path("out.dxg"));
        std::string text;
        in >> text;
        EXPECT_EQ(text, "previous");
    }
}
