// The table of best games in every language the build has a catalogue for: each column head
// stands over its cells, numbers under heads that end where they end, texts under heads that
// start where they start, whatever the length of the language's words.
#include "app/replays/records_form.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/translation.hpp"

namespace vek {
namespace {

std::vector<std::string> CataloguedLanguages() {
    std::vector<std::string> languages;
    for (const auto& entry : std::filesystem::directory_iterator(VEK_LOCALE_DIR))
        languages.push_back(entry.path().filename().string());
    std::sort(languages.begin(), languages.end());
    return languages;
}

// The character (not byte) column where text starts in line, searched from the byte from on;
// from moves past it.
std::size_t ColumnOf(const std::string& line, const std::string& text, std::size_t& from) {
    const std::size_t at = line.find(text, from);
    EXPECT_NE(at, std::string::npos) << '"' << text << "\" in \"" << line << '"';
    if (at == std::string::npos) return 0;
    from = at + text.size();
    return static_cast<std::size_t>(std::count_if(line.begin(),
                                                  line.begin() + static_cast<std::ptrdiff_t>(at),
                                                  [](char c) { return (c & 0xC0) != 0x80; }));
}

// Where a head or cell starts and ends, in characters.
struct Span {
    std::size_t start, end;
};

std::vector<Span> Spans(const std::string& line, const std::vector<std::string>& texts) {
    std::vector<Span> spans;
    std::size_t from = 0;
    for (const std::string& text : texts) {
        const std::size_t start = ColumnOf(line, text, from);
        const std::size_t length = static_cast<std::size_t>(
            std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
        spans.push_back({start, start + length});
    }
    return spans;
}

TEST(RecordsForm, HeadsAndRowsLineUpInEveryLanguage) {
    constexpr std::uint32_t kTickMs = 33;
    const std::vector<TReplayEntry> games = {
        {"a", "2025-05-01T12:34:56Z", "Ana P\xC3\xA9rez", 149900, 1335},
        {"b", "2025-05-02T12:00:00Z", "Zo\xC3\xAB", 5, 300000},
    };
    const std::vector<std::string> languages = CataloguedLanguages();
    ASSERT_GE(languages.size(), 5u);
    for (const std::string& language : languages) {
        useLanguages(VEK_LOCALE_DIR, language);
        const std::vector<std::string> lines = RecordLines(games, kTickMs);
        ASSERT_EQ(lines.size(), 3u);
        const auto heads =
            Spans(lines[0], {tr("#"), tr("Puntos"), tr("Fecha"), tr("Duración"), tr("Jugador")});
        for (std::size_t i = 0; i < games.size(); ++i) {
            const TReplayEntry& game = games[i];
            const auto cells =
                Spans(lines[i + 1], {std::to_string(i + 1) + ".", std::to_string(game.Score),
                                     game.Date.substr(0, 8), PlayLength(game.Ticks, kTickMs), game.Player});
            const std::string where = language + ":\n" + lines[0] + "\n" + lines[i + 1];
            EXPECT_EQ(heads[0].end, cells[0].end - 1) << where;  // the rank's dot follows its column
            EXPECT_EQ(heads[1].end, cells[1].end) << where;
            EXPECT_EQ(heads[2].start, cells[2].start) << where;
            EXPECT_EQ(heads[3].end, cells[3].end) << where;
            EXPECT_EQ(heads[4].start, cells[4].start) << where;
        }
    }
    useLanguages("", "");
}

}  // namespace
}  // namespace vek
