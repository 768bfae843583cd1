#include "platform/WindowsText.h"

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brimwell {

std::wstring Wide(const std::string& utf8) {
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(std::size_t(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), wide.data(),
                      length);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string utf8(std::size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
}

}  // namespace brimwell

#endif
