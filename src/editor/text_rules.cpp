#include "editor/text_rules.h"

namespace Lift::Editor {

namespace {
bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

std::string Trimmed(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool IsBlank(std::string_view text) {
    for (char c : text)
        if (!isBlankOrControl(c))
            return false;
    return true;
}

std::string UpperCased(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string WithBinExtension(std::string_view name) {
    const size_t sep = name.find_last_of("\\/:");
    const size_t dot = name.find_last_of('.');
    const bool hasExtension =
        dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep);
    std::string out(hasExtension ? name.substr(0, dot) : name);
    out += ".BIN";
    return out;
}

std::string LastPathComponent(std::string_view path) {
    const size_t sep = path.find_last_of("\\/");
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

} // namespace Lift::Editor
