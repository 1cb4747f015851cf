// TCustomForm: the toolkit's ordinary form, a component that owns a top-level window and
// lets other components watch its window messages.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/toolkit.hpp"
#include "runtime/component.hpp"

namespace vek::platform {

enum class FormMessage {
    Activate,       // the window was activated
    Deactivate,     // the window was deactivated
    EnterMenuLoop,  // a menu is about to open
    Shown,          // the window was shown (position changed with the shown flag)
    HandleCreated,  // the window was made anew
    Paint,          // the client area needs painting
    Destroying,     // the window is being destroyed
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

protected:
    TCustomForm* AsForm() override { return this; }

private:
    std::unique_ptr<Window> window_;
    std::vector<std::pair<int, std::function<void(FormMessage)>>> hooks_;
    int nextHookId_ = 1;
};

}  // namespace vek::platform
