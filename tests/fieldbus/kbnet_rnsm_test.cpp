#include "fake_kbn_adapter.h"

#include "fieldbus/prm4i4o.h"
#include "util/eygeneral.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZebCtrl;
using Lift::Test::FakeKbnAdapter;
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

// A template destroyed before its manager must not be copied from afterwards.
TEST(KbnRnsmDefaults, DestroyedTemplateIsForgotten) {
    FakeKbnAdapter net(nullptr);
    {
        TPrm4i4o tmpl(nullptr);
        net.pw_DefHandler_Prm4i4o(&tmpl);
    }
    EXPECT_EQ(net.pr_DefHandler_Prm4i4o(), nullptr);
    EXPECT_EQ(net.CreateDefaultKbnComponentAndAddToKbnTopologic(kci_Prm4i4o, 1, 1, &net), nullptr);
}

