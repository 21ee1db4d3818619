// The recording component on the fake wave-input device.
#include "audio/AudioIO.h"
#include "platform/wavein/fakewavein.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tl;
using namespace tl::wavein;

namespace {

QString text(Result r) { return QString::fromStdString(errorText(r)); }

// A fake whose call log outlives it (the recorder owns its device).
class LoggedFake : public FakeWaveIn {
 public:
  explicit LoggedFake(std::vector<std::string>* out) : out_(out) {}
  ~LoggedFake() override { *out_ = calls; }

 private:
  std::vector<std::string>* out_;
};

struct Rec {
  FakeWaveIn* fake;
  std::unique_ptr<TAudioIn> in;
  std::vector<char*> got;      // buffers handed to the handler
  std::vector<char> firstByte; // their first bytes
  std::vector<int> sizes;
  std::vector<bool> answers;   // answers in turn; true once they run out

  Rec() {
    auto f = std::make_unique<FakeWaveIn>();
    fake = f.get();
    in = std::make_unique<TAudioIn>(nullptr, std::move(f));
    // As the main window sets it up.
    in->setBufferSize(512);
    in->setWaveDevice(0);
    in->OnBufferFilled = [this](char* b, int& size) {
      got.push_back(b);
      firstByte.push_back(b[0]);
      sizes.push_back(size);
      size = 99999;  // ignored
      size_t n = got.size() - 1;
      return n < answers.size() ? bool(answers[n]) : true;
    };
  }
  // Fills one buffer and delivers its event.
  bool fill() {
    bool ok = fake->fill();
    QCoreApplication::processEvents();
    return ok;
  }
};

TEST(AudioIn, DefaultsAndBounds) {
  TAudioIn in(nullptr, std::make_unique<FakeWaveIn>());
  EXPECT_EQ(in.BufferSize(), 8192);
  EXPECT_EQ(in.NumBuffers(), 4);
  EXPECT_EQ(in.FrameRate(), 22050);
  EXPECT_FALSE(in.Stereo());
  EXPECT_EQ(in.Quantization(), 16);
  EXPECT_EQ(in.WaveDevice(), 0xFFFFFFFFu);
  EXPECT_TRUE(in.LastErrorText().isEmpty());
  EXPECT_FALSE(in.DeviceOpen());
  EXPECT_EQ(in.WaveFormat().blockAlign, 2);
  EXPECT_EQ(in.WaveFormat().avgBytesPerSec, 44100u);

  in.setBufferSize(100);
  EXPECT_EQ(in.BufferSize(), 512);
  in.setStereo(true);
  in.setBufferSize(1026);
  EXPECT_EQ(in.BufferSize(), 1024);
  EXPECT_EQ(in.WaveFormat().blockAlign, 4);
  in.setQuantization(12);
  EXPECT_EQ(in.Quantization(), 16);
  in.setQuantization(0);
  EXPECT_EQ(in.Quantization(), 8);
  EXPECT_EQ(in.BufferSize(), 1026);  // block align 2 now
  in.setNumBuffers(1);
  EXPECT_EQ(in.NumBuffers(), 2);
  in.setNumBuffers(9);
  EXPECT_EQ(in.NumBuffers(), 4);
  in.setFrameRate(8000);
  EXPECT_EQ(in.FrameRate(), 8000);
  EXPECT_EQ(in.WaveFormat().avgBytesPerSec, 16000u);
}

TEST(AudioIn, FourBuffersCycleAndEachFilledBufferIsHandedOver) {
  Rec r;
  ASSERT_TRUE(r.in->Start()) << r.in->LastErrorText().toStdString();
  EXPECT_TRUE(r.in->DeviceOpen());
  EXPECT_EQ(r.fake->lastDevice, 0u);
  EXPECT_EQ(r.fake->lastFormat.samplesPerSec, 22050u);
  EXPECT_EQ(r.fake->lastFormat.bitsPerSample, 16);
  EXPECT_EQ(r.fake->queuedCount(), 4u);
  // Started before any buffer is queued.
  auto& c = r.fake->calls;
  auto start = std::find(c.begin(), c.end(), "start");
  ASSERT_NE(start, c.end());
  EXPECT_EQ(std::count(c.begin(), start, "addBuffer"), 0);

  for (int i = 0; i < 8; ++i) ASSERT_TRUE(r.fill());
  ASSERT_EQ(r.got.size(), 8u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(r.got[i], r.got[i + 4]);
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) EXPECT_NE(r.got[i], r.got[j]);
  for (int n = 0; n < 8; ++n) {
    EXPECT_EQ(r.sizes[n], 512);
    EXPECT_EQ(r.firstByte[n], FakeWaveIn::patternByte(n + 1, 0));
  }
  EXPECT_EQ(r.fake->queuedCount(), 4u);
  EXPECT_EQ(r.in->QueuedCount(), 4);
  r.in->Stop();
  EXPECT_FALSE(r.in->DeviceOpen());
  EXPECT_FALSE(r.fake->isOpen());
}

TEST(AudioIn, RefusingEveryBufferClosesAfterTheFourth) {
  Rec r;
  r.answers.assign(10, false);
  ASSERT_TRUE(r.in->Start());
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(r.fill());
    EXPECT_TRUE(r.in->DeviceOpen());
  }
  ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.got.size(), 4u);
  EXPECT_FALSE(r.in->DeviceOpen());
  EXPECT_FALSE(r.fake->isOpen());
  EXPECT_FALSE(r.fill());
  EXPECT_EQ(r.got.size(), 4u);
  // Closing: reset, then unprepare, then close.
  auto& c = r.fake->calls;
  auto reset = std::find(c.rbegin(), c.rend(), "reset");
  auto unprep = std::find(c.rbegin(), c.rend(), "unprepare");
  ASSERT_NE(reset, c.rend());
  EXPECT_GT(reset - c.rbegin(), unprep - c.rbegin());
  EXPECT_EQ(c.back(), "close");
  EXPECT_EQ(r.fake->count("unprepare"), 4);
  // A new recording can start afterwards.
  EXPECT_TRUE(r.in->Start());
}

