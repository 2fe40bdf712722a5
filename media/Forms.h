// The window side of the media layer: the application object with its message loop and
// idle processing, the form, its child controls (panel, image) and the composed window
// picture.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "media/DIB.h"
#include "platform/Platform.h"

namespace media {

class TObject {
public:
    virtual ~TObject() = default;
};

// Cursor values of a control.
enum TCursor { crDefault = 0, crNone = -1, crArrow = -2, crHandPoint = -21 };

class TDXForm;

class TControl : public TObject {
public:
    ~TControl() override;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    void SetBounds(int left, int top, int width, int height);

    bool Visible = true;
    bool Enabled = true;
    int Cursor = crDefault;

    TControl* Parent() const { return parent_; }
    void SetParent(TControl* parent);
    TDXForm* ParentForm() const;
    const std::vector<TControl*>& Children() const { return children_; }
    // Position of the control's top-left corner in window coordinates.
    int ScreenLeft() const;
    int ScreenTop() const;
    bool Showing() const;  // visible together with all its parents

    // Paints the control onto the window picture (640 x 480 RGB565), clipped to clip.
    virtual void Paint(uint16_t* frame, int clipLeft, int clipTop, int clipRight, int clipBottom) { (void)frame; (void)clipLeft; (void)clipTop; (void)clipRight; (void)clipBottom; }
    // What the control's picture depends on besides its place and visibility (a colour, a
    // picture's version), so that the form can tell when the HUD needs painting again.
    virtual uint64_t PaintKey() const { return 0; }
    virtual void Click(int x, int y) { (void)x; (void)y; }
    virtual void MouseMove(int x, int y) { (void)x; (void)y; }

protected:
    virtual void BoundsChanged(int oldWidth, int oldHeight) { (void)oldWidth; (void)oldHeight; }
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;

private:
    TControl* parent_ = nullptr;
    std::vector<TControl*> children_;
};

// A panel: a filled rectangle that holds other controls.
class TPanel : public TControl {
public:
    uint32_t Color = 0x000000;  // 0x00BBGGRR
    void Paint(uint16_t* frame, int clipLeft, int clipTop, int clipRight, int clipBottom) override;
    uint64_t PaintKey() const override { return Color; }
};

// A picture control.
class TImage : public TControl {
public:
    bool Center = false;
    bool Stretch = false;
    bool Transparent = false;  // the picture's bottom-left pixel colour is not drawn
    bool AutoSize = false;
    void SetPicture(std::shared_ptr<TDIB> picture);
    const std::shared_ptr<TDIB>& Picture() const { return picture_; }
    void Paint(uint16_t* frame, int clipLeft, int clipTop, int clipRight, int clipBottom) override;
    uint64_t PaintKey() const override {
        return version_ * 16 + (Center ? 1 : 0) + (Stretch ? 2 : 0) + (Transparent ? 4 : 0) + (AutoSize ? 8 : 0);
    }

private:
    uint64_t version_ = 0;  // counts the pictures set
    std::shared_ptr<TDIB> picture_;
    std::vector<uint16_t> device_;  // the picture converted to RGB565
};

// The form: one borderless window. Its picture is the form colour, the display area
// as last flipped, then every visible panel with its images on top.
class TDXForm : public TControl {
public:
    TDXForm();
    ~TDXForm() override;
    uint32_t Color = 0x404040;  // 0x00BBGGRR; dark grey
    std::function<void(TObject*)> OnCreate;
    std::function<void(TObject*, int& key, int shift)> OnKeyDown;
    // Closes the form; the application's message loop ends.
    void Close();
    bool Closed() const { return closed_; }

    // The control that carries the display area (painted from its last flipped picture).
    void SetDisplayControl(TControl* c) { display_ = c; }
    TControl* DisplayControl() const { return display_; }
    // Composes the window picture and shows it through the platform.
    void Present(bool waitVBlank);
    // Shows a window picture whose top displayRows rows the display has drawn already and
    // over which nothing lies (the display's back buffer with room for the whole picture):
    // the form paints the rows below, only when what they show has changed since the last
    // such call on the same picture, and presents it where it lies.
    void PresentOver(uint16_t* picture, int displayRows, bool waitVBlank);
    // How often the part of the window picture outside the display has been painted.
    uint64_t OutsidePaints() const { return outsidePaints_; }
    // Cursor value for the pointer at (x, y): that of the topmost showing control there,
    // or, while that is crDefault, of the nearest control holding it that has one.
    int CursorAt(int x, int y) const;
    void UpdateCursor();
    int PointerX = -1, PointerY = -1;

    void KeyDown(int key);
    void DispatchClick(int x, int y);
    void DispatchMouseMove(int x, int y);

private:
    void Compose();
    uint64_t OutsideKey(int displayRows) const;
    TControl* ControlAt(int x, int y, bool forClick) const;
    const uint16_t* overPicture_ = nullptr;  // the picture PresentOver painted last
    uint64_t overKey_ = 0;                   // and what its rows below showed
    uint64_t outsidePaints_ = 0;
    bool closed_ = false;
    TControl* display_ = nullptr;
    std::vector<uint16_t> window_;
};

// The application: the message loop with its idle processing, activation and the
// default exception handler.
class TApplication {
public:
    // Called when the message queue is empty. Sets done = false to be called again at once;
    // the handler also says in how many milliseconds it next has work (waitMs).
    using IdleHandler = std::function<void(bool& done, uint32_t& waitMs)>;

    void SetOnIdle(IdleHandler handler) { onIdle_ = std::move(handler); }
    void ClearOnIdle() { onIdle_ = nullptr; }
    bool HasOnIdle() const { return static_cast<bool>(onIdle_); }
    std::function<void()> OnActivate, OnDeactivate;
    // Extra hook run at the top of every loop pass (the program's drivers: scripts, limits).
    std::function<void()> OnLoopPass;

    bool Active() const { return active_; }
    void SetMainForm(TDXForm* form) { mainForm_ = form; }
    TDXForm* MainForm() const { return mainForm_; }

    // Runs the message loop until the main form closes or Terminate is called.
    void Run();
    // Runs the message loop, then `then`. A back-end that is called by its system rather
    // than calling it (the browser's animation frames) runs the passes itself: then this
    // may return before the loop is over, or not at all, and `then` runs when it is.
    void Run(const std::function<void()>& then);
    // One pass of the loop: the drivers' hook, every pending event, the idle work. False
    // once the loop is over; waitMs says how long nothing is due.
    bool Pass(uint32_t& waitMs);
    // Handles every pending event once.
    void ProcessMessages();
    void Terminate() { terminated_ = true; }

    // The default exception handler: shows the message (message box with a window, and
    // one line on standard error in any case). An error of a data file names the file.
    // Each distinct failure (file and message) is shown once in a run, so an error repeated
    // in every tick gives one box, not a storm, and three broken files give three.
    void ShowException(const std::exception& e);
    // What ShowException shows for e.
    static std::string FailureText(const std::exception& e);
    void ShowMessage(const std::string& text);
    // Runs f and hands any media exception to ShowException. A template, so that guarding
    // a lambda in every tick wraps nothing on the heap.
    template <class F>
    void Guard(F&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
    const std::vector<std::string>& ShownMessages() const { return shown_; }
    void ResetForTests();

private:
    void Dispatch(const platform::Event& e);
    IdleHandler onIdle_;
    TDXForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool active_ = true;
    std::set<std::string> seen_;
    std::vector<std::string> shown_;
};

TApplication& Application();

}  // namespace media
