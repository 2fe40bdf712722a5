#include "tools/assets/Canvas.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace assets {

bool IsDeadly565(uint32_t bgr) {
    uint16_t c = Rgb565(bgr);
    return c == Rgb565(0, 128, 0) || c == Rgb565(0, 255, 0);
}

Canvas::Canvas(int width, int height)
    : w_(width), h_(height), deadly_(static_cast<size_t>(width) * height, 0) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cr_ = cairo_create(surface_);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::Flush() { cairo_surface_flush(surface_); }
void Canvas::MarkDirty() { cairo_surface_mark_dirty(surface_); }

static inline uint32_t* Row(cairo_surface_t* s, int y) {
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
}

void Canvas::Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Row(surface_, y)[x] = 0xFF000000u | (c.r << 16) | (c.g << 8) | c.b;
    deadly_[static_cast<size_t>(y) * w_ + x] = 0;
}

void Canvas::SetAlpha(int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgb o = Get(x, y);
    double oa = ((Row(surface_, y)[x] >> 24) & 0xFF) / 255.0;
    double na = a + oa * (1 - a);
    auto mix = [&](int n, int old) {
        return static_cast<uint8_t>(std::clamp((n * a + old * oa * (1 - a)) / std::max(na, 1e-6), 0.0, 255.0));
    };
    Rgb m{mix(c.r, o.r), mix(c.g, o.g), mix(c.b, o.b)};
    uint32_t A = static_cast<uint32_t>(std::lround(na * 255));
    Row(surface_, y)[x] = (A << 24) | (uint32_t(m.r * na + 0.5) << 16) | (uint32_t(m.g * na + 0.5) << 8) |
                          uint32_t(m.b * na + 0.5);
}

Rgb Canvas::Get(int x, int y) const {
    uint32_t p = Row(surface_, y)[x];
    uint32_t a = p >> 24;
    if (a == 0) return {0, 0, 0};
    auto un = [a](uint32_t v) { return static_cast<uint8_t>(std::min<uint32_t>(255, (v * 255 + a / 2) / a)); };
    return {un((p >> 16) & 0xFF), un((p >> 8) & 0xFF), un(p & 0xFF)};
}

bool Canvas::Opaque(int x, int y) const { return (Row(surface_, y)[x] >> 24) >= 128; }

void Canvas::Clear(int x, int y) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Row(surface_, y)[x] = 0;
    deadly_[static_cast<size_t>(y) * w_ + x] = 0;
}

void Canvas::SetDeadly(int x, int y, bool lime) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Row(surface_, y)[x] = lime ? 0xFF00FF00u : 0xFF008000u;
    deadly_[static_cast<size_t>(y) * w_ + x] = 1;
}

void Canvas::DrawOverTerrain(const std::function<void(Canvas&)>& draw) {
    Flush();
    std::vector<std::pair<size_t, uint32_t>> kept;  // index and colour of every deadly pixel
    for (size_t i = 0; i < deadly_.size(); ++i)
        if (deadly_[i]) kept.push_back({i, Row(surface_, int(i / w_))[i % w_]});
    MarkDirty();
    draw(*this);
    Flush();
    for (const auto& [i, colour] : kept) {
        Row(surface_, int(i / w_))[i % w_] = colour;
        deadly_[i] = 1;
    }
    MarkDirty();
}

void Canvas::Colour(double r, double g, double b, double a) { cairo_set_source_rgba(cr_, r, g, b, a); }
void Canvas::Antialias(bool on) { cairo_set_antialias(cr_, on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE); }

void Canvas::FillRect(double x, double y, double w, double h) {
    cairo_rectangle(cr_, x, y, w, h);
    cairo_fill(cr_);
}

void Canvas::FillCircle(double x, double y, double r) {
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x, y, r, 0, 2 * M_PI);
    cairo_fill(cr_);
}

