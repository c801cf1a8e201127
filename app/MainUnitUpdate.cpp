#include "app/MainUnit.h"
#include "library/LibraryUpdate.h"
#include "library/MP3Tag.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "ui/UpdateRoad.h"

void TMain::UpdatePlaylists(TUpdateRoad& road) {
  TLibraryContext context;
  context.AppDir = Info.AppDir;
  context.CheckMP3OnUpdate = Info.CheckMP3OnUpdate;
  context.ReadID3v2 = Info.ReadID3v2;
  context.GroupByAlbumArtist = Info.GroupByAlbumArtist;
  context.UnicodeLibrary = Info.UnicodeLibrary;
  context.TagReaderHolder = &MP3Tag;

  TLibraryUpdate update(context, road);
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
      road.ReportFailure(e.Text());
    } catch (const std::exception& e) {
      road.ReportFailure(platform::Error(e.what()).Text());
    }
  }

  if (CloseAwaited()) {
    road.Abandoned();
    if (closeAfterUpdate_) {
      closeAfterUpdate_ = false;
      platform::app::PostCloseMainWindow();
    }
    return;
  }
  // The library's own folder is as unusable as a missing one: scanning it
  // would take the generated playlists for the user's.
  if (outcome == TLibraryUpdate::Outcome::FolderMissing) {
    road.FolderUnusable(platform::Message(kc::kPlaylistFolderMissing));
  } else if (outcome == TLibraryUpdate::Outcome::FolderIsCache) {
    road.FolderUnusable(platform::Message(kc::kPlaylistFolderIsCache, Info.PlayListPath));
  } else {
    road.Finished();
  }
}
