// The display: initialisation order, resizing, lost surfaces, presentation, mode selection,
// options, and the canvas.
#include "MediaFixture.h"

using namespace media;
using platform::DisplayMode;

namespace {
struct Recorder {
    std::vector<std::string> log;
    TCustomDXDraw* draw = nullptr;
    ~Recorder() {
        if (draw) draw->UnRegisterNotifyEvent(this);
    }
    void Attach(TCustomDXDraw& d, const std::string& name) {
        draw = &d;
        d.RegisterNotifyEvent(this, [this, name](TCustomDXDraw* s, TDXDrawNotifyType k) {
            log.push_back(name + ":" + std::to_string(int(k)) + "@" + std::to_string(s->Surface().Width()) + "x" +
                          std::to_string(s->Surface().Height()));
        });
    }
};
}  // namespace

class DisplayTest : public HeadlessDisplay {};

TEST_F(DisplayTest, InitialiseFiresEventsAndNotificationsInOrder) {
    Recorder a, b;
    a.Attach(*draw_, "a");
    b.Attach(*draw_, "b");
    EXPECT_EQ(a.log, (std::vector<std::string>{"a:7@0x0"}));
    std::vector<std::string> events;
    draw_->OnInitializing = [&](TObject*) { events.push_back("initializing"); };
    draw_->OnInitialize = [&](TObject*) {
        events.push_back("initialize " + std::to_string(draw_->Surface().Width()) + "x" + std::to_string(draw_->Surface().Height()));
        // The game's handler: enable, then Left, Top, Width, Height one after the other.
        draw_->SetLeft(0);
        draw_->SetTop(0);
        draw_->SetWidth(640);
        draw_->SetHeight(480);
    };
    draw_->OnInitializeSurface = [&](TObject*) { events.push_back("surface"); };
    draw_->OnRestoreSurface = [&](TObject*) { events.push_back("restore"); };
    a.log.clear();
    b.log.clear();
    draw_->SetBounds(0, 0, 793, 352);
    draw_->Initialize();
    EXPECT_EQ(events, (std::vector<std::string>{"initializing", "initialize 793x352", "surface", "surface", "surface", "restore"}));
    EXPECT_EQ(draw_->Surface().Width(), 640);
    EXPECT_EQ(draw_->Surface().Height(), 480);
    // The most recently attached listener hears first; the handler's two size changes
    // recreate the back buffer twice (640 x 352, then 640 x 480).
    EXPECT_EQ(b.log, (std::vector<std::string>{"b:7@0x0", "b:1@0x0", "b:7@793x352", "b:2@793x352", "b:5@793x352",
                                               "b:3@640x352", "b:7@640x352", "b:5@640x352", "b:3@640x480",
                                               "b:7@640x480", "b:3@640x480", "b:6@640x480"}));
    EXPECT_EQ(a.log.size(), b.log.size());
    EXPECT_TRUE(draw_->CanDraw());
    draw_->UnRegisterNotifyEvent(&a);
    a.draw = nullptr;
    EXPECT_EQ(a.log.back(), "a:4@640x480");
}

TEST_F(DisplayTest, PicturesAreBuiltAsSoonAsTheirListIsInitialised) {
    // A list attached before the display opens gets its surfaces with the initialise
    // notification, so the display's own initialise handler can already draw with it.
    auto* item = AddPicture(NumberedPicture(4, 4), false);
    EXPECT_EQ(item->PatternCount(), 0);
    int patternsDuringInitialize = -1;
    draw_->OnInitialize = [&](TObject*) {
        patternsDuringInitialize = item->PatternCount();
        item->Draw(draw_->Surface(), 1, 1, 0);
    };
    Open(100, 100);
    EXPECT_EQ(patternsDuringInitialize, 1);
    EXPECT_EQ(Surface().At(1, 1), ColorToDevice(item->Picture()->Pixel(0, 0)));
    EXPECT_EQ(item->PatternCount(), 1);
}

