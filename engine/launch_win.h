// Starting a browser of our own when no endpoint is given, in a profile
// no other copy of the program holds.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string>

namespace engine {

// What ends a browser this engine started once released, and at the end of
// this process however it ends: its job, or the listener that the host
// shell watching a browser behind Wine is connected to.
struct BrowserHold {
  HANDLE job = nullptr;
  SOCKET watch = INVALID_SOCKET;
  void release();
};

// Starts a Chromium/Edge found on this machine with a DevTools port and its
// profile in profileDir, without waiting for it; false when none can be
// started. The port appears in portFile.
bool launchBrowser(const std::wstring& profileDir, std::wstring& portFile, BrowserHold& hold);
// Claims base, or else base-2 ... base-9 when other copies of the program
// hold those, for this process: the lock handle, and the folder in profile;
// nullptr when none is free.
HANDLE claimProfile(const std::wstring& base, std::wstring& profile);
// The port a started browser wrote, or 0 while it has not.
int readActivePort(const std::wstring& portFile);
// The stable profile folder for a storage folder the application named, or
// for none ("").
std::wstring profileFolder(const std::wstring& storage);

}  // namespace engine
