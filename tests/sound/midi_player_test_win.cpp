// The MIDI player under Wine: first against Wine's own MIDI stream
// interface (no synthesiser here, so opening fails), then against the
// recording fake patched into this program's imports.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "sound/midi_player.h"
#include "sound/sound.h"
#include "tests/sound/midi_stream_fake_win.h"
#include "tests/sound/wave_image.h"

using namespace sndtest;

namespace {

template <class Done>
bool waitFor(Done done, DWORD ms = 5000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(5);
  }
  return true;
}

DWORD handleCount() {
  DWORD n = 0;
  GetProcessHandleCount(GetCurrentProcess(), &n);
  return n;
}

int32_t play(const Bytes& image, int32_t loop = 0) {
  return snd::PlaySoundData(image.data(), uint32_t(image.size()), loop);
}

// Two tracks at 96 ticks a quarter: a tempo and a name in the first; in the
// second running status, a system exclusive message, a two-byte delta and
// a one-byte program change.
Bytes twoTrackSong() {
  Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                 0x00, 0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g',
                 0x83, 0x60, 0xFF, 0x2F, 0x00};
  Bytes notes = {0x00, 0x90, 0x3C, 0x64,
                 0x30, 0x3E, 0x64,
                 0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,
                 0x81, 0x48, 0x80, 0x3C, 0x40,
                 0x00, 0xC0, 0x05,
                 0x18, 0x80, 0x3E, 0x40,
                 0x00, 0xFF, 0x2F, 0x00};
  return midiFile(1, 96, {tempo, notes});
}

// Its stream events, worked out by hand: {delta ticks, stream id, event}.
const std::vector<uint32_t> kTwoTrackEvents = {
    0,   0, 0x0107A120,  // tempo 500000 us a quarter
    0,   0, 0x00643C90,  // note on C4
    48,  0, 0x00643E90,  // note on D4, running status
    200, 0, 0x00403C80,  // note off C4 after the sysex
    0,   0, 0x000005C0,  // program 5
    24,  0, 0x00403E80,  // note off D4
};

// One track of count note-ons a tick apart, under running status.
Bytes longSong(int count, std::vector<uint32_t>* events) {
  Bytes track = {0x01, 0x90, 0x00, 0x40};
  events->assign({1, 0, 0x00400090});
  for (int i = 1; i < count; ++i) {
    uint8_t key = uint8_t(i % 128);
    track.insert(track.end(), {0x01, key, 0x40});
    events->insert(events->end(), {1, 0, 0x00400090u | uint32_t(key) << 8});
  }
  track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
  return midiFile(0, 480, {track});
}

std::vector<uint32_t> joined(const std::vector<std::vector<uint32_t>>& buffers) {
  std::vector<uint32_t> all;
  for (const auto& b : buffers) all.insert(all.end(), b.begin(), b.end());
  return all;
}

const std::string kOpen = "open -1 " + std::to_string(CALLBACK_EVENT);

}  // namespace

// Runs first, before the fake is patched in.
TEST(MidiOut, WineWithoutASynthesiserEndsTheRequestCleanly) {
  Bytes song = twoTrackSong();
  if (midiOutGetNumDevs() > 0) {
    // A configured synthesiser: the song (about 1.4 s) ends on its own.
    ASSERT_EQ(play(song), 1);
    EXPECT_TRUE(waitFor([] { return !snd::MidiPlayerRunning(); }, 10000));
    snd::StopMidi();
    return;
  }
  DWORD before = handleCount();
  EXPECT_EQ(play(song), 1) << "a MIDI request reports started even when it cannot open";
  EXPECT_FALSE(snd::MidiPlayerRunning());
  snd::StopMidi();
  EXPECT_EQ(handleCount(), before) << "events and thread handles closed";
}

class MidiStream : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(midifake::install());
    midifake::reset(midifake::Device::kPlays);
  }
  void TearDown() override {
    snd::StopMidi();
    EXPECT_EQ(midifake::openStreams(), 0);
    EXPECT_EQ(midifake::preparedHeaders(), 0);
  }
};

TEST_F(MidiStream, PlaysTheEventsInOrderAndEndsOnItsOwn) {
  Bytes song = twoTrackSong();
  ASSERT_EQ(play(song), 1);
  // The player keeps its own copy: spoil and free the caller's.
  std::fill(song.begin(), song.end(), 0xee);
  Bytes().swap(song);
  ASSERT_TRUE(waitFor([] { return !snd::MidiPlayerRunning(); }));
  EXPECT_EQ(midifake::buffers(), std::vector<std::vector<uint32_t>>{kTwoTrackEvents});
  const std::vector<std::string> expected = {kOpen,     "timediv 96", "prepare", "out", "restart",
                                             "unprepare", "stop",     "reset",   "close"};
  EXPECT_EQ(midifake::calls(), expected);
  EXPECT_EQ(midifake::openStreams(), 0);
}

