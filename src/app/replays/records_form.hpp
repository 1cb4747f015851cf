// TfrmRecords: the table of best games, "Récords". One line per game with its rank, score,
// date and length; Enter, a double click or "Ver" watches the chosen game, Escape or
// "Cerrar" closes the table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/replays/replay_store.hpp"
#include "platform/toolkit/controls.hpp"
#include "platform/toolkit/dialog_form.hpp"

namespace vek {

// The table's text, its column heads first, then one line per game in the order given:
// rank, score, date in local time, length and player, " 1.   149900   2025-05-01 14:34 ...".
// Each column is as wide as its widest head or cell in characters (the table's face is of
// fixed width), so heads and rows line up whatever the language's words. tickMs is the
// length of a tick, the main window's timer Interval.
std::vector<std::string> RecordLines(const std::vector<TReplayEntry>& games, std::uint32_t tickMs);
// A game's length in minutes and seconds of play at tickMs milliseconds a tick: "0:44".
std::string PlayLength(int ticks, std::uint32_t tickMs);

class TfrmRecords : public platform::TDialogForm {
public:
    TfrmRecords(TComponent* owner, std::vector<TReplayEntry> games, std::uint32_t tickMs);

    std::unique_ptr<platform::TLabel> lblHeading;
    std::unique_ptr<platform::TListBox> lstGames;
    std::unique_ptr<platform::TButton> btnVer;
    std::unique_ptr<platform::TButton> btnCerrar;

    // The game chosen to be watched once the table closed with mrOk.
    const TReplayEntry* Chosen() const;

private:
    void btnVerClick();

    std::vector<TReplayEntry> games_;
};

}  // namespace vek
