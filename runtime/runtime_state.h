// The runtime's process-wide state: one instance for the life of the process,
// reached only from the user-interface thread (ExitProgram aside).
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include "runtime/abi.h"
#include "runtime/form_description.h"

namespace rt {

struct LoadedWindow {
  uint32_t id = 0;
  WindowDescription desc;                 // working copy while loaded
  std::vector<ComponentRecord> saved;     // form values, restored on destroy
  bool loaded = false;                    // from the end of loading to destroy
  bool modal = false;                     // loaded modally
  void* accel = nullptr;                  // installed accelerator table (HACCEL)
  // Windows the modal load disabled, with whether each was enabled before.
  std::vector<std::pair<void*, bool>> disabledByModal;
};

struct LibraryEntry {
  const LibraryRecord* record;
  uint32_t dataWord;
};

struct IdleHandler {
  void* hwnd;
  void (RT_CALL* fn)(void* arg);
  void* arg;
};

struct RuntimeState {
  const ProgramHeader* header = nullptr;
  int32_t kind = 0, reserved = 0, idCounter = 0;
  std::string runDir, programName, moduleDir;
  uint32_t mainThread = 0;
  std::vector<LibraryEntry> libraries;
  std::vector<LoadedWindow> windows;
  std::vector<uintptr_t> exitRoutines;
  std::vector<IdleHandler> idleHandlers;
  // Events fire only while 0. Raised from other threads too (a run-time
  // error or ExitProgram there), hence atomic.
  std::atomic<int32_t> suppress{0};
  bool loopEntered = false;
  bool terminated = false;
  bool oleInitialised = false;
  uint32_t modalMarker = 0;
  int32_t quitCode = 0;
  uint32_t sourceWindow = 0, sourceComponent = 0;  // the running event's
  void* hideOwner = nullptr;
};

RuntimeState& state();

// Ids: well-formed when the low 24 bits and bits 24-27 are non-zero.
inline bool wellFormedId(uint32_t id) { return (id & 0xFFFFFF) && (id & 0x0F000000); }
inline bool isWindowId(uint32_t id) { return id && (id & 0x0F000000) == 0x02000000; }

// Lowers the event suppression counter unless it is already 0.
void lowerSuppression();

LoadedWindow* findWindow(uint32_t windowId);
// Component id 0 names the window's own record.
ComponentRecord* findRecord(LoadedWindow* w, uint32_t componentId);
// Record of the component type (notification 1002), or null.
const TypeRecord* findType(uint32_t typeCode);
// A window counts as live while its own record holds a live object.
inline bool isLive(const LoadedWindow* w) { return w && !w->desc.records.empty() && w->desc.records[0].object; }

// Fills the window table from the form description; false when unreadable.
bool loadWindowTable(const uint8_t* data, size_t size, uintptr_t codeBase);

}  // namespace rt
