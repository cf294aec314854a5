#include "editor/glb_library.h"
#include "glb_writer/glb_manifest.h"
#include "glb_writer/glb_writer.h"

#include <gtest/gtest.h>

#include <tuple>

using Lift::Tools::GlbManifestEntry;
using Lift::Tools::GlbWriter;
using Lift::Tools::ParseGlbManifest;

namespace {

// The item as the editor finds it, empty when absent.
std::string itemOf(const std::string& glb, int group, int number) {
    return std::string(Lift::Editor::FindGlbItem(glb, group, number).value_or(""));
}

std::string built(const GlbWriter& writer) {
    std::string out, error;
    EXPECT_TRUE(writer.build(out, &error)) << error;
    return out;
}

} // namespace

TEST(GlbWriter, EntriesAreBigEndianAndFoundFromGroupAndNumberAlone) {
    const std::string empty = built(GlbWriter());
    ASSERT_EQ(empty.size(), 8u + 8 * 256 * 8);
    EXPECT_EQ(empty.substr(0, 4), "GLB1");
    EXPECT_EQ(empty.find_first_not_of('\0', 4), std::string::npos) << "zero items, zero entries";

    GlbWriter writer;
    const std::string glyph(258, 'g'); // length 0x102 shows the byte order
    ASSERT_TRUE(writer.addItem(1, 65, glyph));
    ASSERT_TRUE(writer.addItem(7, 255, "last"));
    ASSERT_TRUE(writer.addItem(0, 0, "first"));
    const std::string glb = built(writer);

    // Item (1, 65) lives at byte 8 + (256 + 65) * 8 = 2576.
    const std::string entry = glb.substr(2576, 8);
    EXPECT_EQ(entry.substr(4), std::string("\x00\x00\x01\x02", 4));
    EXPECT_EQ(itemOf(glb, 1, 65), glyph);
    EXPECT_EQ(itemOf(glb, 7, 255), "last");
    EXPECT_EQ(itemOf(glb, 0, 0), "first");
    EXPECT_EQ(itemOf(glb, 1, 66), "");
    EXPECT_EQ(glb.substr(4, 4), std::string("\0\0\0\3", 4)) << "the header counts the items";
    // Data follow the directory in (group, number) order.
    EXPECT_EQ(glb.substr(8, 4), std::string("\0\0\x40\x08", 4)); // kDataStart, big-endian
    EXPECT_EQ(glb.size(), GlbWriter::kDataStart + 5 + 258 + 4);
}

TEST(GlbWriter, EqualItemsShareOneCopyAndTheOrderOfAddingDoesNotMatter) {
    GlbWriter writer, reversed;
    const std::string frame(446, 'f');
    ASSERT_TRUE(reversed.addItem(0, 70, frame + "x"));
    for (int k = 0; k < 12; ++k) {
        ASSERT_TRUE(writer.addItem(0, 50 + k, frame));
        ASSERT_TRUE(reversed.addItem(0, 61 - k, frame));
    }
    ASSERT_TRUE(writer.addItem(0, 70, frame + "x")); // differs: stored apart
    const std::string glb = built(writer);
    EXPECT_EQ(glb, built(reversed));
    EXPECT_EQ(glb.size(), GlbWriter::kDataStart + 446 + 447);
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(itemOf(glb, 0, 50 + k), frame) << k;
    EXPECT_EQ(itemOf(glb, 0, 70), frame + "x");
}

TEST(GlbWriter, RefusesItemsNoReaderCouldAddressAndKeepsWhatItHad) {
    GlbWriter writer;
    ASSERT_TRUE(writer.addItem(3, 7, "kept"));
    struct Case {
        int group, number;
        std::string data;
        const char* reason;
    };
    const Case cases[] = {
        {-1, 0, "x", "group -1"},    {8, 0, "x", "group 8"}, {0, -1, "x", "number -1"},
        {0, 256, "x", "number 256"}, {0, 5, "", "empty"},    {3, 7, "other", "given twice"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(writer.addItem(c.group, c.number, c.data, &error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_EQ(writer.itemCount(), 1u);
    EXPECT_EQ(itemOf(built(writer), 3, 7), "kept");
}

TEST(GlbWriter, BuildsUpToTheSizeTheEditorLoadsAndNoFurther) {
    const std::size_t limit = Lift::Editor::kMaxGlbFileBytes;
    std::string out = "untouched", error;
    {
        GlbWriter tooBig;
        ASSERT_TRUE(tooBig.addItem(0, 1, std::string(limit / 2, 'a')));
        ASSERT_TRUE(tooBig.addItem(0, 2, std::string(limit / 2, 'b')));
        EXPECT_FALSE(tooBig.build(out, &error));
        EXPECT_EQ(out, "untouched");
        EXPECT_NE(error.find("refuses to load"), std::string::npos) << error;
    }
    GlbWriter exact;
    ASSERT_TRUE(exact.addItem(0, 1, std::string(limit - GlbWriter::kDataStart, 'c')));
    ASSERT_TRUE(exact.build(out, &error)) << error;
    EXPECT_EQ(out.size(), limit);
}

TEST(GlbManifest, ReadsItemsCommentsBlanksAndEitherLineEnd) {
    const std::string text = "# glyphs\r\n"
                             "\r\n"
                             "1 48 glyphs/zero.bmp\r\n"
                             "  2\t'A'   my pictures/A wide.bmp   \n"
                             "   # indented comment\n"
                             "0 255 last.bin"; // no line end at the end
    std::vector<GlbManifestEntry> entries;
    std::string error;
    ASSERT_TRUE(ParseGlbManifest(text, entries, &error)) << error;
    auto fields = [](const GlbManifestEntry& e) {
        return std::tuple(e.group, e.number, e.file, e.line);
    };
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(fields(entries[0]), std::tuple(1, 48, std::string("glyphs/zero.bmp"), 3));
    EXPECT_EQ(fields(entries[1]), std::tuple(2, 65, std::string("my pictures/A wide.bmp"), 4));
    EXPECT_EQ(fields(entries[2]), std::tuple(0, 255, std::string("last.bin"), 6));
}

TEST(GlbManifest, NamesTheLineOfEveryMistake) {
    struct Case {
        const char* text;
        const char* expected; // part of the message
    };
    const Case cases[] = {
        {"8 1 a.bmp", "line 1: the group must be a number 0..7"},
        {"# c\nx 1 a.bmp", "line 2: the group"},
        {"0 256 a.bmp", "item number must be 0..255"},
        {"0 'AB' a.bmp", "item number"},
        {"0 ' ' a.bmp", "item number"},
        {"0 99999999999 a.bmp", "item number"},
        {"0 1", "line 1: no file"},
        {"1", "item number"},
        {"0 1 a.bmp\n\n0 1 b.bmp", "line 3: item (0, 1) was already given on line 1"},
        {"1 65 a.bmp\n1 'A' b.bmp", "item (1, 65) was already given"},
    };
    for (const Case& c : cases) {
        std::vector<GlbManifestEntry> entries;
        std::string error;
        EXPECT_FALSE(ParseGlbManifest(c.text, entries, &error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << " -> " << error;
    }
}
