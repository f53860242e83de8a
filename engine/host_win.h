// The host system as every part of the engine uses it: the log, folders,
// and paths as a browser running on the host names them.
#pragma once
#include <string>

namespace engine {

// Writes one line to stderr and the debugger.
void engineLog(const std::string& line);

// Makes dir and the folders above it; true when it exists afterwards.
bool makeFolders(const std::wstring& dir);

// A path as a browser running on the host system names it: the Unix path
// under Wine, the path itself (UTF-8) on Windows.
std::string hostPath(const std::wstring& path);

}  // namespace engine
