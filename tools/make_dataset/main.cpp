// make_dataset: draws every picture of the bundled data set and writes the data folder
// (settings file, GLB library, default pictures, demo project), the contact sheet and the
// editor's icons for the desktop menu.
//
//   make_dataset DATA_DIR [CONTACT_SHEET.png [ICON_DIR]]
//
// ICON_DIR receives hicolor/<n>x<n>/apps/lift-lcd-editor.png, as installed.
//
// The output depends only on this program and the font files it loads by path, so running
// it twice gives identical bytes (tools/make_dataset/check_reproducible.sh checks that,
// and that the committed data folder is what it makes). Each file is written atomically.
// Exit codes: 0 done, 1 failed, 2 usage.

#include "arrows.h"
#include "bmp_file.h"
#include "contact_sheet.h"
#include "floor_glyphs.h"
#include "fonts.h"
#include "lift_state_pictures.h"
#include "other_pictures.h"
#include "program_icon.h"
#include "settings_and_project.h"

#include "glb_writer/glb_writer.h"
#include "util/atomic_file.h"

#include <QGuiApplication>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

using namespace MakeDataset;
using Lift::Tools::GlbWriter;

namespace {

struct OutputFile {
    std::string path; // relative to the data folder
    std::string bytes;
};

class Builder {
public:
    explicit Builder(const Fonts& fonts) : m_fonts(fonts) {}

    bool build(std::string* error);

    std::vector<OutputFile> files;
    std::vector<SheetSection> sheet;

private:
    bool glbItem(int group, int number, std::string bytes, std::string* error) {
        return m_glb.addItem(group, number, std::move(bytes), error);
    }
    void file(const std::string& path, std::string bytes) {
        files.push_back({path, std::move(bytes)});
    }

