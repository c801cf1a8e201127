#pragma once
// The version window: modeless, on top, one per menu choice; the window that
// opened it frees it once it has closed.
#include "ui/Gui.h"

class TAbout : public gui::Form {
 public:
  // Shows itself at once, centred on the owner.
  explicit TAbout(HWND owner);
  ~TAbout() override;

  gui::PictureBox Image;
  gui::Label Label1;
  gui::Label Label2;
  gui::Panel Bevel1;
  gui::Button Button1;

  void FormCreate();
  void Button1Click();

 private:
  HICON icon_ = nullptr;
};
