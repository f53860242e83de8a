// Pictures decoded on a thread of their own: the UI thread stays free to
// read input while a frame decodes (the X keyboard remaps a key for a
// Chinese character only for a moment; a busy thread reads it too late).
#pragma once
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/dib_win.h"

namespace engine {

class Decoder {
 public:
  // Each decoded picture is announced by posting msg to hwnd.
  Decoder(HWND hwnd, UINT msg);
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Hands in a base64 picture; number orders it for the caller. A picture
  // still waiting is dropped for it. Without a thread it decodes at once.
  void submit(std::string base64, uint64_t number);
  // The newest decoded picture not taken yet, empty when it could not be
  // decoded; false when none.
  bool take(Pixels& out);
  // Waits at most ms until nothing is waiting or decoding.
  void settle(int ms);
  // A taken picture's rows, once shown, for the next picture to fill: a
  // frame's worth of fresh memory each time costs more than its decoding.
  void giveBack(std::vector<uint8_t> rows);

 private:
  void run();
  void decode(std::string base64, uint64_t number);  // with the lock not held
  HWND hwnd_;
  UINT msg_;
  std::mutex m_;
  std::condition_variable wake_, idle_;
  std::string waiting_;  // base64, "" for none
  uint64_t waitingNumber_ = 0;
  bool busy_ = false;
  bool stop_ = false;
  Pixels done_;
  std::vector<uint8_t> spare_;
  bool ready_ = false;  // done_ holds a picture not taken yet
  std::thread thread_;
};

}  // namespace engine
