// Click and key rules of dialogs and message boxes; line breaking of message texts.
#include "platform/toolkit/dialog_logic.hpp"

#include <algorithm>

namespace vek::platform {

namespace {

bool contains(const TRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

int activateControl(DialogSpec& dialog, DialogControl& control) {
    if (control.kind != DialogControl::Kind::Link && control.kind != DialogControl::Kind::Button) return 0;
    if (control.onClick) control.onClick();
    if (control.kind == DialogControl::Kind::Button && control.modalResult != 0) return control.modalResult;
    return dialog.modalResult;
}

DialogControl* defaultButton(DialogSpec& dialog) {
    for (DialogControl& control : dialog.controls)
        if (control.kind == DialogControl::Kind::Button && control.isDefault) return &control;
    return nullptr;
}

DialogControl* clickableAt(DialogSpec& dialog, int x, int y) {
    for (DialogControl& control : dialog.controls) {
        const bool clickable =
            control.kind == DialogControl::Kind::Link || control.kind == DialogControl::Kind::Button;
        if (clickable && contains(control.bounds, x, y)) return &control;
    }
    return nullptr;
}

TCursor cursorAt(const DialogSpec& dialog, int x, int y) {
    // Later controls lie on top of earlier ones.
    for (auto it = dialog.controls.rbegin(); it != dialog.controls.rend(); ++it)
        if (contains(it->bounds, x, y)) return it->cursor;
    return crDefault;
}

DialogControl* firstList(DialogSpec& dialog) {
    for (DialogControl& control : dialog.controls)
        if (control.kind == DialogControl::Kind::List && control.chosen) return &control;
    return nullptr;
}

int listLineAt(const DialogControl& list, int x, int y) {
    if (!contains(list.bounds, x, y) || list.itemHeight <= 0) return -1;
    const int line = (y - list.bounds.top) / list.itemHeight;
    return line < static_cast<int>(list.items.size()) ? line : -1;
}

int dialogKey(DialogSpec& dialog, std::uint16_t key, TShiftState shift) {
    if (dialog.onKey && dialog.onKey(key, shift)) return dialog.modalResult;
    if (key == vk::Up || key == vk::Down) {
        DialogControl* list = firstList(dialog);
        if (!list || list->items.empty()) return 0;
        const int last = static_cast<int>(list->items.size()) - 1;
        *list->chosen = std::clamp(*list->chosen + (key == vk::Down ? 1 : -1), 0, last);
        return 0;
    }
    if (key == vk::Return) {
        DialogControl* button = defaultButton(dialog);
        return button ? activateControl(dialog, *button) : 0;
    }
    return key == vk::Escape ? IDCANCEL : 0;
}

bool dialogPadButton(DialogSpec& dialog, int input) {
    return dialog.onPadButton && dialog.onPadButton(input);
}

int messageBoxKey(std::uint16_t key) {
    return (key == vk::Return || key == vk::Escape || key == vk::Space) ? IDOK : 0;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

}  // namespace vek::platform
