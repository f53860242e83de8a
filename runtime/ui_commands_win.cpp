// Environment and user-interface commands, and the core library's
// command-function table.
#include <windows.h>
#include <string>
#include "runtime/core_commands.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"

namespace core {

namespace {

// Content of a box: numbers, logicals and dates as ToText writes them, a
// text as it is, anything else nothing.
rt::HeapString boxText(const rt::Value* v) {
  if (!v) return {};
  switch (v->tag) {
    case rt::kTagByte: case rt::kTagShort: case rt::kTagInt: case rt::kTagLong:
    case rt::kTagFloat: case rt::kTagDouble: case rt::kTagBool: case rt::kTagDate:
    case rt::kTagText:
      return valueText(*v);
    default:
      return {};
  }
}

HWND boxOwner(int32_t argc, const rt::Value* args) {
  const rt::Value* v = argc >= 4 ? argAt(argc, args, 3) : nullptr;
  if (!v) return nullptr;
  if (v->tag == rt::kTypeWindow) {
    auto* obj = reinterpret_cast<rt::LiveObject*>(
        uintptr_t(rt::notify(rt::kNotifyFindObject, v->w[0], 0)));
    return obj ? static_cast<HWND>(obj->hwnd) : nullptr;
  }
  if (v->tag == rt::kTagInt) return reinterpret_cast<HWND>(uintptr_t(v->u));
  return nullptr;
}

}  // namespace

void RT_CALL InfoBox(rt::Value* result, int32_t argc, rt::Value* args) {
  const std::wstring text = rt::gbkToWide(boxText(argAt(argc, args, 0)));
  std::string_view title;
  if (!textArg(argc, args, 2, "信息：", &title)) title = {};
  int32_t style;
  if (!intArg(argc, args, 1, 0, &style)) style = 0;
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  const int pressed = MessageBoxW(boxOwner(argc, args), text.c_str(), rt::gbkToWide(title).c_str(),
                                  UINT(style));
  switch (pressed) {
    case IDCANCEL: result->i = 1; break;
    case IDABORT: result->i = 2; break;
    case IDRETRY: result->i = 3; break;
    case IDIGNORE: result->i = 4; break;
    case IDYES: result->i = 5; break;
    case IDNO: result->i = 6; break;
    default: result->i = 0; break;
  }
}

void RT_CALL RunDirectory(rt::Value* result, int32_t, rt::Value*) {
  result->text = rt::newText(rt::runDirectory());
}

void RT_CALL ScreenWidth(rt::Value* result, int32_t, rt::Value*) {
  result->i = GetSystemMetrics(SM_CXSCREEN);
}

void RT_CALL ScreenHeight(rt::Value* result, int32_t, rt::Value*) {
  result->i = GetSystemMetrics(SM_CYSCREEN);
}

void RT_CALL ProcessEvents(rt::Value*, int32_t, rt::Value*) { rt::processEvents(); }

const rt::CommandFn kCoreCommands[18] = {
    InfoBox,     ToInteger,  RunDirectory,  ToText,       WriteToFile,      PlayMusic,
    ReplaceText, FindText,   TextLength,    MidText,      LeftText,         ToByteSet,
    ByteSetLength, BlankByteSet, PointerToByteSet, ProcessEvents, ScreenWidth, ScreenHeight,
};

}  // namespace core
