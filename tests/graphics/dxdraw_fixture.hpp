// A display on a form with the recording graphics device installed, a recording listener
// and recorded events, shared by the display's behaviour tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/dxdraw.hpp"
#include "graphics/fake_graphics.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/toolkit/form.hpp"

namespace vek::testing {

inline const char* noticeName(TDisplayNotice notice) {
    static const char* const names[] = {"Destroying", "Initializing",    "Initialize", "InitializeSurface",
                                        "Finalize",   "FinalizeSurface", "Restore",    "SurfaceSize"};
    return names[static_cast<int>(notice)];
}

// The text of the error of class E that action raises.
template <class E>
std::string errorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "(no error)";
}

// Records every notice it hears as "<tag>:<notice>".
struct RecordingListener {
    std::string tag;
    std::vector<std::string>* record;
    static void Notify(void* object, TCustomDXDraw&, TDisplayNotice notice) {
        auto* self = static_cast<RecordingListener*>(object);
        self->record->push_back(self->tag + ":" + noticeName(notice));
    }
};

template <class Backend>
class DXDrawTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        installed_ = std::make_unique<platform::headless::ScopedPlatform>(backend);
        draw = std::make_unique<TDXDraw>(&form);
        draw->OnInitializing = [this](TCustomDXDraw&) { record.push_back("OnInitializing"); };
        draw->OnInitialize = [this](TCustomDXDraw&) { record.push_back("OnInitialize"); };
        draw->OnInitializeSurface = [this](TCustomDXDraw&) { record.push_back("OnInitializeSurface"); };
        draw->OnFinalize = [this](TCustomDXDraw&) { record.push_back("OnFinalize"); };
        draw->OnFinalizeSurface = [this](TCustomDXDraw&) { record.push_back("OnFinalizeSurface"); };
        draw->OnRestoreSurface = [this](TCustomDXDraw&) { record.push_back("OnRestoreSurface"); };
    }
    void TearDown() override {
        draw.reset();
        installed_.reset();
    }
    void listen(RecordingListener& listener) { draw->AddNotify(&RecordingListener::Notify, &listener); }
    // The game's full-screen request.
    void askFullScreen() {
        draw->SetOptions(draw->Options() + TDXDrawOptions{doFullScreen});
        draw->Display().FixedBitCount = true;
        draw->Display().FixedRatio = true;
        draw->Display().FixedSize = false;
        draw->Display().SetWidth(640);
        draw->Display().SetHeight(480);
        draw->Display().SetBitCount(8);
    }

    Backend backend;
    platform::TCustomForm form{nullptr};
    std::unique_ptr<TDXDraw> draw;
    std::vector<std::string> record;
    RecordingListener listener{"L", &record};

private:
    std::unique_ptr<platform::headless::ScopedPlatform> installed_;
};

class DXDrawTest : public DXDrawTestBase<FakeGraphicsPlatform> {
protected:
    FakeGraphicsState& state() { return backend.graphicsSystem.state; }
};

}  // namespace vek::testing
