// The wave players behind PlaySoundData: one feeder thread per WAV sound.
#pragma once
#include <cstdint>

namespace snd {

constexpr uint32_t kWaveBufferCount = 20;
constexpr uint32_t kWaveBufferBytes = 15360;
constexpr uint32_t kWaveIdleTimeoutMs = 8888;
// How long a stopped player waits for the device to hand back each buffer.
constexpr uint32_t kWaveDrainTimeoutMs = 2000;

// Parses a WAV image and starts a player on a private copy of its samples.
bool StartWavePlayer(const uint8_t* data, uint32_t size, int32_t loop);

// Test hooks. Heap calls count every allocation and release the players make.
uint32_t LiveWavePlayerCount();
uint32_t WavePlayerHeapCalls();
// Stores up to max new handles (the caller closes them) to the threads of
// live players; returns how many it stored.
uint32_t DuplicateWavePlayerThreads(void** threads, uint32_t max);

}  // namespace snd
