#include "CP_TreeTableItem.h"

#include "CP_Canvas.h"
#include "CP_DroppedRecord.h"
#include "CP_Exception.h"
#include "CP_FourCC.h"
#include "CP_ImgShapes.h"
#include "CP_OutStream.h"
#include "CP_Region.h"
#include "CP_TextTrait.h"
#include "CP_TreeTable.h"
#include "CP_Utilities.h"
#include "GH_TextDrawing.h"

#include <algorithm>
#include <cstring>
#include <memory>

CP_TreeTableItem::CP_TreeTableItem(CP_TreeTable* owner, const CP_TreeTableItemData& data)
    : fOwner(owner), fData(data) {
  const int16_t columns = owner ? owner->GetColumnCount() : 0;
  if (columns > 0) fColumnTexts.assign(size_t(columns), std::string());
}

CP_TreeTableItem::~CP_TreeTableItem() {
  while (!fChildren.empty()) {
    CP_TreeTableItem* child = fChildren.back();
    fChildren.pop_back();
    delete child;
  }
  if (fOwner) fOwner->ForgetItem(this);
}

// ---------------------------------------------------------------------------
// Hooks

bool CP_TreeTableItem::HasChildren() { return !fChildren.empty(); }

int16_t CP_TreeTableItem::GetFirstColumnWidth() { return fOwner ? fOwner->GetColumnWidth(1) : 0; }

void CP_TreeTableItem::MakeDragData(CP_DragRecord& record) {
  record.format = kCP_DragFormat;
  record.kind = CP_FourCC("TEXT");
  record.count = 1;
  record.flag = 0;
  record.text = CP_MakeTextBlock(fData.text);
}

void CP_TreeTableItem::ReceiveDragData(CP_DragRecord& record, const CP_Point&) {
  if (record.secondKind == CP_FourCC("TTIT")) {
    AdoptItem(record);
  } else if (fOwner && record.text) {
    fOwner->AddItem(new CP_TreeTableItem(
        fOwner, CP_TreeTableItemData(this, nullptr, CP_DragRecordText(record), 0, 0, 0)));
  }
  InvalidateRow();
}

void CP_TreeTableItem::AdoptItem(CP_DragRecord& record) {
  auto* item = static_cast<CP_TreeTableItem*>(record.item);
  // Only an item of this table, and never into its own subtree: that would
  // make a cycle.
  if (!fOwner || !item || item == this || !fOwner->HoldsItem(item) || IsDescendantOf(item)) return;
  fOwner->RemoveItem(item);
  item->SetParent(this);
  item->fData.insertAfter = nullptr;
  // The children move with the item: the table enters them again under it.
  fOwner->AddItem(item);
  SetDepth(fDepth);
  fOwner->Refresh();
}

void CP_TreeTableItem::ChildrenCollapsed() {
  if (!fOwner || fOwner->DeletesChildrenOnCollapse() == 0) return;
  while (!fChildren.empty()) {
    CP_TreeTableItem* child = fChildren.front();
    fChildren.erase(fChildren.begin());
    fOwner->RemoveItem(child);
    delete child;
  }
}

void CP_TreeTableItem::ChildrenExpanded() { ShowChildRows(); }

void CP_TreeTableItem::ShowChildRows() {
  if (!fOwner) return;
  for (CP_TreeTableItem* child : fChildren) {
    fOwner->InsertRow(child);
    if (child->fExpanded) child->ShowChildRows();
  }
}

bool CP_TreeTableItem::CanAcceptDrop(IDataObject* data, DWORD, const CP_Point&, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  if (!data) return false;
  FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return data->QueryGetData(&files) == S_OK;
}

// ---------------------------------------------------------------------------
// Expansion

void CP_TreeTableItem::Expand() {
  if (fExpanded) return;
  fExpanded = 1;
  fExpandState = 2;
  if (fOwner) fOwner->NoteExpansion(this, true);
  ChildrenExpanded();
  // Whatever the hook did, the children are shown now.
  ShowChildRows();
  FollowInControl(TVE_EXPAND);
  if (fOwner) fOwner->RowsChanged(this);
  InvalidateRow();
}

