// Exception classes of the media layer. Each carries the system's own English message;
// the application's default handler shows it and the program goes on.
#pragma once

#include <stdexcept>
#include <string>

namespace media {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
    // The data file being read when the error arose, as the game names it; empty when the
    // error belongs to no file. The message itself stays the system's own text.
    const std::string& File() const { return file_; }
    void SetFile(const std::string& file) { file_ = file; }

private:
    std::string file_;
};

#define ORBITA_MEDIA_ERROR(Name)                                              \
    class Name : public Exception {                                           \
    public:                                                                   \
        explicit Name(const std::string& message) : Exception(message) {}    \
    }

ORBITA_MEDIA_ERROR(EDXDrawError);
ORBITA_MEDIA_ERROR(EPictureCollectionError);
ORBITA_MEDIA_ERROR(EDXInputError);
ORBITA_MEDIA_ERROR(EDXSoundError);
ORBITA_MEDIA_ERROR(EDirectSoundBufferError);
ORBITA_MEDIA_ERROR(EWaveCollectionError);
ORBITA_MEDIA_ERROR(EDIBError);          // "DIB is invalid", "Bitcount in invalid (%d)", ...
ORBITA_MEDIA_ERROR(EWaveError);         // "Wave is invalid"
ORBITA_MEDIA_ERROR(EReadError);         // stream and property read errors
ORBITA_MEDIA_ERROR(EFOpenError);        // "Cannot open file %s"
ORBITA_MEDIA_ERROR(EFCreateError);      // "Cannot write file %s: reason"
ORBITA_MEDIA_ERROR(EListError);         // list index out of bounds
ORBITA_MEDIA_ERROR(EInvalidOperation);
ORBITA_MEDIA_ERROR(EConvertError);
ORBITA_MEDIA_ERROR(EOutOfMemory);       // "Out of memory", with the file being read

#undef ORBITA_MEDIA_ERROR

// printf-style formatting for the messages above.
std::string Format(const char* fmt, ...);

// Text from a file made safe to show: control characters (and 0x7F) as \xHH escapes, so a
// name cannot forge output lines or drive a terminal.
std::string EscapeControls(const std::string& text);

// The list-index error every indexed collection raises when `index` is outside 0 .. count-1;
// it names the file the collection was read from (none when `file` is empty).
void CheckListIndex(int index, int count, const std::string& file);

// An error's message in the system's own words: "Out of memory" for a failed allocation
// (whose what() is the library's "std::bad_alloc"), what() otherwise.
std::string ErrorText(const std::exception& e);

// The out-of-memory error of reading the data file path.
[[noreturn]] void OutOfMemoryReading(const std::string& path);

}  // namespace media
