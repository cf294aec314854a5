#include "util/standalone_function.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

using namespace YVclUtil;

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
