#include "util/ty_hashed_string_list.h"

#include "util/eygeneral.h"
#include "util/standalone_function.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace YVclUtil {

namespace {

constexpr const char* kCaption = "TYHashedStringList";

template <typename T> T loadField(const unsigned char (&bytes)[8]) {
    T value;
    std::memcpy(&value, bytes, sizeof value); // NOLINT(bugprone-sizeof-expression): T may be a pointer
    return value;
}

template <typename T> void storeField(unsigned char (&bytes)[8], T value) {
    std::memcpy(bytes, &value, sizeof value); // NOLINT(bugprone-sizeof-expression): T may be a pointer
}

std::uint64_t keyOf(const YHASHEDSTRINGLISTCELL* cell) {
    return (std::uint64_t(cell->HashKeyHigh) << 32) | cell->HashKeyLow;
}

std::uint32_t rotateRight(std::uint32_t v, int s) {
    return (v >> s) | (v << (32 - s));
}
std::uint32_t rotateLeft(std::uint32_t v, int s) {
    return (v << s) | (v >> (32 - s));
}

} // namespace

TYHashedStringList::TYHashedStringList(TYStrTab* strTab) : m_strTab(strTab) {
    if (!strTab) {
        ShowErrMsgBox_Printf(kCaption, "Err: The user specified TYStrTab* is NULL !!!");
        return;
    }
    try {
        m_hashTab.resize(kBucketCount);
    } catch (const std::bad_alloc&) {
        ShowErrMsgBox_Printf(kCaption, "Err: Can not allocate memory for HashTab[ ]");
    }
}

TYHashedStringList::~TYHashedStringList() {
    DeleteAll();
}

std::uint64_t TYHashedStringList::StrToHashKey(const char* text, std::int32_t* length) {
    std::uint32_t n = 0, a = 0, b = 0;
    if (text) {
        for (const char* p = text; *p; ++p) {
            // Bytes 128..255 enter as -128..-1.
            const auto c = static_cast<std::uint32_t>(static_cast<std::int32_t>(
                static_cast<std::int8_t>(static_cast<unsigned char>(*p))));
            ++n;
            a = rotateRight(a + ((n ^ b) + c), 5);
            b = rotateLeft(b - (a + c), 3);
        }
    }
    if (length)
        *length = static_cast<std::int32_t>(n);
    if (n == 0)
        return 0;
    return (std::uint64_t(a | 1) << 32) | b;
}

std::ptrdiff_t TYHashedStringList::findSlot(const Bucket& bucket, std::uint64_t key,
                                            const char* text, std::size_t length) const {
    const std::vector<Slot>& items = bucket.items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Slot& slot = items[i];
        if (slot.key != key)
            continue;
        // Equal keys: the texts decide, so two texts never share an entry.
        if (length <= kInlineChars) {
            if (slot.length == length && std::memcmp(slot.inlineText, text, length) == 0)
                return std::ptrdiff_t(i);
        } else if (slot.length == 0xFF && m_strTab->SameText(slot.text, text, length)) {
            return std::ptrdiff_t(i);
        }
    }
    return -1;
}

std::ptrdiff_t TYHashedStringList::firstFrom(const Bucket& bucket, std::int32_t index) {
    const auto& indexes = bucket.indexes;
    return std::lower_bound(indexes.begin(), indexes.end(), index) - indexes.begin();
}

std::int32_t TYHashedStringList::Add(const char* text) {
    return Add(text, nullptr);
}

