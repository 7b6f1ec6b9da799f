#pragma once
// The font of a canvas or a text control: a face name and a point size,
// turned into a LOGFONT and an HFONT. Equal fonts share one GDI font through
// a process-wide cache of reference-counted records.
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <cstdint>
#include <string>

class CP_Canvas;
class CP_TextTrait;

// One GDI font made from one description; deleted with the last font that
// uses it.
class CP_FontRecord : public CP_M_ReferenceCounted {
 public:
  // Throws CP_MemoryException when GDI makes no font.
  explicit CP_FontRecord(const LOGFONTA& description);
  ~CP_FontRecord() override;

  const LOGFONTA& GetDescription() const { return fDescription; }
  HFONT GetHandle() const { return fFont; }

  // The first listed record with the same face (case-sensitive), height,
  // weight, italic, underline and strike-out; else a new one at the end.
  static CP_FontRecord* FindOrMake(const LOGFONTA& description);
  static int32_t CountRecords();

 private:
  LOGFONTA fDescription;
  HFONT fFont = nullptr;
};

class CP_Font {
 public:
  // The face "SYSTEM_FIXED" stands for the stock system font.
  static constexpr char kSystemFixed[] = "SYSTEM_FIXED";
  // lfFaceName holds 31 characters and its NUL.
  static constexpr int kMaxFaceName = LF_FACESIZE - 1;

  CP_Font() = default;
  CP_Font(const CP_Font&) = delete;
  CP_Font& operator=(const CP_Font&) = delete;
  virtual ~CP_Font();

  // Keeps the canvas; with a device context the description starts from the
  // font currently selected in it.
  void AttachCanvas(CP_Canvas* canvas);
  void SelectInto(CP_Canvas* canvas);
  void Deselect();

  std::string GetName() const { return fName; }
  int16_t GetSize() const { return fSize; }
  // Height plus external leading; 13 without a device context.
  int16_t GetLineHeight() const;

  // Each of these ends by rebuilding the font.
  void SetName(const std::string& name);
  void SetSize(int16_t points);
  // Bit 0 bold, 1 italic, 2 underline, 3 strike-out; the bits are not kept.
  void SetStyle(int16_t style);
  void SetNameAndSize(const std::string& name, int16_t points);
  void RebuildFont();

  void SetFontHandle(HFONT font);
  // Name, size and colour of the trait; for a font attached to a canvas.
  void ApplyTextTrait(const CP_TextTrait& trait);
  // A control window told of every new font.
  void SetWindow(HWND window) { fWindow = window; }

  HFONT GetHandle() const { return fFont; }
  const LOGFONTA& GetDescription() const { return fDescription; }

 private:
  HDC CanvasDC() const;
  void LookUpFamily();
  void SetHeightFromSize();

  CP_Canvas* fCanvas = nullptr;
  std::string fName;
  int16_t fSize = 12;
  HFONT fFont = nullptr;
  HGDIOBJ fPrevious = nullptr;
  HWND fWindow = nullptr;
  CP_FontRecord* fRecord = nullptr;
  LOGFONTA fDescription = {};
};
