// Stored descriptions that cannot be used: the main window is not made, and the error
// names the component, the property and the byte offset; the program, and the tool that
// writes out the pictures and sounds, end with exit code 1 and that message on stderr.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
#include "assets/description_reader.hpp"
#include "assets/embedded_description.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/messages.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/stream.hpp"

namespace vek {
namespace {

using platform::headless::HeadlessPlatform;
using platform::headless::ScopedPlatform;
using Bytes = std::vector<std::uint8_t>;

// Writes descriptions entry by entry and remembers where the last property began.
class DescriptionBuilder {
public:
    DescriptionBuilder() {
        out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(kDescriptionMagic), 4));
        out.WriteByte(kDescriptionVersion);
        entry("MainForm", "TMainForm");
        out.WriteEnd();
    }
    void entry(const std::string& name, const std::string& className) {
        entryOffset = out.Bytes().size();
        for (const auto* text : {&name, &className}) {
            out.WriteByte(static_cast<std::uint8_t>(text->size()));
            out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(text->data()), text->size()));
        }
    }
    // Every component of the main window but the one left out, each with no properties.
    void components(std::string_view leftOut = {}) {
        constexpr std::pair<const char*, const char*> kComponents[] = {
            {"DXDraw", "TDXDraw"},         {"DXTimer", "TDXTimer"},
            {"DXInput", "TDXInput"},       {"ImageList", "TDXImageList"},
            {"DXWaveList", "TDXWaveList"}, {"DXSound", "TDXSound"},
            {"MainMenu", "TMainMenu"},     {"SpriteEngine", "TDXSpriteEngine"},
        };
        for (const auto& [name, className] : kComponents) {
            if (name == leftOut) continue;
            entry(name, className);
            starts[name] = entryOffset;
            out.WriteEnd();
        }
    }
    // Remembers the offset of the property about to be written.
    TPropertyWriter& at() {
        offset = out.Bytes().size();
        return out;
    }
    Bytes finish() {
        out.WriteByte(0);
        return out.TakeBytes();
    }

    TPropertyWriter out;
    std::size_t entryOffset = 0;
    std::size_t offset = 0;
    std::map<std::string, std::size_t> starts;  // where components() put each entry
};

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

struct Refusal {
    const char* what;
    // Builds the description and answers the message expected.
    std::function<std::string(DescriptionBuilder& b, Bytes& bytes)> build;
};

std::string at(std::size_t offset) {
    return std::to_string(offset);
}

