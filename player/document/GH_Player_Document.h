#pragma once
// The engine's one document. It has no file: its constructor reads the
// display and sound settings, builds the main video window with its pane,
// the sprite and controller windows, starts the main film, brings the main
// window forward and removes the splash window.
#include "CP_Broadcaster.h"
#include "CP_Document.h"

#include <string>

class GH_QT_MoviePane;

// The film display size for a "ScreenSize" value: "Auto", a value without
// a lower-case "x" or one that starts with it give 640 x 480; otherwise the
// width is the number before the blank that precedes the "x" and the height
// the number after it.
void ParseScreenSize(const std::string& value, int16_t& width, int16_t& height);

class GH_Player_Document : public CP_Document, public CP_M_Listener {
 public:
  explicit GH_Player_Document(CP_M_Commander* parent);
  ~GH_Player_Document() override;

  int32_t ExecuteCommand(int32_t command) override { return CP_Document::ExecuteCommand(command); }
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  bool ApproveChildClose(CP_M_Commander* child) override;
  void ReceiveBroadcast(CP_Message&) override {}

  // Builds the windows and panes and starts the main film; the text is not
  // used.
  virtual void MakeWindows(const std::string& unused);

 private:
  void BuildWindows();
};
