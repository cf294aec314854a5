#include "support/bmp_writer.h"

#include <algorithm>
#include <stdexcept>

namespace Lift::Test {

namespace {

void add16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

void add32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

int bitsOf(BmpForm f) {
    switch (f) {
    case BmpForm::Mono:
        return 1;
    case BmpForm::Indexed4:
    case BmpForm::Rle4:
        return 4;
    case BmpForm::Indexed8:
    case BmpForm::Rle8:
    case BmpForm::Core8:
        return 8;
    case BmpForm::Rgb555:
    case BmpForm::Bitfields565:
        return 16;
    case BmpForm::Rgb24:
    case BmpForm::Core24:
        return 24;
    default:
        return 32;
    }
}

// One row of indices, run-length encoded; literal stretches are used where no run of 2+ starts.
void encodeRleRow(std::string& out, const std::vector<int>& row, bool fourBit) {
    const size_t w = row.size();
    size_t x = 0;
    while (x < w) {
        size_t run = 1;
        while (x + run < w && row[x + run] == row[x] && run < 255)
            ++run;
        if (run >= 2 || w - x < 3) {
            out.push_back(static_cast<char>(run));
            out.push_back(static_cast<char>(fourBit ? (row[x] << 4 | row[x]) : row[x]));
            x += run;
            continue;
        }
        // Literal: up to the next pair of equal neighbours, at least 3 pixels.
        size_t n = 1;
        while (x + n < w && n < 255 && !(x + n + 1 < w && row[x + n] == row[x + n + 1]))
            ++n;
        if (n < 3) {
            out.push_back(1);
            out.push_back(static_cast<char>(fourBit ? (row[x] << 4 | row[x]) : row[x]));
            x += 1;
            continue;
        }
        out.push_back(0);
        out.push_back(static_cast<char>(n));
        size_t bytes = 0;
        if (fourBit) {
            for (size_t i = 0; i < n; i += 2) {
                const int hi = row[x + i];
                const int lo = i + 1 < n ? row[x + i + 1] : 0;
                out.push_back(static_cast<char>(hi << 4 | lo));
                ++bytes;
            }
        } else {
            for (size_t i = 0; i < n; ++i, ++bytes)
                out.push_back(static_cast<char>(row[x + i]));
        }
        if (bytes & 1)
            out.push_back(0);
        x += n;
    }
    out.push_back(0);
    out.push_back(0); // end of row
}

} // namespace

RgbPicture FilledPicture(int width, int height, Rgb colour) {
    RgbPicture p;
    p.width = width;
    p.height = height;
    p.pixels.assign(static_cast<size_t>(width * height), colour);
    return p;
}

const char* FormName(BmpForm form) {
    static const char* const names[] = {"1-bit",
                                        "4-bit",
                                        "8-bit",
                                        "RLE4",
                                        "RLE8",
                                        "16-bit 555",
                                        "16-bit bit fields 565",
                                        "24-bit",
                                        "32-bit",
                                        "32-bit bit fields",
                                        "32-bit ARGB, version 5 header",
                                        "24-bit, core header",
                                        "8-bit, core header"};
    return names[static_cast<int>(form)];
}

BmpFile WriteBmp(const RgbPicture& pic, BmpForm form, bool topDown) {
    const int w = pic.width;
    const int h = pic.height;
    const int bits = bitsOf(form);
    const bool core = form == BmpForm::Core24 || form == BmpForm::Core8;
    const bool rle = form == BmpForm::Rle4 || form == BmpForm::Rle8;
    if (rle && topDown)
        throw std::invalid_argument("run-length pictures are bottom-up");
    BmpFile file;
    file.black.resize(static_cast<size_t>(w * h));

    // Colour table for palette forms.
    std::vector<Rgb> palette;
    std::vector<int> index(static_cast<size_t>(w * h));
    if (bits <= 8) {
        for (size_t i = 0; i < pic.pixels.size(); ++i) {
            auto it = std::find(palette.begin(), palette.end(), pic.pixels[i]);
            if (it == palette.end()) {
                palette.push_back(pic.pixels[i]);
                it = palette.end() - 1;
            }
            index[i] = static_cast<int>(it - palette.begin());
        }
        if (palette.size() > (1u << bits))
            throw std::invalid_argument("too many colours for the form");
        if (form == BmpForm::Mono)
            palette.resize(2, Rgb{255, 255, 255});
        if (core) // the core header has no count: its table is always full
            palette.resize(1u << bits, Rgb{255, 255, 255});
    }

    // Pixel data rows, in file order.
    std::string data;
    std::vector<std::uint8_t> alphaOf; // for the alpha form: varies per pixel
    const size_t stride = static_cast<size_t>((w * bits + 31) / 32 * 4);
    for (int i = 0; i < h; ++i) {
        const int y = topDown ? i : h - 1 - i;
        if (rle) {
            std::vector<int> row(static_cast<size_t>(w));
            for (int x = 0; x < w; ++x)
                row[static_cast<size_t>(x)] = index[static_cast<size_t>(y * w + x)];
            encodeRleRow(data, row, form == BmpForm::Rle4);
            continue;
        }
        std::string row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const size_t at = static_cast<size_t>(y * w + x);
            const Rgb c = pic.pixels[at];
            switch (bits) {
            case 1:
                if (index[at])
                    row[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
                break;
            case 4:
                row[static_cast<size_t>(x / 2)] |=
                    static_cast<char>(x % 2 ? index[at] : index[at] << 4);
                break;
            case 8:
                row[static_cast<size_t>(x)] = static_cast<char>(index[at]);
                break;
            case 16: {
                std::uint16_t v = 0;
                if (form == BmpForm::Rgb555)
                    v = static_cast<std::uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3);
                else
                    v = static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3);
                // Bit 15 of 5-5-5 is unused; set it to show it is ignored.
                if (form == BmpForm::Rgb555)
                    v |= 0x8000;
                row[static_cast<size_t>(2 * x)] = static_cast<char>(v & 0xFF);
                row[static_cast<size_t>(2 * x + 1)] = static_cast<char>(v >> 8);
                break;
            }
            case 24:
                row[static_cast<size_t>(3 * x)] = static_cast<char>(c.b);
                row[static_cast<size_t>(3 * x + 1)] = static_cast<char>(c.g);
                row[static_cast<size_t>(3 * x + 2)] = static_cast<char>(c.r);
                break;
            case 32: {
                std::uint32_t v = 0;
                if (form == BmpForm::Bitfields32) // blue in the high byte, red low
                    v = std::uint32_t{c.b} << 24 | std::uint32_t{c.g} << 16 |
                        std::uint32_t{c.r} << 8;
                else if (form == BmpForm::Argb32V5) // alpha from the position: some 0
                    v = std::uint32_t((x * 37 + y * 11) & 0xFF) << 24 | std::uint32_t{c.r} << 16 |
                        std::uint32_t{c.g} << 8 | c.b;
                else // the unused top byte is set to show it is ignored
                    v = 0xA5000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
                for (int k = 0; k < 4; ++k)
                    row[static_cast<size_t>(4 * x + k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
                break;
            }
            }
        }
        data += row;
    }
    if (rle) {
        data.push_back(0);
        data.push_back(1); // end of picture
    }

    // Which stored pixels are black.
    for (size_t i = 0; i < pic.pixels.size(); ++i) {
        const Rgb c = bits <= 8 ? palette[static_cast<size_t>(index[i])] : pic.pixels[i];
        bool black = false;
        if (form == BmpForm::Rgb555)
            black = (c.r >> 3) == 0 && (c.g >> 3) == 0 && (c.b >> 3) == 0;
        else if (form == BmpForm::Bitfields565)
            black = (c.r >> 3) == 0 && (c.g >> 2) == 0 && (c.b >> 3) == 0;
        else
            black = c.r == 0 && c.g == 0 && c.b == 0;
        file.black[i] = black ? 1 : 0;
    }

    // Headers.
    std::string info;
    std::uint32_t compression = 0;
    if (rle)
        compression = form == BmpForm::Rle8 ? 1 : 2;
    if (form == BmpForm::Bitfields565 || form == BmpForm::Bitfields32 || form == BmpForm::Argb32V5)
        compression = 3;
    if (core) {
        add32(info, 12);
        add16(info, static_cast<std::uint16_t>(w));
        add16(info, static_cast<std::uint16_t>(h));
        add16(info, 1);
        add16(info, static_cast<std::uint16_t>(bits));
    } else {
        const std::uint32_t size = form == BmpForm::Argb32V5 ? 124 : 40;
        add32(info, size);
        add32(info, static_cast<std::uint32_t>(w));
        add32(info, static_cast<std::uint32_t>(topDown ? -h : h));
        add16(info, 1);
        add16(info, static_cast<std::uint16_t>(bits));
        add32(info, compression);
        add32(info, static_cast<std::uint32_t>(data.size()));
        add32(info, 2835);
        add32(info, 2835);
        add32(info, bits <= 8 ? static_cast<std::uint32_t>(palette.size()) : 0);
        add32(info, 0);
        if (form == BmpForm::Argb32V5) {
            add32(info, 0x00FF0000); // red
            add32(info, 0x0000FF00); // green
            add32(info, 0x000000FF); // blue
            add32(info, 0xFF000000); // alpha
            add32(info, 0x73524742); // 'sRGB'
            info.append(36 + 12 + 16, '\0');
        } else if (form == BmpForm::Bitfields565) {
            add32(info, 0xF800);
            add32(info, 0x07E0);
            add32(info, 0x001F);
        } else if (form == BmpForm::Bitfields32) {
            add32(info, 0x0000FF00); // red
            add32(info, 0x00FF0000); // green
            add32(info, 0xFF000000); // blue
        }
    }
    for (const Rgb& c : palette) {
        info.push_back(static_cast<char>(c.b));
        info.push_back(static_cast<char>(c.g));
        info.push_back(static_cast<char>(c.r));
        if (!core)
            info.push_back(0);
    }
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size());
    std::string& out = file.bytes;
    out = "BM";
    add32(out, static_cast<std::uint32_t>(offset + data.size()));
    add32(out, 0);
    add32(out, offset);
    out += info;
    out += data;
    return file;
}

void PutLe16(std::string& s, size_t at, std::uint16_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

void PutLe32(std::string& s, size_t at, std::uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace Lift::Test
