#include "util/ini_text_parser.h"

#include "util/standalone_function.h"

#include <algorithm>
#include <cstring>

namespace Lift::Util {

namespace {

constexpr std::size_t kPieceChars = kIniLineChars;

// White space as the C library's scanf skips it.
bool isScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() && isScanSpace(text[at]))
        ++at;
    return at;
}

// Only spaces are trailing blanks; a tab at the end stays part of the text.
std::size_t trimEnd(std::string_view text, std::size_t begin, std::size_t end) {
    while (end > begin && text[end - 1] == ' ')
        --end;
    return end;
}

void handleLine(char* piece, std::size_t length, std::string& section, IniTextSink& sink) {
    const IniLine line = ReadIniLine(std::string_view(piece, ::strnlen(piece, length)));
    if (line.kind == IniLine::Kind::Section) {
        section.assign(line.name);
    } else if (line.kind == IniLine::Kind::Entry) {
        // Both ends lie inside the piece: the key's at '=' or a blank, the value's at most at
        // the piece's terminator.
        piece[line.name.data() + line.name.size() - piece] = '\0';
        piece[line.value.data() + line.value.size() - piece] = '\0';
        sink.entry(section, line.name.data(), line.value.data(), line.value.size());
    }
}

bool holdsLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool holdsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

} // namespace

IniLine ReadIniLine(std::string_view text) {
    IniLine line;
    if (text.empty() || text[0] == '\n' || text[0] == '\r' || text[0] == '#')
        return line;

    const std::size_t start = skipSpace(text, 0);
    if (start < text.size() && text[start] == '[') {
        const std::size_t name = skipSpace(text, start + 1);
        const std::size_t close = text.find(']', name);
        if (close != std::string_view::npos && close > name) {
            line.kind = IniLine::Kind::Section;
            line.name = text.substr(name, trimEnd(text, name, close) - name);
            return line;
        }
    }

    const std::size_t equals = text.find('=', start);
    if (equals == std::string_view::npos || equals == start)
        return line;
    const std::size_t value = skipSpace(text, equals + 1);
    std::size_t valueEnd = value;
    while (valueEnd < text.size() && text[valueEnd] != '\r' && text[valueEnd] != '\n')
        ++valueEnd;
    if (valueEnd == value)
        return line;
    line.kind = IniLine::Kind::Entry;
    line.name = text.substr(start, trimEnd(text, start, equals) - start);
    line.value = text.substr(value, trimEnd(text, value, valueEnd) - value);
    return line;
}

void ParseIniText(std::string_view bytes, IniTextSink& sink) {
    char piece[kPieceChars + 1];
    std::string section;
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    while (pos < size) {
        // One piece: up to and including LF, at most 8191 characters, CR LF read as LF.
        std::size_t length = 0;
        while (pos < size && length < kPieceChars) {
            const std::size_t room = std::min(size - pos, kPieceChars - length);
            const char* lf = static_cast<const char*>(std::memchr(data + pos, '\n', room));
            std::size_t take = lf ? std::size_t(lf - (data + pos)) + 1 : room;
            std::memcpy(piece + length, data + pos, take);
            length += take;
            pos += take;
            if (lf) {
                if (length >= 2 && piece[length - 2] == '\r') {
                    piece[length - 2] = '\n';
                    --length;
                }
                break;
            }
            // A CR whose LF falls into the next piece still counts as CR LF.
            if (length == kPieceChars && piece[length - 1] == '\r' && pos < size &&
                data[pos] == '\n') {
                piece[length - 1] = '\n';
                ++pos;
                break;
            }
        }
        piece[length] = '\0';
        handleLine(piece, length, section, sink);
    }
}

void AppendIniSectionLine(std::string& out, std::string_view name) {
    out += '[';
    out += name;
    out += "]\r\n";
}

void AppendIniEntryLine(std::string& out, std::string_view key, std::string_view value) {
    // A key line starting with '#' would load back as a comment; the loader skips the blank.
    if (!key.empty() && key[0] == '#')
        out += ' ';
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

std::string_view IniLoadedText(std::string_view text) {
    const std::size_t begin = skipSpace(text, 0);
    return text.substr(begin, trimEnd(text, begin, text.size()) - begin);
}

std::string IniEntryProblem(std::string_view section, std::string_view key, std::string_view value,
                            std::size_t maxNameLength) {
    for (const auto& [text, what] :
         {std::pair{section, "section name"}, std::pair{key, "key"}, std::pair{value, "value"}}) {
        if (holdsLineBreak(text))
            return YVclUtil::Format("the %s holds a line break", what);
        if (holdsNul(text))
            return YVclUtil::Format("the %s holds a NUL character", what);
    }
    if (section.size() > maxNameLength)
        return YVclUtil::Format("the section name is longer than %zu characters", maxNameLength);
    if (IniLoadedText(section).empty())
        return "the section name is blank";
    std::string line;
    AppendIniSectionLine(line, section); // what follows ']' does not count
    const IniLine header = ReadIniLine(line);
    if (header.kind != IniLine::Kind::Section || header.name != IniLoadedText(section))
        return "the section name holds \"]\"";

    if (key.find('=') != std::string_view::npos)
        return "the key holds \"=\"";
    if (key.size() > maxNameLength)
        return YVclUtil::Format("the key is longer than %zu characters", maxNameLength);
    if (IniLoadedText(key).empty())
        return "the key is blank";
    line.clear();
    AppendIniEntryLine(line, key, value);
    line.resize(line.size() - 2);
    if (line.size() > kIniLineChars)
        return YVclUtil::Format(
            "the value is too long: a key, \"=\" and the value take at most %zu "
            "characters",
            kIniLineChars);
    const IniLine entry = ReadIniLine(line);
    if (entry.kind == IniLine::Kind::Section)
        return "the key would read back as a section header";
    const bool blankValue = IniLoadedText(value).empty();
    if (blankValue ? entry.kind != IniLine::Kind::Other
                   : entry.kind != IniLine::Kind::Entry || entry.name != IniLoadedText(key) ||
                         entry.value != IniLoadedText(value))
        return "the key and value would not read back as written";
    return {};
}

} // namespace Lift::Util
