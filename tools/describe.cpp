// vektrion-describe SOURCE OUT.cpp [OUT.bin]: compiles a window description source (see
// assets/main_form.desc for its syntax) with the pictures and sounds it names into the
// compact binary form of assets/description_reader.hpp, and writes that form as a C++
// source that embeds it (and, if asked, as a plain file). Pictures and sounds are checked
// with the program's own readers. Errors: exit 1 with "FILE:LINE: reason" on stderr. It runs
// at build time only and is not installed.
// With --texts it writes the captions that the game shows in the player's language as a
// PO template instead, for the build to merge into po/vektrion.pot.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "assets/description_reader.hpp"
#include "graphics/dib.hpp"
#include "graphics/picture.hpp"
#include "media/key_bindings.hpp"
#include "media/wave.hpp"
#include "runtime/arguments.hpp"
#include "runtime/exception.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/stream.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

struct Token {
    enum class Kind { Word, Number, String, Punct, End } kind = Kind::End;
    std::string text;
    std::int64_t number = 0;
    int line = 0;
};

class SourceError : public std::runtime_error {
public:
    SourceError(const std::string& file, int line, const std::string& reason)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + reason) {}
};

// Splits the source into words (letters, digits, '_', '.', '-'), numbers (decimal or
// 0x hexadecimal, optionally negative), strings in double quotes with \" \\ \n \t, and the
// punctuation { } [ ] ( ) , :. A '#' outside a string starts a comment.
class Lexer {
public:
    Lexer(std::string text, std::string file) : text_(std::move(text)), file_(std::move(file)) {}

    std::vector<Token> Tokens() {
        std::vector<Token> tokens;
        for (skipBlanks(); pos_ < text_.size(); skipBlanks()) tokens.push_back(next());
        tokens.push_back(Token{Token::Kind::End, "end of file", 0, line_});
        return tokens;
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                if (c == '\n') ++line_;
                ++pos_;
            } else {
                return;
            }
        }
    }

    static bool wordChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
    }

    Token next() {
        const char c = text_[pos_];
        if (c == '"') return string();
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '-' && pos_ + 1 < text_.size() &&
             std::isdigit(static_cast<unsigned char>(text_[pos_ + 1]))))
            return number();
        if (wordChar(c)) {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && (wordChar(text_[pos_]) || text_[pos_] == '-')) ++pos_;
            return Token{Token::Kind::Word, text_.substr(start, pos_ - start), 0, line_};
        }
        if (std::string_view("{}[](),:").find(c) == std::string_view::npos)
            throw SourceError(file_, line_, std::string("unexpected character '") + c + "'");
        ++pos_;
        return Token{Token::Kind::Punct, std::string(1, c), 0, line_};
    }

    Token number() {
        const std::size_t start = pos_;
        if (text_[pos_] == '-') ++pos_;
        while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        const std::string text = text_.substr(start, pos_ - start);
        std::size_t used = 0;
        std::int64_t value = 0;
        try {
            value = std::stoll(text, &used, 0);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != text.size()) throw SourceError(file_, line_, "not a number: " + text);
        return Token{Token::Kind::Number, text, value, line_};
    }

    Token string() {
        std::string value;
        for (++pos_; pos_ < text_.size() && text_[pos_] != '"'; ++pos_) {
            char c = text_[pos_];
            if (c == '\n') throw SourceError(file_, line_, "string runs past the end of the line");
            if (c == '\\' && pos_ + 1 < text_.size()) {
                c = text_[++pos_];
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
            value += c;
        }
        if (pos_ >= text_.size()) throw SourceError(file_, line_, "string without its closing quote");
        ++pos_;
        return Token{Token::Kind::String, value, 0, line_};
    }

    std::string text_;
    std::string file_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

using vek::TArguments;

constexpr const char* kUsage =
    "usage: vektrion-describe SOURCE OUT.cpp [OUT.bin]\n"
    "       vektrion-describe --texts SOURCE OUT.pot\n"
    "Compiles the window description SOURCE, with the pictures and sounds it names, and\n"
    "writes it as OUT.cpp, a C++ source that embeds it, and as OUT.bin when asked.\n"
    "  --texts    write the captions shown in the player's language as a PO template\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

constexpr std::string_view kOperands[] = {"SOURCE", "OUT.cpp", "OUT.bin"};
constexpr vek::TOptionSpec kOptions[] = {{"--texts", "", false}};
constexpr vek::TProgramSpec kProgram{"vektrion-describe", kUsage, kOptions, kOperands, 2};

// A description source is a page of text; the pictures and sounds it names have limits of
// their own.
constexpr vek::TFileLimit kSourceLimit{std::int64_t{1} << 20, "a description source"};

// Reads the tokens and writes the binary form as it goes.
class Compiler {
public:
    Compiler(std::vector<Token> tokens, std::string file, fs::path baseDir)
        : tokens_(std::move(tokens)), file_(std::move(file)), baseDir_(std::move(baseDir)) {}

    Bytes Compile() {
        vek::TPropertyWriter out;
        out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(vek::kDescriptionMagic), 4));
        out.WriteByte(vek::kDescriptionVersion);
        expectWord("window");
        entry(out);
        while (peek().kind != Token::Kind::End) {
            expectWord("component");
            entry(out);
        }
        out.WriteByte(0);
        return out.TakeBytes();
    }

