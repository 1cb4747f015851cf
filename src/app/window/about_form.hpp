// TfrmAcercaDe: the About box. A small dialog with the game's icon, name, version, maker
// and a notice, a link to the game's web site and an "Aceptar" button; it exists only
// while it is shown.
#pragma once

#include <memory>

#include "platform/toolkit/controls.hpp"
#include "platform/toolkit/dialog_form.hpp"

namespace vek {

// The game's web site, shown and opened by the link label.
inline constexpr const char* kWebAddress = "https://vektrion.example/";

class TfrmAcercaDe : public platform::TDialogForm {
public:
    explicit TfrmAcercaDe(TComponent* owner);
    ~TfrmAcercaDe() override;

    // Controls, in stored order.
    std::unique_ptr<platform::TImage> Image1;
    std::unique_ptr<platform::TLabel> Label1;
    std::unique_ptr<platform::TLabel> Label3;
    std::unique_ptr<platform::TLabel> Label4;
    std::unique_ptr<platform::TLinkLabel> Label8;
    std::unique_ptr<platform::TLabel> Label6;
    std::unique_ptr<platform::TLabel> Label7;
    std::unique_ptr<platform::TBevel> Bevel1;
    std::unique_ptr<platform::TLabel> Label2;
    std::unique_ptr<platform::TButton> btnAceptar;

    // Handlers.
    void btnAceptarClick();
    void Label8Click();

private:
    void CreateControls();
    void SetControlSettings();
    void CreateTexts();
};

// The About box while it is shown, or null.
extern TfrmAcercaDe* frmAcercaDe;

}  // namespace vek
