// Input states: the keyboard, the joystick and the states they give.
#pragma once

#include <array>
#include <cstdint>

#include "media/Forms.h"

namespace media {

// The 36 input states: Up, Down, Left, Right, Button1 .. Button32.
enum TDXInputState {
    isUp = 0, isDown, isLeft, isRight,
    isButton1, isButton2, isButton3, isButton4, isButton5, isButton6, isButton7, isButton8,
    isButton9, isButton10, isButton11, isButton12, isButton13, isButton14, isButton15, isButton16,
    isButton17, isButton18, isButton19, isButton20, isButton21, isButton22, isButton23, isButton24,
    isButton25, isButton26, isButton27, isButton28, isButton29, isButton30, isButton31, isButton32
};

class TDXInputStates {
public:
    bool Has(int s) const { return (bits_ >> s) & 1; }
    void Add(int s) { bits_ |= uint64_t(1) << s; }
    void Remove(int s) { bits_ &= ~(uint64_t(1) << s); }
    void Clear() { bits_ = 0; }
    uint64_t Bits() const { return bits_; }
    uint8_t FirstByte() const { return static_cast<uint8_t>(bits_); }
    bool operator==(const TDXInputStates& o) const { return bits_ == o.bits_; }

private:
    uint64_t bits_ = 0;
};

class TCustomDXInput;

class TInputDevice {
public:
    virtual ~TInputDevice() = default;
    bool Enabled = true;
    bool BindInputStates = true;
    bool ForceFeedback = false;
    TDXInputStates States;
    virtual void Update() = 0;

protected:
    TCustomDXInput* owner_ = nullptr;
    friend class TCustomDXInput;
};

class TKeyboard : public TInputDevice {
public:
    TKeyboard();
    // Three virtual-key codes per state (0 = none).
    std::array<std::array<int32_t, 3>, 36> Assigns{};
    std::array<uint8_t, 256> Keys{};  // the key table read by the last poll
    void Update() override;
    void SetDefaultAssigns();  // the game's key table
};

class TJoystick : public TInputDevice {
public:
    int ID = 0;
    bool AutoCenter = true;
    int DeadZoneX = 50, DeadZoneY = 50, DeadZoneZ = 50;
    int RangeX = 1000, RangeY = 1000, RangeZ = 1000;
    int X = 0, Y = 0, Z = 0;  // converted axes of the last poll
    void Update() override;
    // Converts one raw axis reading r in lo..hi with a dead zone (percent) and a range.
    static int ConvertAxis(int r, int lo, int hi, int deadZone, int range);
};

class TMouse : public TInputDevice {
public:
    TMouse() { Enabled = false; BindInputStates = false; }
    void Update() override { States.Clear(); }
};

class TCustomDXInput : public TObject {
public:
    TCustomDXInput();
    // An input reader owned by a form; any other owner raises EDXInputError "Form not found".
    explicit TCustomDXInput(TObject* owner);
    bool ActiveOnly = true;
    bool UseDirectInput = true;
    TKeyboard Keyboard;
    TJoystick Joystick;
    TMouse Mouse;
    TDXInputStates States;
    void Update();
    // Foreground rule: with ActiveOnly the devices read nothing while our window is not in front.
    bool CanRead() const;

private:
    TDXInputStates oldStates_;
};

class TDXInput : public TCustomDXInput {
public:
    TDXInput() = default;
    explicit TDXInput(TObject* owner) : TCustomDXInput(owner) {}
};

}  // namespace media
