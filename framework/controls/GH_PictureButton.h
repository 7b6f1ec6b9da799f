#pragma once
// The product's bitmap button: a GH_Button that shows one of its pictures
// by state. It captures the mouse while the pointer is over it so that it
// learns when the pointer leaves, shows a pressed picture while the button
// is held, and on a release inside broadcasts 'EVme'. A toggle button flips
// its on/off state on every release and shows a second set of pictures.
#include "GH_Button.h"

#include <array>
#include <cstdint>
#include <string>

class CP_Picture;

class GH_PictureButton : public GH_Button {
 public:
  static constexpr int16_t kNoPicture = -1;
  // Picture placements.
  static constexpr int16_t kPlaceStart = 0;   // left or top
  static constexpr int16_t kPlaceCentre = 1;
  static constexpr int16_t kPlaceEnd = 2;     // right or bottom

  // The further pictures besides the base one, in their stored order.
  enum Slot : int16_t {
    kEnabled, kHilited, kUnhilited, kPushed, kOnPushed, kOffPushed,
    kOn, kOff, kToggleHilited, kOnHilited, kOffHilited, kSlotCount
  };

  GH_PictureButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& label,
                   int16_t basePictureId, int16_t toggle, int16_t labelHorizontal, int16_t labelVertical,
                   int16_t margin, int16_t pictureHorizontal, int16_t pictureVertical, int16_t value,
                   int16_t minimum, int16_t maximum);
  ~GH_PictureButton() override;

  // GH_Button's record, then base picture id and the picture's two
  // placements.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void DrawContent(const CP_Region& area) override;

  LRESULT TrackMouseDown(HWND window, WPARAM wParam, LPARAM lParam) override;
  LRESULT TrackMouseUp(HWND window, WPARAM wParam, LPARAM lParam) override;
  // Every move, tracking or not: inside the button takes the capture and
  // shows the hover look; outside it lets go and draws the resting look.
  LRESULT TrackMouseMove(HWND window, WPARAM wParam, LPARAM lParam) override;
  void ActiveSpotReleased(const CP_Point& point) override;
  void SetPopupMenu(CP_Menu* menu, int16_t direction, int16_t size, uint8_t enableAll) override;
  // The press logic applied to the hover flag.
  virtual int16_t TrackHover(const CP_Point& point);

  // Each setter: an id equal to the stored one changes nothing; otherwise
  // the picture is replaced (none for -1), laid out and shown.
  void SetBasePicture(int16_t id);
  void SetEnabledPicture(int16_t id) { SetPicture(kEnabled, id); }
  void SetHilitedPicture(int16_t id) { SetPicture(kHilited, id); }
  void SetUnhilitedPicture(int16_t id) { SetPicture(kUnhilited, id); }
  void SetPushedPicture(int16_t id) { SetPicture(kPushed, id); }
  void SetToggleHilitedPicture(int16_t id) { SetPicture(kToggleHilited, id); }
  void SetOnPushedPicture(int16_t id) { SetPicture(kOnPushed, id); }
  void SetOffPushedPicture(int16_t id) { SetPicture(kOffPushed, id); }
  void SetOnHilitedPicture(int16_t id) { SetPicture(kOnHilited, id); }
  void SetOffHilitedPicture(int16_t id) { SetPicture(kOffHilited, id); }
  void SetOnPicture(int16_t id) { SetPicture(kOn, id); }
  void SetOffPicture(int16_t id) { SetPicture(kOff, id); }

  // Loads the pushed and toggle-hilited pictures of the state and draws.
  void SetToggleState(int16_t state);
  // Draws the pictures at once, without frame or label.
  void Redraw();

  int16_t GetToggleState() const { return fToggleState; }
  bool IsToggle() const { return fToggle == 1; }
  bool IsHovering() const { return fHover != 0; }
  int16_t GetBasePictureId() const { return fBaseId; }
  int16_t GetPictureId(Slot slot) const { return fIds[slot]; }
  CP_Picture* GetBasePicture() const { return fBase; }
  CP_Picture* GetPicture(Slot slot) const { return fPictures[slot]; }
  const CP_Rect& GetPictureRect() const { return fPictureRect; }

  // Places the picture in the frame by the placements and moves the label
  // beside it; nothing without a picture.
  void LayOutPicture(CP_Picture* picture);

 protected:
  const char* RuntimeClassName() const override { return "GH_PictureButton"; }

 private:
  void SetPicture(Slot slot, int16_t id);
  // Swaps the picture held for `id`; answers the new one.
  static CP_Picture* Replace(CP_Picture*& held, int16_t id);
  void DrawPictures();
  void DrawPlainPictures();
  void DrawTogglePictures();
  void DrawFramed();
  void Draw(CP_Picture* picture);
  bool CursorInWindow() const;

  int16_t fBaseId;
  CP_Picture* fBase = nullptr;  // counted
  int16_t fPictureHorizontal;
  int16_t fPictureVertical;
  CP_Rect fPictureRect;
  std::array<int16_t, kSlotCount> fIds;
  std::array<CP_Picture*, kSlotCount> fPictures{};  // counted
  int16_t fHover = 0;
  int16_t fToggle;
  int16_t fToggleState = 0;
};