TEST_F(MidiStream, LongSongsSpanSeveralBuffersInOrder) {
  std::vector<uint32_t> events;
  Bytes song = longSong(12000, &events);
  ASSERT_EQ(play(song), 1);
  ASSERT_TRUE(waitFor([] { return !snd::MidiPlayerRunning(); }));
  auto buffers = midifake::buffers();
  EXPECT_GE(buffers.size(), 3u) << "12000 events are more than 64 KB";
  for (const auto& b : buffers) EXPECT_LE(b.size() * 4, 65536u);
  EXPECT_EQ(joined(buffers), events);
  EXPECT_EQ(midifake::count("prepare"), int(buffers.size()));
  EXPECT_EQ(midifake::count("unprepare"), int(buffers.size()));
  EXPECT_EQ(midifake::calls().back(), "close");
}

TEST_F(MidiStream, LoopingRepeatsFromTheStartUntilStopped) {
  ASSERT_EQ(play(twoTrackSong(), 1), 1);
  ASSERT_TRUE(waitFor([] { return midifake::buffers().size() >= 4; }));
  EXPECT_TRUE(snd::MidiPlayerRunning()) << "a looping sound plays until stopped";
  snd::StopMidi();
  EXPECT_FALSE(snd::MidiPlayerRunning());
  auto buffers = midifake::buffers();
  for (size_t i = 0; i < buffers.size(); ++i) EXPECT_EQ(buffers[i], kTwoTrackEvents) << "round " << i;
  EXPECT_EQ(midifake::count("restart"), int(buffers.size()));
  EXPECT_EQ(midifake::count("close"), 1);
  EXPECT_EQ(midifake::calls().back(), "close");
}

TEST_F(MidiStream, StopEndsASoundThatIsPlaying) {
  midifake::reset(midifake::Device::kHolds);
  DWORD before = handleCount();
  ASSERT_EQ(play(twoTrackSong()), 1);
  ASSERT_TRUE(waitFor([] { return midifake::count("restart") == 1; }));
  Sleep(50);
  EXPECT_TRUE(snd::MidiPlayerRunning());
  snd::StopMidi();
  EXPECT_FALSE(snd::MidiPlayerRunning());
  auto calls = midifake::calls();
  ASSERT_GE(calls.size(), 4u);
  const std::vector<std::string> tail = {"stop", "reset", "unprepare", "close"};
  EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()), tail);
  EXPECT_EQ(handleCount(), before);
}

TEST_F(MidiStream, ANewRequestStopsTheSoundThatIsPlaying) {
  midifake::reset(midifake::Device::kHolds);
  ASSERT_EQ(play(twoTrackSong()), 1);
  ASSERT_TRUE(waitFor([] { return midifake::count("restart") == 1; }));
  std::vector<uint32_t> second;
  ASSERT_EQ(play(longSong(10, &second)), 1);
  ASSERT_TRUE(waitFor([] { return midifake::count("restart") == 2; }));
  auto calls = midifake::calls();
  auto firstClose = std::find(calls.begin(), calls.end(), "close");
  auto secondOpen = std::find(calls.begin() + 1, calls.end(), kOpen);
  EXPECT_LT(firstClose - calls.begin(), secondOpen - calls.begin()) << "one MIDI sound at a time";
  EXPECT_EQ(midifake::openStreams(), 1);
  EXPECT_EQ(midifake::buffers().back(), second);
}

TEST_F(MidiStream, DataThatCannotBeOpenedPlaysNothing) {
  auto withByte = [](Bytes b, size_t at, uint8_t v) {
    b[at] = v;
    return b;
  };
  Bytes good = twoTrackSong();
  struct Case {
    const char* name;
    Bytes image;
  };
  const Case cases[] = {
      {"header length 7", withByte(good, 7, 7)},
      {"three tracks named, two present", withByte(good, 11, 3)},
      {"message cut short", midiFile(0, 96, {{0x00, 0x90, 0x3C}})},
      {"data byte without a status", midiFile(0, 96, {{0x00, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}})},
      {"no events", midiFile(0, 96, {{0x00, 0xFF, 0x2F, 0x00}})},
      {"five bytes", Bytes{'M', 'T', 'h', 'd', 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    midifake::reset(midifake::Device::kPlays);
    EXPECT_EQ(play(c.image), 1) << "MIDI requests report started even when they cannot open";
    EXPECT_EQ(midifake::count("open"), 0);
    EXPECT_FALSE(snd::MidiPlayerRunning());
  }
  EXPECT_EQ(play(Bytes{'M', 'T', 'h', 'd'}), 0) << "four bytes are not MIDI";
  // Even a request that cannot be opened stops the sound that is playing.
  midifake::reset(midifake::Device::kHolds);
  ASSERT_EQ(play(good), 1);
  ASSERT_TRUE(waitFor([] { return midifake::count("restart") == 1; }));
  EXPECT_EQ(play(cases[0].image), 1);
  EXPECT_EQ(midifake::count("close"), 1);
  EXPECT_FALSE(snd::MidiPlayerRunning());
}

TEST_F(MidiStream, OpenFailureLeavesNothingBehind) {
  midifake::reset(midifake::Device::kNoDevice);
  DWORD before = handleCount();
  EXPECT_EQ(play(twoTrackSong()), 1);
  EXPECT_FALSE(snd::MidiPlayerRunning());
  snd::StopMidi();
  const std::vector<std::string> expected = {kOpen + " -> " + std::to_string(MIDIERR_INVALIDSETUP)};
  EXPECT_EQ(midifake::calls(), expected) << "the stale handle a failed open leaves is not closed";
  EXPECT_EQ(handleCount(), before);
}
