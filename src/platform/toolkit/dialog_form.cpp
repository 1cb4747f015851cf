// Describing a dialog form to the backend and running it modally.
#include "platform/toolkit/dialog_form.hpp"

#include "platform/platform.hpp"
#include "platform/toolkit/form.hpp"

namespace vek::platform {

namespace {

// Forgets the dialog being shown on every way out of the modal loop.
class ShowingScope {
public:
    ShowingScope(DialogSpec*& slot, DialogSpec& spec) : slot_(slot) { slot_ = &spec; }
    ~ShowingScope() { slot_ = nullptr; }
    ShowingScope(const ShowingScope&) = delete;
    ShowingScope& operator=(const ShowingScope&) = delete;

private:
    DialogSpec*& slot_;
};

}  // namespace

DialogSpec TDialogForm::Describe() const {
    DialogSpec spec;
    spec.caption = Caption;
    spec.clientWidth = ClientWidth;
    spec.clientHeight = ClientHeight;
    spec.onKey = OnKey;
    spec.onPadButton = OnPadButton;
    for (int i = 0; i < ComponentCount(); ++i)
        if (const auto* control = dynamic_cast<const TControl*>(Components(i)))
            spec.controls.push_back(control->Describe());
    return spec;
}

void TDialogForm::Refresh() {
    if (!showing_) return;
    const DialogSpec now = Describe();
    if (now.controls.size() != showing_->controls.size()) return;
    // In place: the backend may be inside a control's click handler or hold a pointer to it.
    for (std::size_t i = 0; i < now.controls.size(); ++i) {
        DialogControl& shown = showing_->controls[i];
        shown.text = now.controls[i].text;
        shown.color = now.controls[i].color;
        shown.focused = now.controls[i].focused;
    }
    if (showing_->redraw) showing_->redraw();
}

Window* TDialogForm::ownerWindow() const {
    const TCustomForm* form = Owner() ? Owner()->OwnerForm() : nullptr;
    return form ? form->Handle() : nullptr;
}

int TDialogForm::ShowModal() {
    DialogSpec spec = Describe();
    modalResult_ = mrNone;
    int result = mrNone;
    {
        const ShowingScope showing(showing_, spec);
        result = current().application().showModal(spec, ownerWindow());
    }
    modalResult_ = result;
    return result;
}

void TDialogForm::SetModalResult(int result) {
    modalResult_ = result;
    if (showing_) showing_->modalResult = result;
}

}  // namespace vek::platform
