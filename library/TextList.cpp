#include "library/TextList.h"

#include <cstring>

#include "app/ConstUnit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

TLines ParseTextList(const std::string& bytes) {
  TLines lines;
  ForEachTextLine(bytes, [&](const char* line, std::size_t size) { lines.emplace_back(line, size); });
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

std::string ReadRequiredTextBytes(const std::string& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, &bytes)) {
    throw platform::Error(platform::FormatText(kc::kErrCannotOpen, path));
  }
  return bytes;
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

std::size_t KeyValueSplitAt(const char* line, std::size_t size) {
  // A quoted key: its closing quote (a doubled quote stands for one).
  if (size > 0 && line[0] == '\'') {
    for (std::size_t i = 1; i < size; ++i) {
      if (line[i] != '\'') continue;
      if (i + 1 < size && line[i + 1] == '\'') {
        ++i;
        continue;
      }
      if (i + 1 < size && line[i + 1] == '=') return i + 1;
      break;
    }
  }
  const void* equals = std::memchr(line, '=', size);
  return equals ? static_cast<std::size_t>(static_cast<const char*>(equals) - line) : std::string::npos;
}

void SplitKeyValue(const std::string& line, std::string* key, std::string* value) {
  const std::size_t equals = KeyValueSplitAt(line.data(), line.size());
  if (equals == std::string::npos) {
    key->clear();
    value->clear();
    return;
  }
  key->assign(line, 0, equals);
  value->assign(line, equals + 1, std::string::npos);
}

TKeyValueLookup::TKeyValueLookup(const std::string& bytes) {
  std::string key;
  ForEachTextLine(bytes, [&](const char* line, std::size_t size) {
    const std::size_t equals = KeyValueSplitAt(line, size);
    if (equals == std::string::npos) {
      key.clear();
      values_.try_emplace(platform::CaseInsensitiveKey(key));
      return;
    }
    key.assign(line, equals);
    values_.try_emplace(platform::CaseInsensitiveKey(key), line + equals + 1, size - equals - 1);
  });
}

const std::string* TKeyValueLookup::Find(const std::string& key) const {
  const auto it = values_.find(platform::CaseInsensitiveKey(key));
  return it == values_.end() ? nullptr : &it->second;
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
