#include "engine/dib_win.h"

#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>
#include <new>

#include "engine/png.h"

namespace engine {
namespace {

// One factory per thread: frames are decoded on a thread of their own.
IWICImagingFactory* factory() {
  static thread_local IWICImagingFactory* f = nullptr;
  if (!f) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&f))))
      f = nullptr;
  }
  return f;
}

template <class T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() { if (p) p->Release(); }
  T** out() { return &p; }
  T* operator->() const { return p; }
};

// A frame's pixels as 32-bit BGRA rows into bgra (w * h * 4 bytes). The
// browser's JPEG frames come as 24-bit BGR: they are read into the front of
// the buffer and widened in place from the back, which a converter would do
// through a second buffer of its own.
bool copyRows(IWICImagingFactory* f, IWICBitmapFrameDecode* frame, const WICPixelFormatGUID& format,
              UINT w, UINT h, uint8_t* bgra) {
  if (format == GUID_WICPixelFormat24bppBGR) {
    if (FAILED(frame->CopyPixels(nullptr, w * 3, w * 3 * h, bgra))) return false;
    for (size_t i = size_t(w) * h; i-- > 0;) {
      const uint8_t b = bgra[i * 3], g = bgra[i * 3 + 1], r = bgra[i * 3 + 2];
      bgra[i * 4] = b;
      bgra[i * 4 + 1] = g;
      bgra[i * 4 + 2] = r;
      bgra[i * 4 + 3] = 0xFF;
    }
    return true;
  }
  ComPtr<IWICFormatConverter> conv;
  return SUCCEEDED(f->CreateFormatConverter(conv.out())) &&
         SUCCEEDED(conv->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                    WICBitmapPaletteTypeCustom)) &&
         SUCCEEDED(conv->CopyPixels(nullptr, w * 4, w * 4 * h, bgra));
}

}  // namespace

Dib::~Dib() {
  if (dc_) {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  if (bmp_) DeleteObject(bmp_);
}

bool Dib::resize(int w, int h) {
  if (w <= 0 || h <= 0) return false;
  if (w == w_ && h == h_ && bmp_) return true;
  if (!dc_) {
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down, like the decoded rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return false;
  GdiFlush();
  HGDIOBJ prev = SelectObject(dc_, bmp);
  if (bmp_) DeleteObject(bmp_);
  else old_ = prev;
  bmp_ = bmp;
  bits_ = bits;
  w_ = w;
  h_ = h;
  std::memset(bits_, 0xFF, static_cast<size_t>(w) * h * 4);
  return true;
}

bool Dib::load(const std::string& encoded, std::string& reason) {
  Pixels p;
  if (!decodePicture(encoded, p, reason)) return false;
  if (show(p)) return true;
  reason = "cannot create the DIB";
  return false;
}

bool Dib::show(const Pixels& p, Area* changed) {
  const bool same = bmp_ && p.width == w_ && p.height == h_;
  if (!resize(p.width, p.height)) return false;
  GdiFlush();
  auto* bits = static_cast<uint8_t*>(bits_);
  Area a = same ? changedArea(bits, p.bgra.data(), w_, h_) : Area{0, 0, w_, h_};
  const size_t stride = static_cast<size_t>(w_) * 4, from = static_cast<size_t>(a.left) * 4;
  for (int y = a.top; y < a.bottom; ++y)
    std::memcpy(bits + y * stride + from, p.bgra.data() + y * stride + from, static_cast<size_t>(a.right - a.left) * 4);
  if (changed) *changed = a;
  return true;
}

bool decodePicture(const std::string& encoded, Pixels& out, std::string& reason) try {
  // The browser's own PNGs go straight into the rows; others through WIC.
  uint32_t pw = 0, ph = 0;
  if (pngSize(encoded, pw, ph)) {
    out.bgra.resize(size_t(pw) * ph * 4);
    if (!decodePng(encoded, out.bgra.data(), size_t(pw) * 4)) { reason = "broken PNG"; return false; }
    out.width = static_cast<int>(pw);
    out.height = static_cast<int>(ph);
    return true;
  }
  IWICImagingFactory* f = factory();
  if (!f) { reason = "no WIC factory"; return false; }
  ComPtr<IStream> stream;
  stream.p = SHCreateMemStream(reinterpret_cast<const BYTE*>(encoded.data()),
                               static_cast<UINT>(encoded.size()));
  if (!stream.p) { reason = "SHCreateMemStream failed"; return false; }
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  WICPixelFormatGUID format{};
  UINT w = 0, h = 0;
  if (FAILED(f->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) || FAILED(frame->GetPixelFormat(&format)) ||
      FAILED(frame->GetSize(&w, &h))) {
    reason = "cannot decode the frame";
    return false;
  }
  if (!w || !h || w > 16384 || h > 16384) {
    reason = "bad frame size";
    return false;
  }
  // Rows go straight into the buffer, which is kept from frame to frame:
  // a buffer of a new frame's size costs the kernel more than decoding.
  out.bgra.resize(size_t(w) * h * 4);
  if (!copyRows(f, frame.p, format, w, h, out.bgra.data())) {
    reason = "cannot decode the frame";
    return false;
  }
  out.width = static_cast<int>(w);
  out.height = static_cast<int>(h);
  return true;
} catch (const std::bad_alloc&) {
  reason = "no memory for the picture";
  return false;
}

}  // namespace engine
