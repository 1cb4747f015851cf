// The toolkit's menu model: a tree of items that a window's menu bar shows.
// Captions mark the access letter with "&"; a caption of "-" is a separator.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vek::platform {

class TMenuItem;
using TMenuEvent = std::function<void(TMenuItem& sender)>;

class TMenuItem {
public:
    TMenuItem() = default;
    TMenuItem(std::string name, std::string caption, std::uint16_t shortCut = 0)
        : Name(std::move(name)), Caption(std::move(caption)), ShortCut(shortCut) {}
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    std::string Name;
    std::string Caption;
    // A plain virtual key without modifiers (for example 0x71 for F2); 0 for none.
    std::uint16_t ShortCut = 0;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    int GroupIndex = 0;
    // A number the program keeps with the item, as its description gives it (a volume
    // item's percent).
    int Tag = 0;
    TMenuEvent OnClick;

    // Appends a child and answers it; the item owns its children.
    TMenuItem& Add(std::unique_ptr<TMenuItem> child) {
        child->parent_ = this;
        items_.push_back(std::move(child));
        return *items_.back();
    }
    std::size_t Count() const { return items_.size(); }
    // Frees every child.
    void Clear() { items_.clear(); }
    TMenuItem& Items(std::size_t index) const { return *items_.at(index); }
    TMenuItem* Parent() const { return parent_; }
    bool IsLine() const { return Caption == "-"; }

    // Runs the item's handler as a click from the menu or its shortcut would.
    void Click() {
        if (OnClick) OnClick(*this);
    }

    // Finds the first item (this one or a descendant) whose shortcut is key.
    TMenuItem* FindShortCut(std::uint16_t key) {
        if (ShortCut == key && Enabled && Visible && key != 0) return this;
        for (auto& child : items_)
            if (auto* hit = child->FindShortCut(key)) return hit;
        return nullptr;
    }

private:
    TMenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

// The letter after "&" in a caption, upper-cased, or 0 when there is none.
inline char accessLetter(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (caption[i + 1] == '&') {
                ++i;
                continue;
            }
            const char c = caption[i + 1];
            return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    return 0;
}

}  // namespace vek::platform
