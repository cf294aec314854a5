#pragma once
// The line rules of our INI files, on bytes, both ways: what a loaded file contributes, as a
// sequence of (section, key, value) entries in file order, and the lines a save writes, with
// the check that what is written reads back as itself.
//
// Reading. Any bytes are accepted; lines that match no rule are skipped without a message.
// Lines end at LF; CR LF counts as LF, a lone CR is an ordinary character. A line longer
// than 8191 characters is taken in pieces of 8191, each treated as a line. Within a piece
// the text ends at the first NUL byte. Per line:
//   - a first character LF, CR or '#' makes it a comment ('#' after blanks does not);
//   - "  [ name ]..." opens section `name` (leading white space skipped, trailing spaces
//     removed, anything after ']' ignored);
//   - "  key = value" gives an entry when key and value are non-empty (leading white space
//     skipped, trailing spaces removed; tabs at the end stay);
//   - anything else is ignored.
// Entries before the first section come with an empty section name. Section names, keys
// and values are handed over NUL-terminated in a buffer that lives until the callback
// returns.
//
// Writing. A section is the line "[name]", an entry the line "key=value"; a key beginning
// with '#' is written after one blank so that it is not read as a comment. Loading drops
// white space at the start of names and values and spaces at their end, so those do not
// come back; everything else does, provided IniEntryProblem finds nothing.

#include <cstddef>
#include <string>
#include <string_view>

namespace Lift::Util {

// The longest line, without its line end, that reads back whole.
inline constexpr std::size_t kIniLineChars = 8191;

class IniTextSink {
public:
    virtual ~IniTextSink() = default;
    virtual void entry(const std::string& section, const char* key, const char* value,
                       std::size_t valueLength) = 0;
};

void ParseIniText(std::string_view bytes, IniTextSink& sink);

// How one line (without its line end, no longer than kIniLineChars) reads.
struct IniLine {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    std::string_view name;  // the section name, or the entry's key
    std::string_view value; // the entry's value
};
IniLine ReadIniLine(std::string_view line);

// Append the line a save writes, line end included.
void AppendIniSectionLine(std::string& out, std::string_view name);
void AppendIniEntryLine(std::string& out, std::string_view key, std::string_view value);

// The text as loading gives it back: white space at the start and spaces at the end dropped.
std::string_view IniLoadedText(std::string_view text);

// Why the entry, once saved, would not load back as itself (up to IniLoadedText), in words
// for an error message; empty when it would. Names longer than `maxNameLength` count as
// unwritable. An empty section or key is no entry and is not judged here. A value that is
// empty or blank is written as "key=" and is not loaded again, which is the documented
// meaning of an empty value, not a fault.
std::string IniEntryProblem(std::string_view section, std::string_view key, std::string_view value,
                            std::size_t maxNameLength);

} // namespace Lift::Util
