// The core library's command functions used by the application.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include "runtime/abi.h"
#include "runtime/arguments.h"
#include "runtime/runtime.h"

namespace core {

void RT_CALL InfoBox(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ToInteger(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL RunDirectory(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ToText(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL WriteToFile(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL PlayMusic(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ReplaceText(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL FindText(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL TextLength(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL MidText(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL LeftText(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ToByteSet(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ByteSetLength(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL BlankByteSet(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL PointerToByteSet(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ProcessEvents(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ScreenWidth(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ScreenHeight(rt::Value* result, int32_t argc, rt::Value* args);

// The core library's command-function table, in its published order:
// InfoBox, ToInteger, RunDirectory, ToText, WriteToFile, PlayMusic,
// ReplaceText, FindText, TextLength, MidText, LeftText, ToByteSet,
// ByteSetLength, BlankByteSet, PointerToByteSet, ProcessEvents,
// ScreenWidth, ScreenHeight. Defined in the Windows build only.
extern const rt::CommandFn kCoreCommands[18];

// Shared by the command files.

// ToText's conversion, as GBK bytes; empty for types with no text form.
rt::HeapString valueText(const rt::Value& v);

using rt::argAt;
using rt::intArg;
using rt::textArg;
using rt::textPtrArg;

}  // namespace core
