#pragma once
// TYIniFile: one INI file held in memory as sections of keys with string values; typed
// reads and writes; the whole file is written back, only when something changed, by
// UpdateFile or the destructor.
//
// Construction loads the file, or creates it empty (and one missing folder level) when it
// does not exist. Names are case-sensitive, 1..256 bytes; sections keep the order they were
// first created in, keys the order they were first written in. The saved file is generated
// from the model: for each section "[name]", one "key=value" line per key and one empty
// line, every line ending in CR LF; comments and spacing of the loaded file do not survive
// a save. A save goes to a temporary file that replaces the old one only once it is
// complete, so a failed save leaves the old file as it was.
//
// What a write stores reads back identically after a save and a new load, with one
// exception: loading drops white space at the start of section names, keys and values and
// spaces at their end (a tab at the end stays), so those blanks do not come back; until the
// file is loaded again, a name with such blanks is another name than its trimmed form. A
// key whose value is empty or blank is saved as "key=" and is not loaded again. A write the
// file could not carry is refused: a line break (CR or LF) or NUL anywhere, "=" in a key,
// "]" in a section name, a blank name, a key that would read back as a section header, a
// name over 256 characters, or a key line ("key=value") over 8191 characters, the longest
// line loading reads whole. A refused write shows an error box (caption "TYIniFile") naming
// the key and section, throws EYGeneral with the same text and changes nothing. A write
// with an empty section or key does nothing.
//
// Dates and times are written and read in one fixed form, independent of the user's
// regional settings:
//   WriteDate     "YYYY-MM-DD"            e.g. "2026-12-06"
//   WriteTime     "HH:MM:SS" (24-hour)    e.g. "07:05:09"
//   WriteDateTime "YYYY-MM-DD HH:MM:SS"
// ReadDate, ReadTime and ReadDateTime accept exactly what the matching write produces,
// with blanks around it; ReadTime also takes "HH:MM" and ReadDateTime a date alone.
// Times are kept to the second. TDateTime counts days since 1899-12-30, the fraction
// being the time of day (for days before that date the fraction is still added as a
// time of day: -1.25 is 1899-12-29 06:00).
//
// Errors: construction failures show an error box (caption "TYIniFile") and throw
// EYGeneral "Err: Constructor !!!"; refused writes as above; a failed save shows an error
// box and returns false with Modified still set; a present value that is not a valid
// integer, date or time makes the typed read throw EConvertError; a string pool out of
// memory throws EYGeneral out of the write. Floating-point text uses '.' whatever the
// locale. Not thread-safe.
//
// Ownership: with the one-argument constructor the object makes and owns its string pool;
// with the pool argument it uses the given pool, which must outlive it and may be shared.

#include "util/ty_hashed_string_list.h"
#include "util/ty_str_tab.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace YVclUtil {

using TDateTime = double;

class TYIniFile {
public:
    explicit TYIniFile(const std::string& fileName);
    TYIniFile(const std::string& fileName, TYStrTab* strTab);
    ~TYIniFile();
    TYIniFile(const TYIniFile&) = delete;
    TYIniFile& operator=(const TYIniFile&) = delete;

    // Writes the file when modified; true when nothing needed writing or it was written.
    bool UpdateFile();
    const std::string& FileName() const { return m_fileName; }
    // Moves the object to another path; the next save writes the whole model there.
    void pw_FileName(const std::string& fileName);
    bool Modified() const { return m_modified; }
    // Forgets every change not saved yet: the model is loaded again from the file and
    // Modified is cleared, so the file stays as it is. A file that can no longer be read
    // shows the open error box and leaves the model empty.
    void DiscardChanges();

    // Adds what the bytes hold to the model, as loading a file does. Sets Modified when
    // anything was stored.
    void LoadFromBytes(std::string_view bytes);
    // The file content a save would write now.
    std::string SaveToBytes() const;

    bool SectionExists(const std::string& section);
    bool KeyExists(const std::string& section, const std::string& key);
    bool ValueExists(const std::string& section, const std::string& key);

    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);
    void DeleteValue(const std::string& section, const std::string& key);

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void Printf(const std::string& section, const std::string& key, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteUnsigned(const std::string& section, const std::string& key, std::uint32_t value);
    void WriteHexNum(const std::string& section, const std::string& key, std::uint32_t value);
    void WriteFloat(const std::string& section, const std::string& key, double value);
    void WriteBool(const std::string& section, const std::string& key, bool value,
                   std::int32_t style = 0);
    void WriteTime(const std::string& section, const std::string& key, TDateTime value);
    void WriteDate(const std::string& section, const std::string& key, TDateTime value);
    void WriteDateTime(const std::string& section, const std::string& key, TDateTime value);
    void WriteCurrentTime(const std::string& section, const std::string& key);
    void WriteCurrentDate(const std::string& section, const std::string& key);
    void WriteCurrentDateTime(const std::string& section, const std::string& key);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue);
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t defaultValue);
    std::uint32_t ReadUnsigned(const std::string& section, const std::string& key,
                               std::uint32_t defaultValue);
    std::uint32_t ReadHexNum(const std::string& section, const std::string& key,
                             std::uint32_t defaultValue);
    double ReadFloat(const std::string& section, const std::string& key, double defaultValue);
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue);
    TDateTime ReadTime(const std::string& section, const std::string& key, TDateTime defaultValue);
    TDateTime ReadDate(const std::string& section, const std::string& key, TDateTime defaultValue);
    TDateTime ReadDateTime(const std::string& section, const std::string& key,
                           TDateTime defaultValue);

    // Compare the stored value (empty when absent) with `text` under the current locale's
    // collation: -1, 0 or 1 as the stored value sorts before, equal to or after it.
    int StrCmp(const std::string& section, const std::string& key, const std::string& text);
    int StrICmp(const std::string& section, const std::string& key, const std::string& text);

    // Sections in file order and the keys of one section, for callers that walk the model.
    int SectionCount() const;
    std::string SectionName(int index) const;
    int KeyCount(const std::string& section);
    std::string KeyName(const std::string& section, int index);

private:
    class Loader;

    void RunConstructor(const std::string& fileName, TYStrTab* strTab);
    void RunDestructor();
    [[noreturn]] void failConstruction();
    bool LoadExistedIniFile();
    bool SaveIniFile();

    bool IsSectionExisted(const std::string& section, std::int32_t* index = nullptr);
    TYHashedStringList* keyList(const std::string& section);
    bool IsKeyExisted(const std::string& section, const std::string& key);
    bool IsValueExisted(const std::string& section, const std::string& key);
    bool IsValueExisted(const std::string& section, const std::string& key, std::string& value);
    void writeValue(const std::string& section, const char* key, const char* value,
                    std::size_t valueLength);
    TYHashedStringList* newKeyList();

    void HashedStringListNotifyHandlerForDeleteSection(TYHashedStringList* sender,
                                                       std::int32_t index);
    void HashedStringListNotifyHandlerForReplaceKey(TYHashedStringList* sender, std::int32_t index);
    void HashedStringListNotifyHandlerForDeleteKey(TYHashedStringList* sender, std::int32_t index);

    bool m_ownsStrTab = false;
    TYStrTab* m_strTab = nullptr;
    std::unique_ptr<TYStrTab> m_ownStrTab;
    std::unique_ptr<TYHashedStringList> m_sections;
    std::string m_fileName;
    std::string m_lastSectionName;
    std::int32_t m_lastSectionIndex = -1;
    TYHashedStringList* m_lastSectionKeys = nullptr; // key list of LastSectionName
    bool m_modified = false;
};

} // namespace YVclUtil
