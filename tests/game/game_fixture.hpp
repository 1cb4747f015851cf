// The running game for tests: the real main window on the headless backend through the
// scripted run, with helpers to play ticks, reach the playing scene and look at sprites.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/window/main_form.hpp"
#include "game/scenes.hpp"
#include "media/dxinput.hpp"
#include "script/scripted_run.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek::testing {

inline const script::TKeys kNoKeys;
inline const script::TKeys kSpace{script::KeyOfName("space")};

class GameTest : public ::testing::Test {
protected:
    TMainForm& form() { return run.Form(); }
    TGame& game() { return form().Game(); }
    TSpriteEngine& engine() { return form().SpriteEngine->Engine(); }

    script::TTickReport Tick(const script::TKeys& keys = kNoKeys) { return run.StepAndReport(keys); }
    // Space on the first title tick starts a game; the bar is then released.
    void StartPlaying() {
        Tick(kSpace);
        ASSERT_EQ(game().Scene, scMain);
        Tick();
    }
    // The playing scene with an empty sprite tree, for sprites placed by hand.
    void StartWithEmptyTree() {
        StartPlaying();
        engine().Clear();
    }
    // One move pass of the sprite tree with these input states held, then the dead freed.
    void Move(TInputStates held = {}) {
        form().DXInput->SetStates(held);
        form().SpriteEngine->Move(kMoveCount);
        form().SpriteEngine->Dead();
    }
    template <class T>
    std::vector<T*> All() {
        std::vector<T*> found;
        for (int i = 0; i < engine().ChildCount(); ++i)
            if (auto* sprite = dynamic_cast<T*>(&engine().Children(i))) found.push_back(sprite);
        return found;
    }

    script::TScriptedRun run;
};

}  // namespace vek::testing
