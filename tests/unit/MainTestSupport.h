#pragma once
// A simulated desktop with the program folder C:\Kelvane (icons in place) and
// a stand-in player window that keeps its play state as the real one would.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Messaging.h"
#include "tests/sim/SimDesktop.h"
#include "platform/posix/SimFileSystem.h"
#include "tests/sim/FrameStandIn.h"

namespace kvtest {

inline std::string MinimalIco() { return std::string("\0\0\1\0\1\0", 6) + std::string(16, '\0'); }

// The player as seen through its window: answers the play-state query and
// follows the commands it is sent.
struct FakePlayer {
  platform::WindowHandle wnd = 0;
  std::int32_t state = kc::psStopped;
  std::vector<std::string> received;

  void Start() {
    wnd = sim::AddWindow(kc::kPlayerWindowClass, [this](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
      return Handle(m, w, l);
    });
  }
  void Close() {
    sim::RemoveWindow(wnd);
    wnd = 0;
  }
  std::intptr_t Handle(std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
    if (m == platform::kWmUser && l == 104) return state;
    if (m == platform::kWmCommand) {
      switch (w) {
        case 40045: state = kc::psPlaying; break;
        case 40046: state = state == kc::psPaused ? kc::psPlaying : state == kc::psPlaying ? kc::psPaused : state; break;
        case 40047: case 40147: state = kc::psStopped; break;
        case 40001: Close(); break;
        default: break;
      }
    }
    return 0;
  }
};

class MainFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    framestandin::Reset();
    root_ = std::filesystem::temp_directory_path() /
            ("kelvane-main-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    sim::SetFileSystemRoot(root_.string());
    sim::SetProgramFilePath("C:\\Kelvane\\kelvane.exe");
    for (const char* name : {"Prev", "Play", "Pause", "Stop", "Next", "Eject"}) {
      WriteFile(std::string("C:\\Kelvane\\icon\\") + name + ".ico", MinimalIco());
    }
    platform::app::SetTitle(platform::app::kAppTitle);
  }
  void TearDown() override {
    main_.reset();
    sim::UnlockAllFiles();
    sim::Reset();
    std::filesystem::remove_all(root_);
  }

  void WriteFile(const std::string& windowsPath, const std::string& bytes) {
    const std::filesystem::path host = sim::HostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& windowsPath) {
    std::string bytes;
    platform::ReadWholeFile(windowsPath, &bytes);
    return bytes;
  }
  void WriteIni(const std::string& text) { WriteFile("C:\\Kelvane\\kelvane.ini", text); }

  // Creates the main object and runs its start-up.
  TMain& Start() {
    main_ = std::make_unique<TMain>();
    platform::app::CreateMainWindow(main_.get());
    main_->FormCreate();
    return *main_;
  }
  // A main object with every field at its start-up value but no start-up run:
  // for operations tested on their own.
  TMain& Bare() {
    main_ = std::make_unique<TMain>();
    platform::app::CreateMainWindow(main_.get());
    main_->InitCommandTable();
    main_->InitDefaults();
    main_->CreatePlaylistWindow();
    return *main_;
  }

  std::vector<std::string> Messages() { return sim::JournalLines("send "); }
  std::string Msg(std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
    return "send " + std::to_string(player_.wnd) + " " + std::to_string(m) + " " + std::to_string(w) + " " +
           std::to_string(l);
  }
  std::string Cmd(int id) { return Msg(platform::kWmCommand, static_cast<std::uintptr_t>(id), 0); }
  std::string Query() { return Msg(platform::kWmUser, 0, 104); }
  // Player commands only: the journal's sends without the state queries.
  std::vector<std::string> Commands() {
    std::vector<std::string> out;
    for (const std::string& line : sim::JournalLines("send ")) {
      const std::string query = " 1024 0 104";
      if (line.size() < query.size() || line.substr(line.size() - query.size()) != query) out.push_back(line);
    }
    return out;
  }
  std::vector<std::pair<std::uint32_t, std::string>> Tray() { return sim::TrayIcons(); }
  // The ids in the tray, in the order they were added.
  std::vector<std::uint32_t> TrayIds() {
    std::vector<std::uint32_t> ids;
    for (const auto& [id, icon] : Tray()) ids.push_back(id);
    return ids;
  }
  // The picture of the Play button, or "" when it is not in the tray.
  std::string PlayImage() {
    for (const auto& [id, icon] : Tray()) {
      if (id == 2) return icon;
    }
    return "";
  }

  std::filesystem::path root_;
  std::unique_ptr<TMain> main_;
  FakePlayer player_;
};

}  // namespace kvtest
