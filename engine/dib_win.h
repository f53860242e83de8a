// The view's drawing surface: a top-down 32-bpp DIB section selected into a
// memory DC, filled from PNG/JPEG frames decoded with WIC.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/changed_area.h"

namespace engine {

// A decoded picture: top-down 32-bit BGRA rows.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;
  uint64_t number = 0;  // the order it was handed in, for the caller
};

// Decodes an encoded image (PNG, JPEG, ...) on any thread; false with a
// reason when it cannot.
bool decodePicture(const std::string& encoded, Pixels& out, std::string& reason);

class Dib {
 public:
  Dib() = default;
  ~Dib();
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  // (Re)creates the surface at w x h, white. False when GDI refuses.
  bool resize(int w, int h);
  // Decodes an encoded image into the surface, resizing it to the image.
  bool load(const std::string& encoded, std::string& reason);
  // Shows a decoded picture, resizing the surface to it; copies only the
  // part that differs, which goes into changed (all of it after a resize).
  bool show(const Pixels& p, Area* changed = nullptr);
  HDC dc() const { return dc_; }
  int width() const { return w_; }
  int height() const { return h_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
  int w_ = 0, h_ = 0;
};

}  // namespace engine
