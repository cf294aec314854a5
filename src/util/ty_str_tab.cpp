#include "util/ty_str_tab.h"

#include "util/eygeneral.h"
#include "util/standalone_function.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

// The cell walk is the pool's hot path: keep its helpers out of call overhead.
#define LIFT_HOT [[gnu::always_inline]] inline

namespace YVclUtil {

namespace {

constexpr const char* kCaption = "TYStrTab";
// A handle is (slot << 8) | cell number, so 24 bits of slot: 2^24 blocks of 8 KiB.
constexpr std::size_t kMaxSlots = std::size_t(1) << 24;
// Strings longer than this are refused outright rather than exhausting memory.
constexpr std::size_t kMaxLength = std::size_t(1) << 30;
// Ends a block's free-cell list. Cell number 0 is no cell, yet the value is not 0: a live
// record's link is always 0, so a free cell's link never is, and free() can tell them apart.
constexpr std::uint32_t kNoFreeCell = 0xFFFFFF00;

std::uint32_t nextPoolId() {
    static std::atomic<std::uint32_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

char* bytesOf(YSTRTABMEMBLOCK* block) {
    return reinterpret_cast<char*>(block);
}

[[noreturn]] void blockFailure(const char* text) {
    ShowErrMsgBox_Printf(kCaption, "%s", text);
    throw EYGeneral("Err: TYStrTab::AllocateMemBlock() !!!");
}

} // namespace

TYStrTab::TYStrTab() : m_id(nextPoolId()) {}

TYStrTab::~TYStrTab() {
    DeleteAll();
}

LIFT_HOT YSTRTABCELL* TYStrTab::cellAt(std::uint32_t handle) const {
    const std::uint32_t number = handle & 0xFF;
    const std::uint32_t slot = handle >> 8;
    if (number == 0 || slot >= m_slots.size() || !m_slots[slot])
        return nullptr;
    return reinterpret_cast<YSTRTABCELL*>(bytesOf(m_slots[slot]) + number * kCellSize);
}

LIFT_HOT std::uint32_t TYStrTab::handleOf(const YSTRTABCELL* cell) const {
    const YSTRTABMEMBLOCK* block = BlockOf(cell);
    const auto offset = reinterpret_cast<const char*>(cell) - reinterpret_cast<const char*>(block);
    return (block->Slot << 8) | static_cast<std::uint32_t>(offset / kCellSize);
}

LIFT_HOT bool TYStrTab::owns(const void* cell) const {
    if (!cell)
        return false;
    const YSTRTABMEMBLOCK* block = BlockOf(cell);
    const auto offset = reinterpret_cast<const char*>(cell) - reinterpret_cast<const char*>(block);
    if (offset < std::ptrdiff_t(kCellSize) || offset % kCellSize != 0)
        return false;
    return block->Owner == m_id && block->Slot < m_slots.size() && m_slots[block->Slot] == block;
}

YSTRTABMEMBLOCK* TYStrTab::AllocateMemBlock() {
    // Book-keeping space first, so nothing can fail once the block is linked in.
    std::uint32_t slot = 0;
    bool reuse = !m_freeSlots.empty();
    try {
        if (reuse) {
            slot = m_freeSlots.back();
        } else {
            if (m_slots.size() >= kMaxSlots)
                blockFailure("Err: Can not allocate memory for TYStrTab !!!");
            slot = static_cast<std::uint32_t>(m_slots.size());
            m_slots.reserve(m_slots.size() + 1);
            m_freeSlots.reserve(m_slots.size() + 1);
        }
    } catch (const std::bad_alloc&) {
        blockFailure("Err: Can not allocate memory for TYStrTab !!!");
    }

    void* memory = YAllocVirtualMem(kBlockSize);
    if (!memory)
        blockFailure("Err: Can not allocate memory for TYStrTab !!!");
    // Cells find their block by masking the low 13 bits, so 8192 is what must hold.
    if (reinterpret_cast<std::uintptr_t>(memory) % kBlockSize != 0) {
        YFreeVirtualMem(memory);
        blockFailure("Err: The alignment of allocate memory for TYStrTab is not 4KB !!!");
    }
    if (reuse) {
        m_freeSlots.pop_back();
        m_slots[slot] = static_cast<YSTRTABMEMBLOCK*>(memory);
    } else {
        m_slots.push_back(static_cast<YSTRTABMEMBLOCK*>(memory));
    }

    std::memset(memory, 0, kBlockSize);
    auto* block = static_cast<YSTRTABMEMBLOCK*>(memory);
    block->Owner = m_id;
    block->Slot = slot;
    block->FreeCellCount = kCellsPerBlock;
    block->FreeCellList = (slot << 8) | 1;
    for (std::uint32_t i = 1; i <= kCellsPerBlock; ++i) {
        auto* cell = reinterpret_cast<YSTRTABCELL*>(bytesOf(block) + i * kCellSize);
        cell->Next = i < kCellsPerBlock ? ((slot << 8) | (i + 1)) : kNoFreeCell;
    }

    const std::uint32_t link = slot + 1;
    block->Next = m_memBlockList;
    if (YSTRTABMEMBLOCK* head = blockAt(m_memBlockList))
        head->Prev = link;
    m_memBlockList = link;

    if (m_freeMemBlockList == 0) {
        m_freeMemBlockList = link;
    } else {
        YSTRTABMEMBLOCK* tail = blockAt(m_freeMemBlockList);
        while (tail->FreeNext != 0)
            tail = blockAt(tail->FreeNext);
        tail->FreeNext = link;
        block->FreePrev = tail->Slot + 1;
    }

    ++m_memBlockCount;
    ++m_freeMemBlockCount;
    m_freeCellCount += kCellsPerBlock;
    return block;
}

bool TYStrTab::FreeMemBlock(YSTRTABMEMBLOCK* block) {
    if (!block || block->Owner != m_id || block->FreeCellCount != kCellsPerBlock)
        return false;
    if (YSTRTABMEMBLOCK* prev = blockAt(block->Prev))
        prev->Next = block->Next;
    else
        m_memBlockList = block->Next;
    if (YSTRTABMEMBLOCK* next = blockAt(block->Next))
        next->Prev = block->Prev;

    if (YSTRTABMEMBLOCK* prev = blockAt(block->FreePrev))
        prev->FreeNext = block->FreeNext;
    else
        m_freeMemBlockList = block->FreeNext;
    if (YSTRTABMEMBLOCK* next = blockAt(block->FreeNext))
        next->FreePrev = block->FreePrev;

    --m_memBlockCount;
    --m_freeMemBlockCount;
    m_freeCellCount -= kCellsPerBlock;
    m_slots[block->Slot] = nullptr;
    m_freeSlots.push_back(block->Slot); // capacity reserved when the slot was made
    block->Owner = 0;
    YFreeVirtualMem(block);
    return true;
}

void TYStrTab::reserveCells(std::size_t cells) {
    if (m_freeCellCount >= cells)
        return;
    const std::size_t missing = cells - m_freeCellCount;
    const std::size_t blocks = (missing + kCellsPerBlock - 1) / kCellsPerBlock;
    // A long string may need several blocks; if one of them cannot be had, give back the
    // ones obtained for it so the pool is as it was.
    std::vector<YSTRTABMEMBLOCK*> obtained;
    try {
        obtained.reserve(blocks);
    } catch (const std::bad_alloc&) {
        blockFailure("Err: Can not allocate memory for TYStrTab !!!");
    }
    try {
        for (std::size_t i = 0; i < blocks; ++i)
            obtained.push_back(AllocateMemBlock());
    } catch (...) {
        for (YSTRTABMEMBLOCK* block : obtained)
            FreeMemBlock(block);
        throw;
    }
}

LIFT_HOT YSTRTABCELL* TYStrTab::takeCell() {
    YSTRTABMEMBLOCK* block = blockAt(m_freeMemBlockList);
    YSTRTABCELL* cell = cellAt(block->FreeCellList);
    block->FreeCellList = cell->Next;
    --block->FreeCellCount;
    --m_freeCellCount;
    if (block->FreeCellCount == 0) {
        m_freeMemBlockList = block->FreeNext;
        if (YSTRTABMEMBLOCK* next = blockAt(block->FreeNext))
            next->FreePrev = 0;
        block->FreePrev = 0;
        block->FreeNext = 0;
        --m_freeMemBlockCount;
    }
    return cell;
}

YSTRTABCELL* TYStrTab::Add(const char* text) {
    if (!text || !*text)
        return nullptr;
    return Add(text, std::strlen(text));
}

YSTRTABCELL* TYStrTab::Add(const char* text, std::size_t length) {
    if (!text || length == 0 || length > kMaxLength)
        return nullptr;
    const std::size_t cells = (length + kCellChars - 1) / kCellChars;
    reserveCells(cells);
    ++m_strCount;
    YSTRTABCELL* first = nullptr;
    YSTRTABCELL* previous = nullptr;
    std::size_t done = 0;
    while (done < length) {
        YSTRTABCELL* cell = takeCell();
        if (previous)
            previous->Next = handleOf(cell);
        else
            first = cell;
        const std::size_t n = std::min<std::size_t>(kCellChars, length - done);
        std::memcpy(cell->Data, text + done, n);
        cell->Len = static_cast<std::uint8_t>(n);
        cell->Next = 0;
        done += n;
        previous = cell;
    }
    return first;
}

void* TYStrTab::malloc(std::size_t size) {
    if (size == 0 || size > kRecordSize)
        return nullptr;
    reserveCells(1);
    ++m_strCount;
    YSTRTABCELL* cell = takeCell();
    std::memset(cell, 0, kCellSize);
    return reinterpret_cast<char*>(cell) + 4;
}

bool TYStrTab::free(void* record) {
    if (!record)
        return false;
    auto* cell = reinterpret_cast<YSTRTABCELL*>(static_cast<char*>(record) - 4);
    // A freed record's link points along the free list; freeing it again would put it there
    // twice and later release a block that still holds live strings.
    if (m_strCount == 0 || !owns(cell) || cell->Next != 0)
        return false;
    return releaseChain(cell);
}

bool TYStrTab::Get(const YSTRTABCELL* cell, char* buffer) const {
    std::size_t length = 0;
    return Get(cell, buffer, 0, length);
}

bool TYStrTab::Get(const YSTRTABCELL* cell, char* buffer, std::size_t capacity) const {
    std::size_t length = 0;
    return Get(cell, buffer, capacity, length);
}

bool TYStrTab::Get(const YSTRTABCELL* cell, char* buffer, std::size_t capacity,
                   std::size_t& length) const {
    if (m_strCount == 0 || !buffer || !owns(cell))
        return false;
    std::size_t total = 0;
    for (; cell; cell = cellAt(cell->Next)) {
        if (cell->Len == 0 || cell->Len > kCellChars)
            return false; // a free cell or a record: not a string
        total += cell->Len;
        if (capacity != 0 && total >= capacity)
            return false;
        std::memcpy(buffer + total - cell->Len, cell->Data, cell->Len);
    }
    buffer[total] = '\0';
    length = total;
    return true;
}

std::size_t TYStrTab::Length(const YSTRTABCELL* cell) const {
    if (m_strCount == 0 || !owns(cell))
        return 0;
    std::size_t total = 0;
    for (; cell; cell = cellAt(cell->Next))
        total += cell->Len;
    return total;
}

bool TYStrTab::Equals(const YSTRTABCELL* cell, const char* text, std::size_t length) const {
    if (m_strCount == 0 || !owns(cell) || (!text && length != 0))
        return false;
    std::size_t done = 0;
    for (; cell; cell = cellAt(cell->Next)) {
        // A null text has length 0, so the length test returns before memcmp sees it.
        // NOLINTNEXTLINE(clang-analyzer-core.NonNullParamChecker)
        if (cell->Len > length - done || std::memcmp(cell->Data, text + done, cell->Len) != 0)
            return false;
        done += cell->Len;
    }
    return done == length;
}

bool TYStrTab::Delete(YSTRTABCELL* cell) {
    // A free cell has Len 0; deleting it again would corrupt the free list.
    if (m_strCount == 0 || !owns(cell) || cell->Len == 0)
        return false;
    return releaseChain(cell);
}

bool TYStrTab::releaseChain(YSTRTABCELL* cell) {
    while (cell) {
        const std::uint32_t next = cell->Next;
        YSTRTABMEMBLOCK* block = const_cast<YSTRTABMEMBLOCK*>(BlockOf(cell));
        cell->Len = 0;
        cell->Next = block->FreeCellList;
        block->FreeCellList = handleOf(cell);
        ++block->FreeCellCount;
        ++m_freeCellCount;
        if (block->FreeCellCount == 1) {
            // It was full: back into the free-block list, at its head.
            ++m_freeMemBlockCount;
            const std::uint32_t link = block->Slot + 1;
            block->FreePrev = 0;
            block->FreeNext = m_freeMemBlockList;
            if (YSTRTABMEMBLOCK* head = blockAt(m_freeMemBlockList))
                head->FreePrev = link;
            m_freeMemBlockList = link;
        } else if (block->FreeCellCount == kCellsPerBlock) {
            FreeMemBlock(block);
        }
        cell = cellAt(next);
    }
    --m_strCount;
    return true;
}

bool TYStrTab::DeleteAll() {
    for (YSTRTABMEMBLOCK* block : m_slots) {
        if (block) {
            block->Owner = 0;
            YFreeVirtualMem(block);
        }
    }
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_freeSlots.clear();
    m_freeSlots.shrink_to_fit();
    m_memBlockCount = 0;
    m_memBlockList = 0;
    m_strCount = 0;
    m_freeMemBlockList = 0;
    m_freeMemBlockCount = 0;
    m_freeCellCount = 0;
    return true;
}

const YSTRTABMEMBLOCK* TYStrTab::NextBlock(const YSTRTABMEMBLOCK* block) const {
    return block ? blockAt(block->Next) : nullptr;
}

const YSTRTABMEMBLOCK* TYStrTab::NextFreeBlock(const YSTRTABMEMBLOCK* block) const {
    return block ? blockAt(block->FreeNext) : nullptr;
}

const YSTRTABCELL* TYStrTab::NextCell(const YSTRTABCELL* cell) const {
    return owns(cell) ? cellAt(cell->Next) : nullptr;
}

} // namespace YVclUtil
