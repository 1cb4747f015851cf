// The main window's commands for the components that watch it: the screenshot command, the
// title's demonstrations option and the caption's passing message.
#include "app/main_form.hpp"

namespace vek {

void TMainForm::GameScreenshotClick() {
    if (OnScreenshot) OnScreenshot();
}

void TMainForm::OptionDemonstrationClick() {
    SetDemonstration(!OptionDemonstration->Checked);
}

void TMainForm::SetDemonstration(bool on) {
    OptionDemonstration->Checked = on;
    OptionChanged(*OptionDemonstration, on);
}

void TMainForm::SetCaptionMessage(const std::string& message) {
    captionMessage_ = message;
    ShowPauseInCaption();
}

}  // namespace vek
