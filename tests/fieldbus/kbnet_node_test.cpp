#include "fake_kbn_adapter.h"

#include "fieldbus/prm4i4o.h"
#include "util/component.h"
#include "util/eygeneral.h"

#include <gtest/gtest.h>

#include <string>

using namespace ZebCtrl;
using Lift::Test::FakeKbnAdapter;
using Lift::Test::KbnBytes;
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

TEST(KbnNodeReset, OutputsSetDuringResetAreSentAgainBeforeTheEvent) {
    FakeKbnAdapter net(nullptr);
    TPrm4i4o module(nullptr, kci_Prm4i4o, 0x80, 0x05, &net);
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
