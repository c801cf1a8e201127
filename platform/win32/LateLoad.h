#pragma once
// The DLLs that only a dialog or the Startup shortcut needs (comdlg32, ole32)
// are loaded when first called, not imported: imported, they are loaded in
// every run, and under Wine ole32 and rpcrt4 land away from their preferred
// bases and cost private memory for the whole run.
#include <windows.h>

namespace platform::late {

// The function, or null when the DLL or the function is missing.
template <typename F>
F Function(const wchar_t* dll, const char* name) {
  HMODULE module = LoadLibraryW(dll);
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// COM on this thread, begun at the first need (the shell link, the folder
// browser); false when it cannot be. ComEnd ends it if it was begun.
bool ComReady();
void ComEnd();

}  // namespace platform::late
