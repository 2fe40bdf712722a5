#include "tools/dxg/DxgTool.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <sstream>
#include <stdexcept>

#include "media/CollectionFile.h"
#include "media/DIBFile.h"
#include "media/DXImageList.h"
#include "media/DXSound.h"
#include "media/DxgStream.h"
#include "media/DxgWave.h"
#include "media/Errors.h"
#include "platform/Audio.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/Png.h"

namespace dxgtool {

namespace {

using namespace media;
namespace fs = std::filesystem;

const char kUsage[] =
    "usage: orbita-dxg list [--json] FILE\n"
    "       orbita-dxg extract FILE DIR\n"
    "       orbita-dxg pack --pictures OUT.dxg [options] IN.png...\n"
    "       orbita-dxg pack --waves OUT.dxg [options] IN.wav...\n"
    "       orbita-dxg check FILE\n"
    "picture options (apply to the inputs after them): --name NAME (next input only),\n"
    "  --transparent, --opaque, --color C (0xBBGGRR, #RRGGBB or a name such as clBlack),\n"
    "  --bits auto|1|4|8|16|24|32, --pattern WxH, --skip WxH, --system-memory, --video-memory\n"
    "wave options: --name NAME (next input only), --looped, --once, --max-playing N\n";

// A failure tied to a file: reported as "orbita-dxg: FILE: MESSAGE".
struct Failure {
    std::string File;
    std::string Message;
};

struct UsageError {
    std::string Message;
};

struct Collection {
    CollectionKind Kind = CollectionKind::Unknown;
    std::vector<PictureItemData> Pictures;
    std::vector<WaveItemData> Waves;
};

Collection load(const std::string& path) {
    Collection c;
    try {
        std::vector<uint8_t> bytes = ReadCollectionFileBytes(path);
        c.Kind = DetectCollectionKind(bytes.data(), bytes.size());
        if (c.Kind == CollectionKind::Waves) {
            ReadWaveCollection(bytes.data(), bytes.size(), [&](WaveItemData&& d) { c.Waves.push_back(std::move(d)); });
        } else {
            // An unknown kind is read as pictures: that gives the reader's own message.
            ReadPictureCollection(bytes.data(), bytes.size(),
                                  [&](PictureItemData&& d) { c.Pictures.push_back(std::move(d)); });
            c.Kind = CollectionKind::Pictures;
        }
    } catch (const EFOpenError& e) {
        // The reader's own message, and why: missing, a folder, a pipe, too large.
        throw Failure{path, std::string(e.what()) + ": " + platform::unreadableReason(path, kMaxCollectionFileBytes)};
    } catch (const media::Exception& e) {
        throw Failure{path, e.what()};
    } catch (const std::bad_alloc&) {
        throw Failure{path, "Out of memory"};
    }
    return c;
}

std::string jsonString(const std::string& s) {
    std::string o = "\"";
    for (unsigned char ch : s) {
        if (ch == '"' || ch == '\\') {
            o += '\\';
            o += static_cast<char>(ch);
        } else if (ch < 0x20 || ch >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", ch);  // 8-bit text read as Latin-1
            o += buf;
        } else {
            o += static_cast<char>(ch);
        }
    }
    return o + "\"";
}

bool hasPicture(const PictureItemData& item) { return item.Picture && !item.Picture->Empty(); }

// The item's own size, as the game reads it for hit boxes: the pattern size where one is set,
// else the picture's.
int itemWidth(const PictureItemData& p) { return p.PatternWidth > 0 ? p.PatternWidth : p.Picture ? p.Picture->Width() : 0; }
int itemHeight(const PictureItemData& p) {
    return p.PatternHeight > 0 ? p.PatternHeight : p.Picture ? p.Picture->Height() : 0;
}

void listText(const std::string& path, const Collection& c, std::ostream& out) {
    char line[512];
    if (c.Kind == CollectionKind::Pictures) {
        out << path << ": pictures, " << c.Pictures.size() << " items\n";
        for (size_t i = 0; i < c.Pictures.size(); ++i) {
            const PictureItemData& p = c.Pictures[i];
            std::string picture = "no picture";
            if (hasPicture(p)) {
                std::snprintf(line, sizeof line, "picture %dx%d %d-bit", p.Picture->Width(), p.Picture->Height(),
                              p.Picture->BitCount());
                picture = line;
            }
            std::snprintf(line, sizeof line,
                          "%03zu %-16s %5dx%-5d %-24s pattern %dx%d skip %dx%d %s key 0x%06X%s\n", i,
                          EscapeControls(p.Name).c_str(), itemWidth(p), itemHeight(p), picture.c_str(), p.PatternWidth,
                          p.PatternHeight, p.SkipWidth, p.SkipHeight,
                          p.Transparent ? "transparent" : "opaque", p.TransparentColor,
                          p.SystemMemory ? " system-memory" : "");
            out << line;
        }
    } else {
        out << path << ": waves, " << c.Waves.size() << " items\n";
        for (size_t i = 0; i < c.Waves.size(); ++i) {
            const WaveItemData& w = c.Waves[i];
            if (w.Wave && !w.Wave->Empty()) {
                const TWaveFormat& f = w.Wave->Format;
                std::snprintf(line, sizeof line, "%03zu %-16s %u ch %u Hz %u-bit %zu bytes %u ms%s max %d\n", i,
                              EscapeControls(w.Name).c_str(), f.Channels, f.SamplesPerSec, f.BitsPerSample, w.Wave->Data.size(),
                              w.Wave->DurationMs(), w.Looped ? " looped" : "", w.MaxPlayingCount);
            } else {
                std::snprintf(line, sizeof line, "%03zu %-16s no samples%s max %d\n", i, EscapeControls(w.Name).c_str(),
                              w.Looped ? " looped" : "", w.MaxPlayingCount);
            }
            out << line;
        }
    }
}

void listJson(const Collection& c, std::ostream& out) {
    const bool pictures = c.Kind == CollectionKind::Pictures;
    out << "{\"kind\": \"" << (pictures ? "pictures" : "waves") << "\", \"items\": [";
    const size_t n = pictures ? c.Pictures.size() : c.Waves.size();
    for (size_t i = 0; i < n; ++i) {
        out << (i ? ",\n  " : "\n  ");
        if (pictures) {
            const PictureItemData& p = c.Pictures[i];
            const bool has = static_cast<bool>(p.Picture);
            out << "{\"Name\": " << jsonString(p.Name) << ", \"Width\": " << itemWidth(p)
                << ", \"Height\": " << itemHeight(p) << ", \"PictureWidth\": " << (has ? p.Picture->Width() : 0)
                << ", \"PictureHeight\": " << (has ? p.Picture->Height() : 0) << ", \"PatternWidth\": " << p.PatternWidth
                << ", \"PatternHeight\": " << p.PatternHeight << ", \"SkipWidth\": " << p.SkipWidth
                << ", \"SkipHeight\": " << p.SkipHeight << ", \"SystemMemory\": " << (p.SystemMemory ? "true" : "false")
                << ", \"Transparent\": " << (p.Transparent ? "true" : "false")
                << ", \"TransparentColor\": " << p.TransparentColor
                << ", \"BitCount\": " << (hasPicture(p) ? p.Picture->BitCount() : 0) << "}";
        } else {
            const WaveItemData& w = c.Waves[i];
            TWaveFormat f{0, 0, 0, 0, 0, 0};  // an item without a wave has no format
            size_t bytes = 0;
            if (w.Wave) {
                f = w.Wave->Format;
                bytes = w.Wave->Data.size();
            }
            out << "{\"Name\": " << jsonString(w.Name) << ", \"Looped\": " << (w.Looped ? "true" : "false")
                << ", \"MaxPlayingCount\": " << w.MaxPlayingCount << ", \"Channels\": " << f.Channels
                << ", \"SamplesPerSec\": " << f.SamplesPerSec << ", \"BitsPerSample\": " << f.BitsPerSample
                << ", \"DataBytes\": " << bytes << "}";
        }
    }
    out << (n ? "\n]}\n" : "]}\n");
}

// Every file the tool writes goes to a temporary file first and replaces the target only
// when complete; a link or a non-regular file at the target is refused, never followed.
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string reason = platform::writeFileSafely(path, bytes);
    if (!reason.empty()) throw Failure{path, "Cannot write file: " + reason};
}

int extract(const std::string& path, const std::string& dir, std::ostream& out) {
    Collection c = load(path);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir)) throw Failure{dir, "Cannot create directory " + dir};
    if (c.Kind == CollectionKind::Pictures) {
        for (size_t i = 0; i < c.Pictures.size(); ++i) {
            const PictureItemData& p = c.Pictures[i];
            const std::string file = itemFileName(static_cast<int>(i), p.Name, ".png");
            if (!hasPicture(p)) {
                out << file << ": item " << i << " (" << EscapeControls(p.Name) << ") has no picture, skipped\n";
                continue;
            }
            const TDIB& d = *p.Picture;
            const std::string target = (fs::path(dir) / file).string();
            std::string reason;
            bool saved = false;
            try {
                std::vector<uint32_t> rgba(d.Pixels().size());
                for (size_t k = 0; k < rgba.size(); ++k) {
                    const uint32_t px = d.Pixels()[k];
                    rgba[k] = (p.Transparent && px == p.TransparentColor) ? px : (px | 0xFF000000u);
                }
                saved = platform::savePng(target, d.Width(), d.Height(), rgba, &reason);
            } catch (const std::bad_alloc&) {
                throw Failure{target, "Out of memory"};
            }
            if (!saved) throw Failure{target, "Cannot write file: " + reason};
            out << target << "\n";
        }
    } else {
        for (size_t i = 0; i < c.Waves.size(); ++i) {
            const WaveItemData& w = c.Waves[i];
            const std::string file = itemFileName(static_cast<int>(i), w.Name, ".wav");
            if (!w.Wave || w.Wave->Empty()) {
                out << file << ": item " << i << " (" << EscapeControls(w.Name) << ") has no samples, skipped\n";
                continue;
            }
            const std::string target = (fs::path(dir) / file).string();
            try {
                writeBytes(target, WriteWave(*w.Wave));
            } catch (const media::Exception& e) {
                throw Failure{target, e.what()};
            }
            out << target << "\n";
        }
    }
    return 0;
}