const Refusal kRefusals[] = {
    {"not a description",
     [](DescriptionBuilder&, Bytes& bytes) {
         bytes = bytesOf("RIFF, not a description");
         return std::string("window, header, byte 0: not a stored window description");
     }},
    {"truncated inside a value",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXTimer");
         b.at().WriteInteger("Interval", 33);
         b.out.WriteEnd();
         bytes = b.finish();
         bytes.resize(b.offset + 1 + 8 + 1 + 4);
         return "component DXTimer, property Interval, byte " + at(b.offset + 10) +
                ": Stored data ends early";
     }},
    {"data after the end",
     [](DescriptionBuilder& b, Bytes& bytes) {
         bytes = b.finish();
         bytes.push_back(7);
         return "window, header, byte " + at(bytes.size() - 1) + ": data follows the end of the description";
     }},
    {"unknown component",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXClock", "TDXTimer");
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DXClock, header, byte " + at(b.entryOffset) +
                ": the window has no component of that name";
     }},
    {"component of another class",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXDraw");
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DXTimer, header, byte " + at(b.entryOffset) +
                ": stored as TDXDraw, but it is a TDXTimer";
     }},
    {"unknown property",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXTimer");
         b.at().WriteInteger("Speed", 3);
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DXTimer, property Speed, byte " + at(b.offset) + ": Unknown property Speed";
     }},
    {"value of the wrong type",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXTimer");
         b.at().WriteString("Interval", "fast");
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DXTimer, property Interval, byte " + at(b.offset) +
                ": Property Interval holds a string, not an integer";
     }},
    {"unknown handler",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXTimer");
         b.at().WriteIdent("OnTimer", "DXTimerFire");
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DXTimer, property OnTimer, byte " + at(b.offset) +
                ": No handler is named DXTimerFire";
     }},
    {"reference to a component of another class",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("ImageList", "TDXImageList");
         b.at().WriteIdent("DXDraw", "DXTimer");
         b.out.WriteEnd();
         bytes = b.finish();
         return "component ImageList, property DXDraw, byte " + at(b.offset) +
                ": Component DXTimer of class TDXTimer does not fit here";
     }},
    {"picture its reader refuses",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("ImageList", "TDXImageList");
         b.out.WriteCollection("Items", 1);
         b.out.WriteString("Name", "Star");
         const Bytes picture = {4, 'T', 'D', 'I', 'B', 99, 0, 0, 0};
         b.at().WriteBinary("Picture.Data", picture);
         b.out.WriteEnd();
         b.out.WriteEnd();
         bytes = b.finish();
         return "component ImageList, property Items[0].Picture.Data, byte " + at(b.offset) +
                ": DIB is invalid";
     }},
    {"wave its reader refuses",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXWaveList", "TDXWaveList");
         b.out.WriteCollection("Items", 2);
         b.out.WriteString("Name", "SceneMov");
         b.out.WriteEnd();
         b.out.WriteString("Name", "kan!!");
         const Bytes wave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'X'};
         b.at().WriteBinary("WAVE", wave);
         b.out.WriteEnd();
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DXWaveList, property Items[1].WAVE, byte " + at(b.offset) + ": Wave is invalid";
     }},
    {"key bindings too short",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXInput", "TDXInput");
         b.at().WriteBinary("Keyboard.Assigns", Bytes(431, 0));
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DXInput, property Keyboard.Assigns, byte " + at(b.offset) + ": Stream read error";
     }},
    {"a name's length byte raised, swallowing the value after it",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXTimer");
         b.at().WriteInteger("Interval", 33);
         b.out.WriteEnd();
         bytes = b.finish();
         bytes[b.offset] = 8 + 1 + 8;
         return "component DXTimer, property Interval\\x01!\\x00\\x00\\x00\\x00\\x00\\x00..., byte " +
                at(b.offset) + ": Property name holds a byte that is not printable";
     }},
    {"a component's name holding a control byte",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DX\aTimer", "TDXTimer");
         b.out.WriteEnd();
         bytes = b.finish();
         return "component DX\\x07Timer, header, byte " + at(b.entryOffset) +
                ": the component's name holds a byte that is not printable";
     }},
    {"cut inside an entry's class name",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXTimer");
         b.at().WriteInteger("Interval", 33);
         b.out.WriteEnd();
         b.entry("ImageList", "TDXImageList");
         bytes = b.finish();
         const std::size_t classBytes = b.entryOffset + 1 + 9 + 1;
         bytes.resize(classBytes + 3);
         return "component ImageList, header, byte " + at(classBytes) + ": Stored data ends early";
     }},
    {"the last byte dropped",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.entry("DXTimer", "TDXTimer");
         b.at().WriteInteger("Interval", 33);
         b.out.WriteEnd();
         bytes = b.finish();
         bytes.pop_back();
         return "window, header, byte " + at(bytes.size()) + ": Stored data ends early";
     }},
    {"a menu item the window needs missing",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.components();
         bytes = b.finish();
         return "component MainMenu, property Items, byte " + at(b.starts.at("MainMenu")) +
                ": the menu has no item GameMenu";
     }},
    {"a component missing",
     [](DescriptionBuilder& b, Bytes& bytes) {
         b.components("ImageList");
         bytes = b.finish();
         return "component ImageList, header, byte " + at(bytes.size() - 1) +
                ": the description does not store this component";
     }},
};

class DescriptionRefusal : public ::testing::Test {
protected:
    HeadlessPlatform backend;
    ScopedPlatform installed{backend};
};

