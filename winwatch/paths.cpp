// The launcher's folder, from the module's own file name: a path of any length.

#include "winwatch/paths.hpp"

#include <windows.h>

namespace winwatch {

std::wstring own_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (size < path.size()) {
      path.resize(size);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring beside_self(std::wstring_view file) {
  std::wstring path = own_path();
  path.resize(path.find_last_of(L"\\/") + 1);
  return path.append(file);
}

std::wstring quoted(std::wstring_view path) {
  // A backslash that ends a quoted argument would escape the closing quote.
  std::wstring text = L"\"" + std::wstring{path};
  if (text.ends_with(L'\\')) {
    text += L'\\';
  }
  return text + L"\"";
}

} // namespace winwatch