void Canvas::Font(double size, bool bold, bool serif) {
    cairo_select_font_face(cr_, serif ? "DejaVu Serif" : "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
}

double Canvas::TextWidth(const std::string& s) {
    cairo_text_extents_t e;
    cairo_text_extents(cr_, s.c_str(), &e);
    return e.x_advance;
}

void Canvas::Text(double x, double y, const std::string& s) {
    cairo_move_to(cr_, x, y);
    cairo_show_text(cr_, s.c_str());
}

void Canvas::OutlinedText(double x, double y, const std::string& s, Rgb fill, Rgb outline, double width) {
    cairo_move_to(cr_, x, y);
    cairo_text_path(cr_, s.c_str());
    ColourRgb(outline);
    cairo_set_line_width(cr_, width);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr_);
    ColourRgb(fill);
    cairo_fill(cr_);
}

std::vector<std::string> Canvas::WrapLines(double maxWidth, const std::string& s) {
    std::vector<std::string> lines;
    std::string line, word;
    auto flushWord = [&]() {
        if (word.empty()) return;
        std::string cand = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(cand) > maxWidth) {
            lines.push_back(line);
            line = word;
        } else {
            line = cand;
        }
        word.clear();
    };
    // A dash stays with the word before it, so no line starts with one.
    auto dashNext = [&](size_t i) { return s.compare(i, 4, " \xE2\x80\x93") == 0; };
    for (size_t i = 0; i < s.size(); ++i) {
        char ch = s[i];
        if (ch == ' ' && dashNext(i)) { word += ' '; continue; }
        if (ch == ' ') flushWord();
        else if (ch == '\n') { flushWord(); lines.push_back(line); line.clear(); }
        else word += ch;
    }
    flushWord();
    if (!line.empty()) lines.push_back(line);
    return lines;
}

double Canvas::WrapText(double x, double y, double maxWidth, double lineHeight, const std::string& s) {
    for (const auto& l : WrapLines(maxWidth, s)) {
        Text(x, y, l);
        y += lineHeight;
    }
    return y;
}

// Moves a colour off the deadly codes and off the key's code with the smallest visible change.
static uint32_t SafeColour(uint32_t bgr, uint32_t key, bool allowDeadly) {
    uint8_t r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
    if (!allowDeadly && IsDeadly565(Bgr(r, g, b))) b = 8;  // a touch of blue: invisible, harmless
    if (Rgb565(Bgr(r, g, b)) == Rgb565(key)) {
        if (key == 0) { r = std::max<uint8_t>(r, 8); b = std::max<uint8_t>(b, 8); g = std::max<uint8_t>(g, 8); }
        else { r = std::min<uint8_t>(r, 236); g = std::min<uint8_t>(g, 236); b = std::min<uint8_t>(b, 240); }
        if (!allowDeadly && IsDeadly565(Bgr(r, g, b))) b = 8;
    }
    return Bgr(r, g, b);
}

namespace {

struct Box {
    std::vector<std::pair<uint32_t, uint32_t>> colours;  // colour, count
};

int Channel(uint32_t c, int ch) { return (c >> (8 * ch)) & 0xFF; }

// Median cut over the used colours; returns up to n colours.
std::vector<uint32_t> MedianCut(std::vector<std::pair<uint32_t, uint32_t>> hist, size_t n) {
    std::vector<Box> boxes(1);
    boxes[0].colours = std::move(hist);
    while (boxes.size() < n) {
        // Split the box with the widest channel range (weighted by its pixel count).
        int best = -1, bestCh = 0;
        double bestScore = -1;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            uint64_t cnt = 0;
            for (int ch = 0; ch < 3; ++ch) {
                int lo = 255, hi = 0;
                for (auto& c : boxes[i].colours) { lo = std::min(lo, Channel(c.first, ch)); hi = std::max(hi, Channel(c.first, ch)); }
                if (ch == 0) for (auto& c : boxes[i].colours) cnt += c.second;
                double score = double(hi - lo) * std::sqrt(double(cnt) + 1);
                if (score > bestScore) { bestScore = score; best = int(i); bestCh = ch; }
            }
        }
        if (best < 0) break;
        auto& cols = boxes[best].colours;
        std::sort(cols.begin(), cols.end(), [bestCh](auto& a, auto& b) { return Channel(a.first, bestCh) < Channel(b.first, bestCh); });
        uint64_t total = 0, acc = 0;
        for (auto& c : cols) total += c.second;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < cols.size(); ++i) {
            acc += cols[i].second;
            cut = i + 1;
            if (acc * 2 >= total) break;
        }
        Box nb;
        nb.colours.assign(cols.begin() + cut, cols.end());
        cols.resize(cut);
        boxes.push_back(std::move(nb));
    }
    std::vector<uint32_t> pal;
    for (auto& b : boxes) {
        double s[3] = {0, 0, 0}, w = 0;
        for (auto& c : b.colours) {
            for (int ch = 0; ch < 3; ++ch) s[ch] += Channel(c.first, ch) * double(c.second);
            w += c.second;
        }
        if (w <= 0) continue;
        pal.push_back(Bgr(uint8_t(s[0] / w + 0.5), uint8_t(s[1] / w + 0.5), uint8_t(s[2] / w + 0.5)));
    }
    return pal;
}

}  // namespace

