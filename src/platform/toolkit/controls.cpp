// How the dialog controls describe themselves to the backend.
#include "platform/toolkit/controls.hpp"

#include "platform/toolkit/dialog_form.hpp"

namespace vek::platform {

TControl::TControl(TDialogForm& form, const std::string& name) : TComponent(&form), Font(form.Font) {
    SetName(name);
}

DialogControl TControl::Describe() const {
    DialogControl control;
    control.kind = kind();
    control.name = Name();
    control.bounds = bounds_;
    control.fontName = Font.Name;
    control.fontHeight = Font.Height;
    control.color = Font.Color;
    control.underline = Font.Underline;
    control.cursor = Cursor;
    control.focused = Focused;
    if (OnClick) control.onClick = OnClick;
    return control;
}

void TImage::SetPicture(int width, int height, std::vector<std::uint32_t> pixels) {
    const bool whole = width > 0 && height > 0 && pixels.size() == std::size_t(width) * std::size_t(height);
    pictureWidth_ = whole ? width : 0;
    pictureHeight_ = whole ? height : 0;
    pixels_ = whole ? std::move(pixels) : std::vector<std::uint32_t>{};
    if (AutoSize && whole) SetSize(width, height);
}

DialogControl TImage::Describe() const {
    DialogControl control = TControl::Describe();
    control.imageWidth = pictureWidth_;
    control.pixels = pixels_;
    if (Transparent && !pixels_.empty()) {
        const std::uint32_t key =
            pixels_[std::size_t(pictureHeight_ - 1) * std::size_t(pictureWidth_)] & 0xFFFFFF;
        for (std::uint32_t& pixel : control.pixels)
            if ((pixel & 0xFFFFFF) == key) pixel = key;  // alpha 0
    }
    return control;
}

DialogControl TLabel::Describe() const {
    DialogControl control = TControl::Describe();
    control.text = Caption;
    control.wordWrap = WordWrap;
    control.clipText = !AutoSize;
    return control;
}

DialogControl TButton::Describe() const {
    DialogControl control = TControl::Describe();
    control.text = Caption;
    control.isDefault = Default;
    control.modalResult = ModalResult;
    return control;
}

DialogControl TListBox::Describe() const {
    DialogControl control = TControl::Describe();
    control.items = Items;
    control.itemHeight = ItemHeight;
    control.chosen = chosen_;
    return control;
}

}  // namespace vek::platform
