// What a modal dialog and a message box do with clicks and keys, apart from any drawing:
// shared by the SDL windows and the headless stand-ins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/toolkit.hpp"

namespace vek::platform {

// Presses a link or button of dialog: runs its onClick, then answers the modal result
// that closes the dialog (0 while it stays open): the button's own result, else the one
// the handler gave the dialog.
int activateControl(DialogSpec& dialog, DialogControl& control);
// The button that Enter presses, or null.
DialogControl* defaultButton(DialogSpec& dialog);
// The link or button at (x, y) in client coordinates, or null.
DialogControl* clickableAt(DialogSpec& dialog, int x, int y);
// The mouse cursor at (x, y): that of the topmost control there, else the default.
TCursor cursorAt(const DialogSpec& dialog, int x, int y);
// A key pressed in the dialog: the dialog's own key handler first; a key it leaves, Enter
// presses the default button, Escape closes it with IDCANCEL, the up and down arrows move
// the choice of the first list. Answers the modal result, 0 while the dialog stays open.
int dialogKey(DialogSpec& dialog, std::uint16_t key, TShiftState shift = 0);

// A pad button pressed in the dialog: whether the dialog's own handler used it.
bool dialogPadButton(DialogSpec& dialog, int input);

// The dialog's first list, or null.
DialogControl* firstList(DialogSpec& dialog);
// The line of list at (x, y) in client coordinates, or -1.
int listLineAt(const DialogControl& list, int x, int y);

// A key pressed in a message box with one OK button: Enter, Escape and Space close it.
int messageBoxKey(std::uint16_t key);
// The lines of a message text: a carriage return, a line feed or both break the line.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace vek::platform
