// TCustomForm: the toolkit's ordinary form, a component that owns a top-level window and
// lets other components watch its window messages. A form read from a stored description
// makes its window from the stored settings when loading ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/toolkit.hpp"
#include "runtime/component.hpp"

namespace vek::platform {

class TMainMenu;

using TFormEvent = std::function<void()>;
using TKeyEvent = std::function<void(std::uint16_t& key, TShiftState shift)>;

enum class FormMessage {
    Activate,       // the window was activated
    Deactivate,     // the window was deactivated
    EnterMenuLoop,  // a menu is about to open
    Shown,          // the window was shown (position changed with the shown flag)
    HandleCreated,  // the window was made anew
    Paint,          // the client area needs painting
    Destroying,     // the window is being destroyed
    Placed,         // the window was moved, resized, maximised or restored
    MouseDown,      // a mouse button went down in the window
};

class TCustomForm : public TComponent {
public:
    explicit TCustomForm(TComponent* owner) : TComponent(owner) {}
    ~TCustomForm() override;

    // The form's window; null until CreateWindowHandle has run.
    Window* Handle() const { return window_.get(); }
    void CreateWindowHandle(const WindowSpec& spec);
    void DestroyWindowHandle();

    // Watchers see every message after the form has handled it; answers an id for Unhook.
    int HookMessages(std::function<void(FormMessage)> hook);
    void UnhookMessages(int id);
    // Delivers a message to the watchers (the window's event handlers call this).
    void Dispatch(FormMessage message);

    // The window settings the form is made with when a stored description has been read.
    const WindowSpec& StoredSpec() const { return spec_; }
    // While set, OnKeyDown sees every key press before the menu's shortcuts.
    bool KeyPreview = false;
    // Stored for completeness: the toolkit draws at one scale.
    bool Scaled = true;
    TMainMenu* Menu() const { return menu_; }
    TFormEvent OnCreate;
    TFormEvent OnDestroy;
    TKeyEvent OnKeyDown;

    // The stored window properties: Caption, ClientWidth, ClientHeight, Left, Top,
    // BorderStyle, BorderIcons, KeyPreview, Scaled, Menu, OnCreate, OnDestroy, OnKeyDown.
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    TCustomForm* AsForm() override { return this; }
    // Makes the window from the stored settings, unless it exists, and shows the menu.
    void Loaded() override;
    // A menu bar that goes away leaves the window.
    void Notification(TComponent* component, TOperation operation) override;
    void DoCreate();
    // Runs OnDestroy, once in the form's life.
    void DoDestroy();

private:
    WindowSpec spec_;
    TMainMenu* menu_ = nullptr;
    std::unique_ptr<Window> window_;
    std::vector<std::pair<int, std::function<void(FormMessage)>>> hooks_;
    int nextHookId_ = 1;
    bool destroyed_ = false;  // OnDestroy has run
};

}  // namespace vek::platform
