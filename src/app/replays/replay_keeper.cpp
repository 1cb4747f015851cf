// Keeping, listing and watching the games of the main window.
#include "app/replays/replay_keeper.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <utility>

#include "app/replays/records_form.hpp"
#include "app/window/main_form.hpp"
#include "game/scenes.hpp"
#include "media/dxtimer.hpp"
#include "platform/platform.hpp"
#include "runtime/messages.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/translation.hpp"
#include "runtime/version.hpp"

namespace vek {

namespace {

// TRANSLATORS: in the box that tells why a replay cannot be watched: the file's name, then
// the reason.
constexpr const char* kFileFault = trLater("%s: %s");

}  // namespace

std::string PlayerName() {
    if (const passwd* user = ::getpwuid(::getuid())) {
        const std::string gecos = user->pw_gecos ? user->pw_gecos : "";
        const std::string full = gecos.substr(0, gecos.find(','));
        if (!full.empty()) return full;
        if (user->pw_name && user->pw_name[0]) return user->pw_name;
    }
    const char* login = std::getenv("USER");
    return login && login[0] ? login : "?";
}

TReplayKeeper::TReplayKeeper(TMainForm& form, std::string folder, std::function<bool()> saveWanted,
                             TWarningSink warn)
    : form_(form),
      store_(std::move(folder), warn),
      saveWanted_(std::move(saveWanted)),
      warn_(std::move(warn)) {
    TGame& game = form_.Game();
    const auto games = store_.Games();
    if (!games.empty()) game.BestScore = games.front().Score;
    game.OnGameRecorded = [this](const TGameRecord& record) { Recorded(record); };
    game.OnPlaybackEnd = [this](const TPlaybackEnd& end) { PlaybackEnded(end); };
    form_.OnRecords = [this] { ShowRecords(); };
}

TReplayKeeper::~TReplayKeeper() {
    form_.Game().OnGameRecorded = nullptr;
    form_.Game().OnPlaybackEnd = nullptr;
    form_.OnRecords = nullptr;
}

void TReplayKeeper::Recorded(const TGameRecord& record) {
    if (saveWanted_ && !saveWanted_()) return;
    TReplayFile replay;
    replay.Game = kApplicationTitle;
    replay.Date = ReplayDate(static_cast<long long>(std::time(nullptr)));
    replay.Player = PlayerName();
    replay.Record = record;
    lastSaved_ = store_.Save(replay);
}

bool TReplayKeeper::Watch(const std::string& path) {
    TReplayFile replay;
    if (const auto fault = LoadReplayFile(path, replay)) {
        Tell(path, fault->Written, fault->Translated);
        return false;
    }
    // A replay still playing is left first, so that its end does not take the new file's name.
    form_.Game().StopPlayback();
    watching_ = path;
    // TRANSLATORS: the caption's mark while a replay runs: the player's name, then the score.
    form_.SetCaptionNote(" - " + fillIn(tr("repetición: %s, %s puntos"),
                                        {replay.Player, std::to_string(replay.Record.Score)}));
    form_.Game().StartPlayback(std::move(replay.Record));
    return true;
}

void TReplayKeeper::PlaybackEnded(const TPlaybackEnd& end) {
    form_.SetCaptionNote({});
    const std::string path = std::exchange(watching_, {});
    if (!end.Ok && !end.Stopped) Tell(path, end.Why, end.Reason.Translated());
}

// stderr keeps its English and its escapes; the box shows the file's name as the player
// wrote it wherever it is text that can be shown, and the reason in the player's language.
void TReplayKeeper::Tell(const std::string& path, const std::string& why, const std::string& shownWhy) {
    warn_(MessagePrefix() + shownText(path) + ": " + why);
    platform::current().application().messageBox(tr("No se puede ver la repetición.") + std::string("\r") +
                                                     fillIn(tr(kFileFault), {shownUtf8Name(path), shownWhy}),
                                                 tr("Récords"), platform::MB_OK | platform::MB_ICONERROR);
}

std::string TReplayKeeper::BestReplayPath() {
    const auto games = store_.Games();
    return games.empty() ? std::string() : store_.Folder() + "/" + games.front().Name;
}

// The game is held behind the table and given back as it was (a game the player paused
// stays paused, whatever the pad's Start did meanwhile).
void TReplayKeeper::ShowRecords() {
    const auto box = std::make_unique<TfrmRecords>(&form_, store_.Games(), form_.DXTimer->Interval());
    {
        const TMainForm::TModalHold hold(form_);
        box->ShowModal();
    }
    if (const TReplayEntry* chosen = box->Chosen()) Watch(store_.Folder() + "/" + chosen->Name);
}

}  // namespace vek
