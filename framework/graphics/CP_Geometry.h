#pragma once
// Points, sizes and rectangles in signed 16-bit pixels. Values from the
// platform are cut to their low 16 bits, never clamped.
#include "CP_Win.h"

#include <cstdint>

class CP_Point {
 public:
  int16_t v = 0;  // vertical first, as stored
  int16_t h = 0;

  CP_Point() = default;
  CP_Point(int16_t h_, int16_t v_) : v(v_), h(h_) {}
  // From the 32-bit x and y of a Win32 POINT.
  CP_Point(int32_t x, int32_t y) : v(int16_t(y)), h(int16_t(x)) {}
  explicit CP_Point(const POINT& p) : CP_Point(int32_t(p.x), int32_t(p.y)) {}

  void Set(int16_t h_, int16_t v_) { h = h_; v = v_; }
  void SetFrom(const CP_Point& p) { *this = p; }
  void Offset(int16_t dh, int16_t dv) { h = int16_t(h + dh); v = int16_t(v + dv); }

  bool operator==(const CP_Point& o) const { return h == o.h && v == o.v; }
  bool operator!=(const CP_Point& o) const { return !(*this == o); }
  CP_Point& operator+=(const CP_Point& o) { Offset(o.h, o.v); return *this; }
  CP_Point& operator-=(const CP_Point& o) { Offset(int16_t(-o.h), int16_t(-o.v)); return *this; }
  CP_Point operator+(const CP_Point& o) const { CP_Point r(*this); return r += o; }
  CP_Point operator-(const CP_Point& o) const { CP_Point r(*this); return r -= o; }

  POINT ToPOINT() const { return POINT{h, v}; }
};

class CP_Size {
 public:
  int16_t width = 0;
  int16_t height = 0;

  CP_Size() = default;
  CP_Size(int32_t w, int32_t hgt) : width(int16_t(w)), height(int16_t(hgt)) {}

  void Set(int32_t w, int32_t hgt) { width = int16_t(w); height = int16_t(hgt); }
  bool operator==(const CP_Size& o) const { return width == o.width && height == o.height; }
  bool operator!=(const CP_Size& o) const { return !(*this == o); }
};

// Stored top, left, bottom, right; every operation takes left, top, right,
// bottom. Nothing normalises a rectangle.
class CP_Rect {
 public:
  int16_t top = 0;
  int16_t left = 0;
  int16_t bottom = 0;
  int16_t right = 0;

  CP_Rect() = default;
  CP_Rect(int32_t l, int32_t t, int32_t r, int32_t b) { Set(l, t, r, b); }
  explicit CP_Rect(const RECT& r) { SetFromRECT(r); }

  void Set(int32_t l, int32_t t, int32_t r, int32_t b) {
    left = int16_t(l); top = int16_t(t); right = int16_t(r); bottom = int16_t(b);
  }
  void SetFromRECT(const RECT& r) { Set(r.left, r.top, r.right, r.bottom); }

  bool operator==(const CP_Rect& o) const {
    return top == o.top && left == o.left && bottom == o.bottom && right == o.right;
  }
  bool operator!=(const CP_Rect& o) const { return !(*this == o); }

  void Offset(int32_t dh, int32_t dv) { Set(left + dh, top + dv, right + dh, bottom + dv); }
  void Inset(int32_t dh, int32_t dv) { Set(left + dh, top + dv, right - dh, bottom - dv); }
  // The right and bottom edges count as inside.
  bool ContainsPoint(const CP_Point& p) const {
    return left <= p.h && p.h <= right && top <= p.v && p.v <= bottom;
  }

  int16_t Width() const { return int16_t(right - left); }
  int16_t Height() const { return int16_t(bottom - top); }

  // The conversions answer by value, so two results can stand side by side.
  RECT ToRECT() const { return RECT{left, top, right, bottom}; }
  RECT ToRECT2() const { return ToRECT(); }
  RECT* ToRECTCopy(RECT& out) const { out = ToRECT(); return &out; }
};

// A pane's four edge bindings: 1 = the pane follows that edge of its
// super-pane when the super-pane is resized.
struct CP_Bindings {
  uint8_t left = 0;
  uint8_t top = 0;
  uint8_t right = 0;
  uint8_t bottom = 0;
};

extern const CP_Point gZeroPoint;
extern const CP_Size gZeroSize;
extern const CP_Rect gEmptyRect;
