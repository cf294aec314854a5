#include "lift_lcd/upload_version.h"

#include "editor/text_rules.h"
#include "util/atomic_file.h"

#include <charconv>
#include <filesystem>
#include <map>
#include <sstream>

namespace Lift::Cli {

namespace {

using Sections = std::map<std::string, std::map<std::string, std::string>>;

std::string WithoutTrailingSpaces(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::size_t SkipWhite(const std::string& s, std::size_t i) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                            s[i] == '\v' || s[i] == '\f'))
        ++i;
    return i;
}

// The settings file's sections and keys, by the INI engine's line rules.
Sections ParseIni(const std::string& text) {
    Sections sections;
    std::string section;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::size_t i = SkipWhite(line, 0);
        if (i < line.size() && line[i] == '[') {
            i = SkipWhite(line, i + 1);
            const std::size_t close = line.find(']', i);
            if (close != std::string::npos && close > i) {
                section = WithoutTrailingSpaces(line.substr(i, close - i));
                continue;
            }
        }
        const std::size_t eq = line.find('=', i);
        if (eq == std::string::npos || eq == i || section.empty())
            continue;
        const std::string key = WithoutTrailingSpaces(line.substr(i, eq - i));
        const std::string value = WithoutTrailingSpaces(line.substr(SkipWhite(line, eq + 1)));
        if (!value.empty())
            sections[section][key] = value;
    }
    return sections;
}

const std::string* Find(const Sections& s, const std::string& section, const std::string& key) {
    const auto sec = s.find(section);
    if (sec == s.end())
        return nullptr;
    const auto k = sec->second.find(key);
    return k == sec->second.end() ? nullptr : &k->second;
}

// Decimal with optional sign, or hexadecimal after "$", "x", "X", "0x" or "0X".
std::optional<int> ToInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::string_view v(text.data() + i, text.size() - i);
    int base = 10;
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"})
        if (v.substr(0, prefix.size()) == prefix) {
            v.remove_prefix(prefix.size());
            base = 16;
            break;
        }
    if (base == 16) {
        std::uint32_t u = 0;
        const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), u, 16);
        if (v.empty() || ec != std::errc() || p != v.data() + v.size())
            return std::nullopt;
        return static_cast<int>(u);
    }
    if (!v.empty() && v[0] == '+')
        v.remove_prefix(1);
    int n = 0;
    const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n, 10);
    if (v.empty() || ec != std::errc() || p != v.data() + v.size())
        return std::nullopt;
    return n;
}

} // namespace

std::optional<UploadVersion> ReadUploadVersion(const std::string& workdir,
                                               const std::optional<std::string>& version,
                                               std::string& error) {
    const std::string path = (std::filesystem::path(workdir) / "ZEBPRV620BX7.INI").string();
    UploadVersion result;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        // Without settings the editor keeps ENCODE 1.
        result.name = version.value_or("");
        return result;
    }
    std::string text;
    if (!Util::ReadWholeFile(path, text, &error))
        return std::nullopt;
    const Sections ini = ParseIni(text);

    if (version) {
        result.name = *version;
    } else {
        const std::string* vcnText = Find(ini, "GLOBAL", "VCN");
        const std::optional<int> vcn = vcnText ? ToInteger(*vcnText) : 0;
        if (!vcn) {
            error = path + ": GLOBAL/VCN '" + *vcnText + "' is not a valid integer value";
            return std::nullopt;
        }
        if (*vcn == 0) {
            result.name = "ZEB-INITDL"; // the built-in entry, ENCODE 1
            return result;
        }
        for (int i = 1; i <= *vcn && result.name.empty(); ++i)
            if (const std::string* item = Find(ini, "GLOBAL", "ITEM" + std::to_string(i)))
                result.name = Editor::Trimmed(*item);
        if (result.name.empty())
            return result;
    }
    if (const std::string* encode = Find(ini, result.name, "ENCODE")) {
        const std::optional<int> value = ToInteger(*encode);
        if (!value) {
            error = path + ": " + result.name + "/ENCODE '" + *encode +
                    "' is not a valid integer value";
            return std::nullopt;
        }
        result.encode = *value;
    }
    return result;
}

} // namespace Lift::Cli
