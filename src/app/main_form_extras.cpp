// The main window's commands for the components that watch it: the screenshot command and
// the caption's passing message.
#include "app/main_form.hpp"

namespace vek {

void TMainForm::GameScreenshotClick() {
    if (OnScreenshot) OnScreenshot();
}

void TMainForm::SetCaptionMessage(const std::string& message) {
    captionMessage_ = message;
    ShowPauseInCaption();
}

}  // namespace vek
