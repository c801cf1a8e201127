#include "tests/sim/UpdateInfoStandIn.h"

#include <memory>

namespace updateinfostandin {
namespace {

Record record;
TUpdateInfoView* current = nullptr;

class RecordedDialog : public TUpdateInfoView {
 public:
  explicit RecordedDialog(std::size_t index) : index_(index) {}
  Record::Dialog& D() const { return record.dialogs[index_]; }

  void SetCounter(TUpdateCounter counter, long count) override {
    D().counters[static_cast<int>(counter)] = std::to_string(count);
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
  void DrawChanged() override { record.events.push_back("draw changed"); }
  void Close() override {
    D().closed = true;
    record.events.push_back("close");
    if (current == this) current = nullptr;
  }
  platform::WindowHandle DialogHandle() const override { return D().handle; }

 private:
  std::size_t index_;
};

std::vector<std::unique_ptr<RecordedDialog>> live;

}  // namespace

Record& Calls() { return record; }

bool PressOK() {
  if (!current || !record.dialogs.back().okEnabled) return false;
  updatewindows::EnablePlaylistWindow();
  current->Close();
  return true;
}

void Reset() {
  current = nullptr;
  live.clear();
  record = Record();
}

}  // namespace updateinfostandin

namespace updatewindows {

using updateinfostandin::record;

TUpdateInfoView* CreateUpdateInfo() {
  updateinfostandin::Record::Dialog dialog;
  dialog.handle = 0x7000 + record.dialogs.size();
  record.dialogs.push_back(dialog);
  record.events.push_back("create");
  updateinfostandin::live.push_back(std::make_unique<updateinfostandin::RecordedDialog>(record.dialogs.size() - 1));
  updateinfostandin::current = updateinfostandin::live.back().get();
  return updateinfostandin::current;
}

TUpdateInfoView* UpdateInfo() { return updateinfostandin::current; }

void EnablePlaylistWindow() { record.events.push_back("frame enable"); }
void HidePlaylistWindow() { record.events.push_back("frame hide"); }
void RepaintPlaylistWindow() { record.events.push_back("frame repaint"); }
void ClearArtistAndAlbumTrees() { record.events.push_back("clear trees"); }
void KeepAlive() { record.events.push_back("keep alive"); }
void ShowOptionsWithBrowse() { record.events.push_back("options browse"); }

}  // namespace updatewindows
