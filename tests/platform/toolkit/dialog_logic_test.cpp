// The message-box and dialog rules for keys and clicks, and the line breaking of message texts.
#include "platform/toolkit/dialog_logic.hpp"

#include <gtest/gtest.h>

namespace vek::platform {
namespace {

TEST(ToolkitDialog, KeysAndClicks) {
    DialogSpec dialog;
    int clicks = 0;
    DialogControl link;
    link.kind = DialogControl::Kind::Link;
    link.bounds = TRect{10, 10, 50, 20};
    link.onClick = [&clicks] { ++clicks; };
    DialogControl button;
    button.kind = DialogControl::Kind::Button;
    button.bounds = TRect{60, 10, 100, 30};
    button.modalResult = IDOK;
    dialog.controls = {link, button};
    EXPECT_EQ(dialogKey(dialog, vk::Return), 0) << "no default button yet";
    dialog.controls[1].isDefault = true;
    EXPECT_EQ(dialogKey(dialog, vk::Return), IDOK);
    EXPECT_EQ(dialogKey(dialog, vk::Escape), IDCANCEL);
    EXPECT_EQ(dialogKey(dialog, 'A'), 0);
    DialogControl* hit = clickableAt(dialog, 20, 15);
    ASSERT_EQ(hit, &dialog.controls[0]);
    EXPECT_EQ(activateControl(dialog, *hit), 0) << "a link keeps the dialog open";
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clickableAt(dialog, 55, 15), nullptr);
    EXPECT_EQ(messageBoxKey(vk::Space), IDOK);
    EXPECT_EQ(messageBoxKey('X'), 0);
}

TEST(ToolkitDialog, MessageTextBreaksAtCarriageReturn) {
    EXPECT_EQ(
        splitLines("Direccionales para mover la nave\rBarra espaciadora para disparar"),
        (std::vector<std::string>{"Direccionales para mover la nave", "Barra espaciadora para disparar"}));
    EXPECT_EQ(splitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(splitLines(""), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace vek::platform
