// Texts from the game's files in a form other programs read: the files
// carry 8-bit code-page text (Windows-1252 in the western releases), while
// JSON, glTF and the like require UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace mc {

// Well-formed UTF-8 sequences are kept; every other byte is taken as a
// Windows-1252 character. The result is always well-formed UTF-8 (no
// overlong forms, no surrogates).
std::string ToUtf8(std::string_view bytes);

}  // namespace mc
