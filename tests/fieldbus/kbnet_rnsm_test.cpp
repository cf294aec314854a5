#include "fake_kbn_adapter.h"

#include "fieldbus/prm4i4o.h"
#include "util/eygeneral.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZebCtrl;
using Lift::Test::FakeKbnAdapter;
using Lift::Test::KbnBytes;
using Lift::Test::KbnEventSeen;
using Lift::Test::RecordInto;
using Lift::Test::RxdPacket;
using YVclUtil::EYGeneral;

namespace {

std::string lookupError(FakeKbnAdapter& net, std::uint8_t seg, std::uint8_t node) {
    try {
        net.Prm4i4o(seg, node);
    } catch (const EYGeneral& e) {
        return e.Message();
    }
    return "(found)";
}

const char* const kNotInTopology =
    "\nThe address of node is not belong to the topologic of KBNet !!!\n";
const char* const kNotAModule = "\nThe address of node is not a TPrm4i4o component !!!\n";

// A node that claims the module's class id but is another kind of node.
class Impostor : public TKBNet_Node {
public:
    using TKBNet_Node::TKBNet_Node;

protected:
    void BeforeRunRequestToReset() override {}
};

} // namespace

TEST(KbnRnsmRouting, ReplyGoesToTheRegisteredModuleElseToTheManager) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o module(nullptr, kci_Prm4i4o, 0x80, 0x05, &net);
    std::vector<KbnEventSeen> moduleSeen, managerSeen;
    module.OnGotKbnProtocolVersion = RecordInto(moduleSeen);
    net.OnUnhandledGotKbnProtocolVersion = RecordInto(managerSeen);

    net.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x05, 2, 0x13, 0x02}));
    EXPECT_EQ(moduleSeen, (std::vector<KbnEventSeen>{{&module, 0x80, 0x05}}));
    EXPECT_EQ(module.pr_KbnProtocolVersion(), 0x02);
    EXPECT_TRUE(managerSeen.empty());
    EXPECT_EQ(net.pr_KbnProtocolVersion(), 0);

    // Same segment (it has a table), another node; then a segment without a table.
    net.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x06, 2, 0x13, 0x04}));
    net.FilteringReceivedKbnPacket(RxdPacket({0x11, 0x05, 2, 0x13, 0x03}));
    EXPECT_EQ(moduleSeen.size(), 1u);
    EXPECT_EQ(module.pr_KbnProtocolVersion(), 0x02);
    // The manager reports its own address, not the packet's.
    EXPECT_EQ(managerSeen, (std::vector<KbnEventSeen>{{&net, 0x80, 0x00}, {&net, 0x80, 0x00}}));
    EXPECT_EQ(net.pr_KbnProtocolVersion(), 0x03);
}

TEST(KbnRnsmRouting, EveryUnhandledEventIsTheManagersOwn) {
    FakeKbnAdapter net(nullptr);
    std::vector<KbnEventSeen> unreachable, reset, clsId, customer;
    std::vector<std::uint8_t> other;
    net.OnUnhandledPacketUnreachable = RecordInto(unreachable);
    net.OnUnhandledSuccessfulReset = RecordInto(reset);
    net.OnUnhandledGotKbnClsId = RecordInto(clsId);
    net.OnUnhandledGotKbnCustomerId = RecordInto(customer);
    net.OnUnhandledRxdKbnPacket = [&](TKBNet*, const TKbnRxdPacket& p) {
        other.push_back(p.Datas[0]);
    };
    net.FilteringReceivedKbnPacket(RxdPacket({0x01, 0x01, 4, 0x21, 1, 2, 3}));
    net.FilteringReceivedKbnPacket(RxdPacket({0x01, 0x01, 1, 0x1F}));
    net.FilteringReceivedKbnPacket(RxdPacket({0x01, 0x01, 2, 0x14, 0x80}));
    net.FilteringReceivedKbnPacket(RxdPacket({0x01, 0x01, 2, 0x15, 0x01}));
    net.FilteringReceivedKbnPacket(RxdPacket({0x01, 0x01, 2, 0x81, 0x01}));
    EXPECT_EQ(unreachable.size(), 1u);
    EXPECT_EQ(reset.size(), 1u);
    EXPECT_EQ(clsId.size(), 1u);
    EXPECT_EQ(customer.size(), 1u);
    EXPECT_EQ(other, std::vector<std::uint8_t>{0x81});
    EXPECT_EQ(net.pr_PacketUnreachableReport(), (std::array<std::uint8_t, 3>{1, 2, 3}));
}

TEST(KbnRnsmRouting, PacketsForAddressesOutsideTheBusAreDropped) {
    FakeKbnAdapter net(nullptr);
    int events = 0;
    net.OnUnhandledRxdKbnPacket = [&](TKBNet*, const TKbnRxdPacket&) { ++events; };
    net.OnUnhandledSuccessfulReset = [&](TKBNet*, std::uint8_t, std::uint8_t) { ++events; };
    net.FilteringReceivedKbnPacket(RxdPacket({0x81, 0x00, 1, 0x1F}));
    net.FilteringReceivedKbnPacket(RxdPacket({0x00, 0x80, 1, 0x1F}));
    net.FilteringReceivedKbnPacket(RxdPacket({0xFF, 0xFF, 1, 0x77}));
    EXPECT_EQ(events, 0);
    net.FilteringReceivedKbnPacket(RxdPacket({0x80, 0x7F, 1, 0x1F}));
    EXPECT_EQ(events, 1);
}

