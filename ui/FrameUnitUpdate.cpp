// The library update as the playlist window runs it: its dialog drawn at a
// pace, the failures listed at the end, and the closes that stop it.
#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "platform/Application.h"
#include "platform/Beep.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"
#include "ui/FormTexts.h"
#include "ui/FrameUnit.h"
#include "ui/ProgramView.h"
#include "ui/UpdateInfoUnit.h"

namespace {

const char kUpdateDone[] = "プレイリスト更新が完了しました。";
const char kUpdateFailures[] =
    "プレイリスト更新中に処理できなかったものがあります。\r\n"
    "該当するプレイリストは次回の更新でもう一度処理します。\r\n";
const char kUpdateFailuresMore[] = "ほか %s 件";
constexpr std::size_t kUpdateFailuresShown = 15;
constexpr std::chrono::milliseconds kKeepAliveInterval{100};
// The counts and the bar are drawn at most this often (and before a notice
// and at the end): twice a second shows the update moving, and each drawing
// costs tens of milliseconds under Wine (at five a second the update from the
// window took 1.17 times the console's).
constexpr std::chrono::milliseconds kDrawInterval{500};

// The counts and the bar are held here as numbers and drawn at a steady
// pace, not after every playlist: a repaint of the dialog and the playlist
// window costs milliseconds under Wine, more than an unchanged playlist
// takes. The dialog is asked of its owner at every call: a modal box during
// the update runs a message loop, and the dialog may be gone when it returns
// (the session ended).
class TWindowRoad : public TUpdateProgress {
 public:
  explicit TWindowRoad(TFrame& frame) : frame_(frame) {}

  void AddOne(TUpdateCounter counter) override {
    ++counts_[static_cast<int>(counter)];
    DrawWhenDue();
  }
  void SetProgressMaximum(int maximum) override {
    if (TUpdateInfo* dialog = frame_.CurrentUpdateInfo()) dialog->SetProgressMaximum(maximum);
  }
  void StepProgress() override { ++position_; }
  void PlaylistDone() override { DrawWhenDue(); }
  // Inside one playlist of many tracks the thread is kept answering too, at
  // a pace that costs nothing.
  void TrackDone() override {
    if (Clock::now() - lastAlive_ >= kKeepAliveInterval) KeepAlive();
  }
  void BeginPlaylist(const std::string& fileName) override { playlist_ = fileName; }
  void ReportFailure(const platform::Message& failure) override { failures_.emplace_back(playlist_, failure); }
  // Above the dialog, which stays on top, and over the counts as they are.
  void ShowNotice(const platform::Message& notice) override {
    Draw();
    platform::ShowMessageBox(DialogHandle(), notice.Face(), platform::Utf8ToUtf16(platform::app::Title()),
                             platform::kMbOk);
  }
  bool StopRequested() override { return Main->CloseAwaited(); }

  // Every playlist was seen: the trees cleared, the dialog done with OK
  // usable, the beep, then the failures listed.
  void Finished() {
    Show();
    frame_.ClearArtistAndAlbum();
    TUpdateInfo* dialog = frame_.CurrentUpdateInfo();
    if (!dialog) return;
    dialog->SetProgressPosition(dialog->ProgressPosition() + 1);
    dialog->SetResultText(kUpdateDone);
    dialog->EnableOK();
    // The done state is drawn before the beep calls the user to it.
    dialog->Repaint();
    platform::DefaultBeep();
    if (!failures_.empty()) Warn(FailureText());
  }
  // Nothing was changed: the warning over the dialog, the playlist window
  // given back and hidden, the dialog closed, the options dialog opened with
  // its folder chooser.
  void FolderUnusable(const platform::Message& warning) {
    Warn(warning.Face());
    frame_.SetEnabled(true);
    frame_.Hide();
    if (TUpdateInfo* dialog = frame_.CurrentUpdateInfo()) dialog->Close();
    TFrame& frame = frame_;
    frame_.OpenOptions(reinterpret_cast<HWND>(platform::app::MainWindow()), true,
                       [&frame] { frame.LoadPlaylistTree(); });
  }
  // A close or the session's end came: nobody will look at the end, and the
  // window is given back in case the session goes on.
  void Abandoned() {
    if (TUpdateInfo* dialog = frame_.CurrentUpdateInfo()) dialog->Close();
    frame_.SetEnabled(true);
  }

 private:
  using Clock = std::chrono::steady_clock;

