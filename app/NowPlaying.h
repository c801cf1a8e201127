#pragma once
// What is playing: whether the player moved on to another track by itself,
// and its title made fit for a notification balloon. Plain rules, apart from
// any window, so that they are tested on their own.
#include <cstddef>
#include <cstdint>
#include <string>

// The title in the player's window caption, "12. Artist - Title - Winamp"
// (" [Paused]" or " [Stopped]" after it while not playing): without the list
// number and the player's name. False for a caption of another form (a
// player between tracks, a scrolling caption): it names no title.
bool TitleFromCaption(const std::u16string& caption, std::u16string* title);

// No unit of a surrogate pair stands alone: a title read from another
// program's memory that fails this is no text, and is not shown.
bool IsWellFormedUtf16(const std::u16string& text);

// At most `maxUnits` UTF-16 units: a longer text keeps its beginning and ends
// in an ellipsis, never in half of a surrogate pair.
std::u16string CutWithEllipsis(const std::u16string& text, std::size_t maxUnits);

// Tells the player's own moves through its play list from those the program
// asked for, one poll at a time.
class TTrackWatch {
 public:
  // A Prev, Next or Play went to the player, or a play list was handed to
  // it: what it does during the next `polls` polls is its answer to that.
  void CommandSent(int polls);
  // The player is gone, or nobody watches: the next position is only noted.
  void Forget();
  // The list position and the caption's title (empty when the caption names
  // none) one poll found; true when the player moved to another entry by
  // itself and is playing it. A player that answers the position 0 whatever
  // it plays tells its moves by the title alone.
  bool Moved(std::int32_t position, const std::u16string& title, bool playing);

 private:
  bool known_ = false;
  std::int32_t position_ = 0;
  std::u16string title_;
  int quietPolls_ = 0;
};