// The mark changes first: a collapse hook that collapses again (after
// deleting the children) then finds the item collapsed already.
void CP_TreeTableItem::Collapse() {
  if (!fExpanded) return;
  fExpanded = 0;
  fExpandState = 0;
  if (fOwner) {
    fOwner->NoteExpansion(this, false);
    fOwner->HideDescendantRows(this);
  }
  FollowInControl(TVE_COLLAPSE);
  if (fOwner) fOwner->RowsChanged(this);
  ChildrenCollapsed();
  InvalidateRow();
}

void CP_TreeTableItem::FollowInControl(UINT action) {
  if (!fOwner || !fHandle || !fOwner->GetHWND() || fOwner->IsReportedByControl(this)) return;
  SendMessageA(fOwner->GetHWND(), TVM_EXPAND, action, reinterpret_cast<LPARAM>(fHandle));
}

void CP_TreeTableItem::MarkCollapsedDeep() {
  fExpanded = 0;
  fExpandState = 0;
  if (fOwner) fOwner->NoteExpansion(this, false);
  for (CP_TreeTableItem* child : fChildren) child->MarkCollapsedDeep();
}

// ---------------------------------------------------------------------------
// Selection

void CP_TreeTableItem::Select() {
  if (!fSelected) {
    fSelected = 1;
    if (fOwner) fOwner->AppendToSelection(this);
  }
  if (fOwner) DrawRow(fOwner->GetItemRect(this));
}

void CP_TreeTableItem::Deselect() {
  if (fSelected) {
    fSelected = 0;
    if (fOwner) fOwner->DropFromSelection(this);
  }
  if (fOwner) DrawRow(fOwner->GetItemRect(this));
}

// ---------------------------------------------------------------------------
// Children

void CP_TreeTableItem::AddChild(CP_TreeTableItem* child) {
  if (!child) return;
  CP_TreeTableItem* after = child->fData.insertAfter;
  if (!after) {
    child->fData.insertAfter = fChildren.empty() ? this : fChildren.back();
    fChildren.push_back(child);
  } else if (after == this) {
    fChildren.insert(fChildren.begin(), child);
  } else {
    const auto sibling = std::find(fChildren.begin(), fChildren.end(), after);
    fChildren.insert(sibling == fChildren.end() ? sibling : sibling + 1, child);
  }
  if (fExpanded && fOwner) fOwner->InsertRow(child);
  if (fHandle && fOwner && fOwner->GetHWND()) {
    TVITEMA native = {};
    native.mask = TVIF_HANDLE | TVIF_CHILDREN;
    native.hItem = fHandle;
    SendMessageA(fOwner->GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&native));
    native.cChildren = 1;
    if (!SendMessageA(fOwner->GetHWND(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&native)))
      ThrowIfNull(nullptr, "CP_TreeTableItem", 1473);
  }
}

void CP_TreeTableItem::RemoveChild(CP_TreeTableItem* child) {
  fChildren.erase(std::remove(fChildren.begin(), fChildren.end(), child), fChildren.end());
}

CP_TreeTableItem* CP_TreeTableItem::GetChild(int16_t position) const {
  if (position < 1 || size_t(position) > fChildren.size()) return nullptr;
  return fChildren[size_t(position) - 1];
}

void CP_TreeTableItem::DeleteChildren() {
  const std::vector<CP_TreeTableItem*> children = fChildren;
  for (CP_TreeTableItem* child : children) {
    child->DeleteChildren();
    if (fOwner) fOwner->RemoveItem(child);
    RemoveChild(child);
    delete child;
  }
  fChildren.clear();
}

void CP_TreeTableItem::SetDepth(int16_t depth) {
  fDepth = depth;
  const int16_t indent = fOwner ? fOwner->GetIndentWidth() : 0;
  for (CP_TreeTableItem* child : fChildren) child->SetDepth(int16_t(depth + indent));
}

