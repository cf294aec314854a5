// lift-lcd inspect: reads a ROM image back into settings, labels and placed pictures.

#include "lift_lcd/rom_commands.h"

#include "rom/rom_inspect.h"
#include "util/atomic_file.h"

#include <QBuffer>
#include <QByteArray>
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

struct Sized {
    int width, height; // of the source picture
};
constexpr Sized kGlyph{32, 64}, kUser{64, 64}, kDirection{48, 48}, kMessage{64, 16}, kLogo{64, 64};

struct Rendered {
    std::string name;
    QImage image;
};

QImage pictureImage(std::string_view data, Sized size, bool rotated) {
    const int pw = rotated ? size.height : size.width;
    const int ph = rotated ? size.width : size.height;
    const auto black = Rom::UnpackPicture(data, pw, ph, rotated);
    QImage image(size.width, size.height, QImage::Format_RGB32);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            image.setPixel(x, y,
                           black[std::size_t(y) * std::size_t(size.width) + std::size_t(x)]
                               ? 0xFF000000u
                               : 0xFFFFFFFFu);
    return image;
}

// Pictures at 2x, eight to a row, each in a cell of 2 * 64 + 8 pixels.
QImage overview(const std::vector<Rendered>& pictures) {
    constexpr int cell = 2 * 64 + 8, perRow = 8;
    const int rows = std::max<int>(1, int((pictures.size() + perRow - 1) / perRow));
    QImage sheet(perRow * cell, rows * cell, QImage::Format_RGB32);
    sheet.fill(0xFFC0C0C0u);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QImage big = pictures[i].image.scaled(pictures[i].image.size() * 2);
        const int x0 = int(i % perRow) * cell + 4, y0 = int(i / perRow) * cell + 4;
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                sheet.setPixel(x0 + x, y0 + y, big.pixel(x, y));
    }
    return sheet;
}

bool savePng(const QImage& image, const std::string& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = path + ": the picture cannot be encoded as PNG";
        return false;
    }
    return Util::WriteFileAtomically(
        path, std::string_view(bytes.constData(), std::size_t(bytes.size())), &error);
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
    const auto add = [&](const std::string& name, const Rom::PlacedPicture& p, Sized size) {
        if (!p.insideZone)
            return;
        pictures.push_back(
            {name, pictureImage(std::string_view(image).substr(p.offset, p.size), size, rotated)});
    };
    char name[64];
    for (const auto& g : r.glyphs) {
        std::snprintf(name, sizeof name, "glyph_%03d.png", g.number);
        add(name, g, kGlyph);
    }
    for (const auto& u : r.userPictures) {
        std::snprintf(name, sizeof name, "user_%03d.png", u.number);
        add(name, u, kUser);
    }
    for (const auto& d : r.directionFrames) {
        std::snprintf(name, sizeof name, "direction_%d_%02d.png", d.style, d.number);
        add(name, d, kDirection);
    }
    for (const auto& m : r.messages) {
        std::snprintf(name, sizeof name, "message_%02d.png", m.number);
        add(name, m, kMessage);
    }
    if (r.settings[Rom::SettingsLogoEnabled]) {
        Rom::PlacedPicture logo;
        logo.offset = Rom::kLogoArea.offset;
        logo.size = Rom::kLogoArea.size;
        logo.insideZone = true;
        add("logo.png", logo, kLogo);
    }
    std::string error;
    for (const auto& p : pictures) {
        if (!savePng(p.image, (std::filesystem::path(dir) / p.name).string(), error)) {
            io.err << "lift-lcd inspect: " << error << "\n";
            return false;
        }
    }
    if (!savePng(overview(pictures), (std::filesystem::path(dir) / "overview.png").string(),
                 error)) {
        io.err << "lift-lcd inspect: " << error << "\n";
        return false;
    }
    io.out << "Rendered " << pictures.size() << " pictures and overview.png into " << dir << "\n";
    return true;
}

} // namespace

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
    if (!Util::ReadWholeFile(file, image, &error)) {
        io.err << "lift-lcd inspect: " << error << "\n";
        return ExitFailed;
    }
    Rom::RomInspection r;
    if (!Rom::InspectRomImage(image, encode < 0 ? 0 : encode, r, error)) {
        io.err << "lift-lcd inspect: " << file << ": " << error << "\n";
        return ExitFailed;
    }
    if (encode < 0 && r.ifiHoldsPattern) // an image built with ENCODE 1
        Rom::InspectRomImage(image, 1, r, error);
    io.out << "ROM image: " << file << " (" << image.size() << " bytes)\n"
           << Rom::DescribeRomImage(r);
    if (!renderDir.empty() && !render(image, r, disphv == 1, renderDir, io))
        return ExitFailed;
    return ExitOk;
}

} // namespace Lift::Cli