TEST(KbnRnsmRouting, ManagerAddressIsFixed) {
    FakeKbnAdapter net(nullptr);
    net.pw_KbnSegId(0x05);
    net.pw_KbnNodeId(0x99);
    EXPECT_EQ(net.pr_KbnSegId(), 0x80);
    EXPECT_EQ(net.pr_KbnNodeId(), 0x00);
    EXPECT_EQ(net.pr_KbnClsId(), kci_None);
}

TEST(KbnRnsmLookup, FindsOnlyRegisteredModulesInsideTheTopology) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o module(nullptr, kci_Prm4i4o, 0x80, 0x05, &net);
    Impostor other(nullptr, static_cast<_EKbnClsId>(0x20), 0x80, 0x06, &net);
    Impostor claimsModule(nullptr, kci_Prm4i4o, 0x80, 0x07, &net);
    EXPECT_EQ(net.Prm4i4o(0x80, 0x05), &module);
    EXPECT_EQ(lookupError(net, 0x81, 0x05), kNotInTopology);
    EXPECT_EQ(lookupError(net, 0x80, 0x80), kNotInTopology);
    EXPECT_EQ(lookupError(net, 0x12, 0x05), kNotInTopology); // segment without a table
    EXPECT_EQ(lookupError(net, 0x80, 0x04), kNotAModule);    // free entry
    EXPECT_EQ(lookupError(net, 0x80, 0x06), kNotAModule);
    EXPECT_EQ(lookupError(net, 0x80, 0x07), kNotAModule);
}

TEST(KbnRnsmDefaults, DefaultModuleCopiesTheTemplateAndIsOwnedByTheTopology) {
    auto net = std::make_unique<FakeKbnAdapter>(nullptr);
    TPrm4i4o tmpl(nullptr);
    std::vector<KbnEventSeen> inputs;
    tmpl.OnInputChanged = RecordInto(inputs);
    net->pw_DefHandler_Prm4i4o(&tmpl);

    TKBNet_Node* created =
        net->CreateDefaultKbnComponentAndAddToKbnTopologic(kci_Prm4i4o, 0x03, 0x04, net.get());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->pr_BindTo(), net.get());
    EXPECT_EQ(created->Owner(), net.get());
    EXPECT_EQ(net->Prm4i4o(0x03, 0x04), created);
    net->FilteringReceivedKbnPacket(RxdPacket({0x03, 0x04, 2, 0x81, 0x01}));
    EXPECT_EQ(inputs, (std::vector<KbnEventSeen>{{created, 0x03, 0x04}}));
    net->Prm4i4o(0x03, 0x04)->pw_Yout(0x08);
    EXPECT_EQ(net->sent, (std::vector<KbnBytes>{{0x03, 0x04, 2, 0x84, 0x08}}));
}

TEST(KbnRnsmDefaults, NoTemplateAnotherClassOrADestroyedTemplateGivesNoComponent) {
    FakeKbnAdapter net(nullptr);
    EXPECT_EQ(net.CreateDefaultKbnComponentAndAddToKbnTopologic(kci_Prm4i4o, 1, 1, &net), nullptr);
    {
        TPrm4i4o tmpl(nullptr);
        net.pw_DefHandler_Prm4i4o(&tmpl);
        EXPECT_EQ(net.pr_DefHandler_Prm4i4o(), &tmpl);
        EXPECT_EQ(net.CreateDefaultKbnComponentAndAddToKbnTopologic(static_cast<_EKbnClsId>(0x20),
                                                                    1, 1, &net),
                  nullptr);
    }
    EXPECT_EQ(net.pr_DefHandler_Prm4i4o(), nullptr);
    EXPECT_EQ(net.CreateDefaultKbnComponentAndAddToKbnTopologic(kci_Prm4i4o, 1, 1, &net), nullptr);
    EXPECT_EQ(net.ComponentCount(), 0);
}

TEST(KbnRnsmDefaults, FreeDestroysOnlyWhatTheTopologyCreated) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o own(nullptr, kci_Prm4i4o, 0x00, 0x01, &net);
    TPrm4i4o tmpl(nullptr);
    net.pw_DefHandler_Prm4i4o(&tmpl);
    TKBNet_Node* created =
        net.CreateDefaultKbnComponentAndAddToKbnTopologic(kci_Prm4i4o, 0x00, 0x02, &net);
    ASSERT_NE(created, nullptr);
    net.AddKbnComponentToKbnTopologic(created, krk_CreatedByTopologic);
    EXPECT_EQ(net.ComponentCount(), 1);

    net.FreeKbnTopologic();
    EXPECT_EQ(net.ComponentCount(), 0); // the created module is gone
    EXPECT_EQ(net.pr_TopologyEntry(0x00, 0x01), nullptr);
    // Our own module is alive and still bound.
    EXPECT_EQ(own.pr_BindTo(), &net);
    own.QueryKbnClsId();
    EXPECT_EQ(net.sent, (std::vector<KbnBytes>{{0x00, 0x01, 1, 0x04}}));
}
