#include "media/DXInput.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "media/Errors.h"

namespace media {

// ---------------------------------------------------------------------------------------
// Devices

TKeyboard::TKeyboard() { SetDefaultAssigns(); }

void TKeyboard::SetDefaultAssigns() {
    for (auto& row : Assigns) row = {0, 0, 0};
    Assigns[isUp] = {0x4B, 0x26, 0x68};     // K, cursor up, keypad 8
    Assigns[isDown] = {0x4A, 0x28, 0x62};   // J, cursor down, keypad 2
    Assigns[isLeft] = {0x48, 0x25, 0x64};   // H, cursor left, keypad 4
    Assigns[isRight] = {0x4C, 0x27, 0x66};  // L, cursor right, keypad 6
    Assigns[isButton1] = {0x09, 0, 0};      // Tab
    Assigns[isButton2] = {0x0D, 0, 0};      // Enter
    Assigns[isButton3] = {0x72, 0, 0};      // F3
    Assigns[isButton4] = {0x20, 0, 0};      // Space
    Assigns[isButton5] = {0x1B, 0, 0};      // Esc
    Assigns[isButton6] = {0x0D, 0, 0};      // Enter
    Assigns[isButton9] = {0x71, 0, 0};      // F2
}

void TKeyboard::Update() {
    Keys.fill(0);
    States.Clear();
    if (!Enabled) return;
    if (owner_ && !owner_->CanRead()) return;  // not in front: all keys up
    if (!platform::hasCurrent()) return;
    platform::current().keyboardState(Keys.data());
    for (int s = 0; s < 36; ++s) {
        for (int32_t key : Assigns[s]) {
            if (key >= 1 && key <= 255 && (Keys[key] & 0x80)) {
                States.Add(s);
                break;
            }
        }
    }
}

int TJoystick::ConvertAxis(int r, int lo, int hi, int deadZone, int range) {
    deadZone = std::clamp(deadZone, 0, 100);
    const double half = (static_cast<double>(hi) - lo) / 2.0;
    const double dead = deadZone * half / 100.0;
    // Readings are taken relative to the centre of the axis.
    const double c = r - lo - half;
    if (half == dead || std::fabs(c) <= dead) return 0;
    const double v = (c > 0 ? c - dead : c + dead) * range / (half - dead);
    return static_cast<int>(std::round(v));  // halves away from zero
}

void TJoystick::Update() {
    States.Clear();
    X = Y = Z = 0;
    if (!Enabled) return;
    if (owner_ && !owner_->CanRead()) return;
    if (!platform::hasCurrent()) return;
    const platform::JoystickState js = platform::current().joystick(ID);
    if (!js.present) return;
    X = ConvertAxis(js.x, js.xMin, js.xMax, DeadZoneX, RangeX);
    Y = ConvertAxis(js.y, js.yMin, js.yMax, DeadZoneY, RangeY);
    Z = ConvertAxis(js.z, js.zMin, js.zMax, DeadZoneZ, RangeZ);
    for (int b = 0; b < 32; ++b)
        if (js.buttons & (1u << b)) States.Add(isButton1 + b);
    if (X < 0) States.Add(isLeft);
    if (X > 0) States.Add(isRight);
    if (Y < 0) States.Add(isUp);
    if (Y > 0) States.Add(isDown);
}

// ---------------------------------------------------------------------------------------
// TCustomDXInput

TCustomDXInput::TCustomDXInput() {
    Keyboard.owner_ = this;
    Joystick.owner_ = this;
    Mouse.owner_ = this;
}

TCustomDXInput::TCustomDXInput(TObject* owner) : TCustomDXInput() {
    if (!dynamic_cast<TDXForm*>(owner)) throw EDXInputError("Form not found");
}

bool TCustomDXInput::CanRead() const {
    return !ActiveOnly || !platform::hasCurrent() || platform::current().isForeground();
}

void TCustomDXInput::Update() {
    TDXInputStates combined;
    TInputDevice* devices[3] = {&Joystick, &Keyboard, &Mouse};
    for (TInputDevice* d : devices) {
        d->Update();
        if (d->BindInputStates) {
            for (int s = 0; s < 36; ++s)
                if (d->States.Has(s)) combined.Add(s);
        }
    }
    // Edge latching: a state follows its devices only when they change.
    for (int s = 0; s < 36; ++s) {
        if (combined.Has(s) && !oldStates_.Has(s)) States.Add(s);
        if (!combined.Has(s) && oldStates_.Has(s)) States.Remove(s);
    }
    oldStates_ = combined;
}

}  // namespace media
