#pragma once
// What is playing: whether the player moved on to another track by itself,
// and its title made fit for a notification balloon. Plain rules, apart from
// any window, so that they are tested on their own.
#include <cstddef>
#include <cstdint>
#include <string>

// The title in the player's window caption, "12. Artist - Title - Winamp"
// (" [Paused]" or " [Stopped]" after it while not playing): without the list
// number and the player's name. A caption of another form is kept whole.
std::u16string TitleFromCaption(const std::u16string& caption);

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
  // The list position one poll found; true when the player moved to another
  // entry by itself and is playing it.
  bool Moved(std::int32_t position, bool playing);

 private:
  bool known_ = false;
  std::int32_t position_ = 0;
  int quietPolls_ = 0;
};
