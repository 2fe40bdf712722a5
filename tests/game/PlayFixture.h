// A frame of play set up by hand on a headless main form: the display at its level height,
// the weapons idle, the ship and the pod out of the way, no window open and no scrolling,
// and the music items given samples so that a start shows.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/Main.h"
#include "game/Pictures.h"
#include "game/Sounds.h"
#include "game/State.h"
#include "game/zbrane.h"
#include "media/DIB.h"
#include "media/DXSound.h"
#include "tests/support/HeadlessShell.h"

class PlayFrame : public ::testing::Test {
protected:
    void SetUp() override {
        shell_.OpenForPlay();
        surface().Fill(0);
        game::shipX = 20;
        game::shipY = 340;
        game::podX = -1000;
        game::podY = -1000;
        game::scrollStep = 0;
        game::levelClock = 70;
        game::spawnWindowA = game::spawnWindowB = game::spawnWindowC = game::spawnWindowD = false;
        for (game::Music m : {game::Music::first, game::Music::second})
            game::music(m).SetWave(game::effect(game::Effect::vybuch).Wave());
    }
    void TearDown() override {
        shell_.Close();
        game::godMode = false;
    }
    game::TMainForm& form() { return *shell_.form; }
    media::TDirectDrawSurface& surface() { return form().DXDraw.Surface(); }

    // A live entry with its hits; vy is its y (for the level-1 flyers, the height where their
    // climb stops).
    static game::Alien entry(int32_t x, int32_t y, int32_t hits, int32_t w = 60, int32_t h = 40) {
        game::Alien a;
        a.x = x;
        a.y = y;
        a.width = w;
        a.height = h;
        a.vy = y;
        a.maxHits = hits;
        a.hits = hits;
        a.anim = 1;
        a.explodeFrame = 1;
        a.shotReady = false;
        return a;
    }
    // A projectile of group g (1 .. 5) in flight at the point.
    static void projectileAt(int g, int32_t x, int32_t y) {
        game::Shot& s = game::shotGroups[g].slots[1];
        s.idle = false;
        s.x = x;
        s.y = y;
    }
    static bool projectileConsumed(int g) { return game::shotGroups[g].slots[1].x == 800; }
    // Gives the item a solid picture, so that whether it was drawn shows on the back buffer.
    static void paint(media::TPictureCollectionItem& item, uint32_t colour) {
        auto pic = std::make_shared<media::TDIB>(8, 8, 24);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) pic->SetPixel(x, y, colour);
        item.SetPicture(pic);
        item.Initialize();
    }
    int countColour(uint32_t colour) {
        int n = 0;
        for (int y = 0; y < surface().Height(); ++y)
            for (int x = 0; x < surface().Width(); ++x) n += surface().At(x, y) == media::ColorToDevice(colour);
        return n;
    }
    static bool playing(game::Music m) { return game::music(m).Playing(); }
    static void silence() {
        for (game::Music m : {game::Music::first, game::Music::second}) game::music(m).Stop();
    }

    support::HeadlessShell shell_;
};
