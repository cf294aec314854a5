#pragma once
// TYStrTab: a pool of character strings kept in fixed 32-byte cells carved out of
// 8192-byte page blocks, plus small 28-byte records for the hashed list's entries.
//
// A string of L characters takes ceil(L / 27) cells chained through 32-bit handles; no
// terminator is stored. A block whose cells are all free goes back to the page allocator
// at once, so an empty pool holds no memory. Blocks with free cells form a list: new cells
// come from its head, a block that regains a cell is put at its head, a fresh block at its
// tail.
//
// Layout: a block is 8192 bytes on an 8192-byte boundary; its first 32 bytes are the
// header, 255 cells follow. Links inside blocks are 32-bit handles (block slot and cell
// number) rather than pointers, so cells and headers stay 32 bytes on 64-bit systems.
// A cell's block is found by clearing the low 13 bits of its address; every operation
// that receives a cell checks that the block belongs to this pool and refuses it otherwise.
//
// Errors: a block that cannot be had shows the "TYStrTab" error box and throws EYGeneral;
// the pool is then as it was before the call. Not thread-safe: one pool, one thread.
// Ownership: cells and records stay owned by the pool; DeleteAll or the destructor
// invalidates every one handed out.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace YVclUtil {

struct YSTRTABCELL {
    std::uint32_t Next; // handle of the next cell of the string; next free cell while free
    std::uint8_t Len;   // characters in this cell, 1..27; 0 while free
    char Data[27];
};
static_assert(sizeof(YSTRTABCELL) == 32, "a cell is 32 bytes");

struct YSTRTABMEMBLOCK {
    std::uint32_t Owner;         // id of the owning pool
    std::uint32_t Prev;          // all-blocks list, as slot + 1 (0 = none)
    std::uint32_t Next;          //
    std::uint32_t FreePrev;      // list of blocks with free cells, as slot + 1
    std::uint32_t FreeNext;      //
    std::uint32_t FreeCellCount; // 0..255
    std::uint32_t FreeCellList;  // handle of the first free cell; cell number 0 = none
    std::uint32_t Slot;          // this block's slot in its pool
};
static_assert(sizeof(YSTRTABMEMBLOCK) == 32, "the block header takes one cell");

class TYStrTab {
public:
    static constexpr std::uint32_t kBlockSize = 8192;
    static constexpr std::uint32_t kCellSize = 32;
    static constexpr std::uint32_t kCellsPerBlock = 255;
    static constexpr std::uint32_t kCellChars = 27;
    static constexpr std::uint32_t kRecordSize = 28;

    TYStrTab();
    ~TYStrTab();
    TYStrTab(const TYStrTab&) = delete;
    TYStrTab& operator=(const TYStrTab&) = delete;

    // Stores a terminated text; null or "" gives null.
    YSTRTABCELL* Add(const char* text);
    // Stores `length` bytes (NULs included); null text or length 0 gives null. A string
    // longer than the free cells obtains as many blocks as it needs. Throws EYGeneral when
    // a block cannot be had.
    YSTRTABCELL* Add(const char* text, std::size_t length);

    // A zero-filled 28-byte record (4-byte aligned) for sizes 1..28, else null. Counts as
    // one string in StrCount until freed. Throws as Add.
    void* malloc(std::size_t size);
    // Returns a record from malloc; false for null, a record of another pool or one already
    // freed.
    bool free(void* record);

    // Copies the string into `buffer` and terminates it. A capacity of 0 means unbounded;
    // otherwise the text must be shorter than the capacity (the buffer may then hold a
    // partial copy). False for an empty pool, null cell or buffer, or a foreign cell.
    bool Get(const YSTRTABCELL* cell, char* buffer) const;
    bool Get(const YSTRTABCELL* cell, char* buffer, std::size_t capacity) const;
    bool Get(const YSTRTABCELL* cell, char* buffer, std::size_t capacity,
             std::size_t& length) const;

    // Length of the stored string; 0 for a cell this pool refuses.
    std::size_t Length(const YSTRTABCELL* cell) const;
    // True when the stored string is exactly the given bytes.
    bool Equals(const YSTRTABCELL* cell, const char* text, std::size_t length) const;
    // As Equals for a cell known to start a live string of this pool (not checked): the
    // lookup path of the hashed list, which keeps its own cells.
    bool SameText(const YSTRTABCELL* cell, const char* text, std::size_t length) const;

    // Frees every cell of the string beginning at `cell`; false when refused.
    bool Delete(YSTRTABCELL* cell);
    // Releases every block; all strings and records handed out become invalid.
    bool DeleteAll();

    std::int32_t MemBlockCount() const { return m_memBlockCount; }
    std::int32_t StrCount() const { return m_strCount; }
    std::int32_t FreeMemBlockCount() const { return m_freeMemBlockCount; }
    std::uint32_t FreeCellCount() const { return m_freeCellCount; }

    // Inspection of the block lists, for diagnostics and tests.
    const YSTRTABMEMBLOCK* MemBlockList() const { return blockAt(m_memBlockList); }
    const YSTRTABMEMBLOCK* FreeMemBlockList() const { return blockAt(m_freeMemBlockList); }
    const YSTRTABMEMBLOCK* NextBlock(const YSTRTABMEMBLOCK* block) const;
    const YSTRTABMEMBLOCK* NextFreeBlock(const YSTRTABMEMBLOCK* block) const;
    // The next cell of a string, or null after its last cell.
    const YSTRTABCELL* NextCell(const YSTRTABCELL* cell) const;
    static const YSTRTABMEMBLOCK* BlockOf(const void* cell);

private:
    YSTRTABMEMBLOCK* AllocateMemBlock();
    bool FreeMemBlock(YSTRTABMEMBLOCK* block);

    YSTRTABMEMBLOCK* blockAt(std::uint32_t link) const;
    YSTRTABCELL* cellAt(std::uint32_t handle) const;
    bool owns(const void* cell) const;
    std::uint32_t handleOf(const YSTRTABCELL* cell) const;
    YSTRTABCELL* takeCell();
    void reserveCells(std::size_t cells);
    bool releaseChain(YSTRTABCELL* cell);

    std::int32_t m_memBlockCount = 0;
    std::uint32_t m_memBlockList = 0; // slot + 1 of the head block, 0 = none
    std::int32_t m_strCount = 0;
    std::uint32_t m_freeMemBlockList = 0;
    std::int32_t m_freeMemBlockCount = 0;
    std::uint32_t m_freeCellCount = 0;

    const std::uint32_t m_id;               // what the blocks' Owner field holds
    std::vector<YSTRTABMEMBLOCK*> m_slots;  // block by slot; null for a free slot
    std::vector<std::uint32_t> m_freeSlots; // free slot numbers, reused first
};

inline const YSTRTABMEMBLOCK* TYStrTab::BlockOf(const void* cell) {
    const auto address = reinterpret_cast<std::uintptr_t>(cell);
    return reinterpret_cast<const YSTRTABMEMBLOCK*>(address & ~std::uintptr_t(kBlockSize - 1));
}

inline bool TYStrTab::SameText(const YSTRTABCELL* cell, const char* text,
                               std::size_t length) const {
    if (length <= kCellChars) // one cell: no walk
        return cell->Next == 0 && cell->Len == length && std::memcmp(cell->Data, text, length) == 0;
    return Equals(cell, text, length);
}

inline YSTRTABMEMBLOCK* TYStrTab::blockAt(std::uint32_t link) const {
    if (link == 0 || link > m_slots.size())
        return nullptr;
    return m_slots[link - 1];
}

} // namespace YVclUtil