bool parseSize(const std::string& s, int& w, int& h) {
    int a = 0, b = 0;
    char x = 0, extra = 0;
    if (std::sscanf(s.c_str(), "%d%c%d%c", &a, &x, &b, &extra) != 3 || (x != 'x' && x != 'X')) return false;
    w = a;
    h = b;
    return true;
}

std::string stemOf(const std::string& path) { return fs::path(path).stem().string(); }

// Holds an exclusive lock on a folder while it lives (waiting for it): the packs writing into
// one folder take turns, so that a temporary file found there under the lock is no other
// pack's work in progress.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) {
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A temporary file that a pack into output stopped by a crash (or a kill) left beside it:
// named as the safe writer names its temporary files (".NAME.XXXXXX", six letters or digits),
// a regular file of this user, not a link, empty or begun as a collection file begins.
bool isLeftTemporary(const std::string& folder, const std::string& entry, const std::string& name) {
    const std::string prefix = "." + name + ".";
    if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0) return false;
    for (size_t i = prefix.size(); i < entry.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(entry[i]))) return false;
    const std::string path = folder + "/" + entry;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return false;
    if (st.st_size == 0) return true;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    uint8_t head[3] = {};
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    const uint8_t marker[3] = {0xFF, 10, 0};  // a resource of type 10, as every collection file starts
    return n > 0 && std::memcmp(head, marker, static_cast<size_t>(n)) == 0;
}