std::int32_t TYHashedStringList::Add(const char* text, void* object) {
    std::int32_t length = 0;
    const std::uint64_t key = StrToHashKey(text, &length);
    if (key == 0 || length > kMaxTextLength || m_hashTab.empty())
        return -1;
    Bucket& bucket = bucketOf(key);
    if (const std::ptrdiff_t found = findSlot(bucket, key, text, std::size_t(length)); found >= 0) {
        const std::int32_t existing = bucket.indexes[std::size_t(found)];
        if (OnReplace)
            OnReplace(this, existing);
        pw_Objects(existing, object); // the handler may have changed the list's buckets
        return existing;
    }
    if (m_capacity <= m_count && !GrowupListTab())
        return -1;
    try {
        // Room for the append first, so that nothing can fail once the entry is made;
        // grown by doubling, as push_back would.
        const std::size_t room = std::max<std::size_t>(4, 2 * bucket.items.size());
        if (bucket.items.capacity() == bucket.items.size())
            bucket.items.reserve(room);
        if (bucket.indexes.capacity() == bucket.indexes.size())
            bucket.indexes.reserve(room);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    YSTRTABCELL* strCell = m_strTab->Add(text, std::size_t(length));
    if (!strCell)
        return -1;
    YHASHEDSTRINGLISTCELL* cell = nullptr;
    try {
        cell = AllocateCell();
    } catch (...) {
        m_strTab->Delete(strCell);
        throw;
    }
    if (!cell) {
        m_strTab->Delete(strCell);
        return -1;
    }
    cell->HashKeyLow = static_cast<std::uint32_t>(key);
    cell->HashKeyHigh = static_cast<std::uint32_t>(key >> 32);
    storeField(cell->StrCell, strCell);
    storeField(cell->Object, object);
    Slot slot{};
    slot.key = key;
    slot.length = length <= std::int32_t(kInlineChars) ? std::uint8_t(length) : 0xFF;
    std::memcpy(slot.inlineText, text, std::min<std::size_t>(std::size_t(length), kInlineChars));
    slot.text = strCell;
    slot.object = object;
    bucket.items.push_back(slot); // capacity reserved above: cannot throw
    bucket.indexes.push_back(m_count);
    m_listTab[m_count] = cell;
    return m_count++;
}

std::int32_t TYHashedStringList::IndexOf(const char* text) const {
    void* object = nullptr;
    return IndexOf(text, object);
}

std::int32_t TYHashedStringList::IndexOf(const char* text, void*& object) const {
    std::int32_t length = 0;
    const std::uint64_t key = StrToHashKey(text, &length);
    if (key == 0 || m_hashTab.empty())
        return -1;
    const Bucket& bucket = m_hashTab[key & (kBucketCount - 1)];
    const std::ptrdiff_t found = findSlot(bucket, key, text, std::size_t(length));
    if (found < 0)
        return -1;
    object = bucket.items[std::size_t(found)].object;
    return bucket.indexes[std::size_t(found)];
}

void TYHashedStringList::releaseEntry(YHASHEDSTRINGLISTCELL* cell) {
    m_strTab->Delete(loadField<YSTRTABCELL*>(cell->StrCell));
    ReleaseCell(cell);
}

bool TYHashedStringList::Delete(std::int32_t index) {
    if (index < 0 || index >= m_count)
        return false;
    if (OnDelete)
        OnDelete(this, index);
    YHASHEDSTRINGLISTCELL* cell = m_listTab[index];
    Bucket& bucket = bucketOf(keyOf(cell));
    const std::ptrdiff_t at = firstFrom(bucket, index);
    bucket.items.erase(bucket.items.begin() + at);
    bucket.indexes.erase(bucket.indexes.begin() + at);
    releaseEntry(cell);
    // The later entries move down by one: a tail of every bucket.
    for (Bucket& each : m_hashTab)
        for (auto i = each.indexes.begin() + firstFrom(each, index); i != each.indexes.end(); ++i)
            --*i;
    std::copy(m_listTab + index + 1, m_listTab + m_count, m_listTab + index);
    --m_count;
    ShrinkListTab();
    return true;
}

bool TYHashedStringList::DeleteAll() {
    for (std::int32_t i = 0; i < m_count; ++i) {
        if (OnDelete)
            OnDelete(this, i);
        releaseEntry(m_listTab[i]);
    }
    m_count = 0;
    std::free(m_listTab);
    m_listTab = nullptr;
    m_capacity = 0;
    for (Bucket& bucket : m_hashTab) {
        bucket.items.clear();
        bucket.indexes.clear();
    }
    return true;
}

std::string TYHashedStringList::pr_Strings(std::int32_t index) {
    if (index < 0 || index >= m_count)
        throw EYGeneral("TYHashedStringList: Invalid Index for Strings[%d]", index);
    std::size_t length = 0;
    if (!m_strTab->Get(loadField<YSTRTABCELL*>(m_listTab[index]->StrCell), m_readBuf, kReadBufSize,
                       length))
        return {};
    return std::string(m_readBuf, length);
}

void TYHashedStringList::pw_Strings(std::int32_t, const char*) {
    throw EYGeneral("TYHashedStringList: Strings[ ] is read only");
}

void* TYHashedStringList::pr_Objects(std::int32_t index) const {
    if (index < 0 || index >= m_count)
        throw EYGeneral("TYHashedStringList: Invalid Index for Objects[%d]", index);
    return loadField<void*>(m_listTab[index]->Object);
}

void TYHashedStringList::pw_Objects(std::int32_t index, void* object) {
    if (index < 0 || index >= m_count)
        throw EYGeneral("TYHashedStringList: Invalid Index for Objects[%d]", index);
    YHASHEDSTRINGLISTCELL* cell = m_listTab[index];
    storeField(cell->Object, object);
    Bucket& bucket = bucketOf(keyOf(cell));
    bucket.items[std::size_t(firstFrom(bucket, index))].object = object;
}

const YSTRTABCELL* TYHashedStringList::StrCell(std::int32_t index) const {
    if (index < 0 || index >= m_count)
        return nullptr;
    return loadField<YSTRTABCELL*>(m_listTab[index]->StrCell);
}

bool TYHashedStringList::GrowupListTab() {
    if (m_capacity > INT32_MAX - kListStep)
        return false;
    const std::size_t slots = std::size_t(m_capacity) + kListStep;
    // NOLINTNEXTLINE(bugprone-sizeof-expression): the table holds pointers
    void* grown = std::realloc(m_listTab, slots * sizeof *m_listTab);
    if (!grown)
        return false;
    m_listTab = static_cast<YHASHEDSTRINGLISTCELL**>(grown);
    m_capacity += kListStep;
    return true;
}

void TYHashedStringList::ShrinkListTab() {
    if (m_capacity <= kListStep || m_capacity - kListStep < m_count)
        return;
    const std::size_t slots = std::size_t(m_capacity) - kListStep;
    // NOLINTNEXTLINE(bugprone-sizeof-expression): the table holds pointers
    void* shrunk = std::realloc(m_listTab, slots * sizeof *m_listTab);
    if (!shrunk)
        return;
    m_listTab = static_cast<YHASHEDSTRINGLISTCELL**>(shrunk);
    m_capacity -= kListStep;
}

YHASHEDSTRINGLISTCELL* TYHashedStringList::AllocateCell() {
    void* record = m_strTab->malloc(sizeof(YHASHEDSTRINGLISTCELL));
    if (!record)
        return nullptr;
    std::memset(record, 0, sizeof(YHASHEDSTRINGLISTCELL));
    return static_cast<YHASHEDSTRINGLISTCELL*>(record);
}

void TYHashedStringList::ReleaseCell(YHASHEDSTRINGLISTCELL* cell) {
    m_strTab->free(cell);
}

} // namespace YVclUtil
