#pragma once
// The manifest from which the GLB packer builds a library: one item per line,
//
//     <group> <number> <file>
//
// group 0..7 and number 0..255 in decimal; the number may also be a character in single
// quotes ('A' is 65), which is how floor glyphs are addressed. <file> is the rest of the
// line with surrounding blanks removed, so it may contain blanks; a relative name is
// relative to the manifest's folder (the caller resolves it). Blank lines and lines whose
// first non-blank character is '#' are ignored. CR LF and LF line ends are both accepted.
//
// Pure parsing, no file access. Errors name the line: "line 7: ...".

#include <string>
#include <string_view>
#include <vector>

namespace Lift::Tools {

struct GlbManifestEntry {
    int group = 0;
    int number = 0;
    std::string file;
    int line = 0; // 1-based line of the manifest, for messages
};

// Fills `entries` in manifest order and returns true, or returns false with the first
// problem in `error` (entries then holds the lines read before it). Duplicate items are
// reported here too, naming both lines.
// A group or item number in decimal, 0..limit; false for anything else (signs, letters,
// overflow).
bool ParseGlbNumber(std::string_view word, int limit, int& value);

bool ParseGlbManifest(std::string_view text, std::vector<GlbManifestEntry>& entries,
                      std::string* error = nullptr);

} // namespace Lift::Tools
