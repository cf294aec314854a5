#include "glb_writer/glb_manifest.h"

#include "glb_writer/glb_writer.h"
#include "util/standalone_function.h"

#include <map>

namespace Lift::Tools {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Takes the next blank-separated word off the front of `rest`.
std::string_view nextWord(std::string_view& rest) {
    rest = trim(rest);
    std::size_t end = 0;
    while (end < rest.size() && !isBlank(rest[end]))
        ++end;
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

} // namespace

bool ParseGlbManifest(std::string_view text, std::vector<GlbManifestEntry>& entries,
                      std::string* error) {
    entries.clear();
    std::map<int, int> lineOfItem; // group*256+number -> line that gave it
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;

        auto fail = [&](const std::string& reason) {
            if (error)
                *error = YVclUtil::Format("line %d: %s", lineNumber, reason.c_str());
            return false;
        };

        std::string_view rest = trim(line);
        if (rest.empty() || rest.front() == '#')
            continue;

        GlbManifestEntry entry;
        entry.line = lineNumber;
        const std::string_view groupWord = nextWord(rest);
        if (!ParseGlbNumber(groupWord, GlbWriter::kGroupCount - 1, entry.group))
            return fail("the group must be a number 0..7, not \"" + std::string(groupWord) + "\"");
        const std::string_view numberWord = nextWord(rest);
        if (numberWord.size() == 3 && numberWord.front() == '\'' && numberWord.back() == '\'' &&
            static_cast<unsigned char>(numberWord[1]) >= 0x21 &&
            static_cast<unsigned char>(numberWord[1]) <= 0x7E) {
            entry.number = static_cast<unsigned char>(numberWord[1]);
        } else if (!ParseGlbNumber(numberWord, GlbWriter::kNumbersPerGroup - 1, entry.number)) {
            return fail("the item number must be 0..255 or a character such as 'A', not \"" +
                        std::string(numberWord) + "\"");
        }
        entry.file = std::string(trim(rest));
        if (entry.file.empty())
            return fail("no file named after the group and item number");

        const int key = entry.group * GlbWriter::kNumbersPerGroup + entry.number;
        auto [it, fresh] = lineOfItem.emplace(key, lineNumber);
        if (!fresh)
            return fail(YVclUtil::Format("item (%d, %d) was already given on line %d", entry.group,
                                         entry.number, it->second));
        entries.push_back(std::move(entry));
    }
    return true;
}

bool ParseGlbNumber(std::string_view word, int limit, int& value) {
    if (word.empty() || word.size() > 6)
        return false;
    int v = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v > limit)
        return false;
    value = v;
    return true;
}

} // namespace Lift::Tools
