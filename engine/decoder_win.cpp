#include "engine/decoder_win.h"

#include <chrono>
#include <system_error>

#include "engine/base64.h"
#include "engine/host_win.h"

namespace engine {

Decoder::Decoder(HWND hwnd, UINT msg) : hwnd_(hwnd), msg_(msg) {
  try {
    thread_ = std::thread([this] { run(); });
  } catch (const std::system_error& e) {
    engineLog(std::string("no decoding thread, pictures decode on the UI thread: ") + e.what());
  }
}

Decoder::~Decoder() {
  {
    std::lock_guard<std::mutex> lock(m_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Decoder::submit(std::string base64, uint64_t number) {
  if (!thread_.joinable()) return decode(std::move(base64), number);
  {
    std::lock_guard<std::mutex> lock(m_);
    waiting_ = std::move(base64);
    waitingNumber_ = number;
  }
  wake_.notify_one();
}

bool Decoder::take(Pixels& out) {
  std::lock_guard<std::mutex> lock(m_);
  if (!ready_) return false;
  out = std::move(done_);
  ready_ = false;
  return true;
}

void Decoder::giveBack(std::vector<uint8_t> rows) {
  std::lock_guard<std::mutex> lock(m_);
  spare_ = std::move(rows);
}

void Decoder::settle(int ms) {
  std::unique_lock<std::mutex> lock(m_);
  idle_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !busy_ && waiting_.empty(); });
}

void Decoder::run() {
  std::unique_lock<std::mutex> lock(m_);
  while (true) {
    wake_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
    if (stop_) break;
    std::string base64 = std::move(waiting_);
    waiting_.clear();
    const uint64_t number = waitingNumber_;
    busy_ = true;
    lock.unlock();
    decode(std::move(base64), number);
    lock.lock();
    busy_ = false;
    idle_.notify_all();
  }
}

void Decoder::decode(std::string base64, uint64_t number) {
  Pixels p;
  {
    std::lock_guard<std::mutex> lock(m_);
    p.bgra = std::move(spare_);
  }
  std::string bytes, reason;
  if (!base64Decode(base64, bytes)) reason = "not base64";
  // One that cannot be decoded is told of all the same, empty, so that
  // nobody waits for it.
  if (!reason.empty() || !decodePicture(bytes, p, reason)) {
    engineLog("frame not decoded: " + reason);
    p = Pixels{};
  }
  p.number = number;
  {
    std::lock_guard<std::mutex> lock(m_);
    done_ = std::move(p);
    ready_ = true;
  }
  PostMessageW(hwnd_, msg_, 0, 0);
}

}  // namespace engine
