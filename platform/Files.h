// Files on disk, read and written so that nothing is lost and nothing is followed.
//
// Every file the program and its tools write goes through writeFileSafely: the bytes go to
// a temporary file in the target's own folder, which is flushed to the disk and only then
// renamed over the target, so a failed write never leaves a cut or empty file behind and
// never destroys the previous good one. A target that is a symbolic link (dangling or not),
// a folder, a pipe or a device is refused, never followed.
//
// Inputs are checked before they are opened: readRegularFile refuses a pipe, a device or a
// folder at once, so that reading never blocks, and refuses a file larger than its caller
// can use before reading a byte of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Empty when path may be written (absent, or an existing regular file that is not a link);
// otherwise why not ("is a symbolic link", "is not a regular file").
std::string unwritableReason(const std::string& path);

// Writes the bytes as the complete new content of path. Empty on success, otherwise the
// reason ("No space left on device", "is a symbolic link", ...); the target is then as it
// was before the call.
std::string writeFileSafely(const std::string& path, const void* data, size_t size);
inline std::string writeFileSafely(const std::string& path, const std::string& text) {
    return writeFileSafely(path, text.data(), text.size());
}
inline std::string writeFileSafely(const std::string& path, const std::vector<uint8_t>& bytes) {
    return writeFileSafely(path, bytes.data(), bytes.size());
}

// For a program that ends on SIGINT, SIGTERM and SIGHUP as usual: the temporary file of a
// write in progress is removed first, so a stopped write leaves nothing behind.
void removeTemporaryOnStopSignals();

// Reasons readRegularFile gives, so that callers can word their own messages.
enum class ReadFailure { None, Missing, NotRegular, TooLarge, ReadError };

// Reads the whole of a regular file (a link to one is fine). Nothing is opened unless the
// path is a regular file; a file over maxBytes is refused unread.
ReadFailure readRegularFile(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes = SIZE_MAX);

// Flushes standard output (both the C stream and std::cout) and says whether everything
// written to it arrived: empty when it did, else why not ("No space left on device").
// Programs call it last, so that output lost on a full disk or a closed pipe is an error,
// never a silent success.
std::string standardOutputFailure();

// Exits with status, or with 1 (after saying so on standard error, "PROGRAM: cannot write
// standard output: REASON") when standard output lost what was written to it.
[[noreturn]] void exitCheckingOutput(const char* program, int status);
int checkedStatus(const char* program, int status);

// Holds an advisory lock on PATH.lock (beside path) for as long as the object lives; the lock
// file is removed again at the end. locked() is false when another process holds it.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool locked() const { return fd_ >= 0; }
    const std::string& reason() const { return reason_; }

private:
    std::string lockPath_;
    std::string reason_;
    int fd_ = -1;
};

// Why readRegularFile(path, ..., maxBytes) refused path, in words for a message: the
// system's reason ("No such file or directory", "Permission denied"), "is a directory",
// "is a pipe", "is a device", "is not a regular file", or "is larger than N bytes".
std::string unreadableReason(const std::string& path, size_t maxBytes = SIZE_MAX);

// True when both paths name one existing file (same device and inode, links followed).
bool sameFile(const std::string& a, const std::string& b);

}  // namespace platform
