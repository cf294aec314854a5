// glb_pack: builds a GLB picture and data library from a manifest, lists a library's items
// and extracts one item. See docs/glb_format.md for the format.
//
//   glb_pack build MANIFEST OUTPUT.GLB
//   glb_pack list LIBRARY.GLB
//   glb_pack extract LIBRARY.GLB GROUP NUMBER OUTPUT
//
// Exit codes: 0 done, 1 failed (one message on stderr naming the file), 2 usage error.

#include "editor/glb_library.h"
#include "glb_writer/glb_manifest.h"
#include "glb_writer/glb_writer.h"
#include "util/atomic_file.h"
#include "util/standalone_function.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

using Lift::Tools::GlbManifestEntry;
using Lift::Tools::GlbWriter;
using YVclUtil::Format;

namespace {

enum { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

const char* const kUsage =
    "usage:\n"
    "  glb_pack build MANIFEST OUTPUT.GLB     build a library from \"group number file\" "
    "lines\n"
    "  glb_pack list LIBRARY.GLB              list the items of a library\n"
    "  glb_pack extract LIBRARY.GLB GROUP NUMBER OUTPUT\n"
    "                                         write one item's bytes to OUTPUT\n"
    "NUMBER is 0..255 or a character in quotes, e.g. 'A' for the glyph of A.\n";

int usage(const std::string& problem) {
    if (!problem.empty())
        std::cerr << "glb_pack: " << problem << "\n";
    std::cerr << kUsage;
    return ExitUsage;
}

int failed(const std::string& message) {
    std::cerr << "glb_pack: " << message << "\n";
    return ExitFailed;
}

std::int32_t littleEndian32(std::string_view b, std::size_t at) {
    return std::int32_t(std::uint32_t(std::uint8_t(b[at])) |
                        (std::uint32_t(std::uint8_t(b[at + 1])) << 8) |
                        (std::uint32_t(std::uint8_t(b[at + 2])) << 16) |
                        (std::uint32_t(std::uint8_t(b[at + 3])) << 24));
}

// A present directory entry, and whether its bytes lie within the file.
struct DirectoryEntry {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    bool inside = false;
};

bool presentEntry(std::string_view glb, int group, int number, DirectoryEntry& e) {
    const auto entry = Lift::Editor::ReadGlbEntry(glb, group, number);
    if (!entry || entry->length == 0)
        return false;
    e.offset = entry->offset;
    e.length = entry->length;
    e.inside = Lift::Editor::FindGlbItem(glb, group, number).has_value();
    return true;
}

// A short description of an item's content: the BMP header's size and depth, or "data".
std::string describe(std::string_view glb, const DirectoryEntry& e) {
    if (!e.inside)
        return "DAMAGED: points outside the file";
    if (e.length >= 30 && glb.substr(e.offset, 2) == "BM") {
        // 64-bit: a damaged header may hold the most negative 32-bit height.
        const long long w = littleEndian32(glb, e.offset + 18);
        const long long h = littleEndian32(glb, e.offset + 22);
        const int bits = std::uint8_t(glb[e.offset + 28]) | (std::uint8_t(glb[e.offset + 29]) << 8);
        return Format("BMP %lldx%lld, %d bit", w, h < 0 ? -h : h, bits);
    }
    return "data";
}

bool parseNumber(const std::string& text, int limit, int& value) {
    if (text.size() == 3 && text.front() == '\'' && text.back() == '\'') {
        value = std::uint8_t(text[1]);
        return value <= limit;
    }
    if (text.size() == 1 && limit >= 255 && !(text[0] >= '0' && text[0] <= '9')) {
        value = std::uint8_t(text[0]); // a bare letter, e.g. A, after the shell ate the quotes
        return true;
    }
    return Lift::Tools::ParseGlbNumber(text, limit, value);
}

int build(const std::string& manifestPath, const std::string& outputPath) {
    std::string text, error;
    if (!Lift::Util::ReadWholeFile(manifestPath, text, &error))
        return failed(error);
    std::vector<GlbManifestEntry> entries;
    if (!Lift::Tools::ParseGlbManifest(text, entries, &error))
        return failed(manifestPath + ", " + error);
    if (entries.empty())
        return failed(manifestPath + ": the manifest names no items");

    const std::filesystem::path base = std::filesystem::path(manifestPath).parent_path();
    GlbWriter writer;
    for (const GlbManifestEntry& e : entries) {
        std::filesystem::path file(e.file);
        if (file.is_relative())
            file = base / file;
        // A file larger than any library the editor loads is refused before it is read.
        std::error_code ec;
        if (const auto size = std::filesystem::file_size(file, ec);
            !ec && size > Lift::Editor::kMaxGlbFileBytes)
            return failed(Format("%s, line %d: %s is too large for a GLB item (%llu bytes)",
                                 manifestPath.c_str(), e.line, file.string().c_str(),
                                 static_cast<unsigned long long>(size)));
        std::string data;
        if (!Lift::Util::ReadWholeFile(file.string(), data, &error))
            return failed(Format("%s, line %d: %s", manifestPath.c_str(), e.line, error.c_str()));
        if (!writer.addItem(e.group, e.number, std::move(data), &error))
            return failed(Format("%s, line %d: %s (%s)", manifestPath.c_str(), e.line,
                                 error.c_str(), file.string().c_str()));
    }
    if (!writer.writeFile(outputPath, &error))
        return failed(error);
    std::cout << "wrote " << outputPath << ": " << writer.itemCount() << " items\n";
    return ExitOk;
}

int list(const std::string& path) {
    Lift::Editor::GlbLibrary library;
    std::string error;
    if (!Lift::Editor::LoadGlbFile(path, library, &error))
        return failed(error);
    const std::string_view glb = library.bytes();
    if (glb.size() < GlbWriter::kHeaderSize + GlbWriter::kEntrySize)
        return failed(path + ": too short for a GLB library (" + std::to_string(glb.size()) +
                      " bytes)");
    std::cout << "group number    offset    length  content\n";
    int count = 0, damaged = 0;
    for (int g = 0; g < GlbWriter::kGroupCount; ++g) {
        for (int n = 0; n < GlbWriter::kNumbersPerGroup; ++n) {
            DirectoryEntry e;
            if (!presentEntry(glb, g, n, e))
                continue;
            ++count;
            damaged += e.inside ? 0 : 1;
            // Glyph groups show the character too.
            const std::string shown = (g >= 1 && g <= 4 && n >= 0x21 && n <= 0x7E)
                                          ? Format("%3d '%c'", n, n)
                                          : Format("%3d    ", n);
            std::cout << Format("%5d %s %9u %9u  %s\n", g, shown.c_str(), e.offset, e.length,
                                describe(glb, e).c_str());
        }
    }
    std::cout << count << " items\n";
    if (damaged)
        return failed(Format("%s: %d items point outside the file", path.c_str(), damaged));
    return ExitOk;
}

int extract(const std::string& path, const std::string& groupText, const std::string& numberText,
            const std::string& outputPath) {
    int group = 0, number = 0;
    if (!parseNumber(groupText, GlbWriter::kGroupCount - 1, group) || groupText.size() != 1)
        return usage("GROUP must be 0..7, not \"" + groupText + "\"");
    if (!parseNumber(numberText, GlbWriter::kNumbersPerGroup - 1, number))
        return usage("NUMBER must be 0..255 or a character such as 'A', not \"" + numberText +
                     "\"");
    Lift::Editor::GlbLibrary library;
    std::string error;
    if (!Lift::Editor::LoadGlbFile(path, library, &error))
        return failed(error);
    DirectoryEntry e;
    if (!presentEntry(library.bytes(), group, number, e))
        return failed(Format("%s has no item (%d, %d)", path.c_str(), group, number));
    if (!e.inside)
        return failed(Format("%s: item (%d, %d) points outside the file; the library is damaged",
                             path.c_str(), group, number));
    if (!Lift::Util::WriteFileAtomically(outputPath, *library.item(group, number), &error))
        return failed(error);
    return ExitOk;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage("");
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        std::cout << kUsage;
        return ExitOk;
    }
    if (verb == "build")
        return args.size() == 3 ? build(args[1], args[2]) : usage("build needs MANIFEST OUTPUT");
    if (verb == "list")
        return args.size() == 2 ? list(args[1]) : usage("list needs LIBRARY");
    if (verb == "extract")
        return args.size() == 5 ? extract(args[1], args[2], args[3], args[4])
                                : usage("extract needs LIBRARY GROUP NUMBER OUTPUT");
    return usage("unknown command \"" + verb + "\"");
}
