// Loads arbitrary bytes as an INI file, reads every key in every typed form, writes a few
// keys, saves, and loads the saved file again: the reloaded model must save to the same
// bytes.

#include "util/econvert_error.h"
#include "util/standalone_function.h"
#include "util/ty_ini_file.h"

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
            ini.WriteInteger(first, "FuzzCount", ini.KeyCount(first));
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
    return 0;
}