TEST(AudioIn, OneRefusalLeavesThreeBuffersAndTheRightBufferIsHandedOver) {
  Rec r;
  r.answers = {false};
  ASSERT_TRUE(r.in->Start());
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.fake->queuedCount(), 3u);
  EXPECT_TRUE(r.in->DeviceOpen());
  // Every call gets the buffer that was just filled.
  for (int n = 0; n < 9; ++n) EXPECT_EQ(r.firstByte[n], FakeWaveIn::patternByte(n + 1, 0));
  EXPECT_EQ(r.got[1], r.got[4]);
  EXPECT_NE(r.got[0], r.got[3]);
  r.in->Stop();
  EXPECT_FALSE(r.in->DeviceOpen());
}

// The real device fills the whole ring at once (one long capture period);
// the buffers reach the handler together, in order, once each, and the
// answers apply to each.
TEST(AudioIn, BuffersFilledTogetherAreHandedOverInOrder) {
  Rec r;
  r.answers = {true, true, false, true};
  ASSERT_TRUE(r.in->Start());
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(r.fake->fill());
  EXPECT_TRUE(r.got.empty());
  QCoreApplication::processEvents();
  ASSERT_EQ(r.got.size(), 4u);
  for (int n = 0; n < 4; ++n) EXPECT_EQ(r.firstByte[n], FakeWaveIn::patternByte(n + 1, 0));
  EXPECT_EQ(r.fake->queuedCount(), 3u);
  EXPECT_EQ(r.in->QueuedCount(), 3);
  // The next three, filled together again: the ring goes on without the refused one.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(r.fake->fill());
  QCoreApplication::processEvents();
  ASSERT_EQ(r.got.size(), 7u);
  for (int n = 4; n < 7; ++n) EXPECT_EQ(r.firstByte[n], FakeWaveIn::patternByte(n + 1, 0));
  EXPECT_EQ(r.fake->queuedCount(), 3u);
  r.in->Stop();
  EXPECT_FALSE(r.in->DeviceOpen());
}

TEST(AudioIn, SecondStartIsRefusedAndTheFirstGoesOn) {
  Rec r;
  ASSERT_TRUE(r.in->Start());
  EXPECT_FALSE(r.in->Start());
  EXPECT_EQ(r.in->LastErrorText(), QStringLiteral("Wave Input device is already open"));
  EXPECT_EQ(r.fake->count("open"), 1);
  ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.got.size(), 1u);
  EXPECT_TRUE(r.in->DeviceOpen());
}

