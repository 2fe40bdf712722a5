#include "media/Errors.h"

#include <cstdarg>
#include <cstdio>
#include <new>
#include <vector>

namespace media {

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, args);
        out.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

void CheckListIndex(int index, int count, const std::string& file) {
    if (index >= 0 && index < count) return;
    EListError error(Format("List index out of bounds (%d)", index));
    if (!file.empty()) error.SetFile(file);
    throw error;
}

std::string ErrorText(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e)) return "Out of memory";
    return e.what();
}

void OutOfMemoryReading(const std::string& path) {
    EOutOfMemory e("Out of memory");
    e.SetFile(path);
    throw e;
}

std::string EscapeControls(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace media
