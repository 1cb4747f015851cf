// Window ownership and message watchers of a form.
#include "platform/toolkit/form.hpp"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/platform.hpp"
#include "platform/toolkit/main_menu.hpp"

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
    window_->OnPlaced = [this] { Dispatch(FormMessage::Placed); };
    window_->OnMouseDown = [this] { Dispatch(FormMessage::MouseDown); };
    window_->OnKeyDown = [this](std::uint16_t& key, TShiftState shift) {
        if (KeyPreview && OnKeyDown) OnKeyDown(key, shift);
    };
    window_->OnDestroy = [this] { DoDestroy(); };
    Dispatch(FormMessage::HandleCreated);
}

void TCustomForm::Loaded() {
    TComponent::Loaded();
    if (!window_) CreateWindowHandle(spec_);
    if (menu_) window_->setMenu(&menu_->Bar());
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove || component != menu_) return;
    menu_ = nullptr;
    if (window_) window_->setMenu(nullptr);
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate();
}

// The window's close and the form's own destruction both come here; OnDestroy runs for
// the first of them only.
void TCustomForm::DoDestroy() {
    if (std::exchange(destroyed_, true)) return;
    if (OnDestroy) OnDestroy();
}

bool TCustomForm::ReadProperty(TPropertyReader& reader) {
    using F = TCustomForm;
    using R = TPropertyReader;
    static constexpr std::array<std::string_view, 4> kBorderStyles{"bsNone", "bsSingle", "bsSizeable",
                                                                   "bsDialog"};
    static constexpr std::array<std::string_view, 4> kBorderIcons{"biSystemMenu", "biMinimize", "biMaximize",
                                                                  "biHelp"};
    static constexpr std::int64_t kLimit = 1 << 20;
    static constexpr std::int64_t kMaxClientSize = 16384;  // what a window surface can be made at
    static constexpr TPropertyEntry<F> kProperties[] = {
        {"Caption", [](F& f, R& r) { f.spec_.caption = r.ReadString(); }},
        {"ClientWidth",
         [](F& f, R& r) { f.spec_.clientWidth = static_cast<int>(r.ReadInteger(0, kMaxClientSize)); }},
        {"ClientHeight",
         [](F& f, R& r) { f.spec_.clientHeight = static_cast<int>(r.ReadInteger(0, kMaxClientSize)); }},
        {"Left", [](F& f, R& r) { f.spec_.left = static_cast<int>(r.ReadInteger(-kLimit, kLimit)); }},
        {"Top", [](F& f, R& r) { f.spec_.top = static_cast<int>(r.ReadInteger(-kLimit, kLimit)); }},
        {"BorderStyle",
         [](F& f, R& r) { f.spec_.borderStyle = static_cast<BorderStyle>(r.ReadEnum(kBorderStyles)); }},
        {"BorderIcons",
         [](F& f, R& r) {
             const std::uint64_t icons = r.ReadSet(kBorderIcons);
             f.spec_.minimizeBox = (icons >> 1) & 1;
             f.spec_.maximizeBox = (icons >> 2) & 1;
         }},
        {"KeyPreview", [](F& f, R& r) { f.KeyPreview = r.ReadBoolean(); }},
        {"Scaled", [](F& f, R& r) { f.Scaled = r.ReadBoolean(); }},
        {"Menu",
         [](F& f, R& r) { f.ReadReference<TMainMenu>(r, [self = &f](TMainMenu* m) { self->menu_ = m; }); }},
        {"OnCreate", [](F& f, R& r) { f.ReadEvent(r, f.OnCreate); }},
        {"OnDestroy", [](F& f, R& r) { f.ReadEvent(r, f.OnDestroy); }},
        {"OnKeyDown", [](F& f, R& r) { f.ReadEvent(r, f.OnKeyDown); }},
    };
    return ReadPropertyFrom<F>(kProperties, *this, reader);
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
