// Binary contract shared by compiled application code, the runtime, the
// support libraries and their component types. Every layout here is fixed:
// 32-bit x86, little-endian, 4-byte packing. Nothing in this header includes
// <windows.h>; native handles travel as void*.
#pragma once
#include <cstdint>
#include <cstddef>

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

// Runtime notification entry and library notification functions.
typedef int32_t (RT_CALL* NotifyFn)(int32_t code, uint32_t p1, uint32_t p2);

// Runtime notification codes.
enum : int32_t {
  kNotifyDefaultIcons = 1000,
  kNotifyWindowTable = 1001,
  kNotifyTypeRecord = 1002,
  kNotifyRunDirBuffer = 1006,
  kNotifyWrapWindow = 1007,
  kNotifyAddIdle = 1012,
  kNotifyRemoveIdle = 1013,
  kNotifyDestroyed = 2000,
  kNotifyToInteger = 2001,
  kNotifyRunDirectory = 2003,
  kNotifyProgramName = 2004,
  kNotifyFindObject = 2006,
  kNotifyFindObjectOrFail = 2007,
  kNotifyEvent = 2008,
  kNotifyBeginCreate = 2009,
  kNotifyEndCreate = 2010,
  kNotifyPlaySound = 2015,
  kNotifyStopSound = 2016,
  kNotifyProcessEvents = 2018,
  kNotifyAlloc = 2024,
  kNotifyFree = 2025,
  kNotifyReportError = 2027,
  kNotifyProgramKind = 2030,
  kNotifyTypedEvent = 2031,
  // The runtime's own, for the core components:
  kNotifyRecordIndex = 3001,     // window id, component id -> record position, or -1
  kNotifyFocusOrder = 3002,      // window id, component id -> focus-order number
  kNotifyModalClosing = 3003,    // window id: re-enable what its modal load disabled
  kNotifyModalWindow = 3004,     // -> first visible, enabled, loaded modal window, or 0
};

// Codes the runtime sends to library notification functions.
enum : int32_t {
  kLibStart = 1,
  kLibPreTranslate = 2,
  kLibTerminate = 6,
  kLibCreateObject = 10,
  kLibDestroyObject = 11,
  kLibPlaySound = 13,
  kLibRelease = 17,
};

// Private window messages.
constexpr uint32_t kMsgQueryObject = 0x8002;
constexpr uint32_t kMsgWindowLoaded = 0x8004;
constexpr uint32_t kMsgComponentsCreated = 0x806F;
constexpr uint32_t kMsgFocusPrepare = 0x8076;
constexpr uint32_t kMsgExitRequest = 0x83E7;
// Sent by the loader to show a loaded window; nonzero = shown as its
// position property asks, 0 = not handled (the loader shows it normally).
constexpr uint32_t kMsgShowLoaded = 0x8005;

// Window property naming the cursor (HCURSOR) of a component's mouse
// pointer; the window component shows it over that component.
constexpr const wchar_t* kPointerProperty = L"PaginetPointer";
// Window property naming the window's accelerator table (HACCEL), which
// its keyboard pre-translation tries first.
constexpr const wchar_t* kAcceleratorProperty = L"PaginetAccelerators";

#pragma pack(push, 4)
struct PlaySoundRequest {   // notification 2015
  const uint8_t* data;
  uint32_t size;
  int32_t loop;
};

// Event record of notification 2008 (44 bytes).
struct EventRecord {
  uint32_t windowId;
  uint32_t componentId;
  int32_t event;
  int32_t argc;             // 0-5
  int32_t args[5];
  int32_t hasResult;        // set by the runtime
  int32_t result;
};

struct TypedArg {
  Value value;
  uint32_t flags;           // bit 0 by reference, bit 1 both words
};

