#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "app/MainUnit.h"
#include "app/MyFunctions.h"
#include "library/LibraryUpdate.h"
#include "library/MP3Tag.h"
#include "platform/Beep.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "ui/UpdateInfoView.h"

namespace {

// The update's dialog as it is now: the user may close it while the update
// runs (a message box's loop hands on the close).
TUpdateInfoView* Dialog() { return updatewindows::UpdateInfo(); }

// The update as the dialog shows it. The counts and the bar are held here as
// numbers and drawn at a steady pace, not after every playlist: a repaint of
// the dialog and the playlist window costs milliseconds under Wine, more than
// an unchanged playlist takes. Every call goes through the program-wide
// reference: a modal box during the update runs a message loop, and the
// dialog may be gone when it returns (the session ended).
class TUpdateInfoProgress : public TUpdateProgress {
 public:
  explicit TUpdateInfoProgress(TMain& main) : main_(main) {}
  void AddOne(TUpdateCounter counter) override {
    ++counts_[static_cast<int>(counter)];
    DrawWhenDue();
  }
  void RepaintDialog() override { DrawWhenDue(); }
  void SetProgressMaximum(int maximum) override {
    if (Dialog()) Dialog()->SetProgressMaximum(maximum);
  }
  void StepProgress() override { ++position_; }
  void RepaintPlaylistWindow() override { DrawWhenDue(); }
  bool StopRequested() override { return main_.CloseAwaited(); }
  void BeginPlaylist(const std::string& fileName) override { playlist_ = fileName; }
  void ReportFailure(const std::string& text) override { failures_.emplace_back(playlist_, text); }
  // The tag reader's notice must stand above the dialog, which stays on top,
  // and over the counts as they are.
  void ShowNotice(const std::string& text) override {
    Draw();
    main_.ShowLibraryNotice(Dialog() ? Dialog()->DialogHandle() : 0, text);
  }

  // Inside one playlist of many tracks the thread is kept answering too, at
  // a pace that costs nothing.
  void TrackDone() {
    const Clock::time_point now = Clock::now();
    if (now - lastAlive_ < std::chrono::milliseconds(kc::kKeepAliveIntervalMs)) return;
    KeepAlive();
  }
  // The counts and the bar put into the dialog, to be drawn by the caller.
  void Show() {
    if (!Dialog()) return;
    for (int i = 0; i < 4; ++i) {
      if (counts_[i] == shown_[i]) continue;
      Dialog()->SetCounter(static_cast<TUpdateCounter>(i), counts_[i]);
      shown_[i] = counts_[i];
    }
    Dialog()->SetProgressPosition(position_);
  }
  void Fail(const std::string& text) { failures_.emplace_back(std::string(), text); }

  // One line per failure, led by the playlist it belongs to; the library's
  // texts and the names each converted by their own rule.
  std::u16string FailureText() const {
    std::u16string text = platform::FixedToUtf16(kc::kUpdateFailures);
    const std::size_t shown = std::min<std::size_t>(failures_.size(), kc::kUpdateFailuresShown);
    for (std::size_t i = 0; i < shown; ++i) {
      text += u"\r\n";
      if (!failures_[i].first.empty()) text += platform::AnsiToUtf16(failures_[i].first) + u" : ";
      text += LibraryTextFace(failures_[i].second);
    }
    if (failures_.size() > shown) {
      text += u"\r\n" + platform::FormatFace(kc::kUpdateFailuresMore, std::to_string(failures_.size() - shown));
    }
    return text;
  }
  bool HadFailures() const { return !failures_.empty(); }

