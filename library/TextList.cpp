#include "library/TextList.h"

#include <cstring>

#include "app/ConstUnit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

TLines ParseTextList(const std::string& bytes) {
  TLines lines;
  const std::size_t end = std::min(bytes.size(), bytes.find('\0'));
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < end) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(bytes, start, i - start);
      i += (c == '\r' && i + 1 < end && bytes[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < end) lines.emplace_back(bytes, start, end - start);
  return lines;
}

std::string FormatTextList(const TLines& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const auto& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

bool ReadTextList(const std::string& path, TLines* lines) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, &bytes)) return false;
  *lines = ParseTextList(bytes);
  return true;
}

TLines ReadRequiredTextList(const std::string& path) {
  TLines lines;
  if (!ReadTextList(path, &lines)) throw platform::Error(platform::FormatText(kc::kErrCannotOpen, path));
  return lines;
}

void WriteTextList(const std::string& path, const TLines& lines) {
  platform::WriteFileSafely(path, FormatTextList(lines));
}

void WriteRebuildableTextList(const std::string& path, const TLines& lines) {
  platform::WriteRebuildableFile(path, FormatTextList(lines));
}

std::string QuotedText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
  return out;
}

namespace {

// The end (one past the closing quote) of the quoted text at the start of
// `text`, or npos when it has no closing quote.
std::size_t QuotedEnd(const std::string& text) {
  if (text.empty() || text[0] != '\'') return std::string::npos;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '\'') continue;
    if (i + 1 < text.size() && text[i + 1] == '\'') {
      ++i;
      continue;
    }
    return i + 1;
  }
  return std::string::npos;
}

}  // namespace

std::string UnquotedText(const std::string& quoted) {
  if (quoted.empty() || quoted[0] != '\'') return std::string();
  std::string out;
  for (std::size_t i = 1; i < quoted.size(); ++i) {
    if (quoted[i] == '\'') {
      if (i + 1 < quoted.size() && quoted[i + 1] == '\'') {
        out += '\'';
        ++i;
        continue;
      }
      break;
    }
    out += quoted[i];
  }
  return out;
}

void SplitKeyValue(const std::string& line, std::string* key, std::string* value) {
  std::size_t equals = std::string::npos;
  const std::size_t quotedEnd = QuotedEnd(line);
  if (quotedEnd != std::string::npos && quotedEnd < line.size() && line[quotedEnd] == '=') {
    equals = quotedEnd;
  } else {
    equals = line.find('=');
  }
  if (equals == std::string::npos) {
    key->clear();
    value->clear();
    return;
  }
  key->assign(line, 0, equals);
  value->assign(line, equals + 1, std::string::npos);
}

TKeyValueList::TKeyValueList(TLines lines) : lines_(std::move(lines)) {
  const std::size_t n = lines_.size();
  keys_.resize(n);
  values_.resize(n);
  alive_.assign(n, true);
  next_.assign(n, kNone);
  live_ = n;
  index_.reserve(n);
  // The last line of each key's chain, by the chain's first line.
  std::vector<std::size_t> last(n, kNone);
  for (std::size_t i = 0; i < n; ++i) {
    SplitKeyValue(lines_[i], &keys_[i], &values_[i]);
    const auto [at, inserted] = index_.try_emplace(platform::CaseInsensitiveKey(keys_[i]), i);
    std::size_t& tail = last[at->second];
    if (!inserted) next_[tail] = i;
    tail = i;
  }
}

std::string TKeyValueList::Lookup(const std::string& key) const {
  const auto it = index_.find(platform::CaseInsensitiveKey(key));
  if (it == index_.end()) return std::string();
  for (std::size_t i = it->second; i != kNone; i = next_[i]) {
    if (alive_[i]) return values_[i];
  }
  return std::string();
}

void TKeyValueList::RemoveExact(const std::string& key) {
  const auto it = index_.find(platform::CaseInsensitiveKey(key));
  if (it == index_.end()) return;
  for (std::size_t i = it->second; i != kNone; i = next_[i]) {
    if (alive_[i] && keys_[i] == key) {
      alive_[i] = false;
      --live_;
      return;
    }
  }
}

TLines TKeyValueList::LiveLines() const {
  TLines out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (alive_[i]) out.push_back(lines_[i]);
  }
  return out;
}