    const Fonts& m_fonts;
    GlbWriter m_glb;
};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

bool Builder::build(std::string* error) {
    // Bit depths are mixed on purpose, as in the files users bring: every decoder path of
    // the editor meets real data. Each picture is pure black and white whatever its depth.

    // Floor glyphs, groups 1..4 = floor styles 0..3, item number = character code.
    const BmpDepth glyphDepth[kFloorStyleCount] = {BmpDepth::Mono, BmpDepth::Nibble,
                                                   BmpDepth::Rgb24, BmpDepth::MonoWhiteFirst};
    for (int style = 0; style < kFloorStyleCount; ++style) {
        SheetSection section;
        section.title = QString("P620BX7.GLB group %1: FL Style %2 (%3), 32 x 64, item = "
                                "character code")
                            .arg(style + 1)
                            .arg(style)
                            .arg(FloorStyleName(style));
        section.columns = 19;
        for (const char* c = kFloorCharacters; *c; ++c) {
            const Bitmap glyph = RenderFloorGlyph(m_fonts, style, *c, 32, 64);
            if (!glbItem(style + 1, static_cast<unsigned char>(*c),
                         EncodeBmp(glyph, glyphDepth[style]), error))
                return false;
            section.items.push_back({glyph, QString(QChar::fromLatin1(*c))});
        }
        sheet.push_back(std::move(section));
    }

    // Direction arrows, group 0 items 50 + 20 * style + frame.
    const BmpDepth arrowDepth[kArrowStyleCount] = {BmpDepth::Mono, BmpDepth::Mono, BmpDepth::Mono,
                                                   BmpDepth::Byte, BmpDepth::Rgb24};
    for (int style = 0; style < kArrowStyleCount; ++style) {
        SheetSection section;
        section.title = QString("P620BX7.GLB group 0, items %1..%2: DIR Style %3 (%4), "
                                "48 x 48, frames 0..11 (frame 0 = preview)")
                            .arg(50 + 20 * style)
                            .arg(50 + 20 * style + 11)
                            .arg(style)
                            .arg(ArrowStyleName(style));
        section.columns = kArrowFrameCount;
        const auto frames = RenderArrowFrames(style);
        for (int k = 0; k < kArrowFrameCount; ++k) {
            if (!glbItem(0, 50 + 20 * style + k, EncodeBmp(frames[k], arrowDepth[style]), error))
                return false;
            section.items.push_back({frames[k], QString("(0, %1)").arg(50 + 20 * style + k)});
        }
        sheet.push_back(std::move(section));
    }

    // Message-position layouts (0, 30..32) and the start-up picture (0, 40).
    {
        SheetSection section;
        section.title = "P620BX7.GLB group 0: message-position layouts 0..2 (items 30..32, "
                        "64 x 128) and item 40 (64 x 32)";
        section.columns = 4;
        for (int position = 0; position < 3; ++position) {
            const Bitmap layout = RenderLayoutPicture(m_fonts, position);
            if (!glbItem(0, 30 + position, EncodeBmp(layout, BmpDepth::Nibble), error))
                return false;
            section.items.push_back({layout, QString("(0, %1)").arg(30 + position)});
        }
        const Bitmap startup = RenderStartupPicture();
        if (!glbItem(0, 40, EncodeBmp(startup, BmpDepth::Mono), error))
            return false;
        section.items.push_back({startup, "(0, 40)"});
        sheet.push_back(std::move(section));
    }

    // Small pictures, group 7 items 0..38.
    {
        SheetSection section;
        section.title = "P620BX7.GLB group 7, items 0..38: small pictures (8 x 8, "
                        "date-and-time characters)";
        section.columns = 20;
        for (int i = 0; i < kSmallPictureCount; ++i) {
            const Bitmap small = RenderSmallPicture(i);
            if (!glbItem(7, i, EncodeBmp(small, BmpDepth::Mono), error))
                return false;
            section.items.push_back({small, QString::number(i)});
        }
        sheet.push_back(std::move(section));
    }

    // Controller data blocks named by the versions of the settings file.
    for (const CodeVersion& v : CodeVersions()) {
        if (!m_glb.hasItem(0, v.cfi) && !glbItem(0, v.cfi, CfiBlock(v.cfi), error))
            return false;
        if (!m_glb.hasItem(0, v.ifi) && !glbItem(0, v.ifi, IfiBlock(v.ifi), error))
            return false;
    }
    std::string glb;
    if (!m_glb.build(glb, error))
        return false;
    file("P620BX7.GLB", std::move(glb));
    file("ZEBPRV620BX7.INI", SettingsFileText());

    // Default lift-state pictures.
    {
        SheetSection section;
        section.title = "DefaultImage2/LiftState: 64 x 16, columns EN, CHT, EN inverted, "
                        "CHT inverted";
        section.columns = 4;
        const BmpDepth depth[4] = {BmpDepth::Mono, BmpDepth::Rgb24, BmpDepth::MonoWhiteFirst,
                                   BmpDepth::Byte};
        for (int row = 0; row < kLiftStateCount; ++row) {
            const LiftState& state = LiftStateAt(row);
            const Bitmap english = RenderEnglishMessage(state.english);
            Bitmap chinese;
            if (!RenderChineseMessage(m_fonts, state.chinese, chinese, error))
                return false;
            const Bitmap pictures[4] = {english, chinese, english.inverted(), chinese.inverted()};
            for (int column = 0; column < 4; ++column) {
                const std::string name = LiftStateFileName(row, column);
                file("DefaultImage2/LiftState/" + name, EncodeBmp(pictures[column], depth[column]));
                section.items.push_back({pictures[column], q(name)});
            }
        }
        sheet.push_back(std::move(section));
    }

    // User floor pictures, one folder per floor style, named by label.
    {
        SheetSection section;
        section.title = "DefaultImage2/UserDefine/Floor/Style0..3: user floor pictures, "
                        "64 x 64";
        section.columns = int(UserFloorLabels().size());
        const BmpDepth depth[kFloorStyleCount] = {BmpDepth::Rgb24, BmpDepth::Mono, BmpDepth::Nibble,
                                                  BmpDepth::Byte};
        for (int style = 0; style < kFloorStyleCount; ++style) {
            for (const std::string& label : UserFloorLabels()) {
                const Bitmap picture = RenderFloorLabel(m_fonts, style, label.c_str(), 64, 64);
                const std::string path = "DefaultImage2/UserDefine/Floor/Style" +
                                         std::to_string(style) + "/" + label + ".bmp";
                file(path, EncodeBmp(picture, depth[style]));
                section.items.push_back(
                    {picture, q("Style" + std::to_string(style) + "/" + label + ".bmp")});
            }
        }
        sheet.push_back(std::move(section));
    }

    // Blank logo picture, demo logo and demo project.
    {
        SheetSection section;
        section.title = "SPACE_240x240.bmp (blank logo picture) and demo_logo.bmp (64 x 64)";
        section.columns = 2;
        const Bitmap blank(240, 240);
        file("SPACE_240x240.bmp", EncodeBmp(blank, BmpDepth::Mono));
        section.items.push_back({blank, "SPACE_240x240.bmp"});
        const Bitmap logo = RenderDemoLogo();
        file(kDemoLogoFile, EncodeBmp(logo, BmpDepth::Rgb24));
        section.items.push_back({logo, kDemoLogoFile});
        sheet.push_back(std::move(section));
    }
    file("demo.lcp", DemoProjectText());
    return true;
}

bool writeAll(const std::filesystem::path& root, const std::vector<OutputFile>& files,
              std::string* error) {
    for (const OutputFile& f : files) {
        const std::filesystem::path path = root / f.path;
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec) {
            if (error)
                *error =
                    "cannot create the folder " + path.parent_path().string() + ": " + ec.message();
            return false;
        }
        if (!Lift::Util::WriteFileAtomically(path.string(), f.bytes, error))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4 || std::strcmp(argv[1], "--help") == 0) {
        std::cerr << "usage: make_dataset DATA_DIR [CONTACT_SHEET.png [ICON_DIR]]\n";
        return 2;
    }
    // Draws into pictures only; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::string error;
    Fonts fonts;
    if (!LoadFonts(fonts, &error)) {
        std::cerr << "make_dataset: " << error << "\n";
        return 1;
    }
    Builder builder(fonts);
    if (!builder.build(&error)) {
        std::cerr << "make_dataset: " << error << "\n";
        return 1;
    }
    if (!writeAll(argv[1], builder.files, &error)) {
        std::cerr << "make_dataset: " << error << "\n";
        return 1;
    }
    if (argc == 4) {
        std::vector<OutputFile> icons;
        for (const int size : {48, 256}) {
            const QByteArray png = RenderProgramIcon(fonts, size);
            if (png.isEmpty()) {
                std::cerr << "make_dataset: cannot encode the icon\n";
                return 1;
            }
            const std::string square = std::to_string(size) + "x" + std::to_string(size);
            icons.push_back({"hicolor/" + square + "/apps/lift-lcd-editor.png",
                             std::string(png.constData(), static_cast<std::size_t>(png.size()))});
        }
        if (!writeAll(argv[3], icons, &error)) {
            std::cerr << "make_dataset: " << error << "\n";
            return 1;
        }
    }
    if (argc >= 3) {
        const QByteArray png = RenderContactSheet(fonts, builder.sheet);
        if (png.isEmpty() || !Lift::Util::WriteFileAtomically(
                                 argv[2], std::string_view(png.constData(), png.size()), &error)) {
            std::cerr << "make_dataset: " << (png.isEmpty() ? "cannot encode the sheet" : error)
                      << "\n";
            return 1;
        }
    }
    std::cout << "wrote " << builder.files.size() << " files to " << argv[1] << "\n";
    return 0;
}
