#include "ImageFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace artwork {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

struct Rgb {
    uint8_t r, g, b;
};

Rgb OverWhite(const Rgba& p) {
    return {ToByte(p.r * p.a + (1 - p.a)), ToByte(p.g * p.a + (1 - p.a)), ToByte(p.b * p.a + (1 - p.a))};
}

Rgb Opaque(const Rgba& p) { return {ToByte(p.r), ToByte(p.g), ToByte(p.b)}; }

// BITMAPINFOHEADER, 40 bytes.
void PutInfoHeader(Bytes& out, int width, int height, int bpp, uint32_t imageSize, uint32_t colours) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bpp));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, colours);
    Put32(out, 0);
}

size_t RowBytes(int width, int bpp) { return ((static_cast<size_t>(width) * bpp + 31) / 32) * 4; }

std::vector<Rgb> StandardPalette16() {
    return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
            {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

// 6 x 6 x 6 colour cube and 40 greys.
std::vector<Rgb> Palette256() {
    std::vector<Rgb> pal;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.push_back({uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51)});
    for (int i = 0; i < 40; ++i) {
        uint8_t v = static_cast<uint8_t>(3 + i * 252 / 39);
        pal.push_back({v, v, v});
    }
    return pal;
}

uint8_t Nearest(const std::vector<Rgb>& pal, Rgb c) {
    int best = 0;
    long bestDist = -1;
    for (size_t i = 0; i < pal.size(); ++i) {
        long dr = long(pal[i].r) - c.r, dg = long(pal[i].g) - c.g, db = long(pal[i].b) - c.b;
        long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (bestDist < 0 || d < bestDist) { bestDist = d; best = static_cast<int>(i); }
    }
    return static_cast<uint8_t>(best);
}

bool WriteAll(const std::string& path, const Bytes& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(f);
}

// One icon image: header (height doubled), palette, colour bits, AND mask.
Bytes EncodeIconImage(const Raster& img, int bpp) {
    const int w = img.Width(), h = img.Height();
    std::vector<Rgb> pal;
    if (bpp == 4) pal = StandardPalette16();
    if (bpp == 8) pal = Palette256();
    const size_t xorRow = RowBytes(w, bpp), andRow = RowBytes(w, 1);
    Bytes out;
    PutInfoHeader(out, w, h * 2, bpp, static_cast<uint32_t>((xorRow + andRow) * h), 0);
    for (const Rgb& c : pal) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(xorRow, 0);
        for (int x = 0; x < w; ++x) {
            const Rgba& p = img.At(x, y);
            if (bpp == 32) {
                Rgb c = Opaque(p);
                row[x * 4 + 0] = c.b;
                row[x * 4 + 1] = c.g;
                row[x * 4 + 2] = c.r;
                row[x * 4 + 3] = ToByte(p.a);
                continue;
            }
            // Paletted images have no alpha: masked pixels carry index 0 (black).
            uint8_t idx = p.a >= 0.5f ? Nearest(pal, OverWhite(Rgba{p.r, p.g, p.b, 1.0f})) : 0;
            if (bpp == 8) row[x] = idx;
            else row[x / 2] |= static_cast<uint8_t>((x % 2 == 0) ? (idx << 4) : idx);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < w; ++x)
            if (img.At(x, y).a < 0.5f) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

bool WriteBmp24(const std::string& path, const Raster& image) {
    const int w = image.Width(), h = image.Height();
    const size_t row = RowBytes(w, 24);
    const uint32_t pixels = static_cast<uint32_t>(row * h);
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + pixels);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, w, h, 24, pixels, 0);
    for (int y = h - 1; y >= 0; --y) {
        Bytes line(row, 0);
        for (int x = 0; x < w; ++x) {
            Rgb c = OverWhite(image.At(x, y));
            line[x * 3 + 0] = c.b;
            line[x * 3 + 1] = c.g;
            line[x * 3 + 2] = c.r;
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return WriteAll(path, out);
}

bool WriteIcon(const std::string& path, const std::vector<IconImage>& images) {
    std::vector<Bytes> encoded;
    for (const IconImage& i : images) encoded.push_back(EncodeIconImage(*i.image, i.bitsPerPixel));
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const Raster& img = *images[i].image;
        out.push_back(static_cast<uint8_t>(img.Width() >= 256 ? 0 : img.Width()));
        out.push_back(static_cast<uint8_t>(img.Height() >= 256 ? 0 : img.Height()));
        out.push_back(static_cast<uint8_t>(images[i].bitsPerPixel == 4 ? 16 : 0));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(images[i].bitsPerPixel));
        Put32(out, static_cast<uint32_t>(encoded[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(encoded[i].size());
    }
    for (const Bytes& e : encoded) out.insert(out.end(), e.begin(), e.end());
    return WriteAll(path, out);
}

}  // namespace artwork
