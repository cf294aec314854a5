#include "util/ty_ini_file.h"

#include "util/atomic_file.h"
#include "util/econvert_error.h"
#include "util/eygeneral.h"
#include "util/ini_text_parser.h"
#include "util/ini_value_text.h"
#include "util/standalone_function.h"

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>
#include <sys/stat.h>
#include <vector>

namespace YVclUtil {

namespace {

constexpr const char* kCaption = "TYIniFile";
constexpr std::size_t kSaveValueCapacity = Lift::Util::kIniLineChars + 1;
constexpr std::size_t kReadValueCapacity = 16384; // values up to 16383 characters are read

YSTRTABCELL* valueCell(TYHashedStringList* keys, std::int32_t index) {
    return static_cast<YSTRTABCELL*>(keys->pr_Objects(index));
}

TYHashedStringList* keysOf(TYHashedStringList* sections, std::int32_t index) {
    return static_cast<TYHashedStringList*>(sections->pr_Objects(index));
}

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

std::wstring widen(const std::string& text, bool& ok) {
    std::mbstate_t state{};
    const char* src = text.c_str();
    // The restartable form with its own state is safe on any thread.
    const std::size_t length = std::mbsrtowcs(nullptr, &src, 0, &state); // NOLINT(concurrency-mt-unsafe)
    if (length == static_cast<std::size_t>(-1)) {
        ok = false;
        return {};
    }
    std::wstring out(length, L'\0');
    src = text.c_str();
    state = std::mbstate_t{};
    std::mbsrtowcs(out.data(), &src, length + 1, &state); // NOLINT(concurrency-mt-unsafe)
    ok = true;
    return out;
}

// A name as an error message shows it: on one line and not too long.
std::string forMessage(const std::string& name) {
    constexpr std::size_t kShown = 64;
    std::string out;
    for (std::size_t i = 0; i < name.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c < 0x20)
            out += Format("\\x%02X", c);
        else
            out += char(c);
    }
    if (name.size() > kShown)
        out += "...";
    return out;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace

// Feeds parsed entries into the model.
class TYIniFile::Loader : public Lift::Util::IniTextSink {
public:
    explicit Loader(TYIniFile& ini) : m_ini(ini) {}
    void entry(const std::string& section, const char* key, const char* value,
               std::size_t valueLength) override {
        m_ini.writeValue(section, key, value, valueLength);
    }

private:
    TYIniFile& m_ini;
};

TYIniFile::TYIniFile(const std::string& fileName) {
    RunConstructor(fileName, nullptr);
}

TYIniFile::TYIniFile(const std::string& fileName, TYStrTab* strTab) {
    if (!strTab) {
        // A list on no pool would be unusable.
        ShowErrMsgBox_Printf(kCaption, "Err: Can not create TYHashedStringList for Sections !!!");
        failConstruction();
    }
    RunConstructor(fileName, strTab);
}

void TYIniFile::RunConstructor(const std::string& fileName, TYStrTab* strTab) {
    if (strTab) {
        m_strTab = strTab;
    } else {
        try {
            m_ownStrTab = std::make_unique<TYStrTab>();
        } catch (const std::bad_alloc&) {
            ShowErrMsgBox_Printf(kCaption, "Err: Can not create YStrTab !!!");
            failConstruction();
        }
        m_strTab = m_ownStrTab.get();
        m_ownsStrTab = true;
    }
    try {
        m_sections = std::make_unique<TYHashedStringList>(m_strTab);
    } catch (const std::bad_alloc&) {
        ShowErrMsgBox_Printf(kCaption, "Err: Can not create TYHashedStringList for Sections !!!");
        failConstruction();
    }
    m_sections->OnDelete = [this](TYHashedStringList* sender, std::int32_t index) {
        HashedStringListNotifyHandlerForDeleteSection(sender, index);
    };

    m_fileName = fileName.empty() ? std::string("UnknownIniFile.ini") : fileName;
    if (isRegularFile(m_fileName)) {
        if (!LoadExistedIniFile())
            failConstruction();
    } else {
        const std::size_t slash = m_fileName.rfind('/');
        if (slash != std::string::npos && slash > 0) {
            const std::string directory = m_fileName.substr(0, slash + 1);
            if (!isDirectory(directory) && ::mkdir(directory.c_str(), 0777) != 0) {
                ShowErrMsgBox_Printf(kCaption, "Err: Can not create directory \n \"%s\" ",
                                     directory.c_str());
                failConstruction();
            }
        }
        std::FILE* file = std::fopen(m_fileName.c_str(), "wbx");
        if (!file) {
            ShowErrMsgBox_Printf(kCaption, "Err: Can not create file \n \"%s\" ",
                                 m_fileName.c_str());
            failConstruction();
        }
        std::fclose(file);
    }
    m_modified = false;
}

void TYIniFile::failConstruction() {
    m_modified = false; // nothing may be saved by a failed construction
    RunDestructor();
    throw EYGeneral("Err: Constructor !!!");
}

TYIniFile::~TYIniFile() {
    try {
        SaveIniFile();
    } catch (...) {
        // A destructor cannot report; the failed save has shown its error box.
    }
    RunDestructor();
}

void TYIniFile::RunDestructor() {
    if (m_sections) {
        m_sections->DeleteAll();
        m_sections.reset();
    }
    m_ownStrTab.reset();
    m_strTab = nullptr;
    m_ownsStrTab = false;
}

bool TYIniFile::LoadExistedIniFile() {
    // Opened for reading and updating: a file we could not save later is refused now.
    std::FILE* file = std::fopen(m_fileName.c_str(), "r+b");
    if (!file) {
        ShowErrMsgBox_Printf(kCaption, "Err: Can not open file \n \"%s\" ", m_fileName.c_str());
        return false;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        ShowErrMsgBox_Printf(kCaption, "Err: Can not open file \n \"%s\" ", m_fileName.c_str());
        return false;
    }
    LoadFromBytes(bytes);
    return true;
}

void TYIniFile::LoadFromBytes(std::string_view bytes) {
    Loader loader(*this);
    Lift::Util::ParseIniText(bytes, loader);
}

std::string TYIniFile::SaveToBytes() const {
    std::string out;
    std::vector<char> name(kSaveValueCapacity), value(kSaveValueCapacity);
    const std::int32_t sections = m_sections ? m_sections->Count() : 0;
    for (std::int32_t s = 0; s < sections; ++s) {
        TYHashedStringList* keys = keysOf(m_sections.get(), s);
        if (!keys)
            continue;
        std::size_t length = 0;
        if (!m_strTab->Get(m_sections->StrCell(s), name.data(), name.size(), length))
            continue;
        Lift::Util::AppendIniSectionLine(out, std::string_view(name.data(), length));
        for (std::int32_t k = 0; k < keys->Count(); ++k) {
            // A refused copy leaves its length at 0; writes refuse values too long for the
            // buffer, so none is in the model.
            std::size_t nameLength = 0, valueLength = 0;
            m_strTab->Get(keys->StrCell(k), name.data(), name.size(), nameLength);
            if (const YSTRTABCELL* cell = valueCell(keys, k))
                m_strTab->Get(cell, value.data(), value.size(), valueLength);
            Lift::Util::AppendIniEntryLine(out, std::string_view(name.data(), nameLength),
                                           std::string_view(value.data(), valueLength));
        }
        out += "\r\n";
    }
    return out;
}

bool TYIniFile::SaveIniFile() {
    if (!m_modified)
        return true;
    std::string reason;
    if (!Lift::Util::WriteFileAtomically(m_fileName, SaveToBytes(), &reason)) {
        SendDbgString_Printf("TYIniFile: %s", reason.c_str());
        ShowErrMsgBox_Printf(kCaption, "Err: Can not create file \n \"%s\" ", m_fileName.c_str());
        return false;
    }
    m_modified = false;
    return true;
}

bool TYIniFile::UpdateFile() {
    return SaveIniFile();
}

void TYIniFile::DiscardChanges() {
    if (!m_sections)
        return;
    m_sections->DeleteAll();
    m_lastSectionName.clear();
    if (isRegularFile(m_fileName))
        LoadExistedIniFile();
    m_modified = false;
}

void TYIniFile::pw_FileName(const std::string& fileName) {
    m_fileName = fileName;
    m_modified = true;
}

// --- lookups ---------------------------------------------------------------------------

bool TYIniFile::IsSectionExisted(const std::string& section, std::int32_t* index) {
    if (section.empty() || !m_sections)
        return false;
    std::int32_t found = -1;
    if (section == m_lastSectionName) {
        found = m_lastSectionIndex;
    } else {
        void* keys = nullptr;
        found = m_sections->IndexOf(section.c_str(), keys);
        if (found < 0)
            return false;
        m_lastSectionName = section;
        m_lastSectionIndex = found;
        m_lastSectionKeys = static_cast<TYHashedStringList*>(keys);
    }
    if (index)
        *index = found;
    return true;
}

TYHashedStringList* TYIniFile::keyList(const std::string& section) {
    if (!IsSectionExisted(section))
        return nullptr;
    return m_lastSectionKeys; // a found section is always the cached one
}

bool TYIniFile::IsKeyExisted(const std::string& section, const std::string& key) {
    TYHashedStringList* keys = keyList(section);
    return keys && keys->IndexOf(key.c_str()) >= 0;
}

bool TYIniFile::IsValueExisted(const std::string& section, const std::string& key) {
    TYHashedStringList* keys = keyList(section);
    if (!keys)
        return false;
    const std::int32_t index = keys->IndexOf(key.c_str());
    return index >= 0 && valueCell(keys, index) != nullptr;
}

bool TYIniFile::IsValueExisted(const std::string& section, const std::string& key,
                               std::string& value) {
    TYHashedStringList* keys = keyList(section);
    if (!keys)
        return false;
    void* object = nullptr;
    if (keys->IndexOf(key.c_str(), object) < 0 || !object)
        return false;
    const auto* cell = static_cast<const YSTRTABCELL*>(object);
    const std::size_t length = m_strTab->Length(cell);
    if (length + 1 > kReadValueCapacity)
        return false; // too long to be read back, as a fixed 16 KiB buffer would refuse
    value.resize(length + 1);
    std::size_t copied = 0;
    if (!m_strTab->Get(cell, value.data(), kReadValueCapacity, copied))
        return false;
    value.resize(copied);
    return true;
}

bool TYIniFile::SectionExists(const std::string& section) {
    return IsSectionExisted(section);
}

bool TYIniFile::KeyExists(const std::string& section, const std::string& key) {
    return IsKeyExisted(section, key);
}

bool TYIniFile::ValueExists(const std::string& section, const std::string& key) {
    return IsValueExisted(section, key);
}

int TYIniFile::SectionCount() const {
    return m_sections ? m_sections->Count() : 0;
}

std::string TYIniFile::SectionName(int index) const {
    return m_sections->pr_Strings(index);
}

int TYIniFile::KeyCount(const std::string& section) {
    TYHashedStringList* keys = keyList(section);
    return keys ? keys->Count() : 0;
}

std::string TYIniFile::KeyName(const std::string& section, int index) {
    TYHashedStringList* keys = keyList(section);
    return keys ? keys->pr_Strings(index) : std::string();
}

// --- deletions -------------------------------------------------------------------------

void TYIniFile::EraseSection(const std::string& section) {
    std::int32_t index = -1;
    if (!IsSectionExisted(section, &index))
        return;
    if (TYHashedStringList* keys = keysOf(m_sections.get(), index)) {
        std::unique_ptr<TYHashedStringList> owned(keys);
        owned->DeleteAll();
        m_sections->pw_Objects(index, nullptr);
    }
    m_sections->Delete(index);
    m_lastSectionName.clear();
    m_modified = true;
}

void TYIniFile::DeleteKey(const std::string& section, const std::string& key) {
    TYHashedStringList* keys = keyList(section);
    if (!keys)
        return;
    const std::int32_t index = keys->IndexOf(key.c_str());
    if (index < 0)
        return;
    keys->Delete(index);
    m_modified = true;
}

void TYIniFile::DeleteValue(const std::string& section, const std::string& key) {
    TYHashedStringList* keys = keyList(section);
    if (!keys)
        return;
    const std::int32_t index = keys->IndexOf(key.c_str());
    if (index < 0)
        return;
    if (YSTRTABCELL* value = valueCell(keys, index))
        m_strTab->Delete(value);
    keys->pw_Objects(index, nullptr);
    m_modified = true;
}

// --- notification handlers -------------------------------------------------------------

void TYIniFile::HashedStringListNotifyHandlerForDeleteSection(TYHashedStringList* sender,
                                                              std::int32_t index) {
    if (TYHashedStringList* keys = keysOf(sender, index)) {
        std::unique_ptr<TYHashedStringList> owned(keys);
        owned->DeleteAll();
        sender->pw_Objects(index, nullptr);
    }
}

void TYIniFile::HashedStringListNotifyHandlerForReplaceKey(TYHashedStringList* sender,
                                                           std::int32_t index) {
    if (YSTRTABCELL* value = valueCell(sender, index))
        m_strTab->Delete(value);
}

void TYIniFile::HashedStringListNotifyHandlerForDeleteKey(TYHashedStringList* sender,
                                                          std::int32_t index) {
    if (YSTRTABCELL* value = valueCell(sender, index))
        m_strTab->Delete(value);
}

// --- writes ----------------------------------------------------------------------------

TYHashedStringList* TYIniFile::newKeyList() {
    auto keys = std::make_unique<TYHashedStringList>(m_strTab);
    keys->OnReplace = [this](TYHashedStringList* sender, std::int32_t index) {
        HashedStringListNotifyHandlerForReplaceKey(sender, index);
    };
    keys->OnDelete = [this](TYHashedStringList* sender, std::int32_t index) {
        HashedStringListNotifyHandlerForDeleteKey(sender, index);
    };
    return keys.release();
}

void TYIniFile::writeValue(const std::string& section, const char* key, const char* value,
                           std::size_t valueLength) {
    if (section.empty() || !key || !*key || !m_sections)
        return;
    // Refused before its section is made: an empty section would vanish on the next load,
    // so a saved file would not load back to what was saved.
    if (std::strlen(key) > std::size_t(TYHashedStringList::kMaxTextLength))
        return;
    TYHashedStringList* keys = nullptr;
    std::int32_t index = -1;
    if (IsSectionExisted(section, &index)) {
        keys = keysOf(m_sections.get(), index);
        if (!keys)
            return;
    } else {
        std::unique_ptr<TYHashedStringList> created;
        try {
            created.reset(newKeyList());
        } catch (const std::bad_alloc&) {
            return;
        }
        // A name the section list refuses (over 256 characters) stores nothing.
        if (m_sections->Add(section.c_str(), created.get()) < 0)
            return;
        keys = created.release();
    }
    YSTRTABCELL* cell = valueLength > 0 ? m_strTab->Add(value, valueLength) : nullptr;
    try {
        if (keys->Add(key, cell) < 0 && cell)
            m_strTab->Delete(cell); // the key was refused: keep no orphan value
    } catch (...) {
        if (cell)
            m_strTab->Delete(cell);
        throw;
    }
    m_modified = true;
}

void TYIniFile::WriteString(const std::string& section, const std::string& key,
                            const std::string& value) {
    if (section.empty() || key.empty())
        return;
    const std::string problem = Lift::Util::IniEntryProblem(
        section, key, value, std::size_t(TYHashedStringList::kMaxTextLength));
    if (!problem.empty()) {
        const std::string text =
            Format("Err: Can not write key \"%s\" of section \"%s\": %s !!!",
                   forMessage(key).c_str(), forMessage(section).c_str(), problem.c_str());
        ShowErrMsgBox_Printf(kCaption, "%s", text.c_str());
        throw EYGeneral("%s", text.c_str());
    }
    writeValue(section, key.c_str(), value.data(), value.size());
}

void TYIniFile::Printf(const std::string& section, const std::string& key, const char* format,
                       ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    WriteString(section, key, text);
}

void TYIniFile::WriteInteger(const std::string& section, const std::string& key,
                             std::int32_t value) {
    WriteString(section, key, Format("%d", value));
}

void TYIniFile::WriteUnsigned(const std::string& section, const std::string& key,
                              std::uint32_t value) {
    WriteString(section, key, Format("%d", static_cast<std::int32_t>(value)));
}

void TYIniFile::WriteHexNum(const std::string& section, const std::string& key,
                            std::uint32_t value) {
    WriteString(section, key, Format("0x%X", value));
}

void TYIniFile::WriteFloat(const std::string& section, const std::string& key, double value) {
    WriteString(section, key, Lift::Util::DoubleToText(value));
}

void TYIniFile::WriteBool(const std::string& section, const std::string& key, bool value,
                          std::int32_t style) {
    static const char* const texts[4][2] = {
        {"0", "1"}, {"False", "True"}, {"Low", "High"}, {"Not", "Yes"}};
    const int row = style >= 0 && style <= 3 ? style : 0;
    WriteString(section, key, texts[row][value ? 1 : 0]);
}

void TYIniFile::WriteTime(const std::string& section, const std::string& key, TDateTime value) {
    WriteString(section, key, Lift::Util::TimeToText(value));
}

void TYIniFile::WriteDate(const std::string& section, const std::string& key, TDateTime value) {
    WriteString(section, key, Lift::Util::DateToText(value));
}

void TYIniFile::WriteDateTime(const std::string& section, const std::string& key, TDateTime value) {
    WriteString(section, key, Lift::Util::DateTimeToText(value));
}

void TYIniFile::WriteCurrentTime(const std::string& section, const std::string& key) {
    WriteTime(section, key, Lift::Util::NowAsDateTime());
}

void TYIniFile::WriteCurrentDate(const std::string& section, const std::string& key) {
    WriteDate(section, key, Lift::Util::NowAsDateTime());
}

void TYIniFile::WriteCurrentDateTime(const std::string& section, const std::string& key) {
    WriteDateTime(section, key, Lift::Util::NowAsDateTime());
}

// --- reads -----------------------------------------------------------------------------

std::string TYIniFile::ReadString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) {
    std::string value;
    return IsValueExisted(section, key, value) ? value : defaultValue;
}

std::int32_t TYIniFile::ReadInteger(const std::string& section, const std::string& key,
                                    std::int32_t defaultValue) {
    std::string value;
    if (!IsValueExisted(section, key, value))
        return defaultValue;
    const auto number = Lift::Util::TextToInt32(value);
    if (!number)
        throw EConvertError(Format("'%s' is not a valid integer value", value.c_str()));
    return *number;
}

std::uint32_t TYIniFile::ReadUnsigned(const std::string& section, const std::string& key,
                                      std::uint32_t defaultValue) {
    std::string value;
    if (!IsValueExisted(section, key, value))
        return defaultValue;
    return Lift::Util::TextToUInt32(value.c_str()).value_or(defaultValue);
}

std::uint32_t TYIniFile::ReadHexNum(const std::string& section, const std::string& key,
                                    std::uint32_t defaultValue) {
    return ReadUnsigned(section, key, defaultValue);
}

double TYIniFile::ReadFloat(const std::string& section, const std::string& key,
                            double defaultValue) {
    std::string value;
    if (!IsValueExisted(section, key, value))
        return defaultValue;
    return Lift::Util::TextToDouble(value.c_str()).value_or(defaultValue);
}

bool TYIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
    std::string value;
    if (!IsValueExisted(section, key, value) || value.empty())
        return defaultValue;
    switch (value[0]) {
    case '1':
    case 'T':
    case 't':
    case 'Y':
    case 'y':
    case 'H':
    case 'h':
        return true;
    case '0':
    case 'F':
    case 'f':
    case 'N':
    case 'n':
    case 'L':
    case 'l':
        return false;
    default:
        return defaultValue;
    }
}

