#include "app/MainUnit.h"
#include "library/LibraryUpdate.h"
#include "library/MP3Tag.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "ui/FrameRules.h"

TUpdateOutcome TMain::UpdatePlaylists(TUpdateProgress& progress) {
  const TLibraryContext context = LibraryContextOf(Info, &MP3Tag);
  TLibraryUpdate update(context, progress);
  TLibraryUpdate::Outcome outcome = TLibraryUpdate::Outcome::DoneWithFailures;
  {
    // Closes asked for meanwhile wait for this run, however it ends.
    struct Updating {
      bool& flag;
      explicit Updating(bool& f) : flag(f) { flag = true; }
      ~Updating() { flag = false; }
    } updating(updating_);
    // The same steps as the console updater: read "playlist.log", trim the
    // folder (the trimmed value is the one saved), check it, scan, purge and
    // write "playlist.log". Whatever stops the scan, the dialog must end with
    // OK usable, or the playlist window would stay disabled for good.
    try {
      outcome = update.Run(&Info.PlayListPath);
    } catch (const platform::Error& e) {
      progress.ReportFailure(e.Text());
    } catch (const std::exception& e) {
      progress.ReportFailure(platform::Error(e.what()).Text());
    }
  }

  TUpdateOutcome result;
  if (CloseAwaited()) {
    result.closeCame = true;
    // Handled once the window has given itself back.
    if (closeAfterUpdate_) {
      closeAfterUpdate_ = false;
      platform::app::PostCloseMainWindow();
    }
  } else if (outcome == TLibraryUpdate::Outcome::FolderMissing) {
    result.folderUnusable.emplace(kc::kPlaylistFolderMissing);
  } else if (outcome == TLibraryUpdate::Outcome::FolderIsCache) {
    // The library's own folder is as unusable as a missing one: scanning it
    // would take the generated playlists for the user's.
    result.folderUnusable.emplace(kc::kPlaylistFolderIsCache, Info.PlayListPath);
  }
  return result;
}
