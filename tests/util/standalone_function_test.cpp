#include "support/error_box_recorder.h"
#include "util/component.h"
#include "util/eygeneral.h"
#include "util/standalone_function.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

using namespace YVclUtil;

TEST(ErrorBox, CaptionFromTextOrComponentName) {
    Lift::Test::ErrorBoxRecorder boxes;
    EXPECT_EQ(ShowErrMsgBox_Printf("TYStrTab", "Err: %s !!!", "x"), 10);

    YVclCtrl::TComponent named;
    named.SetName("PcUart1");
    ShowErrMsgBox_Printf(&named, "Err: %d", 5);
    YVclCtrl::TComponent unnamed;
    ShowErrMsgBox_Printf(&unnamed, "plain");

    ASSERT_EQ(boxes.count(), 3u);
    EXPECT_EQ(boxes.at(0).caption, "TYStrTab");
    EXPECT_EQ(boxes.at(0).text, "Err: x !!!");
    EXPECT_EQ(boxes.at(1).caption, "PcUart1");
    EXPECT_EQ(boxes.at(1).text, "Err: 5");
    EXPECT_EQ(boxes.at(2).caption, "");
}

TEST(VirtualMem, AlignedZeroFilledAndFreedOnceWithoutSize) {
    for (std::uint32_t size : {1u, 8192u, 8193u, 65536u}) {
        auto* p = static_cast<unsigned char*>(YAllocVirtualMem(size));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8192, 0u);
        bool allZero = true;
        for (std::uint32_t i = 0; i < size; ++i)
            allZero = allZero && p[i] == 0;
        EXPECT_TRUE(allZero) << size;
        std::memset(p, 0xAB, size);
        EXPECT_TRUE(YFreeVirtualMem(p));
        EXPECT_FALSE(YFreeVirtualMem(p)) << "freed twice";
    }
    EXPECT_EQ(YAllocVirtualMem(0), nullptr);
    EXPECT_FALSE(YFreeVirtualMem(nullptr));
    int notOurs = 0;
    EXPECT_FALSE(YFreeVirtualMem(&notOurs));
}
