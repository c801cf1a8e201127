#pragma once
// The progress dialog of a library update: four counters, a bar, the result
// text and OK. Modeless and on top; OK gives the playlist window back.
#include "ui/Gui.h"
#include "ui/UpdateInfoView.h"

class TUpdateInfo : public gui::Form, public TUpdateInfoView {
 public:
  // Created on the owner, shown at once centred on it; the owner frees it
  // once it has closed.
  explicit TUpdateInfo(HWND owner);
  ~TUpdateInfo() override;

  gui::Label lblResult;
  gui::Panel Panel;
  gui::Label Label2;
  gui::Label Label3;
  gui::Label Label4;
  gui::Label Label5;
  gui::Label lblSkipped;
  gui::Label lblUpdated;
  gui::Label lblAdded;
  gui::Label lblDeleted;
  gui::ProgressBar ProgressBar;
  gui::Button btnOK;

  void btnOKClick();

  // What the update drives.
  void SetCounter(TUpdateCounter counter, long count) override;
  std::string CounterText(TUpdateCounter counter) const;
  void SetProgressMaximum(int maximum) override;
  int ProgressPosition() const override;
  void SetProgressPosition(int position) override;
  void SetResultText(const std::string& text) override;
  void EnableOK() override;
  void Repaint() override;
  void DrawChanged() override;
  void Close() override;
  platform::WindowHandle DialogHandle() const override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  gui::Label& Counter(TUpdateCounter counter);
  const gui::Label& Counter(TUpdateCounter counter) const;
  HWND owner_;
};