// Typed event record of notification 2031 (220 bytes).
struct TypedEventRecord {
  uint32_t windowId;
  uint32_t componentId;
  int32_t event;
  int32_t argc;             // 0-12
  TypedArg args[12];
  int32_t hasResult;        // offset 208
  uint32_t result[2];       // offset 212
};

// Property record (20 bytes).
struct PropertyRecord {
  const char* name;
  const char* englishName;
  const char* description;
  uint16_t type;            // property type code, 1000..1024
  uint16_t flags;
  const void* choices;
};

typedef void* (RT_CALL* ComponentInterface)(int32_t op);

// Type record (56 bytes).
struct TypeRecord {
  const char* name;
  const char* englishName;
  const char* description;
  int32_t count12;
  const void* list16;
  uint32_t flags;
  int32_t word24;
  int32_t count28;
  const void* list32;
  int32_t propertyCount;            // common properties included
  const PropertyRecord* properties;
  ComponentInterface iface;         // null for non-component types
  int32_t count48;
  const void* list52;
};

constexpr uint32_t kTypeFlagWindowComponent = 0x40;
constexpr uint32_t kTypeFlagComponent = 0x04;
constexpr uint32_t kTypeFlagPages = 0x100;
constexpr uint32_t kTypeFlagDefaultButton = 0x800;
constexpr uint32_t kTypeFlagNeverShown = 0x8000;
constexpr uint32_t kTypeFlagMessageFilter = 0x20;
constexpr uint32_t kTypeFlagShutdown = 0x80000;

// Library record, as listed by the program header.
struct LibraryRecord {
  uint32_t formatVersion;           // 20000101
  const char* identifier;
  int32_t major, minor, build;
  int32_t requiredMajor, requiredMinor, requiredMajor2, requiredMinor2;
  const char* name;
  int32_t language;                 // 1
  const char* text44;
  uint32_t state;
  const char* texts[8];
  int32_t typeCount;
  const TypeRecord* types;
  int32_t count92;
  const void* list96;
  int32_t commandCount;
  const void* ptr104;
  const CommandFn* commands;
  uint32_t null112[2];
  NotifyFn notify;
  uint32_t reserved[8];
};

// Program header (13 words).
struct ProgramHeader {
  int32_t kind;                     // 3
  int32_t reserved;
  int32_t idCounter;
  const uint8_t* codeBase;          // event-handler offsets are relative to it
  const uint8_t* constStart;
  uint32_t constSize;
  const uint8_t* formStart;
  uint32_t formSize;
  int32_t libraryCount;
  const LibraryRecord* const* libraries;
  int32_t dllCount;
  const char* const* dllFiles;
  const char* const* dllFunctions;
};
#pragma pack(pop)

static_assert(sizeof(EventRecord) == 44, "event record is 44 bytes");
static_assert(offsetof(TypedEventRecord, hasResult) == 208, "typed result at 208");
static_assert(offsetof(TypedEventRecord, result) == 212, "typed result at 212");
static_assert(sizeof(PropertyRecord) == 20 || sizeof(void*) != 4, "property records are 20 bytes");
static_assert(sizeof(TypeRecord) == 56 || sizeof(void*) != 4, "type records are 56 bytes");
static_assert(sizeof(ProgramHeader) == 52 || sizeof(void*) != 4, "program header is 13 words");

// Component interface operations.
enum : int32_t {
  kOpCreate = 1,
  kOpQuery2 = 2,
  kOpQuery3 = 3,
  kOpPropertyChanged = 4,
  kOpGetAllPropertyData = 5,
  kOpGetPropertyData = 6,
  kOpIconData = 7,
  kOpWantsKey = 8,
  kOpPropertyTexts = 9,
  kOpIsDefaultButton = 10,
  kOpDefaultSize = 12,
  // Ours: operations the window calls on components of types with the
  // matching type flag.
  kOpMessageFilter = 11,          // type flag 0x20
  kOpShutdown = 13,               // type flag 0x80000
};

