// The view's drawing surface: a top-down 32-bpp DIB section selected into a
// memory DC, filled from PNG/JPEG frames decoded with WIC.
#pragma once
#include <windows.h>

#include <string>

namespace engine {

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