TEST_F(DisplayTest, ResizingToTheSameSizeRecreatesOnceAndKeepsPictures) {
    Open();
    auto* item = AddPicture(NumberedPicture(10, 10), false);
    Recorder r;
    r.Attach(*draw_, "r");
    r.log.clear();
    draw_->SetHeight(380);
    draw_->SetHeight(380);
    EXPECT_EQ(r.log, (std::vector<std::string>{"r:5@640x480", "r:3@640x380", "r:7@640x380"}));
    EXPECT_EQ(Surface().Height(), 380);
    // Pictures stay valid; drawing below line 380 is clipped away.
    EXPECT_EQ(item->PatternCount(), 1);
    item->Draw(Surface(), 5, 375, 0);
    EXPECT_EQ(Surface().At(5, 379), ColorToDevice(item->Picture()->Pixel(0, 4)));
}

TEST_F(DisplayTest, CanDrawAndLostSurfaces) {
    EXPECT_FALSE(draw_->CanDraw());
    Open();
    EXPECT_TRUE(draw_->CanDraw());
    Recorder r;
    r.Attach(*draw_, "r");
    r.log.clear();
    control_->setDisplayLost(true);
    control_->setRestoreFails(true);
    EXPECT_FALSE(draw_->CanDraw());
    draw_->Flip();  // does nothing while the restore fails
    EXPECT_TRUE(r.log.empty());
    control_->setRestoreFails(false);
    EXPECT_TRUE(draw_->CanDraw());
    EXPECT_EQ(r.log, (std::vector<std::string>{"r:6@640x480"}));
    draw_->Finalize();
    EXPECT_FALSE(draw_->CanDraw());
    EXPECT_FALSE(draw_->Initialized());
}

TEST_F(DisplayTest, InitialiseFailures) {
    TDXDraw orphan;
    try {
        orphan.Initialize();
        FAIL() << "a display off any form cannot initialise";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Form not found");
    }
    control_->setDisplayModes({{800, 600, 8}});
    try {
        Open();
        FAIL() << "no mode fits";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Display mode cannot be changed (640x480 16bit)");
    }
    EXPECT_FALSE(draw_->Initialized());
    // The bit count accepts only display depths and keeps its value otherwise.
    try {
        draw_->Display.SetBitCount(15);
        FAIL();
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "It should be either of 8 or 16 or 24 or 32");
    }
    EXPECT_EQ(draw_->Display.BitCount(), 16);
    // A listener failing at the start leaves the display closed but not stuck updating:
    // size changes still reach the back buffer size.
    control_->setDisplayModes({{640, 480, 16}});
    bool fail = true;
    int owner = 0;
    draw_->RegisterNotifyEvent(&owner, [&](TCustomDXDraw*, TDXDrawNotifyType k) {
        if (k == dxntInitializing && fail) throw EDXDrawError("listener failed");
    });
    EXPECT_THROW(Open(), EDXDrawError);
    EXPECT_FALSE(draw_->Initialized());
    draw_->SetBounds(0, 0, 320, 200);
    EXPECT_EQ(draw_->SurfaceWidth(), 320);
    fail = false;
    Open();
    EXPECT_TRUE(draw_->CanDraw());
    draw_->UnRegisterNotifyEvent(&owner);
}

TEST_F(DisplayTest, FlipPresentsTheBackBufferBelowVisiblePanels) {
    Open();
    TPanel panel;
    panel.Color = 0x0000FF;
    panel.SetParent(form_.get());
    panel.SetBounds(0, 385, 640, 78);
    panel.Visible = true;
    draw_->SetHeight(480);
    Surface().Fill(ColorToDevice(0x00FF00));
    draw_->Flip();
    const auto& shown = platform_->lastPresented();
    ASSERT_EQ(shown.size(), 640u * 480);
    EXPECT_EQ(shown[0], ColorToDevice(0x00FF00));
    EXPECT_EQ(shown[400 * 640 + 10], ColorToDevice(0x0000FF)) << "the panel stays on top";
    // Hidden panel: the area below shows the display's last picture, except where the
    // panel kept Flip from painting; a new Flip fills it.
    panel.Visible = false;
    draw_->Flip();
    EXPECT_EQ(platform_->lastPresented()[400 * 640 + 10], ColorToDevice(0x00FF00));
    // A level's 380-line display leaves the strip below to the form and the HUD.
    draw_->SetHeight(380);
    Surface().Fill(ColorToDevice(0xFFFFFF));
    draw_->Flip();
    EXPECT_EQ(platform_->lastPresented()[379 * 640], ColorToDevice(0xFFFFFF));
    EXPECT_EQ(platform_->lastPresented()[381 * 640], ColorToDevice(form_->Color));
}