// Every live component object starts with this header so the runtime can
// reach its native window and ids, and can pre-translate its messages.
struct LiveObject {
  void* hwnd;                       // native window (HWND)
  uint32_t windowId;
  uint32_t componentId;
  uint32_t typeCode;
  // Keyboard pre-translation; nonzero = message consumed. May be null.
  int32_t (RT_CALL* preTranslate)(LiveObject* self, void* msg);
};

typedef LiveObject* (RT_CALL* CreateComponentFn)(
    const uint8_t* data, uint32_t size, uint32_t style, void* parent,
    uint32_t controlId, void* menu, int32_t left, int32_t top, int32_t width,
    int32_t height, uint32_t windowId, uint32_t componentId, void* designOwner,
    int32_t designFlag);
typedef int32_t (RT_CALL* PropertyChangedFn)(LiveObject* obj, int32_t index,
                                             const PropValue* value,
                                             const char** errorText);
// Returns a block from AllocMemory; the caller frees it.
typedef uint8_t* (RT_CALL* GetAllPropertyDataFn)(LiveObject* obj, uint32_t* size);
// Pointers in *out stay owned by the component until its next call.
typedef int32_t (RT_CALL* GetPropertyDataFn)(LiveObject* obj, int32_t index,
                                             PropValue* out);
typedef int32_t (RT_CALL* WantsKeyFn)(LiveObject* obj, uint32_t key);
typedef int32_t (RT_CALL* IsDefaultButtonFn)(LiveObject* obj);
typedef void (RT_CALL* DefaultSizeFn)(int32_t* width, int32_t* height);
// Sees a message (MSG*) for the component before the window's own
// handling; nonzero = consumed.
typedef int32_t (RT_CALL* MessageFilterFn)(LiveObject* obj, void* msg);
// The window holding the component is about to be destroyed.
typedef void (RT_CALL* ShutdownFn)(LiveObject* obj);

// Service table: the thirteen entries compiled code reaches the runtime by.
// CallDllCommand and CallRuntimeRoutine take the caller's own arguments
// unchanged; see dll_commands.h and runtime_routines.h for their conventions.
struct ServiceTable {
  void (RT_CALL* reportRuntimeError)(int32_t code, int32_t w1, int32_t w2);
  void* callDllCommand;
  Value (RT_CALL* callLibraryCommand)(int32_t library, CommandFn fn, int32_t argc, Value* args);
  Value (RT_CALL* callCoreCommand)(CommandFn fn, int32_t argc, Value* args);
  int64_t (RT_CALL* readComponentProperty)(uint32_t windowId, uint32_t componentId,
                                           int32_t property, int32_t element);
  void (RT_CALL* writeComponentProperty)(uint32_t windowId, uint32_t componentId,
                                         int32_t property, int32_t element,
                                         uint32_t low, uint32_t high);
  void* (RT_CALL* allocMemory)(uint32_t size);
  void* (RT_CALL* reallocMemory)(void* p, uint32_t size);
  void (RT_CALL* freeMemory)(void* p);
  void (RT_CALL* exitProgram)(int32_t code);
  void (RT_CALL* runMessageLoop)();
  void (RT_CALL* loadStartupWindow)(uint32_t windowId);
  int64_t (RT_CDECL* callRuntimeRoutine)(int32_t routine, ...);
};

}  // namespace rt

namespace rt {

#pragma pack(push, 4)
// Result slot of an application event routine. Routines are cdecl, so the
// dispatcher may pass any number of argument words: the slot first, then
// the event's arguments, first argument first.
struct RoutineResult {
  int32_t hasResult;
  uint32_t value[2];
};
#pragma pack(pop)

}  // namespace rt

// Supplied by the compiled application: its program header, and its
// start-up code, which the runtime's instance initialisation calls.
extern "C" const rt::ProgramHeader kProgramHeader;
extern "C" int32_t RT_CALL AppStart(const rt::ServiceTable* services);
