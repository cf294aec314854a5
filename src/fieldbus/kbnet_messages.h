#pragma once
// The three KBNet messages written in Chinese. The exception texts carry them in the Big5
// encoding (code page 950), byte for byte as the components have always raised them, so
// handlers that compare or log those bytes keep working. Each has a UTF-8 twin with the same
// characters for showing the text on this platform; KbnTextForDisplay swaps them.

#include <string>
#include <string_view>

namespace ZebCtrl {

// "KBNet components of different classes: the copying construction cannot be done."
inline constexpr char kKbnBig5_CopyClassDiffers[] =
    "KBNet "
    "\xA4\xB8\xA5\xF3\xAA\xBA\xC3\xFE\xA7\x4F\xA4\xA3\xA6\x50,"
    "\xAC\x47\xB5\x4C\xAA\x6B\xB6\x69\xA6\xE6\xAB\xFE\xA8\xA9\xA6\xA1\xAA\xBA\xAB\xD8\xBA\x63 !!!";
inline constexpr char kKbnUtf8_CopyClassDiffers[] =
    "KBNet 元件的類別不同,故無法進行拷貝式的建構 !!!";
// "A component is declared in the topology file but neither exists nor has a default
// handler of its class."
inline constexpr char kKbnBig5_DeclaredButMissing[] =
    "\xB5\x6F\xB2\x7B\xA4\x40\xAD\xD3\xA9\xF3\xA9\xDD\xE5\x4E INI "
    "\xC0\xC9\xA4\xBA\xA6\xB3\xAB\xC5\xA7\x69\xA8\xCF\xA5\xCE\xAA\xBA\xA4\xB8\xA5\xF3,"
    "\xA6\xFD\xAB\x6F\xA4\x53\xA7\xE4\xA4\xA3\xA8\xEC\n\xB8\xD3\xA4\xB8\xA5\xF3\xA6\x73\xA6\x62\xAA"
    "\xBA\xB1\xA1\xA7\xCE,"
    "\xA6\x50\xAE\xC9\xA4\x5D\xA7\xE4\xA4\xA3\xA8\xEC\xB8\xD3\xC3\xFE\xAB\xAC\xA4\xB8\xA5\xF3\xAA"
    "\xBA DefHandler !!!";
inline constexpr char kKbnUtf8_DeclaredButMissing[] =
    "發現一個於拓墣 INI "
    "檔內有宣告使用的元件,但卻又找不到\n該元件存在的情形,同時也找不到該類型元件的 DefHandler !!!";
// "A component exists and is registered in the topology but the topology file does not
// declare it."
inline constexpr char kKbnBig5_PresentButUndeclared[] =
    "\xB5\x6F\xB2\x7B\xA4\x40\xAD\xD3\xA9\xF3\xA9\xDD\xE5\x4E INI "
    "\xC0\xC9\xA4\xBA\xA8\xC3\xA8\x53\xA6\xB3\xAB\xC5\xA7\x69\xA8\xCF\xA5\xCE\xAA\xBA\xA4\xB8\xA5"
    "\xF3\n\xA6\xFD\xB8\xD3\xA4\xB8\xA5\xF3\xA4\xA3\xA6\xFD\xA4\x77\xB8\x67\xA6\x73\xA6\x62,"
    "\xA6\xD3\xA5\x42\xA4\x5D\xA4\x77\xB1\xBE\xA4\x4A\xA4\x46\xA9\xDD\xE5\x4E\xB5\xB2\xBA\x63\xA4"
    "\xBA !!!";
inline constexpr char kKbnUtf8_PresentButUndeclared[] =
    "發現一個於拓墣 INI 檔內並沒有宣告使用的元件\n但該元件不但已經存在,而且也已掛入了拓墣結構內 "
    "!!!";

// Returns the message with every Big5 text above replaced by its UTF-8 twin; everything
// else (names, file names, numbers) is left as it is.
std::string KbnTextForDisplay(std::string_view message);

} // namespace ZebCtrl
