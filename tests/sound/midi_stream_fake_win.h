// A recording stand-in for the system MIDI stream interface, patched into
// this test program's import table: Wine has no MIDI synthesiser here, so
// this is where the player's calls and the events it streams are seen.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace midifake {

enum class Device {
  kPlays,     // queued buffers complete one by one, a millisecond apart
  kHolds,     // queued buffers complete only when stopped or reset
  kNoDevice,  // opening fails, leaving a stale handle as Wine does
};

// Redirects the program's winmm imports of the stream functions to the
// fake; false when midiStreamOpen is not imported.
bool install();

// Forgets what was recorded and sets how the next opened stream behaves.
void reset(Device device);

// Calls in order: "open <device id> <flags>", "timediv <n>", "prepare",
// "out", "restart", "stop", "reset", "unprepare", "close", each followed
// by " -> <error>" when it failed, and by " (wrong handle)" when it named
// a stream that is not open.
std::vector<std::string> calls();
// The event words of each buffer given to midiStreamOut, in order.
std::vector<std::vector<uint32_t>> buffers();
// Calls whose name starts with prefix.
int count(const std::string& prefix);
int openStreams();
int preparedHeaders();

}  // namespace midifake
