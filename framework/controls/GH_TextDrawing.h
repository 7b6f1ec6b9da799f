#pragma once
// Drawing and measuring cell text on a framework canvas that has a device
// context, with the font already selected. Coordinates are signed 16-bit.
#include <cstdint>
#include <string>

class CP_Canvas;

// y is the bottom line of the text: it is drawn from y minus the font's
// height.
void DrawStringAt(CP_Canvas* canvas, const std::string& text, int16_t x, int16_t y);
void DrawCharsAt(CP_Canvas* canvas, const char* chars, int16_t length, int16_t x, int16_t y);
int16_t MeasureCharWidth(CP_Canvas* canvas, char character);
// The width of the text as one line.
int16_t MeasureStringWidth(CP_Canvas* canvas, const std::string& text);
