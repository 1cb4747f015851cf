// The toolkit's controls for dialog forms: picture, label, link label, bevel and push button.
// A control is a component of its form; the form describes its controls to the backend,
// which draws them and routes clicks and keys back to their handlers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/toolkit.hpp"
#include "runtime/component.hpp"
#include "runtime/types.hpp"

namespace vek::platform {

class TDialogForm;

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;  // negative: the characters' height in pixels
    TColor Color = clBlack;
    bool Underline = false;
};

class TControl : public TComponent {
public:
    // The control starts with its form's font, as a control that takes its parent's font.
    TControl(TDialogForm& form, const std::string& name);

    void SetBounds(int left, int top, int width, int height) { bounds_ = Bounds(left, top, width, height); }
    const TRect& BoundsRect() const { return bounds_; }

    TFont Font;
    TCursor Cursor = crDefault;
    // The control the keyboard is on; the dialog draws a frame around it.
    bool Focused = false;
    std::function<void()> OnClick;

    // The control as the backend shows it.
    virtual DialogControl Describe() const;

protected:
    virtual DialogControl::Kind kind() const = 0;
    void SetSize(int width, int height) { bounds_ = Bounds(bounds_.left, bounds_.top, width, height); }

private:
    TRect bounds_;
};

// A picture; pixels are 0xAARRGGBB, row by row from the top.
class TImage : public TControl {
public:
    using TControl::TControl;

    // With AutoSize the control takes the picture's size.
    void SetPicture(int width, int height, std::vector<std::uint32_t> pixels);
    // Transparent: the colour of the picture's bottom-left pixel lets the dialog show through.
    bool Transparent = false;
    bool AutoSize = true;

    DialogControl Describe() const override;

protected:
    DialogControl::Kind kind() const override { return DialogControl::Kind::Image; }

private:
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// A line of text from the top-left of its box, or a paragraph word-wrapped inside it.
// Without AutoSize the text is kept inside the box.
class TLabel : public TControl {
public:
    using TControl::TControl;

    std::string Caption;
    bool AutoSize = true;
    bool WordWrap = false;

    DialogControl Describe() const override;

protected:
    DialogControl::Kind kind() const override { return DialogControl::Kind::Label; }
};

// A label that takes clicks: OnClick runs and the dialog stays open.
class TLinkLabel : public TLabel {
public:
    using TLabel::TLabel;

protected:
    DialogControl::Kind kind() const override { return DialogControl::Kind::Link; }
};

// An etched line along the top of its box.
class TBevel : public TControl {
public:
    using TControl::TControl;

protected:
    DialogControl::Kind kind() const override { return DialogControl::Kind::Bevel; }
};

// A push button; "&" in the caption marks the access letter. Default: Enter presses it.
// A ModalResult other than 0 closes the dialog with that result once OnClick has run.
class TButton : public TControl {
public:
    using TControl::TControl;

    std::string Caption;
    bool Default = false;
    int ModalResult = 0;

    DialogControl Describe() const override;

protected:
    DialogControl::Kind kind() const override { return DialogControl::Kind::Button; }
};

// Lines of text to choose from, one at a time: the arrow keys move the choice, a click
// chooses a line, a double click or Enter presses the dialog's default button.
class TListBox : public TControl {
public:
    using TControl::TControl;

    std::vector<std::string> Items;
    int ItemHeight = 16;
    // The chosen line, -1 for none; it follows the choice while the dialog is shown.
    int ItemIndex() const { return *chosen_; }
    void SetItemIndex(int index) { *chosen_ = index; }

    DialogControl Describe() const override;

protected:
    DialogControl::Kind kind() const override { return DialogControl::Kind::List; }

private:
    std::shared_ptr<int> chosen_ = std::make_shared<int>(-1);
};

}  // namespace vek::platform
