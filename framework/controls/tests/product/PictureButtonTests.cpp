// The product's picture button: where its picture goes, the pictures it
// holds, and its stream form. Pictures 101 to 108 are 16 x 16, 140 is
// 40 x 40 and 141 is 30 x 10.
#include "CP_Menu.h"
#include "CP_Picture.h"
#include "GH_PictureButton.h"
#include "MemoryOutStream.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kxtest::PaneAt;

using PictureButtonTest = kxtest::SceneTest;

GH_PictureButton* MakePictureButton(CP_Window* window, int width, int height, int16_t picture,
                                    int16_t horizontal, int16_t vertical, const std::string& label = "",
                                    int16_t labelH = 0, int16_t labelV = 0, int16_t toggle = 0) {
  return new GH_PictureButton(window, PaneAt(10, 20, width, height), label, picture, toggle, labelH, labelV,
                              2, horizontal, vertical, 0, 0, 1);
}

TEST_F(PictureButtonTest, PictureIsPlacedInTheFrameAndShrunkToItWhenLarger) {
  struct Case {
    const char* name;
    int width, height;
    int16_t picture, horizontal, vertical;
    CP_Rect want;
  };
  const Case kCases[] = {
      {"top left", 60, 40, 101, 0, 0, CP_Rect(0, 0, 16, 16)},
      {"centred", 60, 40, 101, 1, 1, CP_Rect(22, 12, 38, 28)},
      {"bottom right", 60, 40, 101, 2, 2, CP_Rect(44, 24, 60, 40)},
      {"unknown placement", 60, 40, 101, 5, 7, CP_Rect(0, 0, 16, 16)},
      {"larger both ways", 30, 30, 140, 1, 1, CP_Rect(0, 0, 30, 30)},
      {"wider only: the whole frame", 20, 40, 141, 1, 1, CP_Rect(0, 0, 20, 40)},
  };
  for (const Case& c : kCases) {
    GH_PictureButton* button = MakePictureButton(window, c.width, c.height, c.picture, c.horizontal, c.vertical);
    EXPECT_EQ(c.want, button->GetPictureRect()) << c.name;
    window->DetachSubPane(button, false, true);
  }
}

TEST_F(PictureButtonTest, PictureMakesRoomForTheMenuTriangle) {
  GH_PictureButton* button = MakePictureButton(window, 60, 40, 101, 1, 0);
  button->SetPopupMenu(new CP_Menu(150, "Sizes", uint8_t(1)), GH_Button::kArrowDown, 1, 0);
  EXPECT_EQ(CP_Rect(14, 0, 30, 16), button->GetPictureRect()) << "moved left by the triangle's 8 pixels";
}

TEST_F(PictureButtonTest, LabelMovesBesideThePictureAndThePictureAwayFromIt) {
  struct Case {
    const char* name;
    int16_t labelH, labelV;
  };
  const Case kCases[] = {{"label left, top", 0, 0}, {"label right, bottom", 2, 8}, {"label centred", 1, 4}};
  for (const Case& c : kCases) {
    GH_PictureButton* button = MakePictureButton(window, 60, 40, 101, 1, 1, "Go", c.labelH, c.labelV);
    const CP_Rect label = button->GetLabelRect();
    const CP_Rect picture = button->GetPictureRect();
    const int d = (label.Height() / 2) / 2 + 3;
    const int shift = c.labelV == 0 ? d : c.labelV == 8 ? -d : 0;
    EXPECT_EQ(CP_Rect(22, 12 + shift, 38, 28 + shift), picture) << c.name;
    if (c.labelH == 0) {
      EXPECT_EQ(38 + 2, label.left) << c.name << ": after the picture and the margin";
    }
    if (c.labelH == 2) {
      EXPECT_EQ(22 + 2, label.right) << c.name << ": at the picture's left plus the margin";
    }
    window->DetachSubPane(button, false, true);
  }
}

TEST_F(PictureButtonTest, SettersReplaceOnlyChangedPicturesAndTheButtonGivesAllBack) {
  GH_PictureButton* button = MakePictureButton(window, 60, 40, 101, 0, 0);
  EXPECT_EQ(101, button->GetBasePictureId());
  ASSERT_NE(nullptr, button->GetBasePicture());
  EXPECT_EQ(nullptr, button->GetPicture(GH_PictureButton::kPushed));

  button->SetPushedPicture(102);
  CP_Picture* pushed = button->GetPicture(GH_PictureButton::kPushed);
  ASSERT_NE(nullptr, pushed);
  pushed->AddReference();  // keeps it alive, so a new picture has another address
  button->SetPushedPicture(102);
  EXPECT_EQ(pushed, button->GetPicture(GH_PictureButton::kPushed)) << "the same id: nothing reloaded";
  EXPECT_EQ(2, pushed->GetReferenceCount());
  button->SetPushedPicture(103);
  EXPECT_NE(pushed, button->GetPicture(GH_PictureButton::kPushed));
  EXPECT_EQ(1, pushed->GetReferenceCount()) << "the old picture was given back";
  EXPECT_EQ(103, button->GetPicture(GH_PictureButton::kPushed)->GetBitmapId());
  pushed->RemoveReference();

  // The wide picture lays the rectangle out; removing a picture keeps it.
  button->SetOnPicture(141);
  EXPECT_EQ(CP_Rect(0, 0, 30, 10), button->GetPictureRect());
  button->SetOnPicture(GH_PictureButton::kNoPicture);
  EXPECT_EQ(nullptr, button->GetPicture(GH_PictureButton::kOn));
  EXPECT_EQ(CP_Rect(0, 0, 30, 10), button->GetPictureRect());

  std::vector<CP_Picture*> held;
  button->SetOffHilitedPicture(104);
  for (CP_Picture* p : {button->GetBasePicture(), button->GetPicture(GH_PictureButton::kPushed),
                        button->GetPicture(GH_PictureButton::kOffHilited)}) {
    p->AddReference();
    held.push_back(p);
  }
  window->DetachSubPane(button, false, true);
  for (CP_Picture* p : held) {
    EXPECT_EQ(1, p->GetReferenceCount()) << "only ours is left";
    p->RemoveReference();
  }
}

TEST_F(PictureButtonTest, StreamEndsWithThePictureIdAndPlacements) {
  GH_PictureButton* button = MakePictureButton(window, 60, 40, 105, 2, 1, "Mute");
  kxtest::MemoryOutStream out;
  button->WriteToStream(out);
  const std::vector<uint8_t>& bytes = out.Bytes();
  ASSERT_GE(bytes.size(), 6u);
  auto at = [&](size_t fromEnd) { return int16_t(bytes[bytes.size() - fromEnd] | bytes[bytes.size() - fromEnd + 1] << 8); };
  EXPECT_EQ(105, at(6));
  EXPECT_EQ(2, at(4));
  EXPECT_EQ(1, at(2));
  EXPECT_EQ(2, at(8)) << "the label margin, last of the text button's values";
}

}  // namespace