CP_TreeTableItem* CP_TreeTableItem::FindByHandle(HTREEITEM handle) const {
  if (!handle) return nullptr;
  for (CP_TreeTableItem* child : fChildren) {
    if (child->fHandle == handle) return child;
    if (CP_TreeTableItem* found = child->FindByHandle(handle)) return found;
  }
  return nullptr;
}

bool CP_TreeTableItem::IsDescendantOf(const CP_TreeTableItem* ancestor) const {
  for (const CP_TreeTableItem* up = fData.parent; up; up = up->fData.parent)
    if (up == ancestor) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Clicks and geometry

void CP_TreeTableItem::ClickItem(const CP_Point& point) {
  if (fOwner) fOwner->SelectItem(this);
  HandleClick(point);
}

void CP_TreeTableItem::DrawIfVisible(const CP_Rect& rect) {
  if (fOwner && fOwner->GetCanvas() && fOwner->GetCanvas()->GetDC()) DrawRow(rect);
}

void CP_TreeTableItem::InvalidateRow() {
  if (!fOwner || !fHandle) return;
  const CP_Rect line = NativeRect(false);
  if (line != CP_Rect()) fOwner->InvalidateRectangle(line);
}

CP_Rect CP_TreeTableItem::NativeRect(bool textOnly) const {
  if (!fOwner || !fHandle || !fOwner->GetHWND()) return CP_Rect();
  // The control reads the item's handle from the rectangle's first bytes.
  RECT rect = {};
  std::memcpy(&rect, &fHandle, sizeof fHandle);
  if (!SendMessageA(fOwner->GetHWND(), TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect)))
    return CP_Rect();
  return CP_Rect(rect);
}

int16_t CP_TreeTableItem::ImageWidth() const {
  const bool hasImage = fData.image != -1 || fData.secondImage != -1;
  return hasImage && fOwner && fOwner->GetImageList() ? fOwner->GetImageList()->GetWidth() : 0;
}

CP_Rect CP_TreeTableItem::GetTextRect() {
  const CP_Rect line = NativeRect(false);
  if (line == CP_Rect()) return CP_Rect();
  return CP_Rect(fDepth + 22 + ImageWidth() + line.left + 3, line.top + 2, line.right, line.bottom + 2);
}

CP_Rect CP_TreeTableItem::GetImageRect() {
  const CP_Rect text = NativeRect(true);
  const int16_t listWidth = fOwner && fOwner->GetImageList() ? fOwner->GetImageList()->GetWidth() : 0;
  return CP_Rect(text.left - listWidth - 3, text.top, text.left - 3, text.bottom);
}

// ---------------------------------------------------------------------------
// Streaming

void CP_TreeTableItem::WriteToStream(CP_OutStream& out) const {
  out.WriteInt32(fIdentifier).WriteInt16(fData.image).WriteInt16(fData.secondImage);
  out.WriteInt32(fData.userValue).WriteString(fData.text);
  out.WriteInt16(int16_t(fChildren.size()));
  for (const CP_TreeTableItem* child : fChildren) child->WriteToStream(out);
}

// ---------------------------------------------------------------------------
// Drawing

namespace {

CP_Canvas* DrawingCanvas(CP_TreeTable* owner) {
  CP_Canvas* canvas = owner ? owner->GetCanvas() : nullptr;
  return canvas && canvas->GetDC() ? canvas : nullptr;
}

}  // namespace

CP_Rect CP_TreeTableItem::GetLabelRect(const CP_Rect& rowRect) {
  const CP_Rect text = GetTextRect();
  int32_t width = GetFirstColumnWidth();
  if (!fData.text.empty()) {
    CP_Canvas* canvas = DrawingCanvas(fOwner);
    width = canvas ? MeasureStringWidth(canvas, fData.text) : 0;
  }
  const int32_t right = std::min<int32_t>(text.left + width, rowRect.right);
  return CP_Rect(text.left, rowRect.top, right, rowRect.bottom);
}

// The item's text in the control, or the first column for a row of cells.
CP_Rect CP_TreeTableItem::SelectionArea() {
  CP_Rect area = NativeRect(true);
  if (fData.text.empty()) area.right = int16_t(area.left + GetFirstColumnWidth());
  return area;
}

