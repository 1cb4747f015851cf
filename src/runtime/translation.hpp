// The texts a player sees, in the player's language: gettext's catalogues of the "vektrion"
// domain, keyed by the game's own texts (most of them Spanish). Until useLanguages has been
// given a language every lookup answers its key, so the replay tool and the tests see the
// game's own texts whatever the locale they run in.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vek {

inline constexpr const char* kTextDomain = "vektrion";

// The text in the player's language, or text itself when no catalogue has it. New texts a
// player sees go through tr(), so that `make` finds them for the template.
const char* tr(const char* text);
std::string tr(const std::string& text);
// Marks a text for the template where it is written down, for a tr() of it later on.
constexpr const char* trLater(const char* text) {
    return text;
}

// format with each "%s" replaced by the next of values and "%%" by "%"; a "%s" with no
// value left, and any other '%', stay as they are. Translated formats come from files, so
// nothing in them is handed to printf.
std::string fillIn(std::string_view format, std::initializer_list<std::string_view> values);

// A reason told on the command line as written and in a window in the player's language:
// Format is marked with trLater where it is written, Values are filled into it.
struct TFilledText {
    const char* Format = "";
    std::vector<std::string> Values;

    std::string Written() const;     // Format with Values filled in
    std::string Translated() const;  // tr(Format) with Values filled in
};

// What the environment says of the language, as gettext reads it.
struct TLocaleEnvironment {
    std::string language;    // LANGUAGE: a list such as "fr:en"
    std::string lcAll;       // LC_ALL
    std::string lcMessages;  // LC_MESSAGES
    std::string lang;        // LANG
    static TLocaleEnvironment current();
};

// A language or a list of them as gettext takes it ("fr", "pt_BR.UTF-8", "de:en"): letters,
// digits and _ @ . - with ':' between languages, at most kMaxLanguageList long.
inline constexpr std::size_t kMaxLanguageList = 100;
bool isLanguageList(std::string_view list);

// The list of languages to try, in gettext's "fr:en" form: the settings' language when it
// names one, else LANGUAGE, else the messages locale (the first of LC_ALL, LC_MESSAGES and
// LANG that is set). A C or POSIX messages locale, or none, answers an empty list (the
// game's own texts) and LANGUAGE is not read then, as gettext does; C.UTF-8 reads it.
std::string chooseLanguages(const TLocaleEnvironment& environment, std::string_view setting);

// Looks texts up in the catalogues under localeDir (LANGUAGE/LC_MESSAGES/vektrion.mo) for
// the languages of the list, first found first; an empty list gives the game's own texts.
// The list goes to LANGUAGE, which programs the game starts (the web browser) see too.
void useLanguages(const std::string& localeDir, const std::string& languages);

// Where the catalogues are for the program at programPath: locale/ beside it in a build
// folder, else share/locale of the prefix it is installed under (bin/ or games/).
std::string localeFolder(const std::string& programPath);

}  // namespace vek
