#include "fake_kbn_adapter.h"

#include "fieldbus/kbnet_messages.h"
#include "fieldbus/prm4i4o.h"
#include "util/component.h"
#include "util/eygeneral.h"

#include <gtest/gtest.h>

#include <string>

using namespace ZebCtrl;
using Lift::Test::FakeKbnAdapter;
using Lift::Test::KbnBytes;
using Lift::Test::KbnEventSeen;
using Lift::Test::RecordInto;
using Lift::Test::RxdPacket;
using YVclUtil::EYGeneral;

namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EYGeneral& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

} // namespace

TEST(KbnNodeAddress, SegmentUpTo0x80AndNodeUpTo0x7FRefusingTheRestUnchanged) {
    TPrm4i4o node(nullptr);
    node.pw_KbnSegId(0x80);
    node.pw_KbnNodeId(0x7F);
    EXPECT_EQ(messageOf([&] { node.pw_KbnSegId(0x81); }),
              "Invalid value, the range must be 0x00~0x80 !!!");
    EXPECT_EQ(messageOf([&] { node.pw_KbnNodeId(0x80); }),
              "Invalid value, the range must be 0x00~0x7F !!!");
    EXPECT_EQ(node.pr_KbnSegId(), 0x80);
    EXPECT_EQ(node.pr_KbnNodeId(), 0x7F);
    EXPECT_EQ(node.pr_KbnNodeFlags(), TKBNet_Node::kFlagKbnSegId | TKBNet_Node::kFlagKbnNodeId);
}

TEST(KbnNodeConstruction, SecondNodeAtATakenAddressIsRefusedAndLeavesNoTrace) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o first(nullptr, kci_Prm4i4o, 0x80, 0x05, &net);
    YVclCtrl::TComponent form(nullptr);
    EXPECT_EQ(messageOf([&] { new TPrm4i4o(&form, kci_Prm4i4o, 0x80, 0x05, &net); }),
              "\nErr: Duplicated KBNet Address !!!\nKbnSegId  = 0x80\nKbnNodeId = 0x05\n");
    EXPECT_EQ(form.ComponentCount(), 0);
    EXPECT_EQ(net.pr_TopologyEntry(0x80, 0x05)->Component, &first);
}

TEST(KbnNodeLoaded, RegistersOnlyWhenAllThreePropertiesWereAssigned) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o complete(nullptr);
    YVclCtrl::AssembleComponent(&complete, [&](TPrm4i4o& m) {
        m.pw_KbnSegId(0x10);
        m.pw_KbnNodeId(0x11);
        m.pw_BindTo(&net);
    });
    const TopologyEntry* entry = net.pr_TopologyEntry(0x10, 0x11);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Component, &complete);
    EXPECT_EQ(entry->Flags, static_cast<std::uint32_t>(krk_FormLoaded));

    // The address left at its construction value was never assigned: no registration.
    TPrm4i4o partial(nullptr);
    YVclCtrl::AssembleComponent(&partial, [&](TPrm4i4o& m) {
        m.pw_KbnNodeId(0x12);
        m.pw_BindTo(&net);
    });
    EXPECT_EQ(net.pr_TopologyEntry(0x80, 0x12), nullptr);
    EXPECT_EQ(partial.pr_KbnNodeFlags(), 5u);
}

TEST(KbnNodeRequests, QueriesAndResetCarryTheNodesAddressAndNeedABinding) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o module(nullptr, kci_Prm4i4o, 0x02, 0x40, &net);
    TPrm4i4o loose(nullptr); // not bound: sends nowhere
    loose.QueryKbnClsId();
    loose.pw_Yout(3);
    loose.RequestToReset();
    module.QueryKbnProtocolVersion();
    module.QueryKbnClsId();
    module.QueryKbnCustomerId();
    module.RequestToReset();
    EXPECT_EQ(net.sent, (std::vector<KbnBytes>{{0x02, 0x40, 1, 0x03},
                                               {0x02, 0x40, 1, 0x04},
                                               {0x02, 0x40, 1, 0x05},
                                               {0x02, 0x40, 1, 0x0F}}));
}

