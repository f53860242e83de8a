// Internal entry points of the Windows runtime, shared between its *_win.cpp
// files. No <windows.h> here: native handles are void*.
#pragma once
#include <cstddef>
#include <cstdint>
#include "runtime/abi.h"
#include "runtime/runtime_state.h"

namespace rt {

// Instance initialisation: module directory, then the application's start-up
// code; afterwards the termination cleanup. Returns the process exit code.
int32_t runProgram(const ProgramHeader* header, int32_t (RT_CALL* start)(const ServiceTable*));
const ServiceTable& serviceTable();

void runtimeInit();                              // runtime routine 6
void registerExitRoutine(uintptr_t routine);     // runtime routine 3
// Runs once; from another thread it hands the exit to the main thread.
void terminationCleanup(int32_t code);
[[noreturn]] void exitProgram(int32_t code);

void runMessageLoop(bool modal);
bool preTranslate(void* msg);                    // MSG*; true = consumed

void loadStartupWindow(uint32_t windowId);
bool loadWindow(LoadedWindow* w, bool allowTwice, void* owner, bool modal);
// Index of the record whose native window is hwnd or holds it; SIZE_MAX
// for none (a window the loaded one merely owns is none).
size_t recordOfWindow(LoadedWindow* w, void* hwnd);
// Notification 2000.
void componentDestroyed(uint32_t windowId, uint32_t componentId);
// Notification 2006: the live object with a native window, or null.
LiveObject* findObject(uint32_t windowId, uint32_t componentId);
bool anyWindowAlive();
// Notification 3003: gives back what a modal load disabled, once.
void reenableAfterModal(uint32_t windowId);
// Notification 3004: the native window, or null.
void* activeModalWindow();
// Destroys and re-creates one component from its record and current data.
bool recreateComponent(LoadedWindow* w, uint32_t componentId);

int64_t readProperty(uint32_t windowId, uint32_t componentId, int32_t property, int32_t element);
void writeProperty(uint32_t windowId, uint32_t componentId, int32_t property, int32_t element,
                   uint32_t low, uint32_t high);
// Runtime routines 4 and 5: a live object given directly.
int64_t readObjectProperty(uint32_t typeCode, LiveObject* obj, int32_t property, int32_t element);
void writeObjectProperty(uint32_t typeCode, LiveObject* obj, int32_t property, int32_t element,
                         uint32_t low, uint32_t high);

// Font properties: the value ReadComponentProperty answers for the
// component's current font (null or not 60 bytes: the default GUI font),
// whole (element -1) or one field; and the description a write hands the
// component. False when the write has nothing to apply (a null font value
// or an unknown element).
int64_t fontResult(const PropValue* current, int32_t element);
bool fontArgument(const PropValue* current, int32_t element, uint32_t low, uint8_t* desc);

// Loads a record's mouse-pointer data into its cursor slot, replacing the
// cursor it held, and names it on the native window (kPointerProperty).
void loadRecordPointer(ComponentRecord* r);
// Destroys the record's cursor and takes its name off the native window.
void releaseRecordPointer(ComponentRecord* r);

// Menu-item flags and shortcut bits (see menus_win.cpp for the layout).
constexpr uint32_t kMenuHidden = 1, kMenuChecked = 2, kMenuDisabled = 4;
constexpr uint32_t kShortcutCtrl = 0x10000, kShortcutShift = 0x20000, kShortcutAlt = 0x40000;
// The window's menu bar (HMENU) and accelerator table (HACCEL) from its
// menu-item records; both null without any. False when no menu could be made.
bool buildMenu(LoadedWindow* w, void** menu, void** accel);
// Puts a built menu on the loaded window, destroying the menu it had, and
// installs the table, naming it on the window (kAcceleratorProperty).
void installMenu(LoadedWindow* w, void* menu, void* accel);
// Builds and installs afresh after a menu item changed.
bool rebuildMenu(LoadedWindow* w);
// Destroys the installed accelerator table.
void dropAccelerators(LoadedWindow* w);

void destroyDefaultIcons();   // notification 1000's icons, at termination

}  // namespace rt