TEST_F(DescriptionRefusal, EachFaultIsNamedWithComponentPropertyAndOffset) {
    for (const auto& refusal : kRefusals) {
        SCOPED_TRACE(refusal.what);
        DescriptionBuilder builder;
        Bytes bytes;
        const std::string expected = refusal.build(builder, bytes);
        try {
            TMainForm form(bytes);
            ADD_FAILURE() << "the description was accepted";
        } catch (const EDescriptionError& e) {
            EXPECT_EQ(std::string(e.what()), expected);
        }
        EXPECT_EQ(MainForm, nullptr);
    }
}

// Every cut of the real description is refused as stored data, never anything worse.
TEST_F(DescriptionRefusal, TheEmbeddedDescriptionCutAnywhereIsRefused) {
    const auto full = EmbeddedDescription();
    for (std::size_t cut = 0; cut < full.size(); cut += 1 + full.size() / 97) {
        SCOPED_TRACE(cut);
        EXPECT_THROW(TMainForm form(full.first(cut)), EDescriptionError);
    }
}

TEST(DescriptionProgram, ARefusedDescriptionEndsTheProgramWithItsMessageAndExitCodeOne) {
    HeadlessPlatform backend;
    DescriptionBuilder builder;
    builder.entry("DXTimer", "TDXTimer");
    builder.at().WriteBoolean("Interval", true);
    builder.out.WriteEnd();
    const Bytes bytes = builder.finish();
    ::testing::internal::CaptureStderr();
    const int code = RunProgram(backend, bytes);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err, MessagePrefix() + "EDescriptionError: component DXTimer, property Interval, byte " +
                       std::to_string(builder.offset) +
                       ": Property Interval holds a boolean, not an integer\n");
    EXPECT_EQ(MainForm, nullptr);
}

// vektrion-assets --description FILE: a good file gives every picture and sound; a refused
// one, or an item whose name is no plain file name, ends with exit code 1 and the message.
TEST(DescriptionTool, ReadsADescriptionFileWithTheStartUpRefusals) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / "vektrion-assets-test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const auto run = [&](const Bytes& description, const std::string& out) {
        writeFileBytes((dir / "description.vktd").string(), description);
        const std::string call = std::string(VEK_ASSETS_TOOL) + " --description " +
                                 (dir / "description.vktd").string() + " " + (dir / out).string() +
                                 " > /dev/null 2> " + (dir / "stderr").string();
        const int status = std::system(call.c_str());
        return std::pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                         readFileBytes((dir / "stderr").string()));
    };

    const auto embedded = EmbeddedDescription();
    Bytes good(embedded.begin(), embedded.end());
    EXPECT_EQ(run(good, "good").first, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "good"), fs::directory_iterator()), 9 + 3);

    DescriptionBuilder builder;
    builder.entry("DXTimer", "TDXTimer");
    builder.at().WriteString("Interval", "fast");
    builder.out.WriteEnd();
    EXPECT_EQ(
        run(builder.finish(), "refused"),
        std::pair(1,
                  bytesOf("vektrion-assets: EDescriptionError: component DXTimer, property Interval, byte " +
                          std::to_string(builder.offset) +
                          ": Property Interval holds a string, not an integer\n")));
    EXPECT_FALSE(fs::exists(dir / "refused"));

    // The first picture's name, a string of 4 bytes, "Star", becomes "../X".
    const Bytes star = {5, 4, 0, 0, 0, 'S', 't', 'a', 'r'};
    Bytes escaping = good;
    std::copy_n("../X", 4, std::search(escaping.begin(), escaping.end(), star.begin(), star.end()) + 5);
    EXPECT_EQ(run(escaping, "escaping"),
              std::pair(1, bytesOf("vektrion-assets: item name ../X is not a file name\n")));
    EXPECT_FALSE(fs::exists(dir / "X.bmp"));
}

}  // namespace
}  // namespace vek
