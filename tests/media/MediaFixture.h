// A headless form with an initialised display, for the media tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "media/DXDraw.h"
#include "media/DXImageList.h"
#include "media/Errors.h"
#include "media/Forms.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

class HeadlessDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        media::Application().ResetForTests();
        platform_ = platform::createHeadlessPlatform(25);
        platform::setCurrent(platform_.get());
        control_ = platform::headlessControl(*platform_);
        form_ = std::make_unique<media::TDXForm>();
        media::Application().SetMainForm(form_.get());
        draw_ = std::make_unique<media::TDXDraw>();
        draw_->SetParent(form_.get());
        form_->SetDisplayControl(draw_.get());
        draw_->Display.SetBitCount(16);
        draw_->SetOptions({media::doFullScreen, media::doAllowReboot, media::doWaitVBlank, media::doCenter,
                           media::doRetainedMode, media::doHardware, media::doSelectDriver});
    }
    void TearDown() override {
        lists_.clear();
        draw_.reset();
        form_.reset();
        platform::setCurrent(nullptr);
        platform_.reset();
        media::Application().ResetForTests();
    }
    // Initialises the display at w x h.
    void Open(int w = 640, int h = 480) {
        draw_->SetBounds(0, 0, w, h);
        draw_->Initialize();
    }
    // An image list attached to the display holding one picture.
    media::TPictureCollectionItem* AddPicture(std::shared_ptr<media::TDIB> dib, bool transparent = true,
                                              media::TColor key = 0) {
        auto list = std::make_unique<media::TDXImageList>();
        auto* item = list->Items.Add();
        item->SetPicture(std::move(dib));
        item->Transparent = transparent;
        item->SetTransparentColor(key);
        list->SetDXDraw(draw_.get());
        lists_.push_back(std::move(list));
        return item;
    }
    media::TDirectDrawSurface& Surface() { return draw_->Surface(); }

    std::unique_ptr<platform::Platform> platform_;
    platform::HeadlessControl* control_ = nullptr;
    std::unique_ptr<media::TDXForm> form_;
    std::unique_ptr<media::TDXDraw> draw_;
    std::vector<std::unique_ptr<media::TDXImageList>> lists_;
};

// A picture whose every pixel has its own colour (so placements can be told apart).
inline std::shared_ptr<media::TDIB> NumberedPicture(int w, int h) {
    auto dib = std::make_shared<media::TDIB>(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dib->SetPixel(x, y, 0x101010u + uint32_t(x) * 0x000800u + uint32_t(y) * 0x080000u + 0x40);
    return dib;
}
