#pragma once
// The framework's container pane: an ordered list of sub-panes, each with its
// own child window of the view's window, and a scrollable content area (the
// "image") that may be larger than the view's frame.
#include "CP_Pane.h"

#include <vector>

class CP_M_Commander;

class CP_View : public CP_Pane {
 public:
  CP_View(CP_View* superPane, const CP_PaneInfo& info);
  explicit CP_View(const CP_Rect& frame);
  CP_View(const CP_Point& location, const CP_Size& size);
  // Neither deletes the sub-panes nor destroys their windows (DeleteSubPanes
  // does); they are let go.
  ~CP_View() override;

  // The state changes pass on to the sub-panes.
  void Activate() override;
  void Deactivate() override;
  void ParentActivated() override;
  void ParentDeactivated() override;
  void Show() override;
  void Hide() override;
  void ParentShown() override;
  void ParentHidden() override;
  void Enable() override;
  void Disable() override;
  void ParentEnabled() override;
  void ParentDisabled() override;

  // The pane's record, then the view's own fields.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;

  // Clipped to the frame, skipped when that leaves nothing; sub-panes paint
  // their own windows.
  void Draw(const CP_Region& area) override;
  void DrawForPrinting(const CP_Region& paper, CP_Canvas* printCanvas, int16_t page) override;
  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void OffsetPosition(const CP_Point& delta) override;
  void BroadcastToTree() override;
  void ResizeTo(const CP_Size& size) override;
  void SubPaneMoved(int16_t dh, int16_t dv) override;

  virtual void SetContentExtent(const CP_Size& size);
  virtual void MoveWithSubPanes(const CP_Point& point);
  virtual void ScrollContentTo(int16_t h, int16_t v, bool redraw);
  virtual void ScrollContentBy(int16_t dh, int16_t dv, bool redraw);
  virtual void KeepContentInFrame(bool redraw);
  // Takes the pane out of the list and lets it go; with `destroy` the pane
  // is deleted and then its window destroyed.
  virtual void DetachSubPane(CP_Pane* pane, bool deleteItsSubPanes, bool destroy);
  virtual void SubContentResized(CP_View*) {}
  virtual void PropagateToSubViews(uint32_t value);
  virtual void ViewHook() {}
  virtual void ScrollPixels(int16_t dh, int16_t dv);

  // Appends the pane once and re-parents its window to the view's.
  void AddSubPane(CP_Pane* pane);
  // Only takes the pane out of the list.
  void RemoveSubPane(CP_Pane* pane);
  // Deletes every sub-pane, deepest first, and destroys their windows.
  void DeleteSubPanes();
  // Last added wins; hidden sub-panes are skipped by FindSubPaneAt. The
  // point is in the view's coordinates and passed down unchanged.
  CP_Pane* FindSubPaneAt(const CP_Point& point, bool deep) const;
  CP_Pane* FindSubPaneById(int32_t identifier, bool deep) const;
  // The commander part of the sub-pane, at any depth, that is the target.
  CP_M_Commander* FindTargetSubPane() const;
  void UpdateImageOrigin();

  const std::vector<CP_Pane*>& GetSubPanes() const { return fSubPanes; }
  const CP_Size& GetContentExtent() const { return fImageSize; }
  const CP_Point& GetImagePosition() const { return fImagePosition; }
  const CP_Point& GetScrollPosition() const { return fScrollPosition; }
  const CP_Size& GetScrollUnit() const { return fScrollUnit; }
  void SetScrollUnit(const CP_Size& unit) { fScrollUnit = unit; }

 protected:
  const char* RuntimeClassName() const override { return "CP_View"; }

  CP_Size fImageSize;
  CP_Point fImagePosition;
  CP_Size fScrollUnit{1, 1};
  CP_Point fScrollPosition;
  uint8_t fKeepInFrame = 1;
  std::vector<CP_Pane*> fSubPanes;

 private:
  void SetUpView();
  void SubPaneLeaving(const CP_Pane* pane);
  // Every sub-pane in list order; the list may change while they hear it.
  void TellSubPanes(void (CP_Pane::*operation)());
};
