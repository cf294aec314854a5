#include "util/ty_hashed_string_list.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace YVclUtil;

namespace {

struct Notification {
    std::string kind;
    int index;
    std::string text;
    void* object;
};

// Records every notification together with the entry as the handler sees it.
struct Recorder {
    std::vector<Notification> seen;
    void attach(TYHashedStringList& list) {
        list.OnReplace = [this](TYHashedStringList* l, std::int32_t i) {
            seen.push_back({"replace", i, l->pr_Strings(i), l->pr_Objects(i)});
        };
        list.OnDelete = [this](TYHashedStringList* l, std::int32_t i) {
            seen.push_back({"delete", i, l->pr_Strings(i), l->pr_Objects(i)});
        };
    }
};

// A colliding pair: different 9-byte texts with equal 64-bit keys, found by a
// cycle-finding search over texts of bytes 0x80..0xFF.
const std::string kCollisionA = "\x9E\x94\xB9\xF6\xB8\xE7\xD5\xE0\xB6";
const std::string kCollisionB = "\x97\x88\xFD\xAB\xC7\xE4\xE3\xF8\xC6";

class HashedList : public ::testing::Test {
protected:
    TYStrTab tab;
    Recorder rec; // outlives the list, whose destructor still notifies
    TYHashedStringList list{&tab};
};

} // namespace

TEST(HashedListKey, MatchesTheReferenceVectors) {
    std::int32_t length = -1;
    EXPECT_EQ(TYHashedStringList::StrToHashKey("abc", &length), 0x3D83FF29F3DF2A68ull);
    EXPECT_EQ(length, 3);
    // A byte above 127 enters as a negative number.
    EXPECT_EQ(TYHashedStringList::StrToHashKey("\xE9", &length), 0x57FFFFFF400000C5ull);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(TYHashedStringList::StrToHashKey("", &length), 0u);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(TYHashedStringList::StrToHashKey(nullptr, &length), 0u);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(TYHashedStringList::StrToHashKey("x") >> 32 & 1, 1u) << "high word is odd";
    EXPECT_NE(TYHashedStringList::StrToHashKey("Main"), TYHashedStringList::StrToHashKey("main"));
}

TEST_F(HashedList, TextLengthLimitsAndLetterCase) {
    const std::string max(256, 'm'), over(257, 'm');
    EXPECT_EQ(list.Add(max.c_str()), 0);
    EXPECT_EQ(list.pr_Strings(0), max);
    EXPECT_EQ(list.Add(over.c_str()), -1);
    EXPECT_EQ(list.Add(""), -1);
    EXPECT_EQ(list.Add(nullptr), -1);
    EXPECT_EQ(list.IndexOf(""), -1);
    EXPECT_EQ(list.IndexOf(over.c_str()), -1);
    EXPECT_EQ(list.IndexOf(max.c_str()), 0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(tab.StrCount(), 2) << "refused texts leave nothing in the pool";
    EXPECT_EQ(list.Add("Main"), 1);
    EXPECT_EQ(list.Add("main"), 2) << "letter case makes different entries";
    EXPECT_EQ(list.IndexOf("mAin"), -1);
}

TEST_F(HashedList, DifferentTextsWithEqualKeysStayTwoEntries) {
    ASSERT_NE(kCollisionA, kCollisionB);
    ASSERT_EQ(TYHashedStringList::StrToHashKey(kCollisionA.c_str()),
              TYHashedStringList::StrToHashKey(kCollisionB.c_str()));
    rec.attach(list);
    int a = 1, b = 2, b2 = 3;
    list.Add("filler");
    EXPECT_EQ(list.Add(kCollisionA.c_str(), &a), 1);
    EXPECT_EQ(list.Add(kCollisionB.c_str(), &b), 2);
    EXPECT_TRUE(rec.seen.empty()) << "the second text is no replacement of the first";
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf(kCollisionA.c_str()), 1);
    EXPECT_EQ(list.IndexOf(kCollisionB.c_str()), 2);
    EXPECT_EQ(list.pr_Strings(2), kCollisionB);

    EXPECT_EQ(list.Add(kCollisionB.c_str(), &b2), 2);
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(rec.seen[0].index, 2);
    EXPECT_EQ(list.pr_Objects(1), &a);
    EXPECT_EQ(list.pr_Objects(2), &b2);

    ASSERT_TRUE(list.Delete(1));
    EXPECT_EQ(list.IndexOf(kCollisionA.c_str()), -1);
    EXPECT_EQ(list.IndexOf(kCollisionB.c_str()), 1);
    EXPECT_EQ(list.pr_Objects(1), &b2);
}

// Random adds, lookups and deletes against a vector model: order, indexes and lookups
// must agree at every step, including after entries move down.
TEST_F(HashedList, RandomOperationsAgreeWithAVectorModel) {
    std::vector<std::pair<std::string, std::intptr_t>> model;
    std::mt19937 rng(77);
    auto randomText = [&] {
        std::string s(1 + rng() % 12, 'a');
        for (char& c : s)
            c = char('a' + rng() % 4); // small alphabet: many repeats
        return s;
    };
    for (int step = 0; step < 30000; ++step) {
        const unsigned op = rng() % 10;
        const std::string text = randomText();
        auto it = std::find_if(model.begin(), model.end(),
                               [&](const auto& e) { return e.first == text; });
        if (op < 5) {
            const std::intptr_t object = step;
            const int index = list.Add(text.c_str(), reinterpret_cast<void*>(object));
            if (it == model.end()) {
                ASSERT_EQ(index, int(model.size()));
                model.emplace_back(text, object);
            } else {
                ASSERT_EQ(index, it - model.begin());
                it->second = object;
            }
        } else if (op < 7) {
            ASSERT_EQ(list.IndexOf(text.c_str()), it == model.end() ? -1 : int(it - model.begin()));
        } else if (op < 8) {
            void* object = nullptr;
            const int index = list.IndexOf(text.c_str(), object);
            ASSERT_EQ(index, it == model.end() ? -1 : int(it - model.begin()));
            if (index >= 0) {
                ASSERT_EQ(reinterpret_cast<std::intptr_t>(object), it->second);
                it->second = -step; // replaced without notification
                list.pw_Objects(index, reinterpret_cast<void*>(it->second));
            }
        } else if (!model.empty()) {
            const int index = int(rng() % model.size());
            ASSERT_TRUE(list.Delete(index));
            model.erase(model.begin() + index);
        }
    }
    ASSERT_EQ(list.Count(), int(model.size()));
    for (int i = 0; i < list.Count(); ++i) {
        ASSERT_EQ(list.pr_Strings(i), model[i].first);
        ASSERT_EQ(reinterpret_cast<std::intptr_t>(list.pr_Objects(i)), model[i].second);
    }
    EXPECT_EQ(tab.StrCount(), 2 * list.Count());
}
