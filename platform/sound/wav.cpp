#include <cmath>
#include <cstring>

#include "platform/sound/soundplayer.h"

namespace tl {

namespace {

uint32_t le32(const std::string& s, size_t p) {
  return static_cast<unsigned char>(s[p]) | static_cast<unsigned char>(s[p + 1]) << 8 |
         static_cast<unsigned char>(s[p + 2]) << 16 | static_cast<uint32_t>(static_cast<unsigned char>(s[p + 3])) << 24;
}
uint16_t le16(const std::string& s, size_t p) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[p]) | static_cast<unsigned char>(s[p + 1]) << 8);
}
void put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note {
  double freq;
  double start;     // seconds
  double length;    // seconds
  double decay;     // 1/s of the exponential decay
  double brightness;  // weight of the upper partials
};

// A soft bell: a sine with a few partials, 4 ms attack, exponential decay and
// a short fade at the end of each note so that nothing clicks.
std::vector<int16_t> synth(const std::vector<Note>& notes, double total) {
  const size_t n = static_cast<size_t>(total * kRate);
  std::vector<double> mix(n, 0.0);
  for (const Note& note : notes) {
    const size_t first = static_cast<size_t>(note.start * kRate);
    const size_t len = static_cast<size_t>(note.length * kRate);
    for (size_t i = 0; i < len && first + i < n; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double attack = std::min(1.0, t / 0.004);
      const double fade = std::min(1.0, (note.length - t) / 0.02);
      const double env = attack * fade * std::exp(-note.decay * t);
      const double w = 2 * kPi * note.freq * t;
      const double v = std::sin(w) + note.brightness * (0.5 * std::sin(2 * w) + 0.25 * std::sin(3 * w)) +
                       0.15 * std::sin(4.2 * w) * std::exp(-20 * t);
      mix[first + i] += env * v;
    }
  }
  double peak = 1e-9;
  for (double v : mix) peak = std::max(peak, std::fabs(v));
  std::vector<int16_t> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<int16_t>(std::lround(mix[i] / peak * 0.45 * 32767));
  return out;
}

}  // namespace

bool parseWav(const std::string& b, WavData& out) {
  out = WavData();
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return false;
  bool haveFmt = false, haveData = false;
  size_t p = 12;
  while (p + 8 <= b.size()) {
    const uint32_t len = le32(b, p + 4);
    const size_t body = p + 8;
    const size_t avail = b.size() - body;
    if (std::memcmp(b.data() + p, "fmt ", 4) == 0) {
      if (len < 16 || len > avail) return false;
      uint16_t format = le16(b, body);
      out.channels = le16(b, body + 2);
      out.sampleRate = static_cast<int>(le32(b, body + 4));
      out.bitsPerSample = le16(b, body + 14);
      if (format == 0xFFFE && len >= 40) format = le16(b, body + 24);  // extensible: sub-format
      if (format != 1) return false;
      haveFmt = true;
    } else if (std::memcmp(b.data() + p, "data", 4) == 0) {
      out.samples = b.substr(body, std::min<size_t>(len, avail));
      haveData = true;
    }
    if (len > avail) break;
    p = body + len + (len & 1);
  }
  if (!haveFmt || !haveData) return false;
  if (out.channels < 1 || out.channels > 8) return false;
  if (out.sampleRate < 1000 || out.sampleRate > 384000) return false;
  if (out.bitsPerSample != 8 && out.bitsPerSample != 16 && out.bitsPerSample != 24 && out.bitsPerSample != 32)
    return false;
  const size_t frame = static_cast<size_t>(out.channels) * (out.bitsPerSample / 8);
  out.samples.resize(out.samples.size() / frame * frame);
  return true;
}

std::string makeWav16(const std::vector<int16_t>& samples, int sampleRate) {
  std::string s = "RIFF";
  const uint32_t dataLen = static_cast<uint32_t>(samples.size() * 2);
  put32(s, 36 + dataLen);
  s += "WAVEfmt ";
  put32(s, 16);
  put16(s, 1);  // PCM
  put16(s, 1);  // mono
  put32(s, static_cast<uint32_t>(sampleRate));
  put32(s, static_cast<uint32_t>(sampleRate * 2));
  put16(s, 2);
  put16(s, 16);
  s += "data";
  put32(s, dataLen);
  for (int16_t v : samples) put16(s, static_cast<uint16_t>(v));
  return s;
}

const std::string& clearSound(ClearSound which) {
  // A cleared sentence: one soft E6 bell.  A cleared scene: a brighter rising
  // fifth, C6 then G6.
  static const std::string sentence =
      makeWav16(synth({{1318.5, 0.0, 0.30, 11.0, 0.3}}, 0.30), kRate);
  static const std::string scene =
      makeWav16(synth({{1046.5, 0.0, 0.14, 9.0, 0.8}, {1568.0, 0.11, 0.21, 10.0, 0.8}}, 0.32), kRate);
  return which == ClearSound::Sentence ? sentence : scene;
}

}  // namespace tl