TEST(KbnNodeReplies, EachReplyStoresItsValueAndRaisesItsEvent) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o module(nullptr, kci_Prm4i4o, 0x80, 0x05, &net);
    std::vector<KbnEventSeen> version, clsId, customer, reset, unreachable;
    module.OnGotKbnProtocolVersion = RecordInto(version);
    module.OnGotKbnClsId = RecordInto(clsId);
    module.OnGotKbnCustomerId = RecordInto(customer);
    module.OnSuccessfulReset = RecordInto(reset);
    module.OnPacketUnreachable = RecordInto(unreachable);

    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 2, 0x13, 0x02}));
    // Events carry the component's address, not the packet's.
    module.FilteringReceivedKbnPacket(RxdPacket({0x33, 0x44, 2, 0x14, 0x80}));
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 2, 0x15, 0x66}));
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 1, 0x1F}));
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 4, 0x21, 0x0A, 0x0B, 0x0C}));

    const KbnEventSeen self{&module, 0x80, 0x05};
    EXPECT_EQ(version, std::vector<KbnEventSeen>{self});
    EXPECT_EQ(clsId, std::vector<KbnEventSeen>{self});
    EXPECT_EQ(customer, std::vector<KbnEventSeen>{self});
    EXPECT_EQ(reset, std::vector<KbnEventSeen>{self});
    EXPECT_EQ(unreachable, std::vector<KbnEventSeen>{self});
    EXPECT_EQ(module.pr_KbnProtocolVersion(), 0x02);
    EXPECT_EQ(module.pr_ReportedKbnClsId(), 0x80);
    EXPECT_EQ(module.pr_KbnCustomerId(), 0x66);
    EXPECT_EQ(module.pr_PacketUnreachableReport(), (std::array<std::uint8_t, 3>{0x0A, 0x0B, 0x0C}));
}

TEST(KbnNodeReplies, HandlerMayReplaceItsOwnEvent) {
    TPrm4i4o module(nullptr);
    int calls = 0;
    module.OnSuccessfulReset = [&](TKBNet*, std::uint8_t, std::uint8_t) {
        ++calls;
        module.OnSuccessfulReset = nullptr;
    };
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x00, 1, 0x1F}));
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x00, 1, 0x1F}));
    EXPECT_EQ(calls, 1);
}

TEST(KbnNodeLifetime, DestroyedNodeLeavesTheTable) {
    FakeKbnAdapter net(nullptr);
    std::vector<KbnEventSeen> unhandled;
    net.OnUnhandledGotKbnClsId = RecordInto(unhandled);
    { TPrm4i4o module(nullptr, kci_Prm4i4o, 0x80, 0x05, &net); }
    EXPECT_EQ(net.pr_TopologyEntry(0x80, 0x05)->Component, nullptr);
    net.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 2, 0x14, 0x80}));
    EXPECT_EQ(unhandled.size(), 1u);
    // The address is free again.
    EXPECT_NO_THROW(TPrm4i4o(nullptr, kci_Prm4i4o, 0x80, 0x05, &net));
}

TEST(KbnNodeLifetime, DestroyedTopologyUnbindsItsNodes) {
    auto net = std::make_unique<FakeKbnAdapter>(nullptr);
    TPrm4i4o registered(nullptr, kci_Prm4i4o, 0x80, 0x05, net.get());
    TPrm4i4o boundOnly(nullptr);
    boundOnly.pw_BindTo(net.get());
    net.reset();
    EXPECT_EQ(registered.pr_BindTo(), nullptr);
    EXPECT_EQ(boundOnly.pr_BindTo(), nullptr);
    registered.pw_Yout(1); // would reach a dead adapter if still bound
    boundOnly.QueryKbnClsId();
}
