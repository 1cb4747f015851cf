// Window ownership and message watchers of a form.
#include "platform/form.hpp"

#include <algorithm>
#include <exception>

#include "platform/platform.hpp"

namespace vek::platform {

TCustomForm::~TCustomForm() {
    DestroyWindowHandle();
}

void TCustomForm::CreateWindowHandle(const WindowSpec& spec) {
    window_ = current().application().createWindow(spec);
    window_->OnShow = [this] {
        // A watcher may act on the first showing (a display that initialises by itself);
        // its error gets the toolkit's default handling, like any event handler's.
        try {
            Dispatch(FormMessage::Shown);
        } catch (const std::exception& error) {
            current().application().handleException(error);
        }
    };
    window_->OnPaint = [this] { Dispatch(FormMessage::Paint); };
    window_->OnActivate = [this] { Dispatch(FormMessage::Activate); };
    window_->OnDeactivate = [this] { Dispatch(FormMessage::Deactivate); };
    window_->OnEnterMenuLoop = [this] { Dispatch(FormMessage::EnterMenuLoop); };
    Dispatch(FormMessage::HandleCreated);
}

void TCustomForm::DestroyWindowHandle() {
    if (!window_) return;
    Dispatch(FormMessage::Destroying);
    window_.reset();
}

int TCustomForm::HookMessages(std::function<void(FormMessage)> hook) {
    hooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

void TCustomForm::UnhookMessages(int id) {
    std::erase_if(hooks_, [id](const auto& entry) { return entry.first == id; });
}

void TCustomForm::Dispatch(FormMessage message) {
    const auto hooks = hooks_;  // a watcher may unhook itself
    for (const auto& [id, hook] : hooks) hook(message);
}

}  // namespace vek::platform
