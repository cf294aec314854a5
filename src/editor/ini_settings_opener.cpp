#include "editor/ini_settings_opener.h"

#include "util/ty_ini_file.h"

namespace Lift::Editor {

namespace {
class IniSettingsReader final : public SettingsReader {
public:
    explicit IniSettingsReader(const std::string& path) : m_ini(path) {}
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        return m_ini.ReadString(section, key, defaultValue);
    }
    int readInteger(const std::string& section, const std::string& key, int defaultValue) override {
        return m_ini.ReadInteger(section, key, defaultValue);
    }

private:
    YVclUtil::TYIniFile m_ini;
};
} // namespace

SettingsFileOpener IniSettingsFileOpener() {
    return [](const std::string& path) -> std::unique_ptr<SettingsReader> {
        return std::make_unique<IniSettingsReader>(path);
    };
}

} // namespace Lift::Editor