TEST_F(DisplayTest, PointerShapeComesFromTheControlUnderItOrItsHolder) {
    Open();
    form_->Cursor = crNone;
    draw_->Cursor = crHandPoint;
    TPanel panel;
    panel.SetParent(form_.get());
    panel.SetBounds(0, 385, 640, 78);
    panel.Cursor = crNone;
    TImage face, marker;
    face.SetParent(&panel);
    face.SetBounds(282, 17, 81, 72);  // left at the default pointer
    marker.SetParent(&panel);
    marker.SetBounds(20, 39, 39, 18);
    marker.Cursor = crArrow;
    EXPECT_EQ(form_->CursorAt(10, 10), crHandPoint);
    EXPECT_EQ(form_->CursorAt(300, 420), crNone) << "the face shows its panel's hidden pointer";
    EXPECT_EQ(form_->CursorAt(25, 430), crArrow);
    EXPECT_EQ(form_->CursorAt(600, 390), crNone);
    panel.Cursor = crDefault;
    EXPECT_EQ(form_->CursorAt(300, 420), crNone) << "from the form, through the panel";
    form_->Cursor = crDefault;
    EXPECT_EQ(form_->CursorAt(300, 420), crDefault);
    panel.Visible = false;
    EXPECT_EQ(form_->CursorAt(300, 420), crHandPoint);
}

TEST_F(DisplayTest, CentredAndStretchedFlip) {
    Open(640, 480);
    // A back buffer smaller than the control is centred (with doCenter).
    draw_->AutoSize = true;
    draw_->SetBounds(0, 0, 320, 240);
    draw_->AutoSize = false;
    draw_->SetBounds(0, 0, 640, 480);
    ASSERT_EQ(Surface().Width(), 320);
    Surface().Fill(ColorToDevice(0xFFFFFF));
    draw_->Flip();
    const auto& shown = platform_->lastPresented();
    EXPECT_EQ(shown[120 * 640 + 160], ColorToDevice(0xFFFFFF));
    EXPECT_NE(shown[119 * 640 + 159], ColorToDevice(0xFFFFFF));
    auto o = draw_->Options();
    o.Add(doStretch);
    draw_->SetOptions(o);
    EXPECT_TRUE(draw_->NowOptions().Has(doStretch));
    draw_->Flip();
    EXPECT_EQ(platform_->lastPresented()[0], ColorToDevice(0xFFFFFF));
    EXPECT_EQ(platform_->lastPresented()[479 * 640 + 639], ColorToDevice(0xFFFFFF));
}