private:
    const Token& peek() const { return tokens_[pos_]; }
    const Token& take() {
        const Token& token = tokens_[pos_];
        if (token.kind != Token::Kind::End) ++pos_;
        return token;
    }
    [[noreturn]] void fail(const std::string& reason) const { throw SourceError(file_, peek().line, reason); }
    bool isPunct(const char* p) const { return peek().kind == Token::Kind::Punct && peek().text == p; }
    void expectPunct(const char* p) {
        if (!isPunct(p)) fail(std::string("expected '") + p + "' but found " + peek().text);
        take();
    }
    void expectWord(const char* word) {
        if (peek().kind != Token::Kind::Word || peek().text != word)
            fail(std::string("expected '") + word + "' but found " + peek().text);
        take();
    }
    std::string word(const char* what) {
        if (peek().kind != Token::Kind::Word)
            fail(std::string("expected ") + what + " but found " + peek().text);
        return take().text;
    }
    std::int64_t number(const char* what) {
        if (peek().kind != Token::Kind::Number)
            fail(std::string("expected ") + what + " but found " + peek().text);
        return take().number;
    }
    std::string string(const char* what) {
        if (peek().kind != Token::Kind::String)
            fail(std::string("expected ") + what + " but found " + peek().text);
        return take().text;
    }

    void shortName(vek::TPropertyWriter& out, const std::string& name) {
        if (name.empty() || name.size() > 255) fail("a name must be 1 to 255 characters: " + name);
        out.WriteByte(static_cast<std::uint8_t>(name.size()));
        out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
    }

    void entry(vek::TPropertyWriter& out) {
        shortName(out, word("a name"));
        shortName(out, word("a class"));
        block(out);
    }

    // "{" property* "}" as a block closed by its end marker.
    void block(vek::TPropertyWriter& out) {
        expectPunct("{");
        while (!isPunct("}")) {
            if (peek().kind == Token::Kind::End) fail("a block is not closed");
            const std::string name = word("a property name");
            value(out, name);
        }
        take();
        out.WriteEnd();
    }

    void value(vek::TPropertyWriter& out, const std::string& name) {
        const Token& token = peek();
        if (token.kind == Token::Kind::Number) return out.WriteInteger(name, take().number);
        if (token.kind == Token::Kind::String) return out.WriteString(name, take().text);
        if (isPunct("(")) return set(out, name);
        if (isPunct("[")) return collection(out, name);
        const std::string w = word("a value");
        if (w == "true" || w == "false") return out.WriteBoolean(name, w == "true");
        if (!isPunct("(")) return out.WriteIdent(name, w);
        take();
        maker(out, name, w);
        expectPunct(")");
    }

    void set(vek::TPropertyWriter& out, const std::string& name) {
        take();
        std::vector<std::string> members;
        while (!isPunct(")")) {
            members.push_back(word("a set member"));
            if (isPunct(",")) take();
        }
        take();
        out.WriteSet(name, members);
    }

    void collection(vek::TPropertyWriter& out, const std::string& name) {
        take();
        std::vector<Bytes> items;
        while (!isPunct("]")) {
            vek::TPropertyWriter item;
            block(item);
            items.push_back(item.TakeBytes());
        }
        take();
        out.WriteCollection(name, static_cast<std::uint32_t>(items.size()));
        for (const auto& item : items) out.WriteBytes(item);
    }

    // name(arguments): a value made from its arguments.
    void maker(vek::TPropertyWriter& out, const std::string& name, const std::string& kind) {
        if (kind == "picture") return out.WriteBinary(name, picture(string("a picture file")));
        if (kind == "wave") return out.WriteBinary(name, wave(string("a wave file")));
        if (kind == "key") return out.WriteInteger(name, key());
        if (kind == "bindings") return out.WriteBinary(name, bindings());
        if (kind == "zeros") {
            const std::int64_t count = number("a byte count");
            if (count < 0 || count > (1 << 20)) fail("zeros takes 0 to 1048576 bytes");
            return out.WriteBinary(name, Bytes(static_cast<std::size_t>(count), 0));
        }
        fail("unknown value maker " + kind);
    }

    // "Picture.Data": the kind name and the picture of a bitmap file, run-length data kept.
    Bytes picture(const std::string& file) {
        try {
            const Bytes bytes = vek::readFileBytes((baseDir_ / file).string(), vek::kPictureFileLimit);
            vek::TSpanStream in(bytes);
            vek::TDIB dib;
            dib.LoadFromFileStream(in);
            if (dib.Empty()) throw vek::EInvalidGraphic("the file holds no picture");
            vek::TPicture picture;
            picture.Assign(dib);
            vek::TMemoryStream data;
            picture.WriteData(data);
            data.SetPosition(0);
            vek::TPicture check;
            check.ReadData(data);
            return data.takeBytes();
        } catch (const std::exception& e) {
            fail(file + ": " + e.what());
        }
    }

    // "WAVE": the file's own bytes, once our reader has accepted them with samples.
    Bytes wave(const std::string& file) {
        try {
            Bytes bytes = vek::readFileBytes((baseDir_ / file).string(), vek::kWaveFileLimit);
            vek::TSpanStream in(bytes);
            vek::TWave wave;
            wave.LoadFromStream(in);
            if (wave.FormatSize() <= 0 || wave.Size() <= 0)
                throw vek::EWaveStreamError("the file holds no sound");
            return bytes;
        } catch (const std::exception& e) {
            fail(file + ": " + e.what());
        }
    }

    std::int32_t key() {
        if (peek().kind == Token::Kind::Number) return static_cast<std::int32_t>(take().number);
        const std::string name = word("a key name");
        const auto code = vek::virtualKeyFromName(name);
        if (!code) fail("unknown key " + name);
        return *code;
    }

    // bindings(state: key key key, …): the 432-byte "Assigns" form; unlisted states have no key.
    Bytes bindings() {
        vek::TKeyAssignList assigns{};
        std::vector<bool> seen(vek::kInputStateCount, false);
        while (!isPunct(")")) {
            const std::string stateName = word("an input state");
            const auto state = vek::inputStateFromName(stateName);
            if (!state) fail("unknown input state " + stateName);
            if (seen[*state]) fail("input state " + stateName + " is bound twice");
            seen[*state] = true;
            expectPunct(":");
            for (std::size_t slot = 0; !isPunct(",") && !isPunct(")"); ++slot) {
                if (slot == 3) fail("at most three keys per input state");
                assigns[*state][slot] = key();
            }
            if (isPunct(",")) take();
        }
        vek::TMemoryStream data;
        vek::writeKeyAssigns(data, assigns);
        return data.takeBytes();
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::string file_;
    fs::path baseDir_;
};

