#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "platform/sound/soundplayer.h"

namespace {

std::vector<int16_t> samples16(const tl::WavData& w) {
  std::vector<int16_t> out(w.samples.size() / 2);
  std::memcpy(out.data(), w.samples.data(), out.size() * 2);
  return out;
}

TEST(Sound, ClearSoundsAreShortMono16BitWaves) {
  for (auto which : {tl::ClearSound::Sentence, tl::ClearSound::Scene}) {
    tl::WavData w;
    ASSERT_TRUE(tl::parseWav(tl::clearSound(which), w));
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.sampleRate, 22050);
    EXPECT_EQ(w.bitsPerSample, 16);
    const auto s = samples16(w);
    const double seconds = static_cast<double>(s.size()) / w.sampleRate;
    EXPECT_GT(seconds, 0.25);
    EXPECT_LT(seconds, 0.35);
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 8000);   // audible
    EXPECT_LT(peak, 30000);  // not clipped
    // Soft edges: no click at the start or the end.
    EXPECT_LT(std::abs(s.front()), 500);
    EXPECT_LT(std::abs(s.back()), 500);
  }
  EXPECT_NE(tl::clearSound(tl::ClearSound::Sentence), tl::clearSound(tl::ClearSound::Scene));
}

TEST(Sound, WavParserChecksEveryLength) {
  const std::string good = tl::makeWav16({1, -1, 2, -2}, 8000);
  tl::WavData w;
  ASSERT_TRUE(tl::parseWav(good, w));
  EXPECT_EQ(w.samples.size(), 8u);
  for (size_t n = 0; n < 44; ++n) EXPECT_FALSE(tl::parseWav(good.substr(0, n), w)) << n;
  // A data chunk longer than the file is cut to whole frames of what is there.
  ASSERT_TRUE(tl::parseWav(good.substr(0, 47), w));
  EXPECT_EQ(w.samples.size(), 2u);
  std::string bad = good;
  bad[16] = '\xff';  // fmt chunk longer than the file
  EXPECT_FALSE(tl::parseWav(bad, w));
  bad = good;
  bad[20] = 3;  // float samples: not integer PCM
  EXPECT_FALSE(tl::parseWav(bad, w));
  bad = good;
  bad[22] = 0;  // no channels
  EXPECT_FALSE(tl::parseWav(bad, w));
  EXPECT_FALSE(tl::parseWav("RIFF\x04\0\0\0WAVE", w));
  EXPECT_FALSE(tl::parseWav("garbage that is long enough to look like something", w));
}

TEST(Sound, FakeRecordsWhatIsPlayed) {
  tl::FakeSoundPlayer fake;
  tl::SoundPlayer& p = fake;
  p.playAsync(tl::clearSound(tl::ClearSound::Sentence));
  p.playAsync(tl::clearSound(tl::ClearSound::Scene));
  p.stop();
  ASSERT_EQ(fake.played.size(), 2u);
  EXPECT_EQ(fake.played[1], tl::clearSound(tl::ClearSound::Scene));
  EXPECT_EQ(fake.stops, 1);
}

// Whatever the machine has (no sound card, a sound server, a real device):
// plays return at once, a new play replaces the old one, and the player goes
// away promptly.
TEST(Sound, AlsaPlayerNeverBlocksTheCaller) {
  using clock = std::chrono::steady_clock;
  const auto start = clock::now();
  {
    tl::AlsaSoundPlayer player;
    for (int i = 0; i < 20; ++i) player.playAsync(tl::clearSound(i % 2 ? tl::ClearSound::Scene : tl::ClearSound::Sentence));
    player.playAsync("not a wave");
    player.playAsync("");
    const auto deadline = clock::now() + std::chrono::seconds(5);
    while (player.finishedCount() == 0 && clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(player.finishedCount(), 1u);
    player.playAsync(tl::clearSound(tl::ClearSound::Scene));
    player.stop();
  }
  EXPECT_LT(clock::now() - start, std::chrono::seconds(5));
  tl::AlsaSoundPlayer missing("no-such-device");
  missing.playAsync(tl::clearSound(tl::ClearSound::Sentence));
}

}  // namespace
