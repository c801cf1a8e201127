#pragma once
// The progress dialog of a library update: four counters, a bar, the result
// text and OK. Modeless and on top; OK gives the playlist window back.
#include "ui/Gui.h"
#include "library/UpdateProgress.h"

class TUpdateInfo : public gui::Form {
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
  void SetCounter(TUpdateCounter counter, long count);
  void SetProgressMaximum(int maximum);
  int ProgressPosition() const;
  void SetProgressPosition(int position);
  void SetResultText(const std::string& text);
  void EnableOK();
  // Draws the whole dialog at once: the update keeps the thread until it ends.
  void Repaint();
  // Draws at once only what changed since it was last drawn (the counts, the
  // bar).
  void DrawChanged();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  gui::Label& Counter(TUpdateCounter counter);
  // Widens the dialog where a caption fitted to its text needs more room
  // than the design gives it.
  void WidenForCaptions();
  HWND owner_;
};
