#pragma once
// TYHashedStringList: distinct strings in insertion order, each with one object pointer,
// found through a 128-bucket hash on a 64-bit key.
//
// The texts and the 28-byte entry records live in a TYStrTab the creator supplies and
// keeps; the list must be destroyed before that pool. Texts are 1..256 bytes. Entries
// whose 64-bit keys are equal are told apart by their stored text, so two different texts
// are always two entries. Buckets keep their entries in insertion order and are walked in
// that order; a bucket's keys sit side by side so that a walk stays in a few cache lines.
//
// Notifications: OnReplace (list, index) runs when Add meets a text that is present, before
// the object is replaced; OnDelete (list, index) runs before an entry goes. The owner uses
// them to release what the object pointers refer to; the list never owns the objects.
//
// Errors: a bad index for Strings or Objects and any write to Strings throw EYGeneral; a
// pool that cannot obtain a block throws EYGeneral out of Add (the list is then unchanged).
// Not thread-safe; pr_Strings copies through one buffer of the list and is not reentrant.

#include "util/ty_str_tab.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace YVclUtil {

class TYHashedStringList;

using TYHashedStringListNotifyEvent =
    std::function<void(TYHashedStringList* Sender, std::int32_t Index)>;

// An entry record: one 28-byte record from the pool. Only 4-byte fields, since records
// are 4-byte aligned; the pointers are kept as raw bytes. The entry's index is kept in its
// bucket, where lookups find it, so a delete renumbers the later entries in one place.
struct YHASHEDSTRINGLISTCELL {
    std::uint32_t HashKeyLow;
    std::uint32_t HashKeyHigh;
    unsigned char StrCell[8]; // YSTRTABCELL* of the entry's text
    unsigned char Object[8];  // the attached pointer
};
static_assert(sizeof(YHASHEDSTRINGLISTCELL) <= TYStrTab::kRecordSize, "fits one record");

class TYHashedStringList {
public:
    static constexpr int kBucketCount = 128;
    static constexpr int kListStep = 1024;
    static constexpr int kMaxTextLength = 256;
    static constexpr int kReadBufSize = 264;

    // A null pool shows an error box; such a list has no bucket table and refuses every
    // operation.
    explicit TYHashedStringList(TYStrTab* strTab);
    ~TYHashedStringList();
    TYHashedStringList(const TYHashedStringList&) = delete;
    TYHashedStringList& operator=(const TYHashedStringList&) = delete;

    // 64-bit key of a terminated text (0 for null or ""); `length` receives its length.
    static std::uint64_t StrToHashKey(const char* text, std::int32_t* length = nullptr);

    // Index of the text's entry, existing or new; -1 for an empty or over-long text or
    // when memory runs out. An existing entry gets the new object after OnReplace.
    std::int32_t Add(const char* text);
    std::int32_t Add(const char* text, void* object);
    std::int32_t IndexOf(const char* text) const;
    // As IndexOf, also giving the entry's object (untouched when absent).
    std::int32_t IndexOf(const char* text, void*& object) const;

    // Removes the entry at `index` (after OnDelete); later entries move down by one.
    bool Delete(std::int32_t index);
    // Removes every entry, notifying each in ascending order.
    bool DeleteAll();

    std::string pr_Strings(std::int32_t index);
    [[noreturn]] void pw_Strings(std::int32_t index, const char* text);
    void* pr_Objects(std::int32_t index) const;
    void pw_Objects(std::int32_t index, void* object);

    std::int32_t Count() const { return m_count; }
    std::int32_t Capacity() const { return m_capacity; }
    TYStrTab* StrTab() const { return m_strTab; }
    // First cell of the entry's text in the pool; null for a bad index.
    const YSTRTABCELL* StrCell(std::int32_t index) const;

    TYHashedStringListNotifyEvent OnReplace;
    TYHashedStringListNotifyEvent OnDelete;

private:
    // One slot per entry of a bucket, in insertion order. A slot repeats what a lookup
    // needs (key, object, and short texts whole) so that a hit on a short text does not touch
    // the pool at all; the entry record, found through ListTab, stays the reference.
    static constexpr std::size_t kInlineChars = 15;
    struct Slot {
        std::uint64_t key;
        std::uint8_t length; // inline length, or 0xFF when the text is longer
        char inlineText[kInlineChars];
        const YSTRTABCELL* text;
        void* object;
    };
    // indexes[i] is the entry index of items[i]. Appends take the highest index and deletes
    // keep the order, so indexes ascend: a delete finds the slots to renumber by a binary
    // search and renumbers them in one contiguous pass.
    struct Bucket {
        std::vector<Slot> items;
        std::vector<std::int32_t> indexes;
    };

    // Position of the text's slot in the bucket, or -1.
    std::ptrdiff_t findSlot(const Bucket& bucket, std::uint64_t key, const char* text,
                            std::size_t length) const;
    Bucket& bucketOf(std::uint64_t key) { return m_hashTab[key & (kBucketCount - 1)]; }
    // Position of the first slot whose index is not below `index`.
    static std::ptrdiff_t firstFrom(const Bucket& bucket, std::int32_t index);
    bool GrowupListTab();
    void ShrinkListTab();
    YHASHEDSTRINGLISTCELL* AllocateCell();
    void ReleaseCell(YHASHEDSTRINGLISTCELL* cell);
    void releaseEntry(YHASHEDSTRINGLISTCELL* cell);

    TYStrTab* m_strTab = nullptr;
    std::vector<Bucket> m_hashTab; // empty when the list could not be set up
    YHASHEDSTRINGLISTCELL** m_listTab = nullptr;
    std::int32_t m_capacity = 0;
    std::int32_t m_count = 0;
    char m_readBuf[kReadBufSize] = {};
};

} // namespace YVclUtil
