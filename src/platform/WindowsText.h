#pragma once

// Windows names files and passes arguments in UTF-16; the program keeps all text in UTF-8.
// These convert between the two on Windows only.

#ifdef _WIN32

#include <string>

namespace brimwell {

// UTF-8 as UTF-16; empty for text that is not UTF-8, so that a damaged name never stands for
// another file (an empty name opens none).
std::wstring Wide(const std::string& utf8);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Narrow(const std::wstring& wide);

}  // namespace brimwell

#endif
