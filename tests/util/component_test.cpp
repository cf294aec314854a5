#include "util/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using YVclCtrl::TComponent;

namespace {
std::vector<std::string> g_destroyed;

class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::string name) : TComponent(owner) { SetName(std::move(name)); }
    ~Probe() override { g_destroyed.push_back(Name()); }
};
} // namespace

TEST(Component, OwnerDestroysChildrenNewestFirst) {
    g_destroyed.clear();
    {
        Probe owner(nullptr, "form");
        new Probe(&owner, "a");
        auto* b = new Probe(&owner, "b");
        new Probe(b, "b.child");
        new Probe(&owner, "c");
        EXPECT_EQ(owner.ComponentCount(), 3);
        EXPECT_EQ(owner.Components(1), b);
        EXPECT_EQ(owner.Components(3), nullptr);
        EXPECT_EQ(b->Owner(), &owner);
    }
    // A derived destructor body runs before the base destroys the owned children.
    EXPECT_EQ(g_destroyed, (std::vector<std::string>{"form", "c", "b", "b.child", "a"}));
}

TEST(Component, ChildDestroyedEarlyLeavesTheOwnersList) {
    g_destroyed.clear();
    Probe owner(nullptr, "form");
    auto* a = new Probe(&owner, "a");
    new Probe(&owner, "b");
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0)->Name(), "b");
}

