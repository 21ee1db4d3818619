// The demo lesson made by the build: its subtitles are laid out as SRT files
// are (ASCII, CR LF) and every cue spans exactly one spoken sentence.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

struct Cue {
  double start, end;
};

// 16-bit mono PCM samples of a plain WAV file; empty when it is not one.
std::vector<int16_t> wavSamples(const std::string& bytes, int& rate) {
  std::vector<int16_t> out;
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 4, "WAVE")) return out;
  auto u32 = [&](size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + i]);
    return v;
  };
  int channels = 0, bits = 0;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const std::string id = bytes.substr(at, 4);
    const size_t len = u32(at + 4);
    if (id == "fmt " && at + 24 <= bytes.size()) {
      channels = uint8_t(bytes[at + 10]);
      rate = int(u32(at + 12));
      bits = uint8_t(bytes[at + 22]);
    } else if (id == "data" && channels == 1 && bits == 16) {
      const size_t n = std::min(len, bytes.size() - at - 8) / 2;
      out.resize(n);
      for (size_t i = 0; i < n; ++i)
        out[i] = int16_t(uint8_t(bytes[at + 8 + 2 * i]) | uint8_t(bytes[at + 9 + 2 * i]) << 8);
      return out;
    }
    at += 8 + len + (len & 1);
  }
  return out;
}

TEST(DemoLesson, CuesMatchTheSpokenSentences) {
  const std::string dir = std::string(TL_BINARY_DIR) + "/demo/";
  const std::string srt = readAll(dir + "demo.srt");
  const std::string wav = readAll(dir + "demo.wav");
  if (srt.empty() || wav.empty()) GTEST_SKIP() << "demo lesson not made (espeak-ng or sox missing)";

  for (size_t i = 0; i < srt.size(); ++i) {
    ASSERT_LT(uint8_t(srt[i]), 0x80) << "not ASCII at " << i;
    if (srt[i] == '\n') {
      ASSERT_TRUE(i > 0 && srt[i - 1] == '\r') << "bare LF at " << i;
    }
  }
  std::regex block(R"((\d+)\r\n(\d\d):(\d\d):(\d\d),(\d\d\d) --> (\d\d):(\d\d):(\d\d),(\d\d\d)\r\n[^\r\n]+\r\n\r\n)");
  std::vector<Cue> cues;
  auto t = [](const std::smatch& m, int i) {
    return std::stoi(m[i]) * 3600 + std::stoi(m[i + 1]) * 60 + std::stoi(m[i + 2]) +
           std::stoi(m[i + 3]) / 1000.0;
  };
  size_t consumed = 0;
  for (std::sregex_iterator it(srt.begin(), srt.end(), block), end; it != end; ++it) {
    ASSERT_EQ(size_t(it->position()), consumed) << "unexpected text before cue " << cues.size() + 1;
    ASSERT_EQ(std::stoi((*it)[1]), int(cues.size()) + 1);
    cues.push_back({t(*it, 2), t(*it, 6)});
    consumed += it->length();
  }
  EXPECT_EQ(consumed, srt.size());
  ASSERT_GE(cues.size(), 6u);
  ASSERT_LE(cues.size(), 8u);

  int rate = 0;
  const std::vector<int16_t> s = wavSamples(wav, rate);
  ASSERT_GT(rate, 0);
  ASSERT_FALSE(s.empty());
  auto peak = [&](double from, double to) {
    int p = 0;
    for (size_t i = size_t(std::max(0.0, from) * rate); i < std::min(s.size(), size_t(to * rate)); ++i)
      p = std::max(p, std::abs(int(s[i])));
    return p;
  };
  for (size_t i = 0; i < cues.size(); ++i) {
    const Cue& c = cues[i];
    ASSERT_LT(c.start, c.end);
    if (i > 0) {
      EXPECT_NEAR(c.start - cues[i - 1].end, 0.8, 0.002);
    }
    // Silence right before and after the cue, speech at both of its edges.
    EXPECT_LT(peak(c.start - 0.3, c.start - 0.002), 200) << "cue " << i + 1;
    EXPECT_LT(peak(c.end + 0.002, c.end + 0.3), 200) << "cue " << i + 1;
    EXPECT_GT(peak(c.start, c.start + 0.05), 200) << "cue " << i + 1;
    EXPECT_GT(peak(c.end - 0.05, c.end), 200) << "cue " << i + 1;
  }
}

}  // namespace
