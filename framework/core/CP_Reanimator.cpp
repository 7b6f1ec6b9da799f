#include "CP_Reanimator.h"

#include "CP_Adorner.h"
#include "CP_Broadcaster.h"
#include "CP_Exception.h"
#include "CP_FourCC.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_TextField_SingleLine.h"
#include "CP_TextValidator.h"
#include "CP_Utilities.h"
#include "CP_View.h"
#include "CP_Window.h"

#include <cstring>
#include <map>
#include <memory>

namespace {

constexpr const char* kSource = "CP_Reanimator.cpp";

// The line each failed record reports, by its tag.
constexpr int32_t kLineUnknownClass = 186;
constexpr int32_t kLineTopView = 279;
constexpr int32_t kLineSuperView = 302;
constexpr int32_t kLineSubView = 325;
constexpr int32_t kLineUnderAdorner = 346;
constexpr int32_t kLineOverAdorner = 365;
constexpr int32_t kLineTabGroup = 384;
constexpr int32_t kLineRadioGroup = 395;
constexpr int32_t kLineValidator = 406;
constexpr int32_t kLineUnknownTag = 425;

constexpr uint32_t kTagTopView = CP_FourCC("tpvi");
constexpr uint32_t kTagSuperView = CP_FourCC("supv");
constexpr uint32_t kTagSubView = CP_FourCC("subv");
constexpr uint32_t kTagUnderAdorner = CP_FourCC("prea");
constexpr uint32_t kTagOverAdorner = CP_FourCC("posa");
constexpr uint32_t kTagTabGroup = CP_FourCC("tabg");
constexpr uint32_t kTagRadioGroup = CP_FourCC("radg");
constexpr uint32_t kTagValidator = CP_FourCC("vali");
constexpr uint32_t kTagEnd = CP_FourCC("enob");

constexpr uint32_t kResourceSignature = CP_FourCC("CPob");
constexpr int16_t kResourceVersion = 1;

CP_Reanimator* gCurrent = nullptr;

std::map<std::string, CP_Reanimator::Creator>& Registry() {
  static std::map<std::string, CP_Reanimator::Creator> registry;
  return registry;
}

uint32_t Reversed(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

// A tree whose rebuilding failed goes with its sub-panes.
void DisposeTree(CP_M_Reanimatable* root) {
  if (!root) return;
  if (auto* view = dynamic_cast<CP_View*>(root)) view->DeleteSubPanes();
  delete root;
}

void Attach(CP_M_Reanimatable* object, CP_M_Reanimatable* subView, CP_View* view, bool under) {
  auto* adorner = dynamic_cast<CP_Adorner*>(object);
  CP_Pane* pane = subView ? dynamic_cast<CP_Pane*>(subView) : view;
  if (!adorner) return;
  if (!pane) {
    adorner->RemoveReference();  // nobody holds it: it goes
    return;
  }
  if (under)
    pane->AddUnderAdorner(adorner);
  else
    pane->AddAdorner(adorner);
}

// A stored validator goes to the text field it was stored with: the sub-pane
// just made, or else the current view. The field keeps it by adding a
// reference; one that no field took goes when the tree lets it go.
void GiveValidator(CP_M_Reanimatable* object, CP_M_Reanimatable* subView, CP_View* view) {
  auto* counted = dynamic_cast<CP_M_ReferenceCounted*>(object);
  if (!counted) return;
  counted->AddReference();
  auto* field = dynamic_cast<CP_TextField_SingleLine*>(subView);
  if (!field) field = dynamic_cast<CP_TextField_SingleLine*>(view);
  if (auto* validator = dynamic_cast<CP_TextValidator*>(object))
    if (field) field->SetAdorner(validator);
  counted->RemoveReference();
}

}  // namespace

CP_Reanimator::CP_Reanimator() : fPrevious(gCurrent) { gCurrent = this; }

CP_Reanimator::~CP_Reanimator() {
  if (gCurrent == this) gCurrent = fPrevious;
}

CP_Reanimator* CP_Reanimator::GetCurrent() {
  if (gCurrent) return gCurrent;
  // Made on first need and destroyed at exit.
  static std::unique_ptr<CP_Reanimator> builtIn;
  if (!builtIn) builtIn.reset(new CP_Reanimator);
  return gCurrent ? gCurrent : builtIn.get();
}

void CP_Reanimator::RegisterCreator(const std::string& className, Creator creator) {
  Registry()[className] = creator;
}

CP_Reanimator::Creator CP_Reanimator::FindCreator(const std::string& className) {
  auto it = Registry().find(className);
  if (it == Registry().end() || !it->second) ThrowIfNull(nullptr, kSource, kLineUnknownClass);
  return it->second;
}

CP_M_Reanimatable* CP_Reanimator::Reanimate(const std::string& className,
                                            CP_M_Reanimatable* creationArgument, CP_InStream& in) {
  return FindCreator(className)(creationArgument, in);
}

CP_M_Reanimatable* CP_Reanimator::RebuildTree(CP_InStream& in, CP_M_Reanimatable* parent,
                                              CP_M_Commander*, CP_M_Listener* listener) {
  CP_M_Reanimatable* root = nullptr;
  CP_M_Reanimatable* subView = nullptr;
  CP_M_Reanimatable* lastView = nullptr;
  CP_View* view = dynamic_cast<CP_View*>(parent);
  try {
    while (!in.IsAtEnd()) {
      uint32_t tag = 0;
      in.ReadInt32(tag);
      if (tag == kTagEnd) break;
      CP_M_Reanimatable* object = nullptr;
      switch (tag) {
        case kTagTopView:
        case kTagSuperView:
          object = in.ReadObject(tag == kTagTopView ? root : view);
          ThrowIfNull(object, kSource, tag == kTagTopView ? kLineTopView : kLineSuperView);
          if (!root) root = object;
          view = dynamic_cast<CP_View*>(object);
          lastView = object;
          subView = nullptr;
          break;
        case kTagSubView:
          object = in.ReadObject(view);
          ThrowIfNull(object, kSource, kLineSubView);
          subView = object;
          if (auto* broadcaster = dynamic_cast<CP_M_Broadcaster*>(object))
            if (listener) broadcaster->AddListener(listener);
          break;
        case kTagUnderAdorner:
        case kTagOverAdorner:
          object = in.ReadObject(lastView);
          ThrowIfNull(object, kSource, tag == kTagUnderAdorner ? kLineUnderAdorner : kLineOverAdorner);
          Attach(object, subView, view, tag == kTagUnderAdorner);
          break;
        case kTagTabGroup:
        case kTagRadioGroup:
          object = in.ReadObject(root);
          ThrowIfNull(object, kSource, tag == kTagTabGroup ? kLineTabGroup : kLineRadioGroup);
          // Nothing takes a group over and no button was given to it.
          delete object;
          break;
        case kTagValidator:
          object = in.ReadObject(subView);
          ThrowIfNull(object, kSource, kLineValidator);
          GiveValidator(object, subView, view);
          break;
        default:
          ThrowIfNull(nullptr, kSource, kLineUnknownTag);
      }
    }
  } catch (...) {
    DisposeTree(root);
    throw;
  }
  return root;
}

CP_Window* BuildWindowFromStream(CP_InStream& in, CP_M_Commander* owner, CP_M_Listener* listener) {
  CP_M_Reanimatable* root = CP_Reanimator::GetCurrent()->RebuildTree(in, nullptr, owner, listener);
  auto* window = dynamic_cast<CP_Window*>(root);
  if (!window) {
    DisposeTree(root);
    throw CP_RuntimeException("", "CP_Window", 254);
  }
  window->SetParentCommander(owner);
  window->BroadcastToTree();
  return window;
}

CP_Window* LoadObjectResource(CP_M_Commander* owner, int16_t id, CP_M_Listener* listener) {
  HMODULE module = ProgramModule();
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(uint16_t(id)), "CPob");
  if (!info) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  if (!loaded) return nullptr;
  const void* bytes = LockResource(loaded);
  // The whole resource, however large: its size is not cut to 16 bits.
  const DWORD size = SizeofResource(module, info);
  if (!bytes || size > DWORD(INT32_MAX)) return nullptr;

  auto* block = new CP_HandleBlock(int32_t(size));
  if (size > 0) {
    CopyBytes(bytes, block->GetPointer(), int32_t(size));
    block->Unlock();
  }
  CP_HandleBlockInStream in(block, 1);  // the stream holds the only reference
  try {
    uint32_t signature = 0;
    int16_t version = 0, ignored = 0;
    in.Read(&signature, 4);
    in.Read(&version, 2);
    in.Read(&ignored, 2);
    if (signature != kResourceSignature && Reversed(signature) != kResourceSignature) return nullptr;
    if (version != kResourceVersion) return nullptr;
    return BuildWindowFromStream(in, owner, listener);
  } catch (const CP_BaseException& failure) {
    failure.Report();
    return nullptr;
  }
}

CP_Window* ReanimateFromResource(CP_M_Commander* owner, int16_t id, CP_M_Listener* listener) {
  return LoadObjectResource(owner, id, listener);
}
