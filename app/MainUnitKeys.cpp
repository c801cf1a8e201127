#include "app/MainUnit.h"

#include <algorithm>

#include "platform/Dialogs.h"
#include "platform/HotKeys.h"

namespace {

bool Holds(const std::vector<TWantedKey>& keys, const TWantedKey& key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

void TMain::RegisterHotKeys(bool tell) {
  const std::vector<TWantedKey> wanted = WantedKeys(Info);
  lastWanted_ = wanted;
  if (!keyWindow_) {
    if (wanted.empty()) return;
    keyWindow_ = std::make_unique<platform::HiddenWindow>(
        [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t, std::intptr_t* result) {
          if (message == platform::kWmHotKey) {
            HotKeyPressed(static_cast<int>(wParam));
            *result = 0;
            return true;
          }
          // A key another program held may be free by the time the user
          // comes back: it is taken then, without a trip to the options.
          if (message == platform::kWmSessionChange &&
              (wParam == platform::kSessionUnlock || wParam == platform::kSessionConsoleConnect ||
               wParam == platform::kSessionRemoteConnect)) {
            RegisterHotKeys(false);
          }
          return false;
        });
    platform::WatchSession(keyWindow_->Handle(), true);
  }
  const platform::WindowHandle window = keyWindow_->Handle();
  for (auto it = heldKeys_.begin(); it != heldKeys_.end();) {
    if (Holds(wanted, *it)) {
      ++it;
    } else {
      platform::ReleaseHotKey(window, it->Id);
      it = heldKeys_.erase(it);
    }
  }
  std::vector<TWantedKey> failed;
  for (const TWantedKey& key : wanted) {
    if (Holds(heldKeys_, key)) continue;
    if (platform::ClaimHotKey(window, key.Id, key.Key)) {
      heldKeys_.push_back(key);
    } else {
      failed.push_back(key);
    }
  }
  if (tell && !failed.empty()) {
    platform::ShowMessageBox(platform::app::MainWindow(), platform::Utf8ToUtf16(HeldKeysMessage(failed)),
                             platform::Utf8ToUtf16(platform::kWarningCaption),
                             platform::kMbOk | platform::kMbIconWarning);
  }
}

void TMain::ReleaseHotKeys() {
  if (!keyWindow_) return;
  for (const TWantedKey& key : heldKeys_) platform::ReleaseHotKey(keyWindow_->Handle(), key.Id);
  heldKeys_.clear();
  platform::WatchSession(keyWindow_->Handle(), false);
  keyWindow_.reset();
}

void TMain::HotKeyPressed(int id) {
  // Only the Play/Pause key asks the player: a shortcut is its button's click.
  const std::int32_t state = id == hkMediaPlayPause ? QueryPlayState() : Player.LastPlayState;
  const TKeyClick click = KeyClick(id, state);
  TrayClick(click.Button, click.Kind);
}
