// Recording a game's inputs and state hashes, and checking a replayed game against them.
#include "game/game_record.hpp"

#include <bit>
#include <utility>

#include "game/scenes.hpp"
#include "sprite/image_sprite.hpp"
#include "sprite/sprite.hpp"

namespace vek {

namespace {

class StateHasher {
public:
    void Add(std::uint64_t value) {
        for (int shift = 0; shift < 64; shift += 8) {
            hash_ ^= (value >> shift) & 0xFF;
            hash_ *= 0x100000001b3ull;
        }
    }
    void Add(double value) { Add(std::bit_cast<std::uint64_t>(value)); }
    void Add(int value) { Add(static_cast<std::uint64_t>(static_cast<std::int64_t>(value))); }
    void Add(bool value) { Add(std::uint64_t{value}); }

    void AddTree(const TSprite& sprite) {
        Add(sprite.X);
        Add(sprite.Y);
        Add(sprite.Z());
        Add(sprite.Width);
        Add(sprite.Height);
        Add(sprite.Visible);
        Add(sprite.Collisioned);
        Add(sprite.IsDead());
        if (const auto* image = dynamic_cast<const TImageSprite*>(&sprite)) Add(image->AnimPos);
        Add(sprite.ChildCount());
        for (int i = 0; i < sprite.ChildCount(); ++i) AddTree(sprite.Children(i));
    }
    std::uint64_t Value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// what ends in "at second %s (tick %s)", filled in after its own values.
TPlaybackEnd Differs(int tick, const char* what, std::vector<std::string> values = {}) {
    TPlaybackEnd end;
    end.Second = SecondOfTick(tick);
    values.push_back(std::to_string(end.Second));
    values.push_back(std::to_string(tick));
    end.Reason = {what, std::move(values)};
    end.Why = end.Reason.Written();
    return end;
}

}  // namespace

std::uint64_t GameStateHash(const TGame& game, const TSprite& root) {
    StateHasher hasher;
    hasher.Add(std::uint64_t{game.RandomGenerator().Seed()});
    hasher.Add(game.Score);
    hasher.Add(game.FrameCount);
    hasher.Add(game.SpawnIndex);
    hasher.AddTree(root);
    return hasher.Value();
}

void TGameTape::Begin(std::uint32_t seed) {
    recording_ = TGameRecord{};
    recording_.Seed = seed;
    last_ = TInputStates();
}

void TGameTape::StartPlayback(TGameRecord record) {
    playback_ = std::move(record);
    nextInput_ = 0;
    nextCheck_ = 0;
    last_ = TInputStates();
}

void TGameTape::TickStarted(int tick, TInputStates& states) {
    if (!playback_) {
        if (states != last_) recording_.Inputs.push_back({tick, states});
        last_ = states;
        return;
    }
    const auto& inputs = playback_->Inputs;
    while (nextInput_ < inputs.size() && inputs[nextInput_].Tick <= tick) last_ = inputs[nextInput_++].States;
    states = last_;
}

std::optional<TPlaybackEnd> TGameTape::TickEnded(int tick, bool endAsked, const TGame& game,
                                                 const TSprite& root) {
    if (!playback_) {
        if (IsCheckTick(tick) && !endAsked) recording_.Checks.push_back({tick, GameStateHash(game, root)});
        return std::nullopt;
    }
    const TGameRecord& record = *playback_;
    if (IsCheckTick(tick) && !endAsked) {
        const bool listed = nextCheck_ < record.Checks.size() && record.Checks[nextCheck_].Tick == tick;
        if (!listed || record.Checks[nextCheck_++].Hash != GameStateHash(game, root))
            return Differs(tick,
                           trLater("the game's state differs from the replay's at second %s (tick %s)"));
    }
    if (endAsked) {
        if (tick + 1 != record.Ticks)
            return Differs(tick,
                           trLater("the game ends earlier than the replay says at second %s (tick %s)"));
        if (game.Score != record.Score)
            return Differs(tick, trLater("the game ends with %s points, not %s at second %s (tick %s)"),
                           {std::to_string(game.Score), std::to_string(record.Score)});
        TPlaybackEnd end;
        end.Ok = true;
        end.Second = SecondOfTick(tick);
        return end;
    }
    if (tick + 1 >= record.Ticks)
        return Differs(tick, trLater("the game goes on where the replay ends at second %s (tick %s)"));
    return std::nullopt;
}

TGameRecord TGameTape::Finish(int ticks, int score) {
    recording_.Ticks = ticks;
    recording_.Score = score;
    return std::exchange(recording_, TGameRecord{});
}

}  // namespace vek
