// The title's demonstrations: after half a minute on the title with no input, the window
// plays a recorded game (the player's best replay, else the demonstration the game ships
// with), marked as one in the caption and on the picture, with its sound; it is never
// recorded and never a best score. Any key, mouse button or pad button brings the title back
// at once, and that press does nothing more there; at its end the title comes back and the
// wait begins again. Opciones > "Demostración en el título" turns it off.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "runtime/messages.hpp"

namespace vek {

class TMainForm;
struct TGameRecord;
struct TPlaybackEnd;

// The demonstration that ships with the game: beside the program at programPath (the build
// folder), else in its install prefix's share/vektrion/; empty when neither has it.
std::string DemonstrationPath(const std::string& programPath);

class TAttractMode {
public:
    // How long the title waits without input before a demonstration, in milliseconds.
    static constexpr std::uint32_t kWait = 30000;
    // A pause between two ticks counts as at most this much waiting: the time a menu, a box
    // or another window held the game is not time spent looking at the title.
    static constexpr std::uint32_t kLongestStep = 1000;

    // recordings answers the replay files to try, best first, each time a demonstration is
    // due; one that cannot be read, or that stops matching its game, is said once through
    // warn and not tried again in this run.
    TAttractMode(TMainForm& form, std::function<std::vector<std::string>()> recordings,
                 TWarningSink warn = WarnOnStderr, std::uint32_t wait = kWait);
    ~TAttractMode();
    TAttractMode(const TAttractMode&) = delete;
    TAttractMode& operator=(const TAttractMode&) = delete;

    // A demonstration is playing.
    bool Demonstrating() const { return demonstrating_; }

private:
    void InputRead();
    void FrameDrawn();
    void Pressed();
    bool PadButtonPressed();
    void Rewind();
    void Start();
    bool Read(const std::string& path, TGameRecord& record);
    void Leave();
    void Ended(const TPlaybackEnd& end);
    void Refuse(const std::string& path, const std::string& why);

    TMainForm& form_;
    std::function<std::vector<std::string>()> recordings_;
    TWarningSink warn_;
    std::uint32_t wait_;
    std::function<void(const TPlaybackEnd&)> otherPlaybackEnd_;
    int hook_ = 0;
    std::uint32_t waited_ = 0;    // milliseconds on the title without input
    std::uint32_t lastSeen_ = 0;  // the clock when waited_ was last brought up to date
    std::uint32_t padButtons_ = 0;
    bool demonstrating_ = false;
    std::string playing_;
    std::set<std::string> refused_;
    std::string mark_;
};

}  // namespace vek