// The bytes as a C++ array (a string literal would pass the length compilers must accept).
std::string embeddingSource(const Bytes& bytes, const std::string& sourceName) {
    std::string out = "// generated by tools/describe.cpp from " + sourceName + ", do not edit\n";
    out += "#include \"assets/embedded_description.hpp\"\n\nnamespace vek {\n\nnamespace {\n\n";
    out += "constexpr std::uint8_t kDescription[] = {\n";
    for (std::size_t i = 0; i < bytes.size(); i += 24) {
        out += "   ";
        for (std::size_t j = i; j < bytes.size() && j < i + 24; ++j)
            out += " " + std::to_string(bytes[j]) + ",";
        out += "\n";
    }
    out += "};\n\n}  // namespace\n\nstd::span<const std::uint8_t> EmbeddedDescription() {\n";
    out += "    return kDescription;\n}\n\n}  // namespace vek\n";
    return out;
}

// A PO string: the text in quotes with \\, \", \n and \t escaped.
std::string poString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c == '\n' ? std::string("\\n") : c == '\t' ? std::string("\\t") : std::string(1, c);
    }
    return out + "\"";
}

// The captions of the components (the menu's), which the game looks up in the player's
// language as it reads them, as a PO template for xgettext to merge with the code's texts.
// A window's own caption is not looked up (the game's names its version); "-" is a separator.
std::string textTemplate(const std::vector<Token>& tokens, const std::string& sourceName) {
    std::vector<std::pair<std::string, std::string>> texts;  // text, where it stands
    bool inComponent = false;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.kind == Token::Kind::Word && (token.text == "window" || token.text == "component"))
            inComponent = token.text == "component";
        const Token& value = tokens[i + 1];
        if (!inComponent || token.kind != Token::Kind::Word || token.text != "Caption" ||
            value.kind != Token::Kind::String || value.text == "-" || value.text.empty())
            continue;
        const std::string where = sourceName + ":" + std::to_string(value.line);
        auto same =
            std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.first == value.text; });
        if (same == texts.end())
            texts.emplace_back(value.text, where);
        else
            same->second += " " + where;
    }
    std::string out = "# generated by tools/describe.cpp from " + sourceName + ", do not edit\n";
    out += "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    for (const auto& [text, where] : texts)
        out += "\n#: " + where + "\nmsgid " + poString(text) + "\nmsgstr \"\"\n";
    return out;
}

void writeText(const std::string& path, const std::string& text) {
    vek::writeFileBytes(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

int compile(const TArguments& arguments) {
    const fs::path source(arguments.Operands[0]);
    const Bytes text = vek::readFileBytes(source.string(), kSourceLimit);
    Lexer lexer(std::string(text.begin(), text.end()), source.filename().string());
    if (arguments.Has("--texts")) {
        writeText(std::string(arguments.Operands[1]),
                  textTemplate(lexer.Tokens(), "assets/" + source.filename().string()));
        return 0;
    }
    Compiler compiler(lexer.Tokens(), source.filename().string(), source.parent_path());
    const Bytes bytes = compiler.Compile();
    writeText(std::string(arguments.Operands[1]),
              embeddingSource(bytes, "assets/" + source.filename().string()));
    if (arguments.Operands.size() == 3) vek::writeFileBytes(std::string(arguments.Operands[2]), bytes);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    TArguments arguments;
    if (const auto exit = vek::ReadArguments(kProgram, argc, argv, arguments)) return *exit;
    return vek::RunGuarded(kProgram.Name, [&] { return compile(arguments); });
}