std::shared_ptr<media::TDIB> ToDib(Canvas& c, int bits, uint32_t key) {
    c.Flush();
    const int w = c.Width(), h = c.Height();
    auto dib = std::make_shared<media::TDIB>(w, h, bits);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    std::vector<uint8_t> isKey(px.size(), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = static_cast<size_t>(y) * w + x;
            if (!c.Opaque(x, y)) { px[i] = key; isKey[i] = 1; continue; }
            Rgb p = c.Get(x, y);
            px[i] = SafeColour(Bgr(p.r, p.g, p.b), key, c.IsDeadlyPixel(x, y));
        }
    if (bits <= 8) {
        const size_t maxColours = size_t(1) << bits;
        std::map<uint32_t, uint32_t> histMap;
        for (size_t i = 0; i < px.size(); ++i)
            if (!isKey[i]) histMap[px[i]]++;
        std::vector<std::pair<uint32_t, uint32_t>> hist(histMap.begin(), histMap.end());
        std::vector<uint32_t> pal;
        if (hist.size() <= maxColours - 1) {
            for (auto& e : hist) pal.push_back(e.first);
        } else {
            pal = MedianCut(hist, maxColours - 1);
            for (auto& p : pal) p = SafeColour(p, key, false);
        }
        pal.insert(pal.begin(), key);  // entry 0 is always the key
        std::unordered_map<uint32_t, uint32_t> nearest;
        for (size_t i = 0; i < px.size(); ++i) {
            if (isKey[i]) continue;
            auto it = nearest.find(px[i]);
            if (it != nearest.end()) { px[i] = it->second; continue; }
            uint32_t best = pal.size() > 1 ? pal[1] : key;
            long bestD = -1;
            for (size_t k = 1; k < pal.size(); ++k) {
                long d = 0;
                for (int ch = 0; ch < 3; ++ch) { long e = Channel(px[i], ch) - Channel(pal[k], ch); d += e * e; }
                if (bestD < 0 || d < bestD) { bestD = d; best = pal[k]; }
            }
            nearest[px[i]] = best;
            px[i] = best;
        }
        pal.resize(maxColours, 0);
        dib->Palette() = pal;
    }
    dib->Pixels() = px;
    return dib;
}

media::PictureItemData PictureItem(const std::string& name, std::shared_ptr<media::TDIB> pic, bool transparent,
                                   uint32_t key) {
    media::PictureItemData it;
    it.Name = name;
    it.Transparent = transparent;
    it.TransparentColor = key;
    it.Picture = std::move(pic);
    return it;
}

media::PictureItemData BlankItem(const std::string& name) {
    auto dib = std::make_shared<media::TDIB>(8, 8, 4);
    dib->Palette().assign(16, 0);
    return PictureItem(name, dib, true, 0);
}

}  // namespace assets