TEST_F(DisplayTest, CanvasLinesPixelsAndRelease) {
    Open();
    auto& canvas = Surface().Canvas();
    Surface().Fill(0);
    canvas.Pen.Color = 0xFFFF00;
    canvas.MoveTo(10, 10);
    canvas.LineTo(20, 10);
    EXPECT_EQ(canvas.Pixels(10, 10), 0xFFFF00u);
    EXPECT_EQ(canvas.Pixels(19, 10), 0xFFFF00u);
    EXPECT_EQ(canvas.Pixels(20, 10), 0u) << "the end point is not drawn";
    canvas.LineTo(20, 15);
    EXPECT_EQ(canvas.Pixels(20, 10), 0xFFFF00u);
    EXPECT_EQ(canvas.Pixels(20, 14), 0xFFFF00u);
    EXPECT_EQ(canvas.Pixels(20, 15), 0u);
    canvas.Pen.Color = 0x0000FF;
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(canvas.Pixels(i, i), 0x0000FFu);
    // Lines leaving the surface are clipped, not a fault.
    canvas.MoveTo(-50, 300);
    canvas.LineTo(700, 300);
    EXPECT_EQ(canvas.Pixels(639, 300), 0x0000FFu);
    // The deadly colours read back exactly.
    canvas.SetPixel(100, 100, 0x008000);
    canvas.SetPixel(101, 100, 0x00FF00);
    EXPECT_EQ(canvas.Pixels(100, 100), 0x008000u);
    EXPECT_EQ(canvas.Pixels(101, 100), 0x00FF00u);
    EXPECT_EQ(canvas.Pixels(-1, 0), 0xFFFFFFFFu);
    // While the canvas holds the device context, blits of the surface are refused.
    auto* item = AddPicture(NumberedPicture(4, 4), false);
    item->Draw(Surface(), 200, 200, 0);
    item->DrawRotated(Surface(), 200, 200, 4, 4, 0, 0, 0, 0, 255);
    EXPECT_EQ(Surface().At(200, 200), 0);
    canvas.Release();
    EXPECT_FALSE(canvas.HandleAllocated());
    item->Draw(Surface(), 200, 200, 0);
    EXPECT_NE(Surface().At(200, 200), 0);
    // A surface that refuses its device context makes the canvas complain.
    Surface().RefuseDC = true;
    try {
        canvas.SetPixel(0, 0, 0);
        FAIL();
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Canvas does not allow drawing");
    }
    Surface().RefuseDC = false;
}

TEST_F(DisplayTest, CanvasTextDrawsInTheFontColourOnAClearBrush) {
    Open();
    auto& canvas = Surface().Canvas();
    Surface().Fill(ColorToDevice(0x000080));
    canvas.Font.Size = 15;
    canvas.Font.Color = 0x00FFFF;
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.TextOut(10, 10, "Pauza ěščřžýáíé");
    canvas.Release();
    int ink = 0, background = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 400; ++x) {
            uint16_t p = Surface().At(x, y);
            if (p == ColorToDevice(0x00FFFF)) ++ink;
            if (p == ColorToDevice(0x000080)) ++background;
        }
    EXPECT_GT(ink, 100);
    EXPECT_GT(background, 10000) << "a clear brush leaves the background";
    EXPECT_EQ(Surface().At(5, 5), ColorToDevice(0x000080));
}

TEST(ModeSelection, PicksTheSmallestFittingModeAndFallsBack) {
    DisplayMode m;
    std::vector<DisplayMode> offered = {{640, 480, 8}, {640, 480, 16}, {800, 600, 16}};
    ASSERT_TRUE(TDXDrawDisplay::SelectMode(offered, 640, 480, 16, true, false, false, m));
    EXPECT_EQ(m.width, 640);
    EXPECT_EQ(m.bitCount, 16);
    // Missing at 16 bits but offered at 32: accepted, both above 8 bits.
    offered = {{1024, 768, 32}, {640, 480, 32}, {640, 480, 8}};
    ASSERT_TRUE(TDXDrawDisplay::SelectMode(offered, 640, 480, 16, true, false, false, m));
    EXPECT_EQ(m.width, 640);
    EXPECT_EQ(m.height, 480);
    EXPECT_EQ(m.bitCount, 32);
    // With a fixed bit count the 32-bit mode is not enough.
    EXPECT_FALSE(TDXDrawDisplay::SelectMode(offered, 640, 480, 16, true, false, true, m));
    // No 4:3 mode large enough: the ratio rule is dropped, the smallest larger mode wins,
    // and of two equal sizes the later one.
    offered = {{1280, 720, 32}, {1920, 1080, 32}, {1280, 720, 16}};
    ASSERT_TRUE(TDXDrawDisplay::SelectMode(offered, 640, 480, 16, true, false, false, m));
    EXPECT_EQ(m.width, 1280);
    EXPECT_EQ(m.bitCount, 16);
    // 4:3 preferred over a smaller 16:9 mode.
    offered = {{1280, 720, 16}, {1600, 1200, 16}};
    ASSERT_TRUE(TDXDrawDisplay::SelectMode(offered, 640, 480, 16, true, false, false, m));
    EXPECT_EQ(m.width, 1600);
    // Only 8-bit modes: not accepted for a 16-bit request.
    EXPECT_FALSE(TDXDrawDisplay::SelectMode({{640, 480, 8}}, 640, 480, 16, true, false, false, m));
    // Fixed size: only the exact size.
    EXPECT_FALSE(TDXDrawDisplay::SelectMode({{800, 600, 16}}, 640, 480, 16, false, true, false, m));
    EXPECT_FALSE(TDXDrawDisplay::SelectMode(offered, 0, 480, 16, true, false, false, m));
    EXPECT_FALSE(TDXDrawDisplay::SelectMode(offered, 640, 480, 12, true, false, false, m));
}