// Removes what an earlier pack into output left behind when it was stopped before it could
// clean up; nothing else in the folder is touched.
void removeLeftTemporaries(const std::string& output) {
    const std::string folder = folderOf(output);
    const std::string name = fs::path(output).filename().string();
    if (name.empty()) return;
    FolderLock lock(folder);
    if (!lock.held()) return;  // without the lock another pack's file could be taken for one
    DIR* d = ::opendir(folder.c_str());
    if (!d) return;
    std::vector<std::string> left;
    while (const dirent* e = ::readdir(d))
        if (isLeftTemporary(folder, e->d_name, name)) left.push_back(e->d_name);
    ::closedir(d);
    for (const std::string& entry : left) ::unlink((folder + "/" + entry).c_str());
}

// A picture input, read and made an item with the settings given before it. pixels counts
// the pixels of the pictures before it, against what a reader takes from one file.
PictureItemData readPicture(const std::string& a, const PictureItemData& defaults, int bits, uint64_t& pixels) {
    PictureItemData item = defaults;
    int w = 0, h = 0;
    std::vector<uint32_t> rgba;
    std::string reason;
    // The declared size is checked before decoding, against what the reader accepts.
    // The whole file is held to what the reader accepts, so the pictures before this
    // one leave it less room.
    const uint64_t room = kMaxCollectionPixels - pixels;
    const platform::PngLimits limits{kMaxDibSide, kMaxDibSide, std::max<uint64_t>(1, std::min(kMaxDibPixels, room))};
    if (!platform::loadPng(a, w, h, rgba, &reason, limits)) {
        if (pixels > 0 && reason.rfind("the picture is", 0) == 0)
            reason += " together with the " + std::to_string(pixels) + " pixels before it (at most " +
                      std::to_string(kMaxCollectionPixels) + " in a file)";
        throw Failure{a, reason};
    }
    if (w <= 0 || h <= 0 || rgba.size() != static_cast<size_t>(w) * static_cast<size_t>(h))
        throw Failure{a, "Cannot read PNG file"};
    if (uint64_t(w) * uint64_t(h) > room)
        throw Failure{a, "the picture is " + std::to_string(w) + " x " + std::to_string(h) +
                             " pixels, more than the file has room for"};
    pixels += uint64_t(w) * uint64_t(h);
    auto dib = std::make_shared<TDIB>(w, h, 24);
    std::set<uint32_t> colours;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t px = rgba[static_cast<size_t>(y) * w + x];
            uint32_t c = ((px >> 24) == 0 && item.Transparent) ? item.TransparentColor : px;
            dib->SetPixel(x, y, c);
            if (colours.size() <= 256) colours.insert(c & 0xFFFFFF);
        }
    std::vector<uint32_t>().swap(rgba);  // the decoded file is let go before the picture is encoded
    int depth = bits;
    if (depth == 0) depth = colours.size() <= 16 ? 4 : colours.size() <= 256 ? 8 : 24;
    if (depth <= 8 && colours.size() > (size_t(1) << depth))
        throw Failure{a, "Too many colours for " + std::to_string(depth) + " bits per pixel"};
    dib->SetBitCount(depth);
    item.Picture = dib;
    return item;
}