  platform::WindowHandle DialogHandle() const {
    TUpdateInfo* dialog = frame_.CurrentUpdateInfo();
    return dialog ? reinterpret_cast<platform::WindowHandle>(dialog->Handle()) : 0;
  }
  void Warn(const std::u16string& text) {
    platform::ShowMessageBox(DialogHandle(), text, platform::Utf8ToUtf16(platform::kWarningCaption),
                             platform::kMbOk | platform::kMbIconWarning);
  }
  // One line per failure, led by the playlist it belongs to.
  std::u16string FailureText() const {
    std::u16string text = platform::Utf8ToUtf16(kUpdateFailures);
    const std::size_t shown = std::min(failures_.size(), kUpdateFailuresShown);
    for (std::size_t i = 0; i < shown; ++i) {
      text += u"\r\n";
      if (!failures_[i].first.empty()) text += platform::Utf8ToUtf16(failures_[i].first) + u" : ";
      text += failures_[i].second.Face();
    }
    if (failures_.size() > shown) {
      text += u"\r\n" + platform::Message(kUpdateFailuresMore, std::to_string(failures_.size() - shown)).Face();
    }
    return text;
  }

  // The counts and the bar put into the dialog, to be drawn by the caller.
  void Show() {
    TUpdateInfo* dialog = frame_.CurrentUpdateInfo();
    if (!dialog) return;
    for (int i = 0; i < 4; ++i) {
      if (counts_[i] == shown_[i]) continue;
      dialog->SetCounter(static_cast<TUpdateCounter>(i), counts_[i]);
      shown_[i] = counts_[i];
    }
    dialog->SetProgressPosition(position_);
  }
  void DrawWhenDue() {
    if (Clock::now() - lastDrawn_ >= kDrawInterval) Draw();
  }
  // Shows the counts and the bar and draws what waits to be drawn of both
  // windows; the queue looked at too, so the thread is seen to answer.
  void Draw() {
    Show();
    if (TUpdateInfo* dialog = frame_.CurrentUpdateInfo()) dialog->DrawChanged();
    // Nothing at all when nothing waits: under Wine a forced update of the
    // window costs milliseconds even then.
    bool waiting = GetUpdateRect(frame_.Handle(), nullptr, FALSE) != FALSE;
    for (gui::Control* c : frame_.Controls()) waiting = waiting || GetUpdateRect(c->Handle(), nullptr, FALSE);
    if (waiting) RedrawWindow(frame_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    KeepAlive();
    lastDrawn_ = Clock::now();
  }
  // Once a close waits, the end of the session must find the update
  // already stopped: the queue is left alone.
  void KeepAlive() {
    lastAlive_ = Clock::now();
    if (!Main->CloseAwaited()) platform::app::AnswerWhileBusy();
  }

  TFrame& frame_;
  long counts_[4] = {};
  long shown_[4] = {};
  int position_ = 0;
  // The first outcome is drawn at once; the rest at the pace above.
  Clock::time_point lastDrawn_{};
  Clock::time_point lastAlive_ = Clock::now();
  std::string playlist_;
  std::vector<std::pair<std::string, platform::Message>> failures_;
};

}  // namespace

TUpdateInfo* TFrame::OpenUpdateInfo() {
  // A dialog left from an earlier update goes: the update talks to one.
  if (TUpdateInfo* old = CurrentUpdateInfo()) old->Close();
  update_ = std::make_unique<TUpdateInfo>(Handle());
  FreeWhenClosed(*update_, &updateNumber_);
  updateOpen_ = true;
  return update_.get();
}

void TFrame::RunLibraryUpdate() {
  // Disabled until the update dialog's OK (or the missing-folder path) gives
  // the window back; an update that failed outright must not keep it so.
  // Disabling takes the focus away without a deactivation.
  RememberFocusTree();
  SetEnabled(false);
  // Drawn before the work starts: the update keeps the thread until it ends.
  OpenUpdateInfo()->Repaint();
  TWindowRoad road(*this);
  TUpdateOutcome outcome;
  try {
    outcome = Main->UpdatePlaylists(road);
  } catch (...) {
    SetEnabled(true);
    throw;
  }
  if (outcome.closeCame) {
    road.Abandoned();
  } else if (outcome.folderUnusable) {
    road.FolderUnusable(*outcome.folderUnusable);
  } else {
    road.Finished();
  }
  LoadPlaylistTree();
}
