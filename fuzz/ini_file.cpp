// Loads arbitrary bytes as an INI file, reads every key in every typed form, writes a few
// keys, saves, and loads the saved file again: the reloaded model must save to the same
// bytes. Then writes one entry cut from the bytes (two length bytes, section, key, value)
// to an empty file: refused, it must change nothing; accepted, it must load back as written
// up to the blanks that loading drops.

#include "util/econvert_error.h"
#include "util/eygeneral.h"
#include "util/standalone_function.h"
#include "util/ty_ini_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace YVclUtil;

namespace {

std::string workFile() {
    static const std::string path = [] {
        // Memory-backed when available: every run saves with fsync.
        char shm[] = "/dev/shm/fuzz_ini_XXXXXX";
        char tmp[] = "/tmp/fuzz_ini_XXXXXX";
        char* folder = mkdtemp(shm);
        if (!folder)
            folder = mkdtemp(tmp);
        if (!folder)
            std::abort();
        return std::string(folder) + "/fuzz.ini";
    }();
    return path;
}

void readEverything(TYIniFile& ini) {
    for (int s = 0; s < ini.SectionCount(); ++s) {
        const std::string section = ini.SectionName(s);
        for (int k = 0; k < ini.KeyCount(section); ++k) {
            const std::string key = ini.KeyName(section, k);
            if (!ini.KeyExists(section, key))
                std::abort();
            ini.ReadString(section, key, "");
            ini.ReadUnsigned(section, key, 0);
            ini.ReadFloat(section, key, 0);
            ini.ReadBool(section, key, false);
            ini.StrICmp(section, key, "abc");
            try {
                ini.ReadInteger(section, key, 0);
            } catch (const EConvertError&) {
            }
            try {
                ini.ReadDateTime(section, key, 0);
            } catch (const EConvertError&) {
            }
        }
    }
}

// What loading gives back: leading white space and trailing spaces dropped.
std::string loaded(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\n\v\f\r");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

void writeOneEntry(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return;
    const auto* text = reinterpret_cast<const char*>(data);
    const std::size_t sectionLength = std::min<std::size_t>(data[0] % 64, size - 2);
    const std::size_t keyLength = std::min<std::size_t>(data[1] % 64, size - 2 - sectionLength);
    const std::string section(text + 2, sectionLength);
    const std::string key(text + 2 + sectionLength, keyLength);
    const std::string value(text + 2 + sectionLength + keyLength,
                            size - 2 - sectionLength - keyLength);

    const std::string path = workFile() + ".entry";
    std::remove(path.c_str());
    bool accepted = true;
    {
        TYIniFile ini(path);
        try {
            ini.WriteString(section, key, value);
        } catch (const EYGeneral&) {
            accepted = false;
            if (ini.Modified())
                std::abort(); // a refused write must change nothing
        }
    }
    TYIniFile again(path);
    const bool stored = accepted && !section.empty() && !key.empty() && !loaded(value).empty();
    if (again.SectionCount() != (stored ? 1 : 0))
        std::abort();
    if (stored && (again.KeyCount(loaded(section)) != 1 ||
                   again.ReadString(loaded(section), loaded(key), "") != loaded(value)))
        std::abort(); // an accepted write must read back as written
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        SetErrorBoxSink([](const std::string&, const std::string&) {});
        return true;
    }();
    (void)quiet;
    const std::string path = workFile();
    std::remove(path.c_str());

    std::string saved;
    {
        TYIniFile ini(path);
        ini.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
        readEverything(ini);
        if (ini.SectionCount() > 0) {
            const std::string first = ini.SectionName(0);
            try {
                ini.WriteInteger(first, "FuzzCount", ini.KeyCount(first));
            } catch (const EYGeneral&) {
                // A loaded name may hold a lone CR, which a write refuses.
            }
            if (ini.KeyCount(first) > 1)
                ini.DeleteKey(first, ini.KeyName(first, 0));
            if (ini.SectionCount() > 1)
                ini.EraseSection(ini.SectionName(ini.SectionCount() - 1));
        }
        ini.WriteHexNum("Fuzz", "Size", static_cast<std::uint32_t>(size));
        ini.WriteDateTime("Fuzz", "When", static_cast<double>(size) / 7.0);
        if (!ini.UpdateFile())
            std::abort();
        saved = ini.SaveToBytes();
    }
    TYIniFile again(path);
    readEverything(again);
    if (again.ReadDateTime("Fuzz", "When", -1) < 0)
        std::abort();
    if (again.SaveToBytes() != saved)
        std::abort(); // a saved file must load back to what was saved
    writeOneEntry(data, size);
    return 0;
}