 private:
  TMain& main_;
  long counts_[4] = {};
  using Clock = std::chrono::steady_clock;
  void DrawWhenDue() {
    if (Clock::now() - lastDrawn_ >= std::chrono::milliseconds(kc::kProgressDrawIntervalMs)) Draw();
  }
  // Shows the counts and the bar and draws both windows; the queue looked at
  // too, so the thread is seen to answer.
  void Draw() {
    Show();
    if (Dialog()) Dialog()->DrawChanged();
    updatewindows::RepaintPlaylistWindow();
    KeepAlive();
    lastDrawn_ = Clock::now();
  }
  void KeepAlive() {
    // Looking at the queue hands over messages sent to us; once a close
    // waits, the end of the session must find the update already stopped.
    if (!main_.CloseAwaited()) updatewindows::KeepAlive();
    lastAlive_ = Clock::now();
  }
  long shown_[4] = {};
  int position_ = 0;
  // The first outcome is drawn at once; the rest at the pace above.
  Clock::time_point lastDrawn_{};
  std::string playlist_;
  std::vector<std::pair<std::string, std::string>> failures_;
  Clock::time_point lastAlive_ = Clock::now();
};

}  // namespace

void TMain::UpdatePlaylists() {
  // A dialog left from an earlier update would be orphaned by the reference.
  if (Dialog()) Dialog()->Close();
  updatewindows::CreateUpdateInfo()->Repaint();

  TUpdateInfoProgress progress(*this);
  TLibraryContext context;
  context.AppDir = Info.AppDir;
  context.CheckMP3OnUpdate = Info.CheckMP3OnUpdate;
  context.ReadID3v2 = Info.ReadID3v2;
  context.TagReaderHolder = &MP3Tag;
  context.KeepAlive = [&progress] { progress.TrackDone(); };

  TLibraryUpdate update(context, progress);
  TLibraryUpdate::Outcome outcome = TLibraryUpdate::Outcome::DoneWithFailures;
  {
    // Closes asked for meanwhile wait for this run, however it ends.
    struct Updating {
      bool& flag;
      explicit Updating(bool& f) : flag(f) { flag = true; }
      ~Updating() { flag = false; }
    } updating(updating_);
    try {
      // The same steps as the console updater: read "playlist.log", trim the
      // folder (the trimmed value is the one saved), check it, scan, purge and
      // write "playlist.log".
      outcome = update.Run(&Info.PlayListPath);
    } catch (const std::exception& e) {
      // Whatever stopped the scan, the dialog must end with OK usable, or the
      // playlist window would stay disabled for good.
      progress.Fail(e.what());
    }
  }

  if (CloseAwaited()) {
    // Nobody will look at this update's end. The window is given back in
    // case the session goes on after all.
    if (Dialog()) Dialog()->Close();
    updatewindows::EnablePlaylistWindow();
    if (closeAfterUpdate_) {
      closeAfterUpdate_ = false;
      platform::app::PostCloseMainWindow();
    }
    return;
  }

  if (outcome == TLibraryUpdate::Outcome::FolderMissing || outcome == TLibraryUpdate::Outcome::FolderIsCache) {
    // The library's own folder is as unusable as a missing one: scanning it
    // would take the generated playlists for the user's.
    const std::u16string text = outcome == TLibraryUpdate::Outcome::FolderMissing
                                    ? platform::FixedToUtf16(kc::kPlaylistFolderMissing)
                                    : platform::FormatFace(kc::kPlaylistFolderIsCache, Info.PlayListPath);
    platform::ShowMessageBox(Dialog() ? Dialog()->DialogHandle() : 0, text,
                             platform::FixedToUtf16(kc::kWarningCaption),
                             platform::kMbOk | platform::kMbIconWarning);
    updatewindows::EnablePlaylistWindow();
    updatewindows::HidePlaylistWindow();
    if (Dialog()) Dialog()->Close();
    updatewindows::ShowOptionsWithBrowse();
    return;
  }

  progress.Show();
  updatewindows::ClearArtistAndAlbumTrees();
  if (!Dialog()) return;
  Dialog()->SetProgressPosition(Dialog()->ProgressPosition() + 1);
  Dialog()->SetResultText(kc::kUpdateDone);
  Dialog()->EnableOK();
  // The done state is drawn before the beep calls the user to it.
  Dialog()->Repaint();
  platform::DefaultBeep();
  if (progress.HadFailures()) {
    platform::ShowMessageBox(Dialog()->DialogHandle(), progress.FailureText(),
                             platform::FixedToUtf16(kc::kWarningCaption),
                             platform::kMbOk | platform::kMbIconWarning);
  }
}
