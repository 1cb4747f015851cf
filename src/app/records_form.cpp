// The table of best games.
#include "app/records_form.hpp"

#include <cstdio>
#include <ctime>

#include "runtime/translation.hpp"

namespace vek {

namespace {

constexpr int kTickMilliseconds = 33;
constexpr int kLines = 10;
constexpr int kLineHeight = 18;

// "2025-05-01T12:34:56Z" as "2025-05-01 14:34" in the local time.
std::string LocalDate(const std::string& date) {
    std::tm utc{};
    if (std::sscanf(date.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ", &utc.tm_year, &utc.tm_mon, &utc.tm_mday,
                    &utc.tm_hour, &utc.tm_min, &utc.tm_sec) != 6)
        return date;
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    const std::time_t time = ::timegm(&utc);
    std::tm local{};
    if (!localtime_r(&time, &local)) return date;
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

}  // namespace

std::string PlayLength(int ticks) {
    const long long seconds = static_cast<long long>(ticks) * kTickMilliseconds / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::string RecordLine(int rank, const TReplayEntry& game) {
    char head[48];
    std::snprintf(head, sizeof head, "%2d.  %7d   ", rank, game.Score);
    return head + LocalDate(game.Date) + "   " + PlayLength(game.Ticks) + "   " + game.Player;
}

TfrmRecords::TfrmRecords(TComponent* owner, std::vector<TReplayEntry> games)
    : platform::TDialogForm(owner), games_(std::move(games)) {
    SetName("frmRecords");
    Caption = tr("Récords");
    ClientWidth = 460;
    ClientHeight = 56 + kLines * kLineHeight + 44;
    Font = platform::TFont{"DejaVu Sans Mono", -12, clBlack, false};
    lblHeading = std::make_unique<platform::TLabel>(*this, "lblHeading");
    lblHeading->SetBounds(12, 12, 436, 16);
    // TRANSLATORS: the column heads stand over a fixed-width list: keep each one starting
    // where the Spanish one does.
    lblHeading->Caption = games_.empty() ? tr("Todavía no hay partidas terminadas.")
                                         : tr(" #   Puntos   Fecha              Duración  Jugador");
    lstGames = std::make_unique<platform::TListBox>(*this, "lstGames");
    lstGames->SetBounds(12, 34, 436, kLines * kLineHeight + 6);
    lstGames->ItemHeight = kLineHeight;
    for (std::size_t i = 0; i < games_.size() && i < kLines; ++i)
        lstGames->Items.push_back(RecordLine(static_cast<int>(i) + 1, games_[i]));
    lstGames->SetItemIndex(lstGames->Items.empty() ? -1 : 0);
    const int buttons = ClientHeight - 36;
    btnVer = std::make_unique<platform::TButton>(*this, "btnVer");
    btnVer->SetBounds(292, buttons, 75, 25);
    btnVer->Caption = tr("&Ver");
    btnVer->Default = true;
    btnVer->OnClick = [this] { btnVerClick(); };
    btnCerrar = std::make_unique<platform::TButton>(*this, "btnCerrar");
    btnCerrar->SetBounds(373, buttons, 75, 25);
    btnCerrar->Caption = tr("&Cerrar");
    btnCerrar->ModalResult = platform::mrCancel;
}

const TReplayEntry* TfrmRecords::Chosen() const {
    const int index = lstGames->ItemIndex();
    if (ModalResult() != platform::mrOk || index < 0 || index >= static_cast<int>(lstGames->Items.size()))
        return nullptr;
    return &games_[static_cast<std::size_t>(index)];
}

void TfrmRecords::btnVerClick() {
    if (lstGames->ItemIndex() >= 0) SetModalResult(platform::mrOk);
}

}  // namespace vek
