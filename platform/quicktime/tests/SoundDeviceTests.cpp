// Sound through a waveOut device (ALSA's null device under Wine): a device
// is open exactly while a movie with sound plays audibly, and never holds up
// the film.
#include "PlaySupport.h"
#include "WinTestSupport.h"

#include <windows.h>
#include <mmsystem.h>

using namespace filmtest;

namespace {

class SoundDevice : public ToolboxTest {
 protected:
  void SetUp() override {
    ToolboxTest::SetUp();
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "ALSA_CONFIG_PATH should offer a null device";
    ASSERT_EQ(noErr, LoadMovie(PlayFilm("clip.mov"), movie_));
    Rect r = {0, 0, 24, 32};
    mc_ = NewMovieController(movie_, &r, 11);
  }
  void TearDown() override {
    DisposeMovieController(mc_);
    DisposeMovie(movie_);
    ToolboxTest::TearDown();
  }

  void Volume(int16_t v) { MCDoAction(mc_, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(v))); }
  // The open devices after the clock has had some turns.
  int32_t OpenAfterTurns() {
    Pump(100);
    return Live(kQTStandInSoundOutputs);
  }

  Movie movie_ = nullptr;
  MovieController mc_ = nullptr;
};

TEST_F(SoundDevice, OpenWhilePlayingAudibly) {
  Volume(256);
  EXPECT_EQ(0, OpenAfterTurns()) << "a stopped movie has no device";
  Play(mc_);
  EXPECT_EQ(1, OpenAfterTurns());
  Volume(-25);
  EXPECT_EQ(0, OpenAfterTurns()) << "below 0 is silent";
  Volume(128);
  EXPECT_EQ(1, OpenAfterTurns());
  Play(mc_, 0x8000);
  EXPECT_EQ(1, OpenAfterTurns()) << "another rate, the device again";
  Play(mc_, 0);
  EXPECT_EQ(0, Live(kQTStandInSoundOutputs)) << "stopping closes it at once";
  SetTrackEnabled(GetMovieIndTrack(movie_, 2), 0);
  Play(mc_);
  EXPECT_EQ(0, OpenAfterTurns()) << "its only sound track disabled";
}

TEST_F(SoundDevice, TheFilmEndsOnTimeAndClosesTheDevice) {
  Volume(256);
  Play(mc_);
  DWORD start = GetTickCount();
  EXPECT_EQ(1, OpenAfterTurns());
  EXPECT_TRUE(kxtest::PumpUntil([&] { return !IsPlaying(mc_); }, 10000));
  EXPECT_LT(GetTickCount() - start, 5000u) << "the device does not set the pace";
  EXPECT_EQ(0, Live(kQTStandInSoundOutputs));
}

TEST_F(SoundDevice, DisposingOfAPlayingMovieClosesItsDevice) {
  Volume(256);
  Play(mc_);
  EXPECT_EQ(1, OpenAfterTurns());
  DisposeMovie(movie_);
  movie_ = nullptr;
  EXPECT_EQ(0, Live(kQTStandInSoundOutputs));
  // The same when the controller goes first and the movie stays.
  ASSERT_EQ(noErr, LoadMovie(PlayFilm("clip.mov"), movie_));
  Rect r = {0, 0, 24, 32};
  DisposeMovieController(mc_);
  mc_ = NewMovieController(movie_, &r, 11);
  Volume(256);
  Play(mc_);
  EXPECT_EQ(1, OpenAfterTurns());
  DisposeMovieController(mc_);
  mc_ = nullptr;
  EXPECT_EQ(0, Live(kQTStandInSoundOutputs));
}

}  // namespace
