#include "engine/kept_storage_win.h"

#include <ctime>

#include "engine/host_win.h"
#include "engine/wide_win.h"

namespace engine {
namespace {

const wchar_t kCookieFile[] = L"cookies.jsonl";
const wchar_t kStorageFile[] = L"localstorage.jsonl";
// A file is read whole and parsed, several times its size in a 32-bit
// process. Browsers keep a few hundred cookies of 4 KB at most and about
// 5 MB of local storage per origin.
const size_t kMaxCookieFile = 4 << 20;
const size_t kMaxStorageFile = 32 << 20;
const size_t kMaxHosts = 4096;  // hosts whose cookies are kept

std::wstring inFolder(std::wstring dir, const wchar_t* name) {
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  return dir + name;
}

// The whole file, or "" when it is missing, unreadable or over limit bytes.
std::string readWhole(const std::wstring& path, size_t limit) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string text;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) && static_cast<uint64_t>(size.QuadPart) <= limit) {
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!text.empty() && (!ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr) || got != text.size()))
      text.clear();
  }
  CloseHandle(h);
  return text;
}

// Replaces the file in one step, so a crash leaves the old file or the new
// one, never a part of either. onDisk is what the file holds: an unchanged
// text is not written again.
void writeWhole(const std::wstring& dir, const wchar_t* name, const std::string& text, std::string& onDisk,
                size_t limit) {
  if (text == onDisk) return;
  // Such a file would not be read back: the last one that can be stays.
  if (text.size() > limit) {
    engineLog(toUtf8(name) + " not written: " + std::to_string(text.size() >> 20) + " MB is too much to keep");
    return;
  }
  std::wstring folder = dir;
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  if (!makeFolders(folder)) {
    engineLog("cannot make the folder for " + toUtf8(name) + ", error " + std::to_string(GetLastError()));
    return;
  }
  std::wstring path = inFolder(dir, name), temp = path + L".tmp";
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    engineLog("cannot write " + toUtf8(temp.c_str()) + ", error " + std::to_string(GetLastError()));
    return;
  }
  DWORD put = 0;
  bool ok = (text.empty() || WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr)) &&
            put == text.size() && FlushFileBuffers(h);
  DWORD error = GetLastError();
  CloseHandle(h);
  if (ok && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    onDisk = text;
    return;
  }
  engineLog("cannot replace " + toUtf8(path.c_str()) + ", error " + std::to_string(ok ? GetLastError() : error));
  DeleteFileW(temp.c_str());
}

double nowSeconds() { return static_cast<double>(std::time(nullptr)); }

}  // namespace

void Keeper::nameCookies(const std::wstring& dir) {
  cookies_ = dir;
  load();
}

void Keeper::nameLocalStorage(const std::wstring& dir) {
  local_ = dir;
  load();
}

void Keeper::connected(bool attached) {
  attached_ = attached;
  cookiesFrom_.clear();
  itemsFrom_.clear();
  load();
}

void Keeper::load() {
  Session* s = link_.session();
  if (!attached_ || !s) return;
  if (!cookieDir().empty() && cookieDir() != cookiesFrom_) {
    cookiesFrom_ = cookieDir();
    cookieFile_ = readWhole(inFolder(cookiesFrom_, kCookieFile), kMaxCookieFile);
    Json cookies = readCookieJar(cookieFile_, nowSeconds());
    for (const Json& c : cookies) {
      std::string domain = c["domain"].get<std::string>();
      noteHost(urlHost("http://" + domain.substr(domain[0] == '.' ? 1 : 0)));
    }
    if (!cookies.empty()) {
      Reply r = s->call("Storage.setCookies", {{"cookies", cookies}});
      if (!r.ok) engineLog("kept cookies not set: " + r.error);
    }
  }
  if (!storageDir().empty() && storageDir() != itemsFrom_) {
    itemsFrom_ = storageDir();
    storageFile_ = readWhole(inFolder(itemsFrom_, kStorageFile), kMaxStorageFile);
    kept_ = readLocalStorage(storageFile_);
    pending_ = kept_;
    ++version_;
  }
}

// Also before a folder is named: the page's first requests may come first.
void Keeper::noteRequest(const std::string& url) {
  if (!attached_) return;
  noteHost(urlHost(url));
}

// Pages that reach ever new hosts do not grow the set without end.
void Keeper::noteHost(const std::string& host) {
  if (!host.empty() && hosts_.size() < kMaxHosts) hosts_.insert(host);
}

void Keeper::saveCookies() {
  Session* s = link_.session();
  if (!active() || !s || cookiesFrom_.empty()) return;
  Reply r = s->call("Storage.getCookies");
  if (!r.ok || !member(r.result, "cookies").is_array()) {
    engineLog("cookies not kept: " + r.error);
    return;
  }
  writeWhole(cookiesFrom_, kCookieFile, writeCookieJar(member(r.result, "cookies"), nowSeconds(), hosts_), cookieFile_,
             kMaxCookieFile);
}

void Keeper::keepItems(const std::string& origin, const Json& entries) {
  if (!active() || itemsFrom_.empty() || origin.empty()) return;
  Json items = itemsOf(entries);
  if (items.empty()) kept_.erase(origin);
  else kept_[origin] = std::move(items);
  writeWhole(itemsFrom_, kStorageFile, writeLocalStorage(kept_), storageFile_, kMaxStorageFile);
}

void Keeper::restored(const std::string& origin) {
  if (pending_.erase(origin)) ++version_;
}

std::string Keeper::script(const std::string& origin, const std::string& binding) const {
  auto it = pending_.find(origin);
  return it == pending_.end() ? std::string() : restoreScript(origin, it->second, binding);
}

}  // namespace engine
