#pragma once
// The line rules of our INI files, on bytes: what a loaded file contributes, as a sequence
// of (section, key, value) entries in file order. Any bytes are accepted; lines that match
// no rule are skipped without a message.
//
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

#include <cstddef>
#include <string>
#include <string_view>

namespace Lift::Util {

class IniTextSink {
public:
    virtual ~IniTextSink() = default;
    virtual void entry(const std::string& section, const char* key, const char* value,
                       std::size_t valueLength) = 0;
};

void ParseIniText(std::string_view bytes, IniTextSink& sink);

} // namespace Lift::Util
