#include "media/Forms.h"

#include <algorithm>
#include <cstdio>

#include "media/DXDraw.h"
#include "media/Errors.h"

namespace media {

// ---------------------------------------------------------------------------------------
// TControl

TControl::~TControl() {
    SetParent(nullptr);
    for (TControl* c : children_) c->parent_ = nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    int oldW = width_, oldH = height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (oldW != width || oldH != height) BoundsChanged(oldW, oldH);
}

void TControl::SetParent(TControl* parent) {
    if (parent_ == parent) return;
    if (parent_) {
        auto& v = parent_->children_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    parent_ = parent;
    if (parent_) parent_->children_.push_back(this);
}

TDXForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<TDXForm*>(const_cast<TControl*>(c));
}

int TControl::ScreenLeft() const { return parent_ && parent_->parent_ ? parent_->ScreenLeft() + left_ : (parent_ ? left_ : 0); }
int TControl::ScreenTop() const { return parent_ && parent_->parent_ ? parent_->ScreenTop() + top_ : (parent_ ? top_ : 0); }

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->Visible) return false;
    return true;
}

namespace {

struct Clip {
    int l, t, r, b;
    bool Empty() const { return l >= r || t >= b; }
};

Clip Intersect(Clip a, Clip b) {
    return {std::max(a.l, b.l), std::max(a.t, b.t), std::min(a.r, b.r), std::min(a.b, b.b)};
}

Clip ScreenRect(const TControl& c) {
    int l = c.ScreenLeft(), t = c.ScreenTop();
    return {l, t, l + c.Width(), t + c.Height()};
}

void PaintChildren(const TControl& parent, uint16_t* frame, Clip clip) {
    for (TControl* child : parent.Children()) {
        if (!child->Visible) continue;
        child->Paint(frame, clip.l, clip.t, clip.r, clip.b);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TPanel

void TPanel::Paint(uint16_t* frame, int clipLeft, int clipTop, int clipRight, int clipBottom) {
    Clip c = Intersect(ScreenRect(*this), {clipLeft, clipTop, clipRight, clipBottom});
    c = Intersect(c, {0, 0, platform::kFrameWidth, platform::kFrameHeight});
    if (c.Empty()) return;
    uint16_t colour = ColorToDevice(Color);
    for (int y = c.t; y < c.b; ++y) std::fill(frame + y * platform::kFrameWidth + c.l, frame + y * platform::kFrameWidth + c.r, colour);
    PaintChildren(*this, frame, c);
}

// ---------------------------------------------------------------------------------------
// TImage

void TImage::SetPicture(std::shared_ptr<TDIB> picture) {
    picture_ = std::move(picture);
    ++version_;
    device_.clear();
    if (picture_ && !picture_->Empty()) {
        device_.reserve(picture_->Pixels().size());
        for (uint32_t p : picture_->Pixels()) device_.push_back(ColorToDevice(p));
        if (AutoSize) SetBounds(left_, top_, picture_->Width(), picture_->Height());
    }
}

void TImage::Paint(uint16_t* frame, int clipLeft, int clipTop, int clipRight, int clipBottom) {
    if (!picture_ || picture_->Empty() || device_.empty()) return;
    Clip rect = ScreenRect(*this);
    Clip c = Intersect(rect, {clipLeft, clipTop, clipRight, clipBottom});
    c = Intersect(c, {0, 0, platform::kFrameWidth, platform::kFrameHeight});
    if (c.Empty()) return;
    const int pw = picture_->Width(), ph = picture_->Height();
    // The picture's placement inside the control.
    int dx = rect.l, dy = rect.t, dw = pw, dh = ph;
    if (Stretch) {
        dw = rect.r - rect.l;
        dh = rect.b - rect.t;
    } else if (Center) {
        dx += (rect.r - rect.l - pw) / 2;
        dy += (rect.b - rect.t - ph) / 2;
    }
    if (dw <= 0 || dh <= 0) return;
    c = Intersect(c, {dx, dy, dx + dw, dy + dh});
    if (c.Empty()) return;
    const uint16_t key = device_[static_cast<size_t>(ph - 1) * pw];  // bottom-left pixel
    if (!Stretch) {  // row copies, keyed as a select that the compiler does in vectors
        for (int y = c.t; y < c.b; ++y) {
            const uint16_t* in = device_.data() + static_cast<size_t>(y - dy) * pw + (c.l - dx);
            uint16_t* out = frame + y * platform::kFrameWidth + c.l;
            const int n = c.r - c.l;
            if (!Transparent) {
                std::copy(in, in + n, out);
            } else {
                for (int i = 0; i < n; ++i) out[i] = in[i] == key ? out[i] : in[i];
            }
        }
        return;
    }
    for (int y = c.t; y < c.b; ++y) {
        int sy = Stretch ? static_cast<int>(int64_t(y - dy) * ph / dh) : y - dy;
        uint16_t* out = frame + y * platform::kFrameWidth;
        const uint16_t* row = device_.data() + static_cast<size_t>(sy) * pw;
        for (int x = c.l; x < c.r; ++x) {
            int sx = Stretch ? static_cast<int>(int64_t(x - dx) * pw / dw) : x - dx;
            uint16_t p = row[sx];
            if (Transparent && p == key) continue;
            out[x] = p;
        }
    }
}

// ---------------------------------------------------------------------------------------
// TDXForm

TDXForm::TDXForm() {
    SetBounds(0, 0, platform::kFrameWidth, platform::kFrameHeight);
    window_.assign(static_cast<size_t>(platform::kFrameWidth) * platform::kFrameHeight, 0);
}

TDXForm::~TDXForm() {
    if (Application().MainForm() == this) Application().SetMainForm(nullptr);
}

void TDXForm::Close() {
    closed_ = true;
    if (Application().MainForm() == this) Application().Terminate();
}

void TDXForm::Compose() {
    const Clip screen{0, 0, platform::kFrameWidth, platform::kFrameHeight};
    std::fill(window_.begin(), window_.end(), ColorToDevice(Color));
    if (display_ && display_->Showing()) {
        auto* dx = dynamic_cast<TCustomDXDraw*>(display_);
        Clip c = Intersect(ScreenRect(*display_), screen);
        if (dx && !c.Empty() && dx->PrimaryPixels().size() == window_.size()) {
            const uint16_t* src = dx->PrimaryPixels().data();
            for (int y = c.t; y < c.b; ++y)
                std::copy(src + y * platform::kFrameWidth + c.l, src + y * platform::kFrameWidth + c.r,
                          window_.data() + y * platform::kFrameWidth + c.l);
        }
    }
    for (TControl* child : Children()) {
        if (child == display_ || !child->Visible) continue;
        child->Paint(window_.data(), screen.l, screen.t, screen.r, screen.b);
    }
}

namespace {
uint64_t Mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}
uint64_t ControlKey(const TControl& c, uint64_t h) {
    h = Mix(h, reinterpret_cast<uintptr_t>(&c));
    h = Mix(h, c.Visible);
    h = Mix(h, (uint64_t(uint32_t(c.Left())) << 32) | uint32_t(c.Top()));
    h = Mix(h, (uint64_t(uint32_t(c.Width())) << 32) | uint32_t(c.Height()));
    h = Mix(h, c.PaintKey());
    for (const TControl* child : c.Children()) h = ControlKey(*child, h);
    return h;
}
}  // namespace

uint64_t TDXForm::OutsideKey(int displayRows) const {
    uint64_t h = Mix(Color, static_cast<uint64_t>(displayRows));
    for (const TControl* child : Children())
        if (child != display_) h = ControlKey(*child, h);
    return h;
}

void TDXForm::PresentOver(uint16_t* picture, int displayRows, bool waitVBlank) {
    const int fw = platform::kFrameWidth, fh = platform::kFrameHeight;
    const uint64_t key = OutsideKey(displayRows);
    if (picture != overPicture_ || key != overKey_) {
        const Clip below{0, displayRows, fw, fh};
        std::fill(picture + static_cast<size_t>(displayRows) * fw, picture + static_cast<size_t>(fh) * fw,
                  ColorToDevice(Color));
        for (TControl* child : Children()) {
            if (child == display_ || !child->Visible) continue;
            child->Paint(picture, below.l, below.t, below.r, below.b);
        }
        overPicture_ = picture;
        overKey_ = key;
        ++outsidePaints_;
    }
    UpdateCursor();
    if (platform::hasCurrent()) platform::current().present(picture, waitVBlank);
}

void TDXForm::Present(bool waitVBlank) {
    overPicture_ = nullptr;  // the next PresentOver paints its rows again
    Compose();
    UpdateCursor();
    if (platform::hasCurrent()) platform::current().present(window_.data(), waitVBlank);
}

TControl* TDXForm::ControlAt(int x, int y, bool forClick) const {
    // Depth-first, later children on top.
    const TControl* node = this;
    TControl* found = const_cast<TDXForm*>(this);
    for (;;) {
        TControl* hit = nullptr;
        const auto& ch = node->Children();
        for (auto it = ch.rbegin(); it != ch.rend(); ++it) {
            TControl* c = *it;
            if (!c->Visible || (forClick && !c->Enabled)) continue;
            Clip r = ScreenRect(*c);
            if (x >= r.l && x < r.r && y >= r.t && y < r.b) {
                hit = c;
                break;
            }
        }
        if (!hit) return found;
        found = hit;
        node = hit;
    }
}

int TDXForm::CursorAt(int x, int y) const {
    // A control left at the default pointer shows that of the control holding it.
    for (const TControl* c = ControlAt(x, y, false); c; c = c->Parent())
        if (c->Cursor != crDefault) return c->Cursor;
    return crDefault;
}

void TDXForm::UpdateCursor() {
    if (!platform::hasCurrent() || PointerX < 0) return;
    int cur = CursorAt(PointerX, PointerY);
    platform::CursorShape shape = cur == crNone ? platform::CursorShape::None
                                  : cur == crHandPoint ? platform::CursorShape::Hand
                                                       : platform::CursorShape::Arrow;
    platform::current().setCursor(shape);
}

void TDXForm::KeyDown(int key) {
    if (OnKeyDown) OnKeyDown(this, key, 0);
}

void TDXForm::DispatchClick(int x, int y) {
    TControl* c = ControlAt(x, y, true);
    if (c && c != this) c->Click(x - c->ScreenLeft(), y - c->ScreenTop());
}

void TDXForm::DispatchMouseMove(int x, int y) {
    PointerX = x;
    PointerY = y;
    TControl* c = ControlAt(x, y, true);
    if (c && c != this) c->MouseMove(x - c->ScreenLeft(), y - c->ScreenTop());
    UpdateCursor();
}

// ---------------------------------------------------------------------------------------
// TApplication

TApplication& Application() {
    static TApplication app;
    return app;
}

void TApplication::Dispatch(const platform::Event& e) {
    switch (e.type) {
        case platform::EventType::KeyDown:
            if (mainForm_) mainForm_->KeyDown(e.key);
            break;
        case platform::EventType::Click:
            if (mainForm_) mainForm_->DispatchClick(e.x, e.y);
            break;
        case platform::EventType::MouseMove:
            if (mainForm_) mainForm_->DispatchMouseMove(e.x, e.y);
            break;
        case platform::EventType::Activate:
            if (!active_) {
                active_ = true;
                if (OnActivate) OnActivate();
            }
            break;
        case platform::EventType::Deactivate:
            if (active_) {
                active_ = false;
                if (OnDeactivate) OnDeactivate();
            }
            break;
        case platform::EventType::Quit:
            if (mainForm_) mainForm_->Close();
            Terminate();
            break;
    }
}

void TApplication::ProcessMessages() {
    if (!platform::hasCurrent()) return;
    platform::Event e;
    while (!terminated_ && platform::current().pollEvent(e)) {
        Guard([&] { Dispatch(e); });
    }
}

bool TApplication::Pass(uint32_t& waitMs) {
    waitMs = 0;
    if (terminated_ || (mainForm_ && mainForm_->Closed())) return false;
    if (OnLoopPass) Guard(OnLoopPass);
    if (terminated_) return false;
    ProcessMessages();
    if (terminated_) return false;
    bool done = true;
    waitMs = 25;
    if (onIdle_) Guard([&] { onIdle_(done, waitMs); });
    return !terminated_;
}

void TApplication::Run() {
    terminated_ = false;
    uint32_t waitMs = 0;
    while (Pass(waitMs)) {
        // The idle work says when it next has something to do (counted from its end); wait
        // for events until that point of the clock instead of spinning a core. A wait for a
        // point, not for a span, ends in the millisecond the work is due, so a late wake-up
        // is not added to the next interval.
        if (platform::hasCurrent()) {
            platform::Platform& p = platform::current();
            if (waitMs == 0)
                p.waitEvents(0);
            else
                p.waitUntil(p.ticks() + waitMs);
        }
    }
}

void TApplication::Run(const std::function<void()>& then) {
    terminated_ = false;
    if (platform::hasCurrent() &&
        platform::current().driveLoop([this](uint32_t& waitMs) { return Pass(waitMs); }, then))
        return;
    Run();
    if (then) then();
}

void TApplication::ShowMessage(const std::string& text) {
    shown_.push_back(text);
    if (platform::hasCurrent())
        platform::current().messageBox(text);
    else
        std::fprintf(stderr, "orbita: %s\n", text.c_str());
}

std::string TApplication::FailureText(const std::exception& e) {
    std::string msg = ErrorText(e);
    const auto* media = dynamic_cast<const Exception*>(&e);
    // The system's own message, with the data file it came from in front unless the message
    // names it already ("Cannot open file pozadi\po3.dxg").
    // Text from a file (an item name) never reaches the terminal or the box raw.
    if (media && !media->File().empty() && msg.find(media->File()) == std::string::npos)
        return EscapeControls(media->File() + ": " + msg);
    return EscapeControls(msg);
}

void TApplication::ShowException(const std::exception& e) {
    const std::string text = FailureText(e);
    if (!seen_.insert(text).second) return;
    ShowMessage(text);
}

void TApplication::ResetForTests() {
    onIdle_ = nullptr;
    OnActivate = nullptr;
    OnDeactivate = nullptr;
    OnLoopPass = nullptr;
    mainForm_ = nullptr;
    terminated_ = false;
    active_ = true;
    seen_.clear();
    shown_.clear();
}

}  // namespace media
