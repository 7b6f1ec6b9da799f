#pragma once
// A shared text style: font name, size, style byte, justification, an option
// and a colour, which text panes apply to their font.
#include "CP_RGBColor.h"
#include "CP_RefCounted.h"

#include <cstdint>
#include <string>

// The nine font names text traits are made with; entry 6 is the default.
constexpr int kCP_FontNameCount = 9;
extern const char* const CP_FontNames[kCP_FontNameCount];

class CP_TextTrait : public CP_M_ReferenceCounted {
 public:
  static constexpr uint16_t kNoTraitNumber = 0xFFFF;

  explicit CP_TextTrait(uint16_t traitNumber = kNoTraitNumber);

  // The default name ("MS Sans Serif") also sets size 10 and style 0.
  void SetFontName(const std::string& name);
  std::string GetFontName() const { return fFontName; }

  uint16_t GetTraitNumber() const { return fTraitNumber; }
  int16_t GetSize() const { return fSize; }
  void SetSize(int16_t points) { fSize = points; }
  uint8_t GetStyle() const { return fStyle; }
  void SetStyle(uint8_t style) { fStyle = style; }
  // 1 centred, 2 right-aligned.
  int16_t GetJustification() const { return fJustification; }
  void SetJustification(int16_t justification) { fJustification = justification; }
  int16_t GetOption() const { return fOption; }
  void SetOption(int16_t option) { fOption = option; }
  const CP_RGBColor& GetColor() const { return fColor; }
  void SetColor(const CP_RGBColor& color) { fColor = color; }

 private:
  uint16_t fTraitNumber;
  std::string fFontName;
  int16_t fSize = 0;
  uint8_t fStyle = 0;
  int16_t fJustification = 0;
  int16_t fOption = 1;
  CP_RGBColor fColor;
};
