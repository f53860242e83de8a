// C types of the engine DLL's interface, shared by the binder, the recording
// test double and the stand-in engine. Self-contained: no <windows.h>.
#pragma once
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define ENGINE_CALL __cdecl   // the caller removes the arguments
#else
#define ENGINE_CALL
#endif

// Same types as <windows.h> (STRICT), so HWND and HDC pass without casts.
struct HWND__;
struct HDC__;
typedef HWND__* EngineHwnd;
typedef HDC__* EngineHdc;

typedef struct EngineView* wkeWebView;
typedef struct EngineExec* jsExecState;
typedef struct EngineText* wkeString;   // engine-owned string object
typedef void* wkeWebFrameHandle;
typedef void* wkeNetJob;
typedef int64_t jsValue;                // 64-bit script value
// Slot type of the exports this program binds but never calls.
typedef void* EngineGeneric;

// A dialog callback (alert, confirm, prompt) that leaves the answer to the
// engine sets this user key on the view to a non-null value before it
// returns; the engine then asks the person itself.
#define ENGINE_ASK_PERSON_KEY "paginet.askPerson"

#pragma pack(push, 4)
struct wkeWindowFeatures {
  int x, y, width, height;
  bool menuBarVisible, statusBarVisible, toolBarVisible, locationBarVisible;
  bool scrollbarsVisible, resizable, fullscreen;
};
#pragma pack(pop)

// The settings record given to wkeInitializeEx (216 bytes, all zero here).
struct wkeSettings {
  uint8_t bytes[216];
};
typedef void (ENGINE_CALL* wkeInitializeExFn)(const wkeSettings* settings);

// Notification callbacks; all cdecl, called on the UI thread.
typedef void (ENGINE_CALL* wkeDocumentReady2Callback)(wkeWebView wv, void* param,
                                                       wkeWebFrameHandle frame);
typedef void (ENGINE_CALL* wkeTitleChangedCallback)(wkeWebView wv, void* param, wkeString title);
typedef void (ENGINE_CALL* wkeURLChangedCallback2)(wkeWebView wv, void* param,
                                                    wkeWebFrameHandle frame, wkeString url);
typedef bool (ENGINE_CALL* wkeNavigationCallback)(wkeWebView wv, void* param, int type,
                                                   wkeString url);
typedef wkeWebView (ENGINE_CALL* wkeCreateViewCallback)(wkeWebView wv, void* param, int type,
                                                         wkeString url,
                                                         const wkeWindowFeatures* features);
typedef void (ENGINE_CALL* wkeLoadingFinishCallback)(wkeWebView wv, void* param, wkeString url,
                                                      int result, wkeString reason);
typedef void (ENGINE_CALL* wkeConsoleCallback)(wkeWebView wv, void* param, int level,
                                                wkeString message, wkeString source,
                                                unsigned line, wkeString stack);
typedef void (ENGINE_CALL* wkeAlertBoxCallback)(wkeWebView wv, void* param, wkeString message);
typedef bool (ENGINE_CALL* wkeConfirmBoxCallback)(wkeWebView wv, void* param, wkeString message);
typedef bool (ENGINE_CALL* wkePromptBoxCallback)(wkeWebView wv, void* param, wkeString message,
                                                  wkeString defaultValue, wkeString result);
typedef bool (ENGINE_CALL* wkeDownloadCallback)(wkeWebView wv, void* param, const char* url);
typedef bool (ENGINE_CALL* wkeLoadUrlBeginCallback)(wkeWebView wv, void* param, const char* url,
                                                     wkeNetJob job);
typedef void (ENGINE_CALL* wkeLoadUrlEndCallback)(wkeWebView wv, void* param, const char* url,
                                                   wkeNetJob job, void* buf, int len);
typedef void (ENGINE_CALL* wkeMouseOverUrlChangedCallback)(wkeWebView wv, void* param,
                                                            wkeString url);
typedef bool (ENGINE_CALL* wkeWindowClosingCallback)(wkeWebView wv, void* param);
typedef void (ENGINE_CALL* wkeWindowDestroyCallback)(wkeWebView wv, void* param);
typedef void (ENGINE_CALL* wkePaintUpdatedCallback)(wkeWebView wv, void* param, EngineHdc dc,
                                                     int x, int y, int cx, int cy);
