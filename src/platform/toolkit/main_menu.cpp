// The menu bar component: its items read from the stored description.
#include "platform/toolkit/main_menu.hpp"

#include <cstdint>

#include "runtime/translation.hpp"

namespace vek::platform {

namespace {

TMenuItem* findIn(TMenuItem& item, std::string_view name) {
    if (item.Name == name) return &item;
    for (std::size_t i = 0; i < item.Count(); ++i)
        if (auto* hit = findIn(item.Items(i), name)) return hit;
    return nullptr;
}

}  // namespace

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner) {}

TMenuItem* TMainMenu::FindItem(std::string_view name) {
    for (std::size_t i = 0; i < bar_.Count(); ++i)
        if (auto* hit = findIn(bar_.Items(i), name)) return hit;
    return nullptr;
}

bool TMainMenu::ReadProperty(TPropertyReader& reader) {
    if (reader.Name() != "Items") return false;
    bar_.Clear();
    readItems(reader, bar_);
    return true;
}

void TMainMenu::readItems(TPropertyReader& reader, TMenuItem& parent) {
    for (std::uint32_t count = reader.ReadCollection(); count > 0; --count) {
        auto& item = parent.Add(std::make_unique<TMenuItem>());
        while (reader.NextProperty()) readItemProperty(reader, item);
    }
}

void TMainMenu::readItemProperty(TPropertyReader& reader, TMenuItem& item) {
    const std::string& name = reader.Name();
    if (name == "Name") {
        item.Name = reader.ReadString();
    } else if (name == "Caption") {
        // In the player's language, looked up as the stored caption is read.
        item.Caption = tr(reader.ReadString());
    } else if (name == "ShortCut") {
        item.ShortCut = static_cast<std::uint16_t>(reader.ReadInteger(0, 0xFFFF));
    } else if (name == "Checked") {
        item.Checked = reader.ReadBoolean();
    } else if (name == "Enabled") {
        item.Enabled = reader.ReadBoolean();
    } else if (name == "Visible") {
        item.Visible = reader.ReadBoolean();
    } else if (name == "GroupIndex") {
        item.GroupIndex = static_cast<int>(reader.ReadInteger(0, 255));
    } else if (name == "Tag") {
        item.Tag = static_cast<int>(reader.ReadInteger(INT32_MIN, INT32_MAX));
    } else if (name == "OnClick") {
        ReadEvent(reader, item.OnClick);
    } else if (name == "Items") {
        readItems(reader, item);
    } else {
        reader.FailUnknownProperty();
    }
}

}  // namespace vek::platform
