#include "components/picture_win.h"
#include <wincodec.h>

namespace comp {
namespace {

template <typename T> struct Com {
  T* p = nullptr;
  ~Com() { if (p) p->Release(); }
  T** out() { return &p; }
  T* operator->() { return p; }
};

// A picture may declare any size in a few bytes; beyond these it is refused
// as undecodable data is. 16384 x 16384 would be a gigabyte of pixels,
// more than a 32-bit process can hold.
constexpr UINT kMaxPictureSide = 16384;
constexpr UINT64 kMaxPicturePixels = 32u << 20;   // a 128 MB DIB

bool sizeAllowed(IWICBitmapSource* src, UINT* w, UINT* h) {
  return SUCCEEDED(src->GetSize(w, h)) && *w > 0 && *h > 0 && *w <= kMaxPictureSide &&
         *h <= kMaxPictureSide && UINT64(*w) * *h <= kMaxPicturePixels;
}

// A top-down 32-bit DIB section of w x h; null when its memory cannot be had.
HBITMAP newDib(UINT w, UINT h, uint32_t** bits) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = static_cast<LONG>(w);
  bi.bmiHeader.biHeight = -static_cast<LONG>(h);
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<uint32_t*>(p);
  return bmp;
}

// Decodes straight into a new DIB section of premultiplied BGRA pixels,
// scaled to size x size when size > 0. Null when WIC cannot decode the
// data, the picture is too large, or there is no memory for it; nothing
// here throws.
HBITMAP decodeDib(const Bytes& data, int size, UINT* w, UINT* h, uint32_t** bits) {
  if (data.empty()) return nullptr;
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HBITMAP bmp = nullptr;
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
        SUCCEEDED(decoder->GetFrame(0, frame.out())) && sizeAllowed(frame.p, w, h) &&
        SUCCEEDED(factory->CreateFormatConverter(conv.out())) &&
        SUCCEEDED(conv->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0, WICBitmapPaletteTypeCustom))) {
      IWICBitmapSource* src = conv.p;
      if (size > 0 && SUCCEEDED(factory->CreateBitmapScaler(scaler.out())) &&
          SUCCEEDED(scaler->Initialize(conv.p, size, size, WICBitmapInterpolationModeFant)))
        src = scaler.p;
      if (sizeAllowed(src, w, h) && (bmp = newDib(*w, *h, bits)) &&
          FAILED(src->CopyPixels(nullptr, *w * 4, *w * 4 * *h, reinterpret_cast<BYTE*>(*bits)))) {
        DeleteObject(bmp);
        bmp = nullptr;
      }
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return bmp;
}

bool isIconData(const Bytes& d) {
  return d.size() >= 6 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || d[2] == 2) && d[3] == 0;
}

}  // namespace

bool decodePicture(const Bytes& data, Picture* out, COLORREF background) {
  UINT w = 0, h = 0;
  uint32_t* px = nullptr;
  HBITMAP bmp = decodeDib(data, 0, &w, &h, &px);
  if (!bmp) return false;
  if (background != CLR_INVALID) {
    uint32_t br = GetRValue(background), bg = GetGValue(background), bb = GetBValue(background);
    for (uint32_t* p = px; p != px + size_t(w) * h; ++p) {
      uint32_t a = *p >> 24, inv = 255 - a;
      uint32_t b = (*p & 0xFF) + bb * inv / 255, g = ((*p >> 8) & 0xFF) + bg * inv / 255,
               r = ((*p >> 16) & 0xFF) + br * inv / 255;
      *p = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  out->bitmap = bmp;
  out->width = static_cast<int>(w);
  out->height = static_cast<int>(h);
  out->iconKind = isIconData(data);
  return true;
}

void releasePicture(Picture* p) {
  if (p->bitmap) DeleteObject(p->bitmap);
  *p = Picture();
}

HICON iconFromPicture(const Bytes& data, int size) {
  UINT w = 0, h = 0;
  uint32_t* px = nullptr;
  HBITMAP colour = decodeDib(data, size, &w, &h, &px);
  if (!colour) return nullptr;
  HBITMAP mask = CreateBitmap(static_cast<int>(w), static_cast<int>(h), 1, 1, nullptr);
  ICONINFO ii = {TRUE, 0, 0, mask, colour};
  HICON icon = mask ? CreateIconIndirect(&ii) : nullptr;
  DeleteObject(colour);
  if (mask) DeleteObject(mask);
  return icon;
}

}  // namespace comp