TEST(AudioIn, FailuresLeaveTheirTextsAndACloseDevice) {
  {
    Rec r;
    r.fake->openResult = err_baddeviceid;
    EXPECT_FALSE(r.in->Start());
    EXPECT_EQ(r.in->LastErrorText(), text(err_baddeviceid));
    EXPECT_FALSE(r.in->DeviceOpen());
  }
  {
    Rec r;
    r.fake->startResult = err_nodriver;
    EXPECT_FALSE(r.in->Start());
    EXPECT_EQ(r.in->LastErrorText(), "Error starting wave record: " + text(err_nodriver));
    EXPECT_FALSE(r.in->DeviceOpen());
    EXPECT_FALSE(r.fake->isOpen());
  }
  {
    Rec r;
    r.fake->prepareResult = err_nomem;
    EXPECT_FALSE(r.in->Start());
    EXPECT_EQ(r.in->LastErrorText(), text(err_nomem));
    EXPECT_FALSE(r.fake->isOpen());
  }
  {
    Rec r;
    r.fake->addFailAt = 2;
    r.fake->addFailResult = err_invalparam;
    EXPECT_FALSE(r.in->Start());
    EXPECT_EQ(r.in->LastErrorText(), text(err_invalparam));
    EXPECT_FALSE(r.in->DeviceOpen());
    EXPECT_FALSE(r.fake->isOpen());
    EXPECT_EQ(r.fake->queuedCount(), 0u);
  }
  // Bad formats are the device's to refuse.
  {
    Rec r;
    r.in->setFrameRate(0);
    EXPECT_FALSE(r.in->Start());
    EXPECT_EQ(r.in->LastErrorText(), text(err_badformat));
  }
}

TEST(AudioIn, AFailingReQueueDrainsTheRecording) {
  Rec r;
  r.fake->addFailAt = 5;  // the first re-queue
  ASSERT_TRUE(r.in->Start());
  ASSERT_TRUE(r.fill());
  EXPECT_FALSE(r.in->Recording());
  EXPECT_TRUE(r.in->DeviceOpen());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.got.size(), 1u);  // nothing handed over once drained
  EXPECT_FALSE(r.in->DeviceOpen());
}

TEST(AudioIn, StopDropsPendingBuffersAndDoesNothingWhenClosed) {
  Rec r;
  r.in->Stop();
  EXPECT_TRUE(r.fake->calls.empty());
  ASSERT_TRUE(r.in->Start());
  r.fake->fill();  // posted, not yet delivered
  r.in->Stop();
  QCoreApplication::processEvents();
  EXPECT_TRUE(r.got.empty());
  // Events of the stopped recording do not reach a new one either.
  ASSERT_TRUE(r.in->Start());
  r.fake->fill();
  r.fake->fill();
  r.in->Stop();
  ASSERT_TRUE(r.in->Start());
  QCoreApplication::processEvents();
  EXPECT_TRUE(r.got.empty());
  EXPECT_EQ(r.in->QueuedCount(), 4);
}

TEST(AudioIn, DrainClosesWhenTheLastBufferReturns) {
  Rec r;
  ASSERT_TRUE(r.in->Start());
  r.in->Drain();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(r.fill());
  EXPECT_TRUE(r.got.empty());
  EXPECT_FALSE(r.in->DeviceOpen());
}

TEST(AudioIn, SizeChangeWhileOpenWaitsForTheClose) {
  Rec r;
  ASSERT_TRUE(r.in->Start());
  r.in->setBufferSize(4096);
  EXPECT_EQ(r.in->BufferSize(), 4096);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.fake->largestBuffer, 512u);
  for (int s : r.sizes) EXPECT_EQ(s, 512);
  r.in->Stop();
  ASSERT_TRUE(r.in->Start());
  ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.sizes.back(), 4096);
  // A format change while open changes nothing the device writes into.
  r.in->setStereo(true);
  r.in->setQuantization(8);
  ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.sizes.back(), 4096);
}

TEST(AudioIn, RaisingNumBuffersLaterStillHasBuffers) {
  Rec r;
  r.in->setNumBuffers(2);
  r.in->setBufferSize(1024);
  r.in->setNumBuffers(4);
  ASSERT_TRUE(r.in->Start());
  EXPECT_EQ(r.fake->queuedCount(), 4u);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(r.fill());
  EXPECT_EQ(r.sizes.back(), 1024);
}

TEST(AudioIn, StartAndStopEventsAndDestructionWhileOpen) {
  std::vector<std::string> log;
  int starts = 0, stops = 0;
  {
    TAudioIn in(nullptr, std::make_unique<LoggedFake>(&log));
    in.OnStart = [&](QObject* s) { ++starts; EXPECT_EQ(s, &in); };
    in.OnStop = [&](QObject*) { ++stops; };
    ASSERT_TRUE(in.Start());
    QCoreApplication::processEvents();
    EXPECT_EQ(starts, 1);
    in.Stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(stops, 1);
    ASSERT_TRUE(in.Start());
    static_cast<FakeWaveIn*>(in.device())->fill();
  }
  QCoreApplication::processEvents();  // nothing left to deliver to
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "close");
  EXPECT_EQ(std::count(log.begin(), log.end(), "close"), 2);
}

}  // namespace
