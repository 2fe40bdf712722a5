// The layer over the desktop back-end: pressed keys become the game's keys (bindings),
// the menu answers the keyboard and a gamepad as the pointer would, the pause text shows
// while the focus is away. The real window under it is stood in for by the headless one.
#include <gtest/gtest.h>

#include "app/DesktopPlatform.h"
#include "app/KeyBindings.h"
#include "platform/headless/HeadlessControl.h"

namespace {

using platform::Event;
using platform::EventType;

struct Layer {
    platform::Platform* raw;
    platform::HeadlessControl* control;
    std::unique_ptr<app::DesktopPlatform> desk;
    bool menu = false;
    explicit Layer(app::KeyBindings b = app::KeyBindings()) {
        auto inner = platform::createHeadlessPlatform(25);
        raw = inner.get();
        control = platform::headlessControl(*inner);
        desk = std::make_unique<app::DesktopPlatform>(std::move(inner), std::move(b));
        desk->menuActive = [this] { return menu; };
    }
    std::vector<Event> events() {
        std::vector<Event> out;
        Event e;
        while (desk->pollEvent(e)) out.push_back(e);
        return out;
    }
    void press(int vk) {
        control->setKey(vk, true);
        Event e;
        e.type = EventType::KeyDown;
        e.key = vk;
        control->pushEvent(e);
    }
};

TEST(KeyBindings, DefaultsAreTheGameKeysThemselves) {
    app::KeyBindings b;
    EXPECT_TRUE(b.isDefault());
    for (int vk : {0x26, 0x4B, 0x68, 0x20, 0x09, 0x0D, 0x1B, 0x71, 0x72, 0x2C, 0x7B})
        EXPECT_EQ(b.gameKeys(vk), std::vector<int>{vk}) << vk;
    EXPECT_TRUE(b.gameKeys('W').empty());  // no game key
    EXPECT_EQ(b.translateButtons(0xFFu), 0xFFu);
}

TEST(KeyBindings, ABindingReplacesTheDefaultsAndTakesItsKeysFromOtherActions) {
    app::KeyBindings b;
    b.bindKeys(app::Action::Fire, {'A', 0x4A});  // A and J (J is a default of down)
    EXPECT_EQ(b.gameKeys('A'), std::vector<int>{0x20});
    EXPECT_EQ(b.gameKeys(0x4A), std::vector<int>{0x20});
    EXPECT_TRUE(b.gameKeys(0x20).empty());               // Space no longer fires
    EXPECT_EQ(b.gameKeys(0x28), std::vector<int>{0x28});  // down keeps its other keys
    uint8_t pressed[256] = {}, game[256];
    pressed['A'] = 0x80;
    pressed[0x20] = 0x80;
    b.translateTable(pressed, game);
    EXPECT_EQ(game[0x20], 0x80);
    EXPECT_EQ(game['A'], 0);
    int down = 0;
    for (int i = 0; i < 256; ++i) down += game[i] ? 1 : 0;
    EXPECT_EQ(down, 1);
}

TEST(KeyBindings, GamepadButtonsAreMovedAndBackIsKeptApart) {
    app::KeyBindings b;
    b.bindButtons(app::PadAction::Fire, {0});  // A fires
    b.bindButtons(app::PadAction::Back, {6});  // Start goes back
    EXPECT_EQ(b.translateButtons(1u << 0), 1u << 3);  // A gives Button4
    EXPECT_EQ(b.translateButtons(1u << 3), 0u);        // Y no longer fires
    EXPECT_EQ(b.translateButtons(1u << 1), 1u << 1);   // B still pauses
    EXPECT_EQ(b.backButtons(), 1u << 6);
}

TEST(DesktopPlatform, BoundKeysReachTheGameAsItsOwnKeys) {
    app::KeyBindings b;
    b.bindKeys(app::Action::Fire, {'A'});
    Layer l(b);
    l.press('A');
    auto ev = l.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].key, 0x20);
    uint8_t keys[256];
    l.desk->keyboardState(keys);
    EXPECT_EQ(keys[0x20], 0x80);
    EXPECT_EQ(keys['A'], 0);
    l.press('Q');  // bound to nothing: nothing arrives
    EXPECT_TRUE(l.events().empty());
}

TEST(DesktopPlatform, TheMenuTakesCursorKeysAndEnterAsThePointer) {
    Layer l;
    l.menu = true;
    l.press(0x0D);  // Enter: the start box by default
    auto ev = l.events();
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0].type, EventType::MouseMove);
    EXPECT_TRUE(ev[0].x > 450 && ev[0].x < 600 && ev[0].y > 370 && ev[0].y < 460);
    EXPECT_EQ(ev[1].type, EventType::Click);
    // The Enter that chose is kept out of the key table until it is let go (it would pause).
    uint8_t keys[256];
    l.desk->keyboardState(keys);
    EXPECT_EQ(keys[0x0D], 0);
    l.control->setKey(0x0D, false);
    l.desk->keyboardState(keys);
    l.control->setKey(0x0D, true);
    l.desk->keyboardState(keys);
    EXPECT_EQ(keys[0x0D], 0x80);

    l.control->releaseAllKeys();
    l.press(0x26);  // up: the quit box, highlighted by the pointer over it
    ev = l.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, EventType::MouseMove);
    EXPECT_TRUE(ev[0].x > 0 && ev[0].x < 100 && ev[0].y > 0 && ev[0].y < 100);
    EXPECT_TRUE(l.desk->quitChosen());
    l.press(0x20);  // Space takes it
    ev = l.events();
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[1].type, EventType::Click);
    EXPECT_TRUE(ev[1].x < 100 && ev[1].y < 100);

    l.menu = false;  // in play the same keys are keys
    l.control->releaseAllKeys();
    l.press(0x0D);
    ev = l.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, EventType::KeyDown);
}

TEST(DesktopPlatform, AGamepadChoosesInTheMenuAndItsBackButtonIsEscape) {
    app::KeyBindings b;
    b.bindButtons(app::PadAction::Back, {4});
    Layer l(b);
    platform::JoystickState pad;
    pad.present = true;
    l.menu = true;
    pad.buttons = 1u << 6;  // Start
    l.control->setJoystick(0, pad);
    auto ev = l.events();
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[1].type, EventType::Click);
    EXPECT_EQ(l.desk->joystick(0).buttons, 0u);  // held: kept from the game
    EXPECT_TRUE(l.events().empty());              // held: chooses once
    l.menu = false;
    pad.buttons = 1u << 4;
    l.control->setJoystick(0, pad);
    ev = l.events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, EventType::KeyDown);
    EXPECT_EQ(ev[0].key, 0x1B);
    EXPECT_EQ(l.desk->joystick(0).buttons, 0u);
}

TEST(DesktopPlatform, LosingTheFocusShowsThePauseTextAndTheGamesPictureStays) {
    Layer l;
    l.desk->pauseText = [] { return std::string("Pause >> Esc   jedeme..."); };
    std::vector<uint16_t> frame(640 * 480, 0);
    l.desk->present(frame.data(), false);
    l.control->setActive(false);
    l.events();
    const auto& shown = l.raw->lastPresented();
    ASSERT_EQ(shown.size(), frame.size());
    int lit = 0;
    for (int y = 140; y < 180; ++y)
        for (int x = 190; x < 420; ++x) lit += shown[y * 640 + x] != 0;
    EXPECT_GT(lit, 50);                              // the text is there
    EXPECT_EQ(l.desk->lastPresented(), frame);       // screenshots see the game's own picture
    l.control->setActive(true);
    l.events();
    EXPECT_EQ(l.raw->lastPresented(), frame);
}

}  // namespace
