// The About box's stored settings, its icon and its two handlers.
#include "app/window/about_form.hpp"

#include <cstdint>
#include <vector>

#include "app/window/about_icon.hpp"
#include "graphics/dib.hpp"
#include "platform/platform.hpp"
#include "runtime/stream.hpp"
#include "runtime/translation.hpp"
#include "runtime/version.hpp"

namespace vek {

TfrmAcercaDe* frmAcercaDe = nullptr;

namespace {

using platform::TFont;

TFont MakeFont(const char* name, int height, TColor color = clBlack, bool underline = false) {
    return TFont{name, height, color, underline};
}

// The icon's pixels as 0xAARRGGBB, top row first.
std::vector<std::uint32_t> IconPixels(int& width, int& height) {
    TSpanStream stream(AboutIconBitmap());
    TDIB dib;
    dib.LoadFromFileStream(stream);
    width = dib.Width();
    height = dib.Height();
    std::vector<std::uint32_t> pixels;
    pixels.reserve(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const TColor c = dib.PixelColor(x, y);
            pixels.push_back(0xFF000000u | std::uint32_t(getRValue(c)) << 16 |
                             std::uint32_t(getGValue(c)) << 8 | getBValue(c));
        }
    }
    return pixels;
}

template <class Control>
std::unique_ptr<Control> Make(platform::TDialogForm& form, const char* name, int left, int top, int width,
                              int height) {
    auto control = std::make_unique<Control>(form, name);
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace

TfrmAcercaDe::TfrmAcercaDe(TComponent* owner) : platform::TDialogForm(owner) {
    SetName("frmAcercaDe");
    Caption = tr("Acerca de");
    ClientWidth = 436;
    ClientHeight = 168;
    Font = MakeFont("MS Sans Serif", -11);
    CreateControls();
    SetControlSettings();
    CreateTexts();
}

TfrmAcercaDe::~TfrmAcercaDe() {
    if (frmAcercaDe == this) frmAcercaDe = nullptr;
}

void TfrmAcercaDe::CreateControls() {
    Image1 = Make<platform::TImage>(*this, "Image1", 24, 13, 32, 32);
    Label1 = Make<platform::TLabel>(*this, "Label1", 84, 12, 206, 13);
    Label3 = Make<platform::TLabel>(*this, "Label3", 84, 30, 110, 13);
    Label4 = Make<platform::TLabel>(*this, "Label4", 84, 48, 63, 13);
    Label8 = Make<platform::TLinkLabel>(*this, "Label8", 153, 47, 141, 17);
    Label6 = Make<platform::TLabel>(*this, "Label6", 84, 67, 181, 13);
    Label7 = Make<platform::TLabel>(*this, "Label7", 84, 85, 57, 13);
    Bevel1 = Make<platform::TBevel>(*this, "Bevel1", 8, 104, 418, 4);
    Label2 = Make<platform::TLabel>(*this, "Label2", 10, 110, 417, 53);
    btnAceptar = Make<platform::TButton>(*this, "btnAceptar", 344, 16, 75, 25);
}

void TfrmAcercaDe::SetControlSettings() {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels = IconPixels(width, height);
    Image1->AutoSize = true;
    Image1->Transparent = true;
    Image1->SetPicture(width, height, std::move(pixels));
    for (platform::TLabel* label : {Label1.get(), Label3.get(), Label4.get(), Label6.get(), Label7.get()})
        label->Font = MakeFont("Tahoma", -11);
    Label8->Font = MakeFont("Arial", -11, clBlue, true);
    Label8->Cursor = platform::crHandPoint;
    Label8->AutoSize = false;
    Label8->OnClick = [this] { Label8Click(); };
    Label2->Font = MakeFont("Garamond", -11);
    Label2->AutoSize = false;
    Label2->WordWrap = true;
    btnAceptar->Font = MakeFont("Tahoma", -12);
    btnAceptar->Caption = tr("&Aceptar");
    btnAceptar->Default = true;
    btnAceptar->OnClick = [this] { btnAceptarClick(); };
}

void TfrmAcercaDe::CreateTexts() {
    Label1->Caption = tr("Murelle - Vektrion, duelo entre estrellas");
    // TRANSLATORS: the version number, then the build number.
    Label3->Caption = fillIn(tr("Version %s Build %s"), {VEK_VERSION, "160"});
    Label4->Caption = tr("© Murelle,");
    Label8->Caption = kWebAddress;
    Label6->Caption = tr("Programa y dibujos: equipo Murelle");
    Label7->Caption = tr("Soria, España");
    Label2->Caption =
        tr("Vektrion se entrega tal cual, sin garantía de ningún tipo. Puede copiarlo y regalarlo "
           "entero y sin cambios; no puede venderlo ni cobrar por él. Los dibujos, sonidos y "
           "nombres del juego son de Murelle.");
}

void TfrmAcercaDe::btnAceptarClick() {
    SetModalResult(platform::mrOk);
}

void TfrmAcercaDe::Label8Click() {
    // A desktop that cannot open the address leaves the box as it is.
    (void)platform::current().application().openUrl(kWebAddress);
}

}  // namespace vek
