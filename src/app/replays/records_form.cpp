// The table of best games.
#include "app/replays/records_form.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "runtime/translation.hpp"

namespace vek {

namespace {

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

// A column of the table: its head and cells, numbers right-aligned under a head that is too.
// Before separates it from the column to its left; Mark follows every cell and stands as
// spaces after the head ("1." under "#").
struct RecordColumn {
    std::string Head;
    bool Right = false;
    std::size_t MinWidth = 0;
    const char* Before = "   ";
    const char* Mark = "";
    std::vector<std::string> Cells;
};

// Characters, not bytes: the table's face gives each the same width.
std::size_t CharacterCount(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, std::size_t width, bool right) {
    const std::string fill(width - std::min(width, CharacterCount(text)), ' ');
    return right ? fill + text : text + fill;
}

std::vector<RecordColumn> RecordColumns(const std::vector<TReplayEntry>& games, std::uint32_t tickMs) {
    // The heads may be of any length: the columns widen to fit them.
    std::vector<RecordColumn> columns{
        // TRANSLATORS: the records table's head over each game's rank (1 to 10).
        {tr("#"), true, 2, "", ".", {}},
        // TRANSLATORS: the records table's head over each game's score.
        {tr("Puntos"), true, 7, "  ", "", {}},
        // TRANSLATORS: the records table's head over the date and time each game ended.
        {tr("Fecha"), false, 0, "   ", "", {}},
        // TRANSLATORS: the records table's head over each game's length of play ("0:44").
        {tr("Duración"), true, 0, "   ", "", {}},
        // TRANSLATORS: the records table's head over the name of each game's player.
        {tr("Jugador"), false, 0, "   ", "", {}}};
    for (std::size_t i = 0; i < games.size(); ++i) {
        const TReplayEntry& game = games[i];
        const std::string cells[] = {std::to_string(i + 1), std::to_string(game.Score), LocalDate(game.Date),
                                     PlayLength(game.Ticks, tickMs), game.Player};
        for (std::size_t c = 0; c < columns.size(); ++c) columns[c].Cells.push_back(cells[c]);
    }
    return columns;
}

}  // namespace

std::string PlayLength(int ticks, std::uint32_t tickMs) {
    const long long seconds = static_cast<long long>(ticks) * tickMs / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::vector<std::string> RecordLines(const std::vector<TReplayEntry>& games, std::uint32_t tickMs) {
    std::vector<std::string> lines(games.size() + 1);
    for (const RecordColumn& column : RecordColumns(games, tickMs)) {
        std::size_t width = std::max(column.MinWidth, CharacterCount(column.Head));
        for (const std::string& cell : column.Cells) width = std::max(width, CharacterCount(cell));
        lines[0] += column.Before + Padded(column.Head, width, column.Right) +
                    std::string(CharacterCount(column.Mark), ' ');
        for (std::size_t i = 0; i < column.Cells.size(); ++i)
            lines[i + 1] += column.Before + Padded(column.Cells[i], width, column.Right) + column.Mark;
    }
    for (std::string& line : lines) line.erase(line.find_last_not_of(' ') + 1);
    return lines;
}

TfrmRecords::TfrmRecords(TComponent* owner, std::vector<TReplayEntry> games, std::uint32_t tickMs)
    : platform::TDialogForm(owner), games_(std::move(games)) {
    SetName("frmRecords");
    Caption = tr("Récords");
    ClientWidth = 460;
    ClientHeight = 56 + kLines * kLineHeight + 44;
    Font = platform::TFont{"DejaVu Sans Mono", -12, clBlack, false};
    if (games_.size() > static_cast<std::size_t>(kLines)) games_.resize(kLines);
    const std::vector<std::string> lines = RecordLines(games_, tickMs);
    lblHeading = std::make_unique<platform::TLabel>(*this, "lblHeading");
    lblHeading->SetBounds(12, 12, 436, 16);
    lblHeading->Caption = games_.empty() ? tr("Todavía no hay partidas terminadas.") : lines[0];
    lstGames = std::make_unique<platform::TListBox>(*this, "lstGames");
    lstGames->SetBounds(12, 34, 436, kLines * kLineHeight + 6);
    lstGames->ItemHeight = kLineHeight;
    lstGames->Items.assign(lines.begin() + 1, lines.end());
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
