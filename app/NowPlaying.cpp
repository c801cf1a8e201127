#include "app/NowPlaying.h"

bool TitleFromCaption(const std::u16string& caption, std::u16string* title) {
  const std::size_t end = caption.rfind(u" - Winamp");
  if (end == std::u16string::npos) return false;
  const std::u16string after = caption.substr(end + 9);
  if (!after.empty() && after != u" [Paused]" && after != u" [Stopped]") return false;
  std::size_t digits = 0;
  while (digits < end && caption[digits] >= u'0' && caption[digits] <= u'9') ++digits;
  const std::size_t start = digits > 0 && caption.compare(digits, 2, u". ") == 0 ? digits + 2 : 0;
  if (start >= end) return false;
  *title = caption.substr(start, end - start);
  return true;
}

bool IsWellFormedUtf16(const std::u16string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
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

bool TTrackWatch::Moved(std::int32_t position, const std::u16string& title, bool playing) {
  const bool quiet = quietPolls_ > 0;
  if (quiet) --quietPolls_;
  // Only at 0 can the position fail to tell: a player that answers it stays
  // there while the caption's title changes.
  const bool retitled = position == 0 && !title.empty() && !title_.empty() && title != title_;
  const bool moved = known_ && (position != position_ || retitled);
  known_ = true;
  position_ = position;
  title_ = title;
  return moved && playing && !quiet;
}
