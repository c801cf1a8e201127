#pragma once
// The version window: modeless, on top, one per menu choice; OK frees it.
#include "ui/Gui.h"

class TAbout : public gui::Form {
 public:
  // Shows itself at once, centred on the owner; it frees itself when closed.
  explicit TAbout(HWND owner);
  ~TAbout() override;

  gui::PictureBox Image;
  gui::Label Label1;
  gui::Label Label2;
  gui::Panel Bevel1;
  gui::Button Button1;

  void FormCreate();
  void Button1Click();
  void FormClose();

 private:
  HICON icon_ = nullptr;
};
