#include "UpdateInfoRecorder.h"

#include <gtest/gtest.h>

#include <memory>

namespace kvtest {
namespace {

UpdateWindowsRecord record;

class RecordedDialog : public TUpdateInfoView {
 public:
  explicit RecordedDialog(std::size_t index) : index_(index) {}
  UpdateWindowsRecord::Dialog& D() const { return record.dialogs[index_]; }

  std::string CounterText(TUpdateCounter counter) const override { return D().counters[static_cast<int>(counter)]; }
  void SetCounterText(TUpdateCounter counter, const std::string& text) override {
    D().counters[static_cast<int>(counter)] = text;
  }
  void SetProgressMaximum(int maximum) override { D().maximum = maximum; }
  int ProgressPosition() const override { return D().position; }
  void SetProgressPosition(int position) override { D().position = position; }
  void SetResultText(const std::string& text) override {
    D().result = text;
    record.events.push_back("result " + text);
  }
  void EnableOK() override {
    D().okEnabled = true;
    record.events.push_back("ok enabled");
  }
  void Repaint() override { record.events.push_back("repaint"); }
  void Close() override {
    D().closed = true;
    record.events.push_back("close");
    if (UpdateInfo == this) UpdateInfo = nullptr;
  }
  platform::WindowHandle DialogHandle() const override { return D().handle; }

 private:
  std::size_t index_;
};

std::vector<std::unique_ptr<RecordedDialog>> live;

}  // namespace

UpdateWindowsRecord& UpdateWindows() { return record; }

void PressOK() {
  ASSERT_NE(UpdateInfo, nullptr);
  ASSERT_TRUE(record.dialogs.back().okEnabled);
  updatewindows::EnablePlaylistWindow();
  UpdateInfo->Close();
}

void ResetUpdateWindows() {
  UpdateInfo = nullptr;
  live.clear();
  record = UpdateWindowsRecord();
}

}  // namespace kvtest

namespace updatewindows {

using kvtest::record;

TUpdateInfoView* CreateUpdateInfo() {
  kvtest::UpdateWindowsRecord::Dialog dialog;
  dialog.handle = 0x7000 + record.dialogs.size();
  record.dialogs.push_back(dialog);
  record.events.push_back("create");
  kvtest::live.push_back(std::make_unique<kvtest::RecordedDialog>(record.dialogs.size() - 1));
  return kvtest::live.back().get();
}

void EnablePlaylistWindow() { record.events.push_back("frame enable"); }
void HidePlaylistWindow() { record.events.push_back("frame hide"); }
void RepaintPlaylistWindow() { record.events.push_back("frame repaint"); }
void ClearArtistAndAlbumTrees() { record.events.push_back("clear trees"); }
void KeepAlive() { record.events.push_back("keep alive"); }
void ShowOptionsWithBrowse() { record.events.push_back("options browse"); }

}  // namespace updatewindows
