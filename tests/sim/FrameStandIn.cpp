#include "tests/sim/FrameStandIn.h"

#include "ui/FrameView.h"
#include "ui/ProgramView.h"

namespace framestandin {

Record& Calls() {
  static Record record;
  return record;
}

void Reset() { Calls() = Record(); }

}  // namespace framestandin

namespace {

class TFrameStandIn : public TFrameView {
 public:
  TFrameStandIn() { framestandin::Calls().events.push_back("create"); }
  void ShowFrame() override {
    framestandin::Calls().events.push_back("show");
    framestandin::Calls().visible = true;
  }
  void HideFrame() override {
    framestandin::Calls().events.push_back("hide");
    framestandin::Calls().visible = false;
  }
  void LoadPlaylistTree() override {
    framestandin::Calls().events.push_back("load " + (Main ? Main->Settings().PlayListPath : std::string()));
  }
  platform::WindowHandle FrameHandle() const override { return 0; }
  std::int32_t FrameWidth() const override { return width_; }
  void SetFrameWidth(std::int32_t width) override { width_ = width; }
  std::int32_t FrameHeight() const override { return height_; }
  void SetFrameHeight(std::int32_t height) override { height_ = height; }
  std::int32_t PlaylistTreeWidth() const override { return treeWidth_; }
  void SetPlaylistTreeWidth(std::int32_t width) override { treeWidth_ = width; }
  std::int32_t ArtistTreeHeight() const override { return treeHeight_; }
  void SetArtistTreeHeight(std::int32_t height) override { treeHeight_ = height; }

 private:
  // As built at 96 DPI.
  std::int32_t width_ = 410;
  std::int32_t height_ = 348;
  std::int32_t treeWidth_ = 200;
  std::int32_t treeHeight_ = 150;
};

}  // namespace

std::unique_ptr<TFrameView> CreateFrame(platform::WindowHandle) { return std::make_unique<TFrameStandIn>(); }
