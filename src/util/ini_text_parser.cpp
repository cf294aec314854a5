#include "util/ini_text_parser.h"

#include <cstring>

namespace Lift::Util {

namespace {

constexpr std::size_t kPieceChars = 8191;

// White space as the C library's scanf skips it.
bool isScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char* skipSpace(char* p) {
    while (isScanSpace(*p))
        ++p;
    return p;
}

// Only spaces are trailing blanks; a tab at the end stays part of the text.
char* trimEnd(char* begin, char* end) {
    while (end > begin && end[-1] == ' ')
        --end;
    return end;
}

void handleLine(char* line, std::string& section, IniTextSink& sink) {
    if (line[0] == '\n' || line[0] == '\r' || line[0] == '#')
        return;

    char* p = skipSpace(line);
    if (*p == '[') {
        char* name = skipSpace(p + 1);
        char* close = name;
        while (*close && *close != ']')
            ++close;
        if (close > name && *close == ']') {
            section.assign(name, trimEnd(name, close));
            return;
        }
    }

    char* key = p;
    char* equals = key;
    while (*equals && *equals != '=')
        ++equals;
    if (equals == key || *equals != '=')
        return;
    char* value = skipSpace(equals + 1);
    char* valueEnd = value;
    while (*valueEnd && *valueEnd != '\r' && *valueEnd != '\n')
        ++valueEnd;
    if (valueEnd == value)
        return;
    *trimEnd(key, equals) = '\0';
    valueEnd = trimEnd(value, valueEnd);
    *valueEnd = '\0';
    sink.entry(section, key, value, std::size_t(valueEnd - value));
}

} // namespace

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
        handleLine(piece, section, sink);
    }
}

} // namespace Lift::Util
