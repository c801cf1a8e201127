#include "ui/UpdateInfoUnit.h"

#include <algorithm>

#include "ui/FormTexts.h"

namespace {
const char kRunning[] = "プレイリストを更新しています。";
const char kSkippedLabel[] = "スキップしたプレイリスト";
const char kUpdatedLabel[] = "更新したプレイリスト";
const char kAddedLabel[] = "追加したプレイリスト";
const char kDeletedLabel[] = "削除したプレイリスト";
}  // namespace

TUpdateInfo::TUpdateInfo(HWND owner) : owner_(owner) {
  // No system menu and no close box: OK is the way out.
  CreateForm({platform::app::kAppTitle, 201, 202, WS_POPUP | WS_CAPTION | DS_MODALFRAME, WS_EX_TOPMOST}, owner);
  // Created in tab order: the bar, OK, then the panel and the labels.
  Place({
      {&ProgressBar, "ProgressBar", "", 8, 120, 177, 16},
      {&btnOK, "btnOK", uitext::kOK, 112, 144, 75, 25},
      // A lowered outer and a raised inner bevel: the etched frame.
      {&Panel, "Panel", "", 8, 32, 177, 81, nullptr, gui::Align::None, gui::kEtched},
      {&Label2, "Label2", kSkippedLabel, 8, 8, 104, 12, &Panel},
      {&Label3, "Label3", kUpdatedLabel, 8, 24, 93, 12, &Panel},
      {&Label4, "Label4", kAddedLabel, 8, 40, 93, 12, &Panel},
      {&Label5, "Label5", kDeletedLabel, 8, 56, 93, 12, &Panel},
      {&lblSkipped, "lblSkipped", "0", 144, 8, 25, 12, &Panel, gui::Align::None, gui::kRightAligned},
      {&lblUpdated, "lblUpdated", "0", 144, 24, 25, 12, &Panel, gui::Align::None, gui::kRightAligned},
      {&lblAdded, "lblAdded", "0", 144, 40, 25, 12, &Panel, gui::Align::None, gui::kRightAligned},
      {&lblDeleted, "lblDeleted", "0", 144, 56, 25, 12, &Panel, gui::Align::None, gui::kRightAligned},
      {&lblResult, "lblResult", kRunning, 8, 8, 139, 12},
  });
  for (gui::Label* label : {&lblResult, &Label2, &Label3, &Label4, &Label5}) label->FitToText();
  WidenForCaptions();
  ProgressBar.SetRange(0, 100);
  ProgressBar.SetPosition(0);
  btnOK.SetEnabled(false);
  btnOK.OnClick = [this] { btnOKClick(); };
  SetDefaultButton(&btnOK);
  CenterOn(owner);
  Show();
}

TUpdateInfo::~TUpdateInfo() { Destroy(); }

void TUpdateInfo::btnOKClick() {
  if (owner_) EnableWindow(owner_, TRUE);
  Close();
}

LRESULT TUpdateInfo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Alt+F4 and Esc: ignored while the update runs (it still writes to this
  // dialog), the same as OK once it is done, so the playlist window is never
  // left disabled with nothing on screen to enable it.
  const bool keyboardClose =
      message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && lParam == 0);
  if (keyboardClose) {
    if (btnOK.Enabled()) btnOKClick();
    return 0;
  }
  return gui::Form::HandleMessage(message, wParam, lParam);
}

gui::Label& TUpdateInfo::Counter(TUpdateCounter counter) {
  switch (counter) {
    case TUpdateCounter::Skipped: return lblSkipped;
    case TUpdateCounter::Updated: return lblUpdated;
    case TUpdateCounter::Added: return lblAdded;
    case TUpdateCounter::Deleted: break;
  }
  return lblDeleted;
}

void TUpdateInfo::SetCounter(TUpdateCounter counter, long count) { Counter(counter).SetText(std::to_string(count)); }
void TUpdateInfo::SetProgressMaximum(int maximum) { ProgressBar.SetRange(0, maximum); }
int TUpdateInfo::ProgressPosition() const { return ProgressBar.Position(); }
void TUpdateInfo::SetProgressPosition(int position) { ProgressBar.SetPosition(position); }
void TUpdateInfo::SetResultText(const std::string& text) {
  lblResult.SetText(text);
  lblResult.FitToText();
  WidenForCaptions();
}

void TUpdateInfo::WidenForCaptions() {
  // Under another face than the designed one (Wine's stand-in for "MS UI
  // Gothic" has wider kana) a label would run under its counter, or the
  // result text past the dialog's edge: the right-hand column moves right
  // and the dialog widens with it, keeping the design's margins.
  const int gap = gui::Scale(8);
  int labelsRight = 0;
  for (gui::Label* label : {&Label2, &Label3, &Label4, &Label5}) {
    labelsRight = std::max(labelsRight, static_cast<int>(label->Bounds().right));
  }
  // The counters are as tall as the captions' line in this face.
  const RECT caption = Label2.Bounds();
  for (gui::Label* counter : {&lblSkipped, &lblUpdated, &lblAdded, &lblDeleted}) {
    const RECT r = counter->Bounds();
    if (r.bottom - r.top < caption.bottom - caption.top) {
      counter->SetBounds(r.left, r.top, r.right - r.left, caption.bottom - caption.top);
    }
  }
  RECT client{};
  GetClientRect(Form::Handle(), &client);
  const int grow = std::max({0, labelsRight + gap - static_cast<int>(lblSkipped.Bounds().left),
                             static_cast<int>(lblResult.Bounds().right) + gap - static_cast<int>(client.right)});
  if (grow == 0) return;
  const auto shift = [grow](gui::Window& w, bool move, bool widen) {
    const RECT r = w.Bounds();
    w.SetBounds(r.left + (move ? grow : 0), r.top, r.right - r.left + (widen ? grow : 0), r.bottom - r.top);
  };
  for (gui::Label* counter : {&lblSkipped, &lblUpdated, &lblAdded, &lblDeleted}) shift(*counter, true, false);
  shift(Panel, false, true);
  shift(ProgressBar, false, true);
  shift(btnOK, true, false);
  shift(*this, false, true);
}
void TUpdateInfo::EnableOK() { btnOK.SetEnabled(true); }

void TUpdateInfo::Repaint() {
  RedrawWindow(Form::Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TUpdateInfo::DrawChanged() { RedrawWindow(Form::Handle(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW); }
