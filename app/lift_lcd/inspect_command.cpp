// lift-lcd inspect: reads a ROM image back into settings, labels and placed pictures.

#include "lift_lcd/picture_files.h"
#include "lift_lcd/rom_commands.h"

#include "rom/rom_inspect.h"
#include "util/atomic_file.h"

#include <QImage>

#include <filesystem>
#include <ostream>
#include <system_error>

namespace Lift::Cli {

namespace {

constexpr const char* kUsage =
    "Usage: lift-lcd inspect ROM.BIN [--encode 0|1] [--disphv 0|1] [--render DIR]\n"
    "\n"
    "Prints what a ROM image holds: the settings block, each code table as code -> label,\n"
    "the glyphs, user floor pictures, arrow frames and messages with their offsets, and the\n"
    "free space of each zone.\n"
    "\n"
    "  --encode 0|1   whether the image's first 256 bytes are masked (ENCODE of the version);\n"
    "                 default: 1 when the IFI area holds the fill pattern, else 0\n"
    "  --disphv 0|1   orientation the pictures were packed in (DISPHV; default 1), for --render\n"
    "  --render DIR   also write every placed picture as a PNG file into DIR, plus\n"
    "                 overview.png with all of them\n"
    "\n"
    "Exit status: 0 done, 1 when the file cannot be read or is no ROM image, 2 usage error.\n";

int usageError(Streams& io, const std::string& text) {
    io.err << "lift-lcd inspect: " << text << "\n" << kUsage;
    return ExitUsage;
}

struct Rendered {
    std::string name;
    QImage image;
};

QImage pictureImage(std::string_view data, Rom::PictureSize size, bool rotated) {
    return Rom::BlackPictureImage(Rom::UnpackBlackPicture(data, size, rotated));
}

// Pictures at 2x, eight to a row, each in a cell of 2 * 64 + 8 pixels.
QImage overview(const std::vector<Rendered>& pictures) {
    std::vector<QImage> big;
    big.reserve(pictures.size());
    for (const Rendered& p : pictures)
        big.push_back(p.image.scaled(p.image.size() * 2));
    return ContactSheet(big, QSize(2 * 64 + 8, 2 * 64 + 8), 8);
}

bool render(const std::string& image, const Rom::RomInspection& r, bool rotated,
            const std::string& dir, Streams& io) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        io.err << "lift-lcd inspect: cannot create " << dir << ": " << ec.message() << "\n";
        return false;
    }
    std::vector<Rendered> pictures;
    const auto add = [&](const std::string& name, const Rom::PlacedPicture& p, Rom::PictureSize size) {
        if (!p.insideZone)
            return;
        pictures.push_back(
            {name, pictureImage(std::string_view(image).substr(p.offset, p.size), size, rotated)});
    };
    char name[64];
    for (const auto& g : r.glyphs) {
        std::snprintf(name, sizeof name, "glyph_%03d.png", g.number);
        add(name, g, Rom::kGlyphSize);
    }
    for (const auto& u : r.userPictures) {
        std::snprintf(name, sizeof name, "user_%03d.png", u.number);
        add(name, u, Rom::kUserPictureSize);
    }
    for (const auto& d : r.directionFrames) {
        std::snprintf(name, sizeof name, "direction_%d_%02d.png", d.style, d.number);
        add(name, d, Rom::kDirectionSize);
    }
    for (const auto& m : r.messages) {
        std::snprintf(name, sizeof name, "message_%02d.png", m.number);
        add(name, m, Rom::kMessageSize);
    }
    if (r.settings[Rom::SettingsLogoEnabled]) {
        Rom::PlacedPicture logo;
        logo.offset = Rom::kLogoArea.offset;
        logo.size = Rom::kLogoArea.size;
        logo.insideZone = true;
        add("logo.png", logo, Rom::kLogoSize);
    }
    std::string error;
    for (const auto& p : pictures) {
        if (!SavePng(p.image, (std::filesystem::path(dir) / p.name).string(), error)) {
            io.err << "lift-lcd inspect: " << error << "\n";
            return false;
        }
    }
    if (!SavePng(overview(pictures), (std::filesystem::path(dir) / "overview.png").string(),
                 error)) {
        io.err << "lift-lcd inspect: " << error << "\n";
        return false;
    }
    io.out << "Rendered " << pictures.size() << " pictures and overview.png into " << dir << "\n";
    return true;
}

} // namespace

bool ReadRomImage(const std::string& file, int encode, std::string& image, Rom::RomInspection& r,
                  std::string& error) {
    if (!Util::ReadWholeFile(file, image, &error))
        return false;
    if (!Rom::InspectRomImage(image, encode < 0 ? 0 : encode, r, error)) {
        error = file + ": " + error;
        return false;
    }
    if (encode < 0 && r.ifiHoldsPattern) // an image built with ENCODE 1
        Rom::InspectRomImage(image, 1, r, error);
    return true;
}

int InspectCommand(const std::vector<std::string>& args, Streams& io) {
    std::string file, renderDir;
    int encode = -1, disphv = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            io.out << kUsage;
            return ExitOk;
        }
        const bool takesValue = a == "--encode" || a == "--disphv" || a == "--render";
        if (takesValue) {
            if (i + 1 >= args.size())
                return usageError(io, a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--render") {
                renderDir = v;
                continue;
            }
            if (v != "0" && v != "1")
                return usageError(io, a + " takes 0 or 1, not '" + v.c_str() + "'");
            (a == "--encode" ? encode : disphv) = v == "1" ? 1 : 0;
        } else if (!a.empty() && a[0] == '-') {
            return usageError(io, "unknown option '" + a + "'");
        } else if (file.empty()) {
            file = a;
        } else {
            return usageError(io, "more than one image named");
        }
    }
    if (file.empty())
        return usageError(io, "no ROM image named");

    std::string image, error;
    Rom::RomInspection r;
    if (!ReadRomImage(file, encode, image, r, error)) {
        io.err << "lift-lcd inspect: " << error << "\n";
        return ExitFailed;
    }
    io.out << "ROM image: " << file << " (" << image.size() << " bytes)\n"
           << Rom::DescribeRomImage(r);
    if (!renderDir.empty() && !render(image, r, disphv == 1, renderDir, io))
        return ExitFailed;
    return ExitOk;
}

} // namespace Lift::Cli
