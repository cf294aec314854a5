#pragma once
// Text rules shared by the editor, the project files and the ROM builder.

#include <string>
#include <string_view>

namespace Lift::Editor {

// Removes leading and trailing blanks and control characters (codes 0..32), the way user
// and file texts are cleaned before they are judged empty or compared.
std::string Trimmed(std::string_view text);
bool IsBlank(std::string_view text);

// ASCII upper case; bytes 128..255 are left as they are, so 8-bit labels keep their codes.
std::string UpperCased(std::string_view text);

// Replaces the extension of a file name by ".BIN" (appends it when there is none). The
// extension starts at the last "." after the last path separator ("\", "/" or ":").
std::string WithBinExtension(std::string_view name);

// The last path component of a stored path; both "\" and "/" separate, so paths written
// on Windows are understood here.
std::string LastPathComponent(std::string_view path);

} // namespace Lift::Editor