std::string tooLarge(size_t bytes) {
    return "the collection would be " + std::to_string(bytes) + " bytes, more than a reader opens (" +
           std::to_string(kMaxCollectionFileBytes) + ")";
}

int pack(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 3 || (args[1] != "--pictures" && args[1] != "--waves"))
        throw UsageError{"pack needs --pictures or --waves, an output file and inputs"};
    const bool pictures = args[1] == "--pictures";
    const std::string output = args[2];
    // The output is named first; a forgotten name would make the first input the output.
    const std::string extension = fs::path(output).extension().string();
    if (extension.size() != 4 || (extension[1] | 0x20) != 'd' || (extension[2] | 0x20) != 'x' ||
        (extension[3] | 0x20) != 'g')
        throw UsageError{"the output " + output + " is not named .dxg (pack --pictures OUT.dxg IN.png...)"};
    {
        const std::string reason = platform::unwritableReason(output);
        if (!reason.empty()) throw Failure{output, "Cannot write file: " + reason};
    }
    for (size_t i = 3; i < args.size(); ++i)
        if (platform::sameFile(args[i], output)) throw Failure{output, "the output is also one of the inputs"};
    removeLeftTemporaries(output);
    // Each input is read, encoded and let go before the next: only the file being made is held.
    CollectionWriter writer(pictures ? CollectionKind::Pictures : CollectionKind::Waves);
    // Settings that apply to the inputs after them.
    PictureItemData pictureDefaults;
    WaveItemData waveDefaults;
    int bits = 0;  // 0: chosen from the colours used
    uint64_t pixels = 0;  // of the pictures so far, against what a reader takes from one file
    std::string nextName;
    bool haveName = false;

    auto value = [&](size_t& i) -> const std::string& {
        if (i + 1 >= args.size()) throw UsageError{args[i] + " needs a value"};
        return args[++i];
    };
    for (size_t i = 3; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--name") {
            nextName = value(i);
            haveName = true;
            // A longer name would be kept as a long string that no item file name can hold.
            if (nextName.size() > 255) throw UsageError{"--name is longer than 255 characters"};
        } else if (pictures && a == "--transparent") {
            pictureDefaults.Transparent = true;
        } else if (pictures && a == "--opaque") {
            pictureDefaults.Transparent = false;
        } else if (pictures && (a == "--color" || a == "--colour" || a == "--transparent-color")) {
            if (!parseColour(value(i), pictureDefaults.TransparentColor)) throw UsageError{"bad colour " + args[i]};
        } else if (pictures && a == "--bits") {
            const std::string& v = value(i);
            if (v == "auto") bits = 0;
            else if (v == "1" || v == "4" || v == "8" || v == "16" || v == "24" || v == "32") bits = std::stoi(v);
            else throw UsageError{"bad bit depth " + v};
        } else if (pictures && a == "--pattern") {
            if (!parseSize(value(i), pictureDefaults.PatternWidth, pictureDefaults.PatternHeight))
                throw UsageError{"bad pattern size " + args[i]};
        } else if (pictures && a == "--skip") {
            if (!parseSize(value(i), pictureDefaults.SkipWidth, pictureDefaults.SkipHeight))
                throw UsageError{"bad skip size " + args[i]};
        } else if (pictures && a == "--system-memory") {
            pictureDefaults.SystemMemory = true;
        } else if (pictures && a == "--video-memory") {
            pictureDefaults.SystemMemory = false;
        } else if (!pictures && a == "--looped") {
            waveDefaults.Looped = true;
        } else if (!pictures && a == "--once") {
            waveDefaults.Looped = false;
        } else if (!pictures && a == "--max-playing") {
            const std::string& v = value(i);
            char* end = nullptr;
            long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 0 || n > 0x7FFFFFFF) throw UsageError{"bad count " + v};
            waveDefaults.MaxPlayingCount = static_cast<int>(n);
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            throw UsageError{"unknown option " + a};
        } else {
            const std::string name = haveName ? nextName : stemOf(a);
            haveName = false;
            try {
                if (pictures) {
                    PictureItemData item = readPicture(a, pictureDefaults, bits, pixels);
                    item.Name = name;
                    writer.Add(item);
                } else {
                    WaveItemData item = waveDefaults;
                    item.Name = name;
                    {
                        std::vector<uint8_t> bytes = ReadCollectionFileBytes(a);
                        item.Wave = std::make_shared<TWave>(ReadWave(bytes.data(), bytes.size()));
                    }
                    WriteWave(*item.Wave);  // checks the format now, against this input
                    writer.Add(item);
                }
            } catch (const media::Exception& e) {
                throw Failure{a, e.what()};
            } catch (const std::bad_alloc&) {
                throw Failure{a, "Out of memory"};
            }
            if (writer.Size() > kMaxCollectionFileBytes) throw Failure{output, tooLarge(writer.Size())};
        }
    }
    const size_t count = writer.Count();
    try {
        // Only what the reader will take: the whole file is read back through it before it
        // is written, so its size, item count and patterns are checked as the game checks them.
        const std::vector<uint8_t> bytes = writer.Finish();
        if (bytes.size() > kMaxCollectionFileBytes) throw Failure{output, tooLarge(bytes.size())};
        if (pictures) ReadPictureCollection(bytes.data(), bytes.size(), [](PictureItemData&&) {});
        else ReadWaveCollection(bytes.data(), bytes.size(), [](WaveItemData&&) {});
        const FolderLock lock(folderOf(output));
        const std::string reason = platform::writeFileSafely(output, bytes);
        if (!reason.empty()) throw Failure{output, "Cannot write file: " + reason};
    } catch (const media::Exception& e) {
        throw Failure{output, e.what()};
    } catch (const std::bad_alloc&) {
        throw Failure{output, "Out of memory"};
    }
    out << output << ": " << count
        << (pictures ? " pictures\n" : " waves\n");
    return 0;
}

}  // namespace

