// The typed argument every command, property and event exchanges, its type
// tags and the calling conventions of the shared contract. Fixed layouts:
// 32-bit x86, little-endian, 4-byte packing; no Windows header here.
#pragma once
#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define RT_CALL __stdcall
#define RT_CDECL __cdecl
#else
#define RT_CALL
#define RT_CDECL
#endif

namespace rt {

// Type tags. Top bits 10 are system types, 00/11 library types, 01 unused.
constexpr uint32_t kTagNone = 0;
constexpr uint32_t kTagByte = 0x80000101;
constexpr uint32_t kTagShort = 0x80000201;
constexpr uint32_t kTagInt = 0x80000301;
constexpr uint32_t kTagLong = 0x80000401;
constexpr uint32_t kTagFloat = 0x80000501;
constexpr uint32_t kTagDouble = 0x80000601;
constexpr uint32_t kTagBool = 0x80000002;
constexpr uint32_t kTagDate = 0x80000003;
constexpr uint32_t kTagText = 0x80000004;
constexpr uint32_t kTagBin = 0x80000005;
constexpr uint32_t kTagSubPtr = 0x80000006;
constexpr uint32_t kTagReserved = 0x80000007;
constexpr uint32_t kTagTwoWord = 0x80000008;
constexpr uint32_t kArrayFlag = 0x20000000;

// Library types: (library number << 16) | type number, both from 1.
constexpr uint32_t kTypeWindow = 0x00010001;
constexpr uint32_t kTypeMenuItem = 0x00010003;
constexpr uint32_t kTypeEditBox = 0x00010005;
constexpr uint32_t kTypeButton = 0x0001000B;
constexpr uint32_t kTypeTabContainer = 0x00010015;
constexpr uint32_t kTypeTimer = 0x00010020;
constexpr uint32_t kTypeFormFill = 0x00020001;
constexpr uint32_t kTypeBrowserView = 0x00020005;

#pragma pack(push, 4)
// Typed argument: 8 data bytes and a tag; tag 0 is an omitted argument.
struct Value {
  union {
    int32_t i;
    uint32_t u;
    int64_t l;
    double d;
    float f;
    const char* text;       // GBK, zero-terminated; null = empty text
    uint8_t* bin;           // byte-set block; null = empty byte-set
    uint32_t w[2];          // raw words: low, high
  };
  uint32_t tag;
};

// 8-byte value exchanged with component operations 4 and 6.
struct PropValue {
  union {
    int32_t i;
    double d;
    const char* text;
    uint32_t w[2];
    struct { const uint8_t* data; uint32_t size; } raw;
  };
};
#pragma pack(pop)
static_assert(sizeof(Value) == 12, "typed arguments are 12 bytes");
static_assert(sizeof(PropValue) == 8 || sizeof(void*) != 4, "property values are 8 bytes");

// Command function shared by core and library commands. The caller zeroed
// *result; the command writes only its data words.
typedef void (RT_CALL* CommandFn)(Value* result, int32_t argc, Value* args);

}  // namespace rt
