#include "app/NowPlaying.h"

std::u16string TitleFromCaption(const std::u16string& caption) {
  std::u16string title = caption;
  const std::size_t end = title.rfind(u" - Winamp");
  if (end != std::u16string::npos && (end + 9 == title.size() || title.compare(end + 9, 2, u" [") == 0)) {
    title.erase(end);
  }
  std::size_t digits = 0;
  while (digits < title.size() && title[digits] >= u'0' && title[digits] <= u'9') ++digits;
  if (digits > 0 && title.compare(digits, 2, u". ") == 0) title.erase(0, digits + 2);
  return title;
}

std::u16string CutWithEllipsis(const std::u16string& text, std::size_t maxUnits) {
  if (text.size() <= maxUnits) return text;
  if (maxUnits == 0) return std::u16string();
  std::size_t keep = maxUnits - 1;
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  return text.substr(0, keep) + u'\u2026';
}

void TTrackWatch::CommandSent(int polls) { quietPolls_ = polls; }

void TTrackWatch::Forget() { known_ = false; }

bool TTrackWatch::Moved(std::int32_t position, bool playing) {
  const bool quiet = quietPolls_ > 0;
  if (quiet) --quietPolls_;
  const bool moved = known_ && position != position_;
  known_ = true;
  position_ = position;
  return moved && playing && !quiet;
}
