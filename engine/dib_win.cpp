#include "engine/dib_win.h"

#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>

#include "engine/png.h"

namespace engine {
namespace {

// One factory for the process; COM is initialised on the UI thread once.
IWICImagingFactory* factory() {
  static IWICImagingFactory* f = [] {
    IWICImagingFactory* p = nullptr;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&p))))
      p = nullptr;
    return p;
  }();
  return f;
}

template <class T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() { if (p) p->Release(); }
  T** out() { return &p; }
  T* operator->() const { return p; }
};

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
  // The browser's own PNGs go straight into the rows; others through WIC.
  uint32_t pw = 0, ph = 0;
  if (pngSize(encoded, pw, ph)) {
    if (!resize(static_cast<int>(pw), static_cast<int>(ph))) { reason = "cannot create the DIB"; return false; }
    GdiFlush();
    if (decodePng(encoded, static_cast<uint8_t*>(bits_), size_t(pw) * 4)) return true;
    reason = "broken PNG";
    return false;
  }
  IWICImagingFactory* f = factory();
  if (!f) { reason = "no WIC factory"; return false; }
  ComPtr<IStream> stream;
  stream.p = SHCreateMemStream(reinterpret_cast<const BYTE*>(encoded.data()),
                               static_cast<UINT>(encoded.size()));
  if (!stream.p) { reason = "SHCreateMemStream failed"; return false; }
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> conv;
  if (FAILED(f->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) || FAILED(f->CreateFormatConverter(conv.out())) ||
      FAILED(conv->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                              0.0, WICBitmapPaletteTypeCustom))) {
    reason = "cannot decode the frame";
    return false;
  }
  UINT w = 0, h = 0;
  if (FAILED(conv->GetSize(&w, &h)) || !w || !h || w > 16384 || h > 16384) {
    reason = "bad frame size";
    return false;
  }
  if (!resize(static_cast<int>(w), static_cast<int>(h))) { reason = "cannot create the DIB"; return false; }
  GdiFlush();
  if (FAILED(conv->CopyPixels(nullptr, w * 4, w * 4 * h, static_cast<BYTE*>(bits_)))) {
    reason = "CopyPixels failed";
    return false;
  }
  return true;
}

}  // namespace engine