TDateTime TYIniFile::ReadTime(const std::string& section, const std::string& key,
                              TDateTime defaultValue) {
    std::string value;
    if (!IsValueExisted(section, key, value))
        return defaultValue;
    const auto time = Lift::Util::TextToTime(value);
    if (!time)
        throw EConvertError(Format("'%s' is not a valid time", value.c_str()));
    return *time;
}

TDateTime TYIniFile::ReadDate(const std::string& section, const std::string& key,
                              TDateTime defaultValue) {
    std::string value;
    if (!IsValueExisted(section, key, value))
        return defaultValue;
    const auto date = Lift::Util::TextToDate(value);
    if (!date)
        throw EConvertError(Format("'%s' is not a valid date", value.c_str()));
    return *date;
}

TDateTime TYIniFile::ReadDateTime(const std::string& section, const std::string& key,
                                  TDateTime defaultValue) {
    std::string value;
    if (!IsValueExisted(section, key, value))
        return defaultValue;
    const auto dateTime = Lift::Util::TextToDateTime(value);
    if (!dateTime)
        throw EConvertError(Format("'%s' is not a valid date and time", value.c_str()));
    return *dateTime;
}

// --- comparisons -----------------------------------------------------------------------

int TYIniFile::StrCmp(const std::string& section, const std::string& key, const std::string& text) {
    const std::string stored = ReadString(section, key, std::string());
    return sign(std::strcoll(stored.c_str(), text.c_str()));
}

int TYIniFile::StrICmp(const std::string& section, const std::string& key,
                       const std::string& text) {
    const std::string stored = ReadString(section, key, std::string());
    bool okStored = false, okText = false;
    std::wstring a = widen(stored, okStored);
    std::wstring b = widen(text, okText);
    if (okStored && okText) {
        for (wchar_t& c : a)
            c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        for (wchar_t& c : b)
            c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        return sign(std::wcscoll(a.c_str(), b.c_str()));
    }
    // Bytes that are no valid text in the locale: fold them one by one.
    std::string x = stored, y = text;
    for (char& c : x)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : y)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return sign(std::strcoll(x.c_str(), y.c_str()));
}

} // namespace YVclUtil