TEST_F(DisplayTest, EffectiveOptions) {
    TDXDraw fresh;
    // Without full screen the reboot permission goes too.
    EXPECT_EQ(fresh.NowOptions(), (TDXDrawOptions{doWaitVBlank, doCenter}));
    EXPECT_EQ(draw_->NowOptions(), (TDXDrawOptions{doFullScreen, doAllowReboot, doWaitVBlank, doCenter}));
    fresh.SetOptions({doFullScreen, doFlip, doSystemMemory, do3D, doHardware, doZBuffer});
    EXPECT_EQ(fresh.NowOptions(), (TDXDrawOptions{doFullScreen, doSystemMemory, do3D, doZBuffer}));
    Open();
    // While initialised only the wait, stretch and centre options follow.
    draw_->SetOptions({doStretch});
    EXPECT_EQ(draw_->NowOptions(), (TDXDrawOptions{doFullScreen, doAllowReboot, doStretch}));
    draw_->Finalize();
    EXPECT_EQ(draw_->NowOptions(), (TDXDrawOptions{doStretch}));
}

TEST(ModeSelection, AModeFoundWithTheRatioRuleThatCannotBeSetGivesWayToOneWithout) {
    using platform::DisplayMode;
    const std::vector<DisplayMode> offered = {{1280, 720, 16}, {1600, 1200, 16}, {1920, 1080, 32}};
    std::vector<DisplayMode> tried;
    auto refuse = [&](int width) {
        return [&tried, width](const DisplayMode& m) {
            tried.push_back(m);
            return m.width != width;
        };
    };
    DisplayMode m;
    // 1600 x 1200 is the 4:3 mode; the display refuses it, so 1280 x 720 is searched and set.
    ASSERT_TRUE(TDXDrawDisplay::SetBestMode(offered, 640, 480, 16, true, false, false, refuse(1600), m));
    EXPECT_EQ(m.width, 1280);
    ASSERT_EQ(tried.size(), 2u);
    EXPECT_EQ(tried[0].width, 1600);
    EXPECT_EQ(tried[1].width, 1280);
    // The first choice set at once: nothing else is tried.
    tried.clear();
    ASSERT_TRUE(TDXDrawDisplay::SetBestMode(offered, 640, 480, 16, true, false, false, refuse(0), m));
    EXPECT_EQ(m.width, 1600);
    EXPECT_EQ(tried.size(), 1u);
    // An exactly offered mode that fails gives way to the best of the others.
    tried.clear();
    const std::vector<DisplayMode> exact = {{640, 480, 16}, {800, 600, 16}};
    ASSERT_TRUE(TDXDrawDisplay::SetBestMode(exact, 640, 480, 16, true, false, false, refuse(640), m));
    EXPECT_EQ(m.width, 800);
    // Nothing that can be set: false, after two tries at most.
    tried.clear();
    auto never = [&](const DisplayMode& mode) {
        tried.push_back(mode);
        return false;
    };
    EXPECT_FALSE(TDXDrawDisplay::SetBestMode(offered, 640, 480, 16, true, false, false, never, m));
    EXPECT_EQ(tried.size(), 2u);
    EXPECT_FALSE(TDXDrawDisplay::SetBestMode({{640, 480, 8}}, 640, 480, 16, true, false, false, never, m));
}
