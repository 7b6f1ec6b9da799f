// Our encoders against our decoders: every sample decodes to the picture or
// sound that was encoded (at the depth's precision).
#include "Decoder.h"
#include "SoundDecoder.h"
#include "SoundEncoder.h"
#include "VideoEncoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using film::Bytes;
using film::Colour;
using film::Picture;
using qtf::Tag;

namespace {

Picture Noise(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Picture p(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.Set(x, y, Colour{uint8_t(random()), uint8_t(random()), uint8_t(random())});
  return p;
}

// Long flat runs beyond one code's reach, short runs of two, single pixels.
Picture Runs(int width, int height) {
  Picture p(width, height, Colour{10, 20, 30});
  p.FillRect(0, 0, width / 2, height, Colour{200, 40, 40});
  for (int x = 0; x < width; x += 7) p.Set(x, 1 % height, Colour{1, 2, 3});
  for (int x = 3; x + 1 < width; x += 9) {
    p.Set(x, height - 1, Colour{90, 90, 250});
    p.Set(x + 1, height - 1, Colour{90, 90, 250});
  }
  return p;
}

// What a picture becomes at a depth: 16 bits keep five bits of each
// component, which the decoders widen again by repeating their top bits.
std::vector<uint32_t> Stored(const Picture& p, uint16_t depth) {
  std::vector<uint32_t> out = p.Pixels();
  if (depth != 16) return out;
  for (uint32_t& v : out) {
    uint32_t r = (v >> 19) & 31, g = (v >> 11) & 31, b = (v >> 3) & 31;
    auto widen = [](uint32_t c) { return (c << 3) | (c >> 2); };
    v = (widen(r) << 16) | (widen(g) << 8) | widen(b);
  }
  return out;
}

qtc::DecodeResult Decode(qtc::VideoDecoder& decoder, const Bytes& sample, qtc::Frame& frame) {
  return decoder.Decode(sample.data(), sample.size(), frame);
}

TEST(VideoEncoders, KeySamplesDecodeToThePicture) {
  struct PictureCase {
    const char* name;
    std::function<Picture()> make;
  };
  const PictureCase pictures[] = {
      {"noise", [] { return Noise(17, 5, 1); }},
      {"runs wider than a code reaches", [] { return Runs(300, 3); }},
      {"one pixel", [] { return Picture(1, 1, Colour{9, 8, 7}); }},
  };
  for (qtf::FourCC codec : {Tag("raw "), Tag("rle ")}) {
    for (uint16_t depth : {16, 24, 32}) {
      for (const PictureCase& c : pictures) {
        SCOPED_TRACE(qtf::TagText(codec) + " " + std::to_string(depth) + " bits, " + c.name);
        const Picture picture = c.make();
        qtc::VideoDecoder decoder(film::VideoDescription(codec, uint16_t(picture.Width()), uint16_t(picture.Height()),
                                                         depth, "test"));
        ASSERT_TRUE(decoder.Supported());
        const Bytes sample = codec == Tag("raw ") ? film::EncodeRaw(picture, depth)
                                                  : film::EncodeAnimation(picture, nullptr, depth);
        qtc::Frame frame;
        EXPECT_EQ(qtc::DecodeResult::Ok, Decode(decoder, sample, frame));
        EXPECT_EQ(Stored(picture, depth), frame.pixels);
      }
    }
  }
}

// A film's frames one after the other, each coded against the one before;
// decoding them in order shows each picture.
TEST(AnimationEncoder, DifferenceSamplesShowEachPicture) {
  const int width = 640, height = 6;
  std::vector<Picture> frames;
  frames.push_back(Runs(width, height));
  Picture p = frames.back();
  p.Set(width - 3, 2, Colour{1, 255, 1});  // after a skip longer than one skip byte reaches
  frames.push_back(p);
  frames.push_back(p);  // nothing changes
  p.FillRect(0, 0, width, 1, Colour{5, 5, 5});
  p.FillRect(0, height - 1, 300, height, Colour{6, 6, 6});  // first and last lines only
  frames.push_back(p);
  p.FillRect(100, 3, 400, 4, Colour{7, 7, 7});  // a run longer than a repeat code
  p.Set(401, 3, Colour{8, 8, 8});
  frames.push_back(p);
  frames.push_back(Noise(width, height, 2));

  for (uint16_t depth : {16, 24, 32}) {
    SCOPED_TRACE(std::to_string(depth) + " bits");
    qtc::VideoDecoder decoder(film::VideoDescription(Tag("rle "), width, height, depth, "Animation"));
    qtc::Frame frame;
    for (size_t i = 0; i < frames.size(); ++i) {
      const Bytes sample = film::EncodeAnimation(frames[i], i ? &frames[i - 1] : nullptr, depth);
      EXPECT_EQ(qtc::DecodeResult::Ok, Decode(decoder, sample, frame)) << "frame " << i;
      EXPECT_EQ(Stored(frames[i], depth), frame.pixels) << "frame " << i;
    }
  }
}

TEST(AnimationEncoder, CodesOnlyWhatChanged) {
  const Picture before = Runs(200, 50);
  Picture after = before;
  after.Set(150, 30, Colour{1, 255, 1});
  // Readers of the format treat a sample shorter than 8 bytes as "no change".
  EXPECT_EQ((Bytes{0, 0, 0, 4}), film::EncodeAnimation(before, &before, 24));
  // Header (14), the line's skip byte, a copy code and its pixel, the end.
  const Bytes one = film::EncodeAnimation(after, &before, 24);
  EXPECT_EQ(14u + 1 + 1 + 3 + 1, one.size());
  EXPECT_EQ(30, (one[6] << 8) | one[7]) << "the first line coded";
  EXPECT_EQ(1, (one[10] << 8) | one[11]) << "the number of lines coded";
  // A picture of another size is coded whole.
  const Picture small = Runs(10, 10);
  EXPECT_EQ(film::EncodeAnimation(after, nullptr, 24), film::EncodeAnimation(after, &small, 24));
}

TEST(AnimationEncoder, NeverWritesASkipByteOfZero) {
  // Readers differ on a zero skip byte (one of them moves backwards), so a
  // line of changes at its very start must still begin with the byte 1.
  const Picture before(300, 1, Colour{1, 1, 1});
  Picture after = before;
  after.Set(0, 0, Colour{2, 2, 2});
  after.Set(299, 0, Colour{3, 3, 3});
  const Bytes sample = film::EncodeAnimation(after, &before, 24);
  ASSERT_GT(sample.size(), 15u);
  EXPECT_EQ(1, sample[14]) << "first skip byte";
  // Copy one pixel, then code 0 and a skip of 298 pixels: 255 and 45.
  EXPECT_EQ((Bytes{1, 2, 2, 2, 0, 255, 0, 45, 1, 3, 3, 3, 0xFF}), Bytes(sample.begin() + 15, sample.end()));
}

TEST(SoundEncoder, SamplesDecodeToTheSound) {
  struct Case {
    film::SoundFormat format;
    std::vector<int16_t> frames;
    std::vector<int16_t> want;
  };
  const Case cases[] = {
      {{Tag("twos"), 1, 16, 22050}, {0, 1, -1, 32767, -32768}, {0, 1, -1, 32767, -32768}},
      {{Tag("twos"), 2, 16, 44100}, {100, -100, 2000, -2000}, {100, -100, 2000, -2000}},
      // 8 bits keep the top byte.
      {{Tag("raw "), 1, 8, 11025}, {0, 0x1234, -0x1234, 32767, -32768}, {0, 0x1200, -0x1300, 0x7F00, -0x8000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(qtf::TagText(c.format.format) + " " + std::to_string(c.format.channels) + " channel(s)");
    ASSERT_TRUE(film::EncodableSound(c.format));
    qtc::SoundDecoder decoder(film::SoundDescription(c.format));
    ASSERT_TRUE(decoder.Supported());
    EXPECT_EQ(uint32_t(c.format.rate) << 16, decoder.SampleRate());
    const Bytes bytes = film::EncodeSound(c.format, c.frames);
    std::vector<int16_t> out;
    EXPECT_EQ(c.frames.size() / c.format.channels, decoder.Decode(bytes.data(), bytes.size(), out));
    EXPECT_EQ(c.want, out);
  }
}

TEST(SoundEncoder, TakesOnlyWhatItEncodes) {
  struct Case {
    const char* name;
    film::SoundFormat format;
    bool want;
  };
  const Case cases[] = {
      {"'twos' 16 bits", {Tag("twos"), 2, 16, 22050}, true},
      {"'twos' 8 bits", {Tag("twos"), 1, 8, 22050}, false},
      {"'raw ' 16 bits", {Tag("raw "), 1, 16, 22050}, false},
      {"'ima4'", {Tag("ima4"), 1, 16, 22050}, false},
      {"no channels", {Tag("twos"), 0, 16, 22050}, false},
      {"rate beyond 16.16", {Tag("twos"), 1, 16, 70000}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, film::EncodableSound(c.format)) << c.name;
}

TEST(SoundEncoder, ToneFadesInAndOut) {
  const std::vector<int16_t> tone = film::Tone(8000, 440, 0.5, 1.0);
  ASSERT_EQ(4000u, tone.size());
  EXPECT_LT(std::abs(tone.front()), 300);
  EXPECT_LT(std::abs(tone.back()), 300);
  int16_t peak = 0;
  for (int16_t v : tone) peak = std::max<int16_t>(peak, v);
  EXPECT_GT(peak, 32000);
}

}  // namespace
