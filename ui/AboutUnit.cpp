#include "ui/AboutUnit.h"

#include "ui/FormTexts.h"

TAbout::TAbout(HWND owner) {
  // A sizeable frame whose title bar holds neither buttons nor a system menu.
  CreateForm({uitext::kAboutCaption, 241, 130, WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_EX_TOPMOST}, owner);
  Place({
      {&Image, "Image", "", 8, 16, 32, 32},
      {&Label1, "Label1", uitext::kAboutVersion, 48, 16, 177, 15, nullptr, gui::Align::None, gui::kRightAligned},
      {&Label2, "Label2", uitext::kAboutMaker, 56, 40, 169, 12, nullptr, gui::Align::None, gui::kRightAligned},
      {&Bevel1, "Bevel1", "", 8, 64, 217, 9, nullptr, gui::Align::None, gui::kEtched | gui::kEtchedTopOnly},
      {&Button1, "Button1", uitext::kOK, 152, 72, 75, 25},
  });
  Label1.SetFont(gui::UiFont(15));
  Button1.OnClick = [this] { Button1Click(); };
  SetDefaultButton(&Button1);
  SetCancelButton(&Button1);
  FormCreate();
  CenterOn(owner);
  Show();
}

TAbout::~TAbout() {
  Destroy();
  if (icon_) DestroyIcon(icon_);
}

void TAbout::FormCreate() {
  const int size = gui::Scale(32);
  icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, 0));
  Image.SetIcon(icon_);
}

void TAbout::Button1Click() { Close(); }