bool parseColour(const std::string& text, uint32_t& colour) {
    if (text.empty()) return false;
    if (dxg::IdentToColor(text, colour)) return true;
    const char* s = text.c_str();
    char* end = nullptr;
    unsigned long v = 0;
    if (s[0] == '#') {
        if (text.size() != 7) return false;
        v = std::strtoul(s + 1, &end, 16);
        if (*end) return false;
        colour = static_cast<uint32_t>(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16));
        return true;
    }
    if (s[0] == '-' || s[0] == '+') return false;
    v = std::strtoul(s, &end, 0);
    if (*end || v > 0xFFFFFFFFul) return false;
    colour = static_cast<uint32_t>(v);
    return true;
}

std::string itemFileName(int index, const std::string& name, const std::string& extension) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", index);
    std::string safe;
    for (unsigned char ch : name)
        safe += (ch < 0x20 || ch == '/' || ch == '\\' || ch == ':' || ch == '*' || ch == '?' || ch == '"' ||
                 ch == '<' || ch == '>' || ch == '|' || ch == 0x7F)
                    ? '_'
                    : static_cast<char>(ch);
    if (safe == "." || safe == "..") safe = "_";
    // Room in a file name (255 bytes) for the number, the extension and the safe writer's
    // temporary name around it, whatever the length of the item's name.
    if (safe.size() > 200) safe.resize(200);
    return std::string(buf) + (safe.empty() ? "" : "-" + safe) + extension;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError{"no command"};
        const std::string& cmd = args[0];
        if (cmd == "list") {
            if (args.size() == 3 && args[1] == "--json") {
                Collection c = load(args[2]);
                listJson(c, out);
                return 0;
            }
            if (args.size() != 2) throw UsageError{"list takes one file"};
            listText(args[1], load(args[1]), out);
            return 0;
        }
        if (cmd == "extract") {
            if (args.size() != 3) throw UsageError{"extract takes a file and a directory"};
            return extract(args[1], args[2], out);
        }
        if (cmd == "pack") return pack(args, out);
        if (cmd == "check") {
            if (args.size() != 2) throw UsageError{"check takes one file"};
            // Loads the file into a list the way the game's scenes do.
            // The items read here are let go before the list reads the file again, so that
            // the check never holds the pictures twice.
            CollectionKind kind = CollectionKind::Unknown;
            {
                const Collection c = load(args[1]);
                kind = c.Kind;
            }
            int count = 0;
            try {
                if (kind == CollectionKind::Waves) {
                    // With a sound device open, as in the game, so that every wave must
                    // also give a sound buffer. The headless device needs no sound card.
                    std::unique_ptr<platform::Platform> clock = platform::createHeadlessPlatform(25);
                    std::unique_ptr<platform::AudioDevice> audio = platform::createHeadlessAudio(*clock);
                    struct Restore {
                        platform::AudioDevice* previous = platform::currentAudio();
                        ~Restore() { platform::setCurrentAudio(previous); }
                    } restore;
                    platform::setCurrentAudio(audio.get());
                    TDXForm form;
                    TDXSound sound(&form);
                    TDXWaveList list;
                    list.SetDXSound(&sound);
                    sound.Initialize();
                    list.Items.LoadFromFile(args[1]);
                    count = list.Items.Count();
                } else {
                    TDXImageList list;
                    list.Items.LoadFromFile(args[1]);
                    count = list.Items.Count();
                }
            } catch (const media::Exception& e) {
                throw Failure{args[1], e.what()};
            }
            if (kind == CollectionKind::Waves) {
                // A wave that extract could not write out again is no good wave either.
                const Collection c = load(args[1]);
                for (size_t i = 0; i < c.Waves.size(); ++i) {
                    if (!c.Waves[i].Wave || c.Waves[i].Wave->Empty()) continue;
                    try {
                        WriteWave(*c.Waves[i].Wave);
                    } catch (const media::Exception& e) {
                        std::string item = "item " + std::to_string(i);
                        if (!c.Waves[i].Name.empty()) item += " (" + c.Waves[i].Name + ")";
                        throw Failure{args[1], item + ": " + e.what()};
                    }
                }
            }
            out << args[1] << ": ok, " << count << (kind == CollectionKind::Waves ? " waves\n" : " pictures\n");
            return 0;
        }
        if (cmd == "--help" || cmd == "-h" || cmd == "help") {
            out << kUsage;
            return 0;
        }
        throw UsageError{"unknown command " + cmd};
    } catch (const Failure& f) {
        err << "orbita-dxg: " << EscapeControls(f.File + ": " + f.Message) << "\n";
    } catch (const UsageError& u) {
        err << "orbita-dxg: " << u.Message << "\n" << kUsage;
    } catch (const std::exception& e) {
        err << "orbita-dxg: " << ErrorText(e) << "\n";
    }
    return 1;
}

}  // namespace dxgtool
