// TMainMenu: the menu bar of a form as a component, so that its items, their captions,
// shortcuts and click handlers come from the window's stored description.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/menu.hpp"
#include "runtime/component.hpp"

namespace vek::platform {

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner);

    // The bar: its children are the menus shown in the window's menu bar.
    TMenuItem& Bar() { return bar_; }
    std::size_t Count() const { return bar_.Count(); }
    TMenuItem& Items(std::size_t index) const { return bar_.Items(index); }
    // The item of that name anywhere in the menu, or null.
    TMenuItem* FindItem(std::string_view name);

    std::string_view ClassName() const override { return "TMainMenu"; }
    // Items: a collection of menu items, each with Name, Caption, ShortCut (a virtual
    // key), Checked, Enabled, Visible, GroupIndex, OnClick and Items of its own.
    bool ReadProperty(TPropertyReader& reader) override;

private:
    void readItems(TPropertyReader& reader, TMenuItem& parent);
    void readItemProperty(TPropertyReader& reader, TMenuItem& item);

    TMenuItem bar_;
};

}  // namespace vek::platform
