// Text lookup through gettext, the choice of the language and where the catalogues lie.
#include "runtime/translation.hpp"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vek {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// C and POSIX, with or without a character set ("C.UTF-8"), name no language.
bool namesNoLanguage(std::string_view locale) {
    const std::string_view base = locale.substr(0, locale.find('.'));
    return base.empty() || base == "C" || base == "POSIX";
}

template <class Iterator>
std::string fillInRange(std::string_view format, Iterator next, Iterator end) {
    std::string out;
    out.reserve(format.size());
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 's' && next != end) {
                out += *next++;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

}  // namespace

bool isLanguageList(std::string_view list) {
    if (list.empty() || list.size() > kMaxLanguageList) return false;
    for (const char c : list) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain && std::string_view("_@.-:").find(c) == std::string_view::npos) return false;
    }
    return true;
}

// The empty key is the catalogue's header, which is no text of the game.
const char* tr(const char* text) {
    return *text ? dgettext(kTextDomain, text) : text;
}

std::string tr(const std::string& text) {
    return tr(text.c_str());
}

std::string fillIn(std::string_view format, std::initializer_list<std::string_view> values) {
    return fillInRange(format, values.begin(), values.end());
}

std::string TFilledText::Written() const {
    return fillInRange(Format, Values.begin(), Values.end());
}

std::string TFilledText::Translated() const {
    return fillInRange(tr(Format), Values.begin(), Values.end());
}

TLocaleEnvironment TLocaleEnvironment::current() {
    return {variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")};
}

std::string chooseLanguages(const TLocaleEnvironment& environment, std::string_view setting) {
    if (isLanguageList(setting)) return std::string(setting);
    std::string locale = environment.lcAll;
    if (locale.empty()) locale = environment.lcMessages;
    if (locale.empty()) locale = environment.lang;
    // gettext passes LANGUAGE over in the C locale itself, not in C.UTF-8.
    if (locale.empty() || locale == "C" || locale == "POSIX") return {};
    if (isLanguageList(environment.language)) return environment.language;
    return isLanguageList(locale) && !namesNoLanguage(locale) ? locale : std::string();
}

void useLanguages(const std::string& localeDir, const std::string& languages) {
    if (languages.empty()) {
        std::setlocale(LC_MESSAGES, "C");
        return;
    }
    // gettext reads LANGUAGE only while the messages locale is not C; a locale the system
    // has not generated leaves C, so C.UTF-8 (always there, and no C to gettext) stands in.
    // Setting the locale after LANGUAGE also drops what earlier lookups kept.
    setenv("LANGUAGE", languages.c_str(), 1);
    const char* locale = std::setlocale(LC_MESSAGES, "");
    if (!locale || namesNoLanguage(locale)) std::setlocale(LC_MESSAGES, "C.UTF-8");
    bindtextdomain(kTextDomain, localeDir.c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

std::string localeFolder(const std::string& programPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::path(programPath).parent_path();
    if (fs::is_directory(folder / "locale", error)) return (folder / "locale").string();
    return (folder.parent_path() / "share" / "locale").string();
}

}  // namespace vek