CP_Rect CP_TreeTableItem::FillSelection(bool) {
  const CP_Rect label = GetLabelRect(fOwner ? fOwner->GetItemRect(this) : CP_Rect());
  if (CP_Canvas* canvas = DrawingCanvas(fOwner)) {
    const RECT area = SelectionArea().ToRECT();
    HBRUSH brush = CreateSolidBrushHandle(GetSysColor(COLOR_HIGHLIGHT));
    FillRect(canvas->GetDC(), &area, brush);
    DeleteGdiObject(brush);
  }
  return label;
}

void CP_TreeTableItem::DrawRow(const CP_Rect&) {
  if (!fOwner) return;
  CP_Canvas* canvas = DrawingCanvas(fOwner);
  if (canvas) CP_ImgShape_Rect(canvas, SelectionArea()).FillWithBrush();  // erases the row
  fImageRect = GetImageRect();
  DrawImage(fImageRect);

  if (!fData.text.empty()) {
    fLabelRect = GetTextRect();
    DrawLabel(fLabelRect);
    return;
  }
  // A row of column cells.
  for (int16_t column = 1; column <= fOwner->GetColumnCount(); ++column) {
    CP_Rect cell = fOwner->GetCellRect(this, column);
    const bool highlighted = column == 1 && fSelected;
    if (column == 1) cell.left = int16_t(fDepth + 22 + ImageWidth());
    if (highlighted) {
      FillSelection(fOwner->IsActive());
      if (canvas) canvas->SetForegroundColor(CP_RGBColor::White);
    }
    {
      CP_Clip clip(cell);
      clip.IntersectRect(fOwner->GetFrame());
      DrawCell(cell, column);
    }
    if (highlighted && canvas) canvas->SetForegroundColor(CP_RGBColor::Black);
  }
}

void CP_TreeTableItem::DrawImage(const CP_Rect& rect) {
  CP_Canvas* canvas = DrawingCanvas(fOwner);
  CP_ImageList* list = fOwner ? fOwner->GetImageList() : nullptr;
  if (!canvas || !list || fData.image < 1 || fData.image > list->CountImages()) return;
  const int16_t top = int16_t(rect.top + (rect.Height() - list->GetHeight()) / 2);
  list->Draw(canvas, fData.image, CP_Point(rect.left, top), 0);
}

void CP_TreeTableItem::DrawLabel(const CP_Rect& rect) {
  CP_Canvas* canvas = DrawingCanvas(fOwner);
  if (!canvas) return;
  canvas->SetBackgroundMode(CP_Canvas::kTransparent);
  const int16_t width = MeasureStringWidth(canvas, fData.text);
  {
    std::unique_ptr<CP_CanvasBkColorSaver> keep;
    if (fSelected) {
      keep = std::make_unique<CP_CanvasBkColorSaver>(canvas);
      canvas->GetPen().SetColor(CP_RGBColor::White);
      CP_ImgShape_Rect shape(canvas, rect);
      if (fOwner->IsActive())
        shape.Fill();
      else
        shape.Frame();
    }
    const CP_TextTrait* trait = fOwner->GetTextTrait();
    canvas->SetForegroundColor(trait ? trait->GetColor() : CP_RGBColor::Black);
    if (fSelected) FillSelection(fOwner->IsActive());

    CP_Clip clip(rect);
    if (fSelected) canvas->SetForegroundColor(CP_RGBColor::White);
    // The text's bottom line, centred on the font's size.
    const int16_t size = canvas->GetFont().GetSize();
    const int16_t y = int16_t(size + (rect.Height() - size) / 2 + rect.top - 2);
    DrawStringAt(canvas, fData.text, rect.left, y);
    if (fSelected) canvas->SetForegroundColor(CP_RGBColor::Black);
  }
  // A label that runs past the content widens it.
  const CP_Size& extent = fOwner->GetContentExtent();
  if (rect.left + width > extent.width)
    fOwner->SetContentExtent(CP_Size(rect.left + width + 16, extent.height));
  canvas->SetForegroundColor(CP_RGBColor::Black);
}
