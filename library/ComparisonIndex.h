#pragma once
// An index of keys by the locale comparison (letter case ignored), over
// entries its owner keeps: open addressing on the comparison's hash, so that
// tens of thousands of keys are found without a comparison per entry and
// without a folded copy of each key.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Locale.h"

class TComparisonIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Room for `entries` keys without growing; before the first Insert.
  void Reserve(std::size_t entries) {
    std::size_t slots = 16;
    while (slots < 2 * entries) slots *= 2;
    if (count_ == 0 && slots > slots_.size()) slots_.assign(slots, Slot{0, 0});
  }

  // The entry whose key compares equal to `key`, or kNone. keyOf(i) gives
  // entry i's key as a std::string_view.
  template <typename KeyOf>
  std::size_t Find(std::string_view key, KeyOf keyOf) const {
    if (slots_.empty()) return kNone;
    const std::uint32_t held = slots_[SlotOf(platform::CaseInsensitiveHash(key.data(), key.size()), key, keyOf)].entry;
    return held == 0 ? kNone : held - 1;
  }

  // Records entry `index` under `key`, unless an entry with an equal key is
  // recorded already (the first one keeps answering). Answers the entry
  // that answers for the key.
  template <typename KeyOf>
  std::size_t Insert(std::string_view key, std::size_t index, KeyOf keyOf) {
    if ((count_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2, &keyOf);
    const std::size_t hash = platform::CaseInsensitiveHash(key.data(), key.size());
    Slot& slot = slots_[SlotOf(hash, key, keyOf)];
    if (slot.entry != 0) return slot.entry - 1;
    slot = Slot{TagOf(hash), static_cast<std::uint32_t>(index + 1)};
    ++count_;
    return index;
  }

 private:
  struct Slot {
    std::uint32_t hash;   // part of the key's hash: a probe looks at an entry only when it matches
    std::uint32_t entry;  // entry index + 1; 0 is a free slot
  };

  static std::uint32_t TagOf(std::size_t hash) {
    const std::uint64_t wide = hash;
    return static_cast<std::uint32_t>(wide ^ (wide >> 32));
  }

  // The slot of the entry whose key compares equal, or the free slot where
  // the key belongs.
  template <typename KeyOf>
  std::size_t SlotOf(std::size_t hash, std::string_view key, const KeyOf& keyOf) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = TagOf(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const Slot& held = slots_[slot];
      if (held.entry == 0) return slot;
      if (held.hash != tag) continue;
      const std::string_view other = keyOf(held.entry - 1);
      // Keys met again as written are the common case: no locale call for them.
      if (other == key || platform::EqualIgnoringCase(other.data(), other.size(), key.data(), key.size())) {
        return slot;
      }
    }
  }

  template <typename KeyOf>
  void Rehash(std::size_t slots, const KeyOf* keyOf) {
    std::vector<Slot> old(slots, Slot{0, 0});
    old.swap(slots_);
    const std::size_t mask = slots - 1;
    for (const Slot& held : old) {
      if (held.entry == 0) continue;
      const std::string_view key = (*keyOf)(held.entry - 1);
      std::size_t slot = platform::CaseInsensitiveHash(key.data(), key.size()) & mask;
      while (slots_[slot].entry != 0) slot = (slot + 1) & mask;
      slots_[slot] = held;
    }
  }

  std::vector<Slot> slots_;  // a power of two, at most half full
  std::size_t count_ = 0;
};
