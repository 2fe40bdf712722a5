#include "platform/Files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace platform {

namespace {

std::string systemReason(int error) { return std::strerror(error); }

// The temporary file being written, for a stop signal's handler to remove.
char g_temporary[4096];
volatile sig_atomic_t g_haveTemporary = 0;

// The signals that ask a program to stop, after whose handling no temporary file may stay.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void noteTemporary(const char* temp) {
    const size_t size = std::strlen(temp);
    if (size >= sizeof g_temporary) return;
    g_haveTemporary = 0;
    std::memcpy(g_temporary, temp, size + 1);
    g_haveTemporary = 1;
}

void onStopSignal(int signal) {
    if (g_haveTemporary) ::unlink(g_temporary);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes all of it, going on after short writes and interrupted calls.
bool writeAll(int fd, const uint8_t* p, size_t n, int& error) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (w == 0) {
            error = EIO;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

std::string unwritableReason(const std::string& path) {
    if (path.empty()) return "has no name";
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::string();
        return systemReason(errno);
    }
    if (S_ISLNK(st.st_mode)) return "is a symbolic link";
    if (!S_ISREG(st.st_mode)) return "is not a regular file";
    return std::string();
}

std::string writeFileSafely(const std::string& path, const void* data, size_t size) {
    std::string reason = unwritableReason(path);
    if (!reason.empty()) return reason;
    const std::string name = nameOf(path);
    if (name.empty() || name == "." || name == "..") return "is not a file name";

    // The new content keeps the mode of the file it replaces; a new file gets the usual
    // mode under the umask.
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
        keepMode = true;
    }
    if (!keepMode) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    std::string temp = folderOf(path) + "/." + name + ".XXXXXX";
    std::vector<char> templ(temp.begin(), temp.end());
    templ.push_back('\0');
    // The stop signals wait while the file is made and noted, so that one arriving in
    // between cannot leave a temporary file that its handler does not know of.
    sigset_t stops, before;
    sigemptyset(&stops);
    for (int sig : kStopSignals) sigaddset(&stops, sig);
    pthread_sigmask(SIG_BLOCK, &stops, &before);
    int fd = ::mkstemp(templ.data());
    const int madeError = errno;
    if (fd >= 0) noteTemporary(templ.data());
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (fd < 0) return systemReason(madeError);
    temp = templ.data();
    struct Forget {
        ~Forget() { g_haveTemporary = 0; }
    } forget;

    int error = 0;
    bool ok = writeAll(fd, static_cast<const uint8_t*>(data), size, error);
    if (ok && ::fchmod(fd, mode) != 0) {
        error = errno;
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        error = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok) {
        // Checked again just before the rename, which replaces a link rather than following it.
        reason = unwritableReason(path);
        if (!reason.empty()) {
            ::unlink(temp.c_str());
            return reason;
        }
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            error = errno;
            ok = false;
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return systemReason(error);
    }
    // The rename itself reaches the disk with the folder.
    int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::string();
}

ReadFailure readRegularFile(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes) {
    out.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return ReadFailure::Missing;
    if (!S_ISREG(st.st_mode)) return ReadFailure::NotRegular;
    if (static_cast<uint64_t>(st.st_size) > maxBytes) return ReadFailure::TooLarge;
    // Not blocking even if a pipe has taken the file's place since the check.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ReadFailure::Missing;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadFailure::NotRegular;
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return ReadFailure::TooLarge;
    }
    out.reserve(static_cast<size_t>(st.st_size));
    uint8_t buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            out.clear();
            return ReadFailure::ReadError;
        }
        if (n == 0) break;
        if (out.size() + static_cast<size_t>(n) > maxBytes) {  // the file grew while read
            ::close(fd);
            out.clear();
            return ReadFailure::TooLarge;
        }
        out.insert(out.end(), buf, buf + n);
    }
    ::close(fd);
    return ReadFailure::None;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string standardOutputFailure() {
    std::cout.flush();
    const bool streamBad = !std::cout;
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return errno ? std::strerror(errno) : "write error";
    if (streamBad) return "write error";
    return "";
}

int checkedStatus(const char* program, int status) {
    const std::string reason = standardOutputFailure();
    if (reason.empty()) return status;
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", program, reason.c_str());
    return status ? status : 1;
}

void exitCheckingOutput(const char* program, int status) { std::exit(checkedStatus(program, status)); }

FileLock::FileLock(const std::string& path) : lockPath_(path + ".lock") {
    fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        reason_ = std::strerror(errno);
        return;
    }
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        reason_ = errno == EWOULDBLOCK ? "is being written by another run" : std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    ::unlink(lockPath_.c_str());  // while still held, so no other run takes a lock on a file about to go
    ::close(fd_);
}

std::string unreadableReason(const std::string& path, size_t maxBytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return systemReason(errno);
    if (S_ISDIR(st.st_mode)) return "is a directory";
    if (S_ISFIFO(st.st_mode)) return "is a pipe";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "is a device";
    if (!S_ISREG(st.st_mode)) return "is not a regular file";
    if (static_cast<uint64_t>(st.st_size) > maxBytes) return "is larger than " + std::to_string(maxBytes) + " bytes";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return systemReason(errno);
    ::close(fd);
    return "cannot be read";
}

void removeTemporaryOnStopSignals() {
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : kStopSignals) sigaction(sig, &sa, nullptr);
}

}  // namespace platform
