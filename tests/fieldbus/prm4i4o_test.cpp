#include "fake_kbn_adapter.h"

#include "fieldbus/prm4i4o.h"

#include <gtest/gtest.h>

using namespace ZebCtrl;
using Lift::Test::FakeKbnAdapter;
using Lift::Test::KbnBytes;
using Lift::Test::KbnEventSeen;
using Lift::Test::RecordInto;
using Lift::Test::RxdPacket;

namespace {

class Prm4i4oTest : public ::testing::Test {
protected:
    FakeKbnAdapter net{nullptr};
    TPrm4i4o module{nullptr, kci_Prm4i4o, 0x80, 0x05, &net};
};

} // namespace

TEST_F(Prm4i4oTest, InputReportUpdatesBitsAndKeepsThePreviousByte) {
    std::vector<KbnEventSeen> changed;
    module.OnInputChanged = RecordInto(changed);
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 2, 0x81, 0x05}));
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 2, 0x81, 0x0A}));

    EXPECT_EQ(module.pr_Xin(), 0x0A);
    EXPECT_EQ(module.pr_Old_Xin(), 0x05);
    const bool now[4] = {false, true, false, true};
    const bool before[4] = {true, false, true, false};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(module.pr_BitOfX(i), now[i]) << "BitOfX " << i;
        EXPECT_EQ(module.pr_Old_BitOfX(i), before[i]) << "Old_BitOfX " << i;
    }
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 2, 0x81, 0xFF}));
    for (int i : {-1, 4, 7, 8}) {
        EXPECT_FALSE(module.pr_BitOfX(i)) << i;
        EXPECT_FALSE(module.pr_Old_BitOfX(i)) << i;
    }
    EXPECT_EQ(changed.size(), 3u);
    EXPECT_EQ(changed[0], (KbnEventSeen{&module, 0x80, 0x05}));
    EXPECT_TRUE(net.sent.empty());
}

TEST_F(Prm4i4oTest, OutputWritesSendTheWholeByte) {
    module.pw_Yout(0x01);
    module.pw_BitOfY(2, true);
    EXPECT_EQ(module.pr_Yout(), 0x05);
    EXPECT_TRUE(module.pr_BitOfY(2));
    EXPECT_FALSE(module.pr_BitOfY(1));
    module.pw_BitOfY(0, false);
    module.pw_BitOfY(0, false); // unchanged, still sent
    EXPECT_EQ(net.sent, (std::vector<KbnBytes>{{0x80, 0x05, 2, 0x84, 0x01},
                                               {0x80, 0x05, 2, 0x84, 0x05},
                                               {0x80, 0x05, 2, 0x84, 0x04},
                                               {0x80, 0x05, 2, 0x84, 0x04}}));

    // Bits outside the four outputs do nothing.
    module.pw_Yout(0xF1);
    net.sent.clear();
    for (int bit : {4, -1, 7})
        module.pw_BitOfY(bit, bit != 7);
    EXPECT_TRUE(net.sent.empty());
    EXPECT_EQ(module.pr_Yout(), 0xF1);
    EXPECT_FALSE(module.pr_BitOfY(4));
    EXPECT_FALSE(module.pr_BitOfY(7));
}

TEST_F(Prm4i4oTest, OutputsSetDuringResetAreSentAgainBeforeTheEvent) {
    module.pw_Yout(0x03);
    module.RequestToReset();
    module.pw_Yout(0x02);
    net.sent.clear();
    std::size_t sentWhenEventFired = 99;
    module.OnSuccessfulReset = [&](TKBNet*, std::uint8_t, std::uint8_t) {
        sentWhenEventFired = net.sent.size();
    };
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 1, 0x1F}));
    EXPECT_EQ(net.sent, (std::vector<KbnBytes>{{0x80, 0x05, 2, 0x84, 0x02}}));
    EXPECT_EQ(sentWhenEventFired, 1u);
}
