#include "components/picture_win.h"
#include <wincodec.h>
#include <vector>

namespace comp {
namespace {

template <typename T> struct Com {
  T* p = nullptr;
  ~Com() { if (p) p->Release(); }
  T** out() { return &p; }
  T* operator->() { return p; }
};

// Decodes into premultiplied BGRA pixels, scaled to size x size when size > 0.
bool decodePixels(const Bytes& data, int size, std::vector<uint32_t>* px, UINT* w, UINT* h) {
  if (data.empty()) return false;
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = false;
  {
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> conv;
    Com<IWICBitmapScaler> scaler;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))) &&
        SUCCEEDED(factory->CreateStream(stream.out())) &&
        SUCCEEDED(stream->InitializeFromMemory(
            reinterpret_cast<BYTE*>(const_cast<char*>(data.data())), static_cast<DWORD>(data.size()))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                   decoder.out())) &&
        SUCCEEDED(decoder->GetFrame(0, frame.out())) &&
        SUCCEEDED(factory->CreateFormatConverter(conv.out())) &&
        SUCCEEDED(conv->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0, WICBitmapPaletteTypeCustom))) {
      IWICBitmapSource* src = conv.p;
      if (size > 0 && SUCCEEDED(factory->CreateBitmapScaler(scaler.out())) &&
          SUCCEEDED(scaler->Initialize(conv.p, size, size, WICBitmapInterpolationModeFant)))
        src = scaler.p;
      if (SUCCEEDED(src->GetSize(w, h)) && *w > 0 && *h > 0 && *w < 16384 && *h < 16384) {
        px->resize(size_t(*w) * *h);
        ok = SUCCEEDED(src->CopyPixels(nullptr, *w * 4, static_cast<UINT>(px->size() * 4),
                                       reinterpret_cast<BYTE*>(px->data())));
      }
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return ok;
}

HBITMAP dibFrom(const std::vector<uint32_t>& px, UINT w, UINT h) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = static_cast<LONG>(w);
  bi.bmiHeader.biHeight = -static_cast<LONG>(h);
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp) memcpy(bits, px.data(), px.size() * 4);
  return bmp;
}

bool isIconData(const Bytes& d) {
  return d.size() >= 6 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || d[2] == 2) && d[3] == 0;
}

}  // namespace

bool decodePicture(const Bytes& data, Picture* out, COLORREF background) {
  std::vector<uint32_t> px;
  UINT w = 0, h = 0;
  if (!decodePixels(data, 0, &px, &w, &h)) return false;
  if (background != CLR_INVALID) {
    uint32_t br = GetRValue(background), bg = GetGValue(background), bb = GetBValue(background);
    for (uint32_t& p : px) {
      uint32_t a = p >> 24, inv = 255 - a;
      uint32_t b = (p & 0xFF) + bb * inv / 255, g = ((p >> 8) & 0xFF) + bg * inv / 255,
               r = ((p >> 16) & 0xFF) + br * inv / 255;
      p = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  out->bitmap = dibFrom(px, w, h);
  out->width = static_cast<int>(w);
  out->height = static_cast<int>(h);
  out->iconKind = isIconData(data);
  return out->bitmap != nullptr;
}

void releasePicture(Picture* p) {
  if (p->bitmap) DeleteObject(p->bitmap);
  *p = Picture();
}

HICON iconFromPicture(const Bytes& data, int size) {
  std::vector<uint32_t> px;
  UINT w = 0, h = 0;
  if (!decodePixels(data, size, &px, &w, &h)) return nullptr;
  HBITMAP colour = dibFrom(px, w, h);
  HBITMAP mask = CreateBitmap(static_cast<int>(w), static_cast<int>(h), 1, 1, nullptr);
  ICONINFO ii = {TRUE, 0, 0, mask, colour};
  HICON icon = colour && mask ? CreateIconIndirect(&ii) : nullptr;
  if (colour) DeleteObject(colour);
  if (mask) DeleteObject(mask);
  return icon;
}

}  // namespace comp
