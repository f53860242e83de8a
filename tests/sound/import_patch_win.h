// Redirects an import of this test program to a stand-in.
#pragma once

namespace sndtest {

// Rewrites the program's import slot for dll's function name; returns what
// the slot held, or null when the program does not import it.
void* patchImport(const char* dll, const char* name, void* fn);

}  // namespace sndtest
