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
    EXPECT_EQ(messageOf([&] { node.pw_KbnNodeId(0x80); }),
              "Invalid value, the range must be 0x00~0x7F !!!");
    EXPECT_EQ(node.pr_KbnNodeFlags(), 0u) << "a refused write is no assignment";
    node.pw_KbnSegId(0x80);
    EXPECT_EQ(node.pr_KbnSegId(), 0x80);
    node.pw_KbnSegId(0x12);
    node.pw_KbnNodeId(0x7F);
    for (int seg : {0x81, 0xFF})
        EXPECT_EQ(messageOf([&] { node.pw_KbnSegId(std::uint8_t(seg)); }),
                  "Invalid value, the range must be 0x00~0x80 !!!");
    EXPECT_EQ(messageOf([&] { node.pw_KbnNodeId(0x80); }),
              "Invalid value, the range must be 0x00~0x7F !!!");
    EXPECT_EQ(node.pr_KbnSegId(), 0x12);
    EXPECT_EQ(node.pr_KbnNodeId(), 0x7F);
    EXPECT_EQ(node.pr_KbnNodeFlags(), TKBNet_Node::kFlagKbnSegId | TKBNet_Node::kFlagKbnNodeId);
}

TEST(KbnNodeConstruction, WithTopologyRegistersAsConstructed) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o module(nullptr, kci_Prm4i4o, 0x03, 0x21, &net);
    EXPECT_EQ(module.pr_BindTo(), &net);
    const TopologyEntry* entry = net.pr_TopologyEntry(0x03, 0x21);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Component, &module);
    EXPECT_EQ(entry->ClsId, 0x80u);
    EXPECT_EQ(entry->Flags, static_cast<std::uint32_t>(krk_Constructed));
    // No other segment got a table.
    EXPECT_EQ(net.pr_TopologyEntry(0x80, 0x21), nullptr);
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

TEST(KbnNodeConstruction, AddressOutsideTheBusCannotRegister) {
    FakeKbnAdapter net(nullptr);
    EXPECT_EQ(messageOf([&] { TPrm4i4o m(nullptr, kci_Prm4i4o, 0x81, 0x00, &net); }),
              "\nThe address of node is not belong to the topologic of KBNet !!!\n");
    EXPECT_EQ(messageOf([&] { TPrm4i4o m(nullptr, kci_Prm4i4o, 0x00, 0x80, &net); }),
              "\nThe address of node is not belong to the topologic of KBNet !!!\n");
    EXPECT_EQ(net.pr_TopologyEntry(0x00, 0x00), nullptr);
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

    // All three assigned, but bound to nothing: registers nowhere, and does not fail.
    TPrm4i4o loose(nullptr);
    EXPECT_NO_THROW(YVclCtrl::AssembleComponent(&loose, [&](TPrm4i4o& m) {
        m.pw_KbnSegId(0x10);
        m.pw_KbnNodeId(0x13);
        m.pw_BindTo(nullptr);
    }));
    EXPECT_EQ(loose.pr_KbnNodeFlags(), 7u);
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

TEST(KbnNodeReplies, UnknownCommandGoesToTheUnfilteredEventWithThePacket) {
    TPrm4i4o module(nullptr);
    std::vector<std::uint8_t> got;
    TKBNet* sender = nullptr;
    module.OnUnfilteredRxdKbnPacket = [&](TKBNet* s, const TKbnRxdPacket& p) {
        sender = s;
        got.assign(p.Datas, p.Datas + p.BytesOfDatas);
    };
    module.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x00, 3, 0x77, 1, 2}));
    EXPECT_EQ(sender, &module);
    EXPECT_EQ(got, (std::vector<std::uint8_t>{0x77, 1, 2}));
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

TEST(KbnCopyingConstruction, CopiesEventsRepliesAndBindingThenTakesTheNewAddress) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o tmpl(nullptr);
    std::vector<KbnEventSeen> inputs;
    tmpl.OnInputChanged = RecordInto(inputs);
    tmpl.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x00, 2, 0x13, 0x07}));
    tmpl.pw_BindTo(&net);
    tmpl.pw_Yout(0x09);
    net.sent.clear();

    TPrm4i4o copy(nullptr, kci_Prm4i4o, 0x04, 0x06, &tmpl);
    EXPECT_EQ(copy.pr_KbnSegId(), 0x04);
    EXPECT_EQ(copy.pr_KbnNodeId(), 0x06);
    EXPECT_EQ(copy.pr_KbnProtocolVersion(), 0x07);
    EXPECT_EQ(copy.pr_Yout(), 0x09);
    EXPECT_EQ(copy.pr_BindTo(), &net);
    EXPECT_EQ(copy.pr_KbnNodeFlags(), TKBNet_Node::kFlagBindTo);
    EXPECT_TRUE(net.sent.empty()) << "copying the outputs must not send them";
    // Not registered: only the topology constructors and Loaded register.
    EXPECT_EQ(net.pr_TopologyEntry(0x04, 0x06), nullptr);

    copy.FilteringReceivedKbnPacket(RxdPacket({0x04, 0x06, 2, 0x81, 0x01}));
    EXPECT_EQ(inputs, (std::vector<KbnEventSeen>{{&copy, 0x04, 0x06}}));
}

TEST(KbnCopyingConstruction, TemplateOfAnotherClassIsRefusedBeforeAnythingIsCopied) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o tmpl(nullptr);
    YVclCtrl::TComponent form(nullptr);
    const std::string expected = std::string("\nErr: ") + kKbnBig5_CopyClassDiffers + "\n";
    EXPECT_EQ(messageOf([&] { new TPrm4i4o(&form, static_cast<_EKbnClsId>(0x81), 1, 1, &tmpl); }),
              expected);
    EXPECT_EQ(
        messageOf([&] { new TPrm4i4o(&form, static_cast<_EKbnClsId>(0x81), 1, 1, &tmpl, &net); }),
        expected);
    EXPECT_EQ(messageOf([&] {
                  new TPrm4i4o(&form, kci_Prm4i4o, 1, 1, static_cast<const TKBNet*>(nullptr));
              }),
              "\nErr: No template component for the copying construction !!!\n");
    EXPECT_EQ(form.ComponentCount(), 0);
    EXPECT_EQ(net.pr_TopologyEntry(1, 1), nullptr);
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
