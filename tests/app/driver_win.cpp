// Test driver: reports where the program's windows and controls are, so a
// script can click and type on them with xdotool as a person would.
//   paginet_driver controls        main window rect, then one line per control
//   paginet_driver focus           the line of the control that has the focus
//   paginet_driver box TITLE...    the text of a message box captioned with any
//                                  of the titles
//   paginet_driver close           asks the main window to close, as its close
//                                  box does
//   paginet_driver type TEXT       types TEXT into the focused window as
//                                  Unicode key input, the way on-screen
//                                  keyboards and input tools send characters
//   paginet_driver ping SECONDS    sends the main window empty messages for
//                                  SECONDS and prints the longest it took to
//                                  answer one and how many took over 50 ms:
//                                  "ping <count> <longest ms> <over 50 ms>"
// Lines are UTF-8: "<kind> <x> <y> <w> <h> <visible> <text>" in screen pixels.
#include <windows.h>
#include <shellapi.h>
#include <cstdio>
#include <string>

namespace {

std::string utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}
// WM_GETTEXT reaches an edit control's text in another process, which
// GetWindowText does not.
std::wstring textOf(HWND h) {
  wchar_t buf[1024] = {};
  int n = int(SendMessageTimeoutW(h, WM_GETTEXT, 1024, LPARAM(buf), SMTO_ABORTIFHUNG, 2000,
                                  nullptr)
                  ? wcsnlen(buf, 1023)
                  : 0);
  return std::wstring(buf, size_t(n > 0 ? n : 0));
}
std::wstring classOf(HWND h) {
  wchar_t buf[256];
  int n = GetClassNameW(h, buf, 256);
  return std::wstring(buf, size_t(n > 0 ? n : 0));
}
void print(const char* kind, HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  printf("%s %ld %ld %ld %ld %d %s\n", kind, r.left, r.top, r.right - r.left, r.bottom - r.top,
         IsWindowVisible(h) ? 1 : 0, utf8(textOf(h)).c_str());
}

BOOL CALLBACK findMain(HWND h, LPARAM out) {
  if (textOf(h).find(L"Paginet") != std::wstring::npos && IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(out) = h;
    return FALSE;
  }
  return TRUE;
}
HWND mainWindow() {
  HWND main = nullptr;
  EnumWindows(findMain, LPARAM(&main));
  return main;
}
BOOL CALLBACK listChild(HWND h, LPARAM) {
  std::wstring cls = classOf(h);
  for (auto& c : cls) c = wchar_t(towlower(c));
  const char* kind = cls.find(L"edit") != std::wstring::npos     ? "edit"
                     : cls.find(L"button") != std::wstring::npos ? "button"
                                                                 : "child";
  print(kind, h);
  return TRUE;
}

struct BoxQuery {
  wchar_t** titles;
  int count;
  HWND found;
};
BOOL CALLBACK findBox(HWND h, LPARAM p) {
  auto* q = reinterpret_cast<BoxQuery*>(p);
  if (!IsWindowVisible(h) || classOf(h) != L"#32770") return TRUE;
  std::wstring text = textOf(h);
  bool match = false;
  for (int i = 0; i < q->count && !match; i++) match = text == q->titles[i];
  if (match) {
    q->found = h;
    return FALSE;
  }
  return TRUE;
}
BOOL CALLBACK listStatic(HWND h, LPARAM) {
  std::wstring cls = classOf(h);
  if (_wcsicmp(cls.c_str(), L"Static") == 0 && !textOf(h).empty()) print("text", h);
  if (_wcsicmp(cls.c_str(), L"Button") == 0) print("button", h);
  return TRUE;
}

}  // namespace

int main() {
  // The wide command line: the narrow argv would pass the title through the
  // ANSI code page, which need not hold Chinese.
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 2 && wcscmp(argv[1], L"close") == 0) {
    HWND main = mainWindow();
    return main && PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
  }
  if (argc >= 2 && wcscmp(argv[1], L"controls") == 0) {
    HWND main = mainWindow();
    if (!main) return 1;
    print("window", main);
    EnumChildWindows(main, listChild, 0);
    return 0;
  }
  if (argc >= 2 && wcscmp(argv[1], L"focus") == 0) {
    HWND main = mainWindow();
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (!main || !GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui) || !gui.hwndFocus)
      return 1;
    listChild(gui.hwndFocus, 0);
    return 0;
  }
  if (argc >= 3 && wcscmp(argv[1], L"box") == 0) {
    BoxQuery q{argv + 2, argc - 2, nullptr};
    EnumWindows(findBox, LPARAM(&q));
    if (!q.found) return 1;
    print("box", q.found);
    EnumChildWindows(q.found, listStatic, 0);
    return 0;
  }
  if (argc >= 3 && wcscmp(argv[1], L"ping") == 0) {
    HWND main = mainWindow();
    if (!main) return 1;
    LARGE_INTEGER f, start, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&start);
    const double seconds = _wtof(argv[2]);
    double longest = 0;
    int count = 0, slow = 0;
    for (t1 = start; double(t1.QuadPart - start.QuadPart) / double(f.QuadPart) < seconds;) {
      QueryPerformanceCounter(&t0);
      DWORD_PTR answer;
      // The window may go meanwhile: the run's end is not a hang.
      if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) break;
      QueryPerformanceCounter(&t1);
      const double ms = 1000.0 * double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
      if (ms > longest) longest = ms;
      if (ms > 50) ++slow;
      ++count;
      Sleep(5);
    }
    printf("ping %d %.0f %d\n", count, longest, slow);
    return 0;
  }
  if (argc >= 3 && wcscmp(argv[1], L"type") == 0) {
    for (const wchar_t* p = argv[2]; *p; ++p) {
      INPUT in[2] = {};
      for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wScan = *p;
        i.ki.dwFlags = KEYEVENTF_UNICODE;
      }
      in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
      if (SendInput(2, in, sizeof(INPUT)) != 2) return 1;
      Sleep(30);
    }
    return 0;
  }
  fprintf(stderr, "usage: paginet_driver controls | focus | box TITLE... | close | type TEXT | ping SECONDS\n");
  return 2;
}
