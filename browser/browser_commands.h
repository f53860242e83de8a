// The browser library's commands, in the library's command-table order.
#pragma once
#include <cstdint>

#include "runtime/abi.h"

namespace web {

void RT_CALL LoadUrl(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL GetElementHtml(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL GetWebViewHandle(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL CaptureViewBitmap(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL SetDeviceParameter(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL Utf8ToText(rt::Value* result, int32_t argc, rt::Value* args);
// The form-fill initialiser and finaliser take the variable's address;
// the methods take the record address the variable holds.
void RT_CALL FormFillCreate(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL FormFillDestroy(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL ClickElement(rt::Value* result, int32_t argc, rt::Value* args);
void RT_CALL SetElementVisible(rt::Value* result, int32_t argc, rt::Value* args);
// Runs argument 1 as a function body in the view's top document; its value
// as text (UTF-8 as the engine gives it), empty when it has none or fails.
void RT_CALL RunPageScript(rt::Value* result, int32_t argc, rt::Value* args);
// Logical: whether the engine still loads anything for the view's page.
void RT_CALL IsPageLoading(rt::Value* result, int32_t argc, rt::Value* args);
// Logical: whether the view's picture shows the page as it is now, so that
// a snapshot need not wait for one; when it does not, the engine is asked
// for one. True when the engine cannot tell.
void RT_CALL IsViewPictureReady(rt::Value* result, int32_t argc, rt::Value* args);

constexpr int32_t kBrowserCommandCount = 13;
extern const rt::CommandFn kBrowserCommands[kBrowserCommandCount];

}  // namespace web
