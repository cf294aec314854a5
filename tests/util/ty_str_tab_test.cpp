#include "util/ty_str_tab.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace YVclUtil;

namespace {

std::vector<const YSTRTABCELL*> chainOf(const TYStrTab& tab, const YSTRTABCELL* cell) {
    std::vector<const YSTRTABCELL*> cells;
    for (; cell; cell = tab.NextCell(cell))
        cells.push_back(cell);
    return cells;
}

std::string read(const TYStrTab& tab, const YSTRTABCELL* cell) {
    std::string buffer(tab.Length(cell) + 1, '\0');
    std::size_t length = 0;
    if (!tab.Get(cell, buffer.data(), buffer.size(), length))
        return "<refused>";
    return buffer.substr(0, length);
}

// Every cell is either free or in use, and every held block has 255 cells.
void expectConsistent(const TYStrTab& tab, std::size_t cellsInUse) {
    EXPECT_EQ(tab.FreeCellCount() + cellsInUse, 255u * std::uint32_t(tab.MemBlockCount()));
    int blocks = 0, freeBlocks = 0;
    std::uint32_t freeCells = 0;
    for (auto* b = tab.MemBlockList(); b; b = tab.NextBlock(b))
        ++blocks;
    for (auto* b = tab.FreeMemBlockList(); b; b = tab.NextFreeBlock(b)) {
        ++freeBlocks;
        EXPECT_GT(b->FreeCellCount, 0u);
        EXPECT_LT(b->FreeCellCount, 255u) << "an empty block must have been given back";
        freeCells += b->FreeCellCount;
    }
    EXPECT_EQ(blocks, tab.MemBlockCount());
    EXPECT_EQ(freeBlocks, tab.FreeMemBlockCount());
    EXPECT_EQ(freeCells, tab.FreeCellCount());
}

} // namespace

TEST(StrTabCells, StringTakesOneCellPer27Characters) {
    struct Case {
        std::size_t length, cells, lastLen;
    };
    for (Case c : {Case{1, 1, 1}, Case{27, 1, 27}, Case{28, 2, 1}, Case{54, 2, 27}, Case{55, 3, 1},
                   Case{256, 10, 13}}) {
        TYStrTab tab;
        std::string text;
        for (std::size_t i = 0; i < c.length; ++i)
            text += char('A' + i % 26);
        const YSTRTABCELL* cell = tab.Add(text.c_str());
        ASSERT_NE(cell, nullptr) << c.length;
        const auto cells = chainOf(tab, cell);
        EXPECT_EQ(cells.size(), c.cells) << c.length;
        EXPECT_EQ(cells.back()->Len, c.lastLen) << c.length;
        for (std::size_t i = 0; i + 1 < cells.size(); ++i)
            EXPECT_EQ(cells[i]->Len, 27) << "every cell but the last is full";
        EXPECT_EQ(tab.FreeCellCount(), 255u - c.cells);
        EXPECT_EQ(read(tab, cell), text);
    }
}

TEST(StrTabBlocks, FreshBlockGoesToTheTailAndAStringMaySpanBlocks) {
    TYStrTab tab;
    for (int i = 0; i < 253; ++i)
        tab.Add("s");
    const YSTRTABMEMBLOCK* first = tab.MemBlockList();
    ASSERT_EQ(tab.FreeCellCount(), 2u);
    // Five cells with two free: one more block, appended behind the first.
    YSTRTABCELL* cell = tab.Add(std::string(135, 'L').c_str());
    ASSERT_NE(cell, nullptr);
    const auto cells = chainOf(tab, cell);
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(TYStrTab::BlockOf(cells[0]), first);
    EXPECT_EQ(TYStrTab::BlockOf(cells[1]), first);
    for (std::size_t i = 2; i < 5; ++i)
        EXPECT_NE(TYStrTab::BlockOf(cells[i]), first);
    EXPECT_EQ(tab.MemBlockCount(), 2);
    EXPECT_EQ(tab.MemBlockList(), TYStrTab::BlockOf(cells[2])) << "new blocks head the list";
    EXPECT_EQ(read(tab, cell), std::string(135, 'L'));
    expectConsistent(tab, 258);
}

TEST(StrTabGet, CapacityMustLeaveRoomForTheTerminator) {
    TYStrTab tab;
    const std::string text256(256, 'k');
    const YSTRTABCELL* cell = tab.Add(text256.c_str());
    char buffer[300];
    std::size_t length = 0;
    EXPECT_TRUE(tab.Get(cell, buffer, 264, length));
    EXPECT_EQ(length, 256u);
    EXPECT_EQ(std::string(buffer), text256);
    EXPECT_FALSE(tab.Get(cell, buffer, 256)) << "exactly C characters with capacity C";
    EXPECT_TRUE(tab.Get(cell, buffer, 257));
    EXPECT_TRUE(tab.Get(cell, buffer, 0)) << "0 means unbounded";
    EXPECT_TRUE(tab.Get(cell, buffer));
    EXPECT_FALSE(tab.Get(cell, buffer, 27)) << "refused after the first cell";
    EXPECT_FALSE(tab.Get(cell, nullptr));
    EXPECT_FALSE(tab.Get(nullptr, buffer));

    const YSTRTABCELL* one = tab.Add("xyz");
    EXPECT_FALSE(tab.Get(one, buffer, 3));
    EXPECT_TRUE(tab.Get(one, buffer, 4));
    EXPECT_STREQ(buffer, "xyz");
}

