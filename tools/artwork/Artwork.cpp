// artwork: draws the launcher's pictures from code, so the project ships only
// its own artwork.
//
//   artwork --bitmap OUT.bmp   built-in splash bitmap (resource 129): 506 x 314, 24 bits
//   artwork --icon OUT.ico     application icon (resource 131): 256, 128, 64, 48, 32,
//                              24 and 16 pixels, each at 4, 8 and 32 bits per pixel
//   artwork --splash OUT.bmp   the demo's splash picture: 506 x 314, 24 bits
//
// Several options may be given in one call.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ImageFiles.h"
#include "Raster.h"

using namespace artwork;

namespace {

constexpr int kSplashWidth = 506;
constexpr int kSplashHeight = 314;

// The emblem: a blue tile with an orange arrow dropping into a white tray.
// (x0, y0, size) place it on the raster in normalized units; aspect corrects
// for non-square rasters (size is a fraction of the raster's height).
void DrawEmblem(Raster& r, float cx, float cy, float size) {
    const float aspect = float(r.Width()) / r.Height();
    auto local = [=](float u, float v, float& s, float& t) {
        s = (u - cx) * aspect / size + 0.5f;
        t = (v - cy) / size + 0.5f;
    };
    auto tile = [=](float u, float v) {
        float s, t;
        local(u, v, s, t);
        return InRoundedRect(s, t, 0.04f, 0.04f, 0.96f, 0.96f, 0.18f);
    };
    r.Paint(tile, [=](float u, float v) {
        float s, t;
        local(u, v, s, t);
        return Mix(FromHex(0x3C92E0), FromHex(0x1B4F9C), t);
    });
    auto arrow = [=](float u, float v) {
        float s, t;
        local(u, v, s, t);
        return InRoundedRect(s, t, 0.41f, 0.14f, 0.59f, 0.48f, 0.03f) ||
               InPolygon(s, t, {{0.25f, 0.45f}, {0.75f, 0.45f}, {0.5f, 0.70f}});
    };
    r.Paint(arrow, [](float, float) { return FromHex(0xF5A623); });
    auto tray = [=](float u, float v) {
        float s, t;
        local(u, v, s, t);
        return InRoundedRect(s, t, 0.18f, 0.58f, 0.82f, 0.85f, 0.05f) &&
               !InRoundedRect(s, t, 0.26f, 0.50f, 0.74f, 0.77f, 0.03f);
    };
    r.Paint(tray, [](float, float) { return FromHex(0xFFFFFF); });
}

std::unique_ptr<Raster> BuiltInBitmap() {
    auto r = std::make_unique<Raster>(kSplashWidth, kSplashHeight);
    r->Fill([](float, float v) { return Mix(FromHex(0xFFFFFF), FromHex(0xD6E6F7), v); });
    // Soft rings in the corners keep the middle calm for the emblem and the
    // two text lines that the dialog draws over the picture.
    r->Paint([](float u, float v) { return InCircle(u, v * 0.62f, 0.98f, 0.02f, 0.30f); },
             [](float, float) { return FromHex(0x9CC3EC, 0.35f); });
    r->Paint([](float u, float v) { return InCircle(u, v * 0.62f, 0.02f, 0.62f, 0.22f); },
             [](float, float) { return FromHex(0x9CC3EC, 0.30f); });
    r->Paint([](float u, float v) { return InCircle(u, v * 0.62f, 0.90f, 0.60f, 0.12f); },
             [](float, float) { return FromHex(0xB7D4F2, 0.40f); });
    DrawEmblem(*r, 0.5f, 0.50f, 0.36f);
    return r;
}

std::unique_ptr<Raster> DemoSplash() {
    auto r = std::make_unique<Raster>(kSplashWidth, kSplashHeight);
    r->Fill([](float, float v) { return Mix(FromHex(0x8CC8F2), FromHex(0xEAF5FD), v * 1.4f); });
    r->Paint([](float u, float v) { return InCircle(u * 1.61f, v, 1.30f, 0.30f, 0.11f); },
             [](float, float) { return FromHex(0xFFD54A); });
    r->Paint([](float u, float v) { return InPolygon(u, v, {{0.0f, 1.0f}, {0.0f, 0.70f}, {0.22f, 0.52f},
                                                             {0.42f, 0.68f}, {0.62f, 0.48f}, {0.85f, 0.66f},
                                                             {1.0f, 0.58f}, {1.0f, 1.0f}}); },
             [](float, float v) { return Mix(FromHex(0x7FA7C9), FromHex(0xA9C8E0), v); });
    r->Paint([](float u, float v) { return InCircle(u * 1.61f, v, 0.40f, 1.55f, 0.80f) ||
                                           InCircle(u * 1.61f, v, 1.30f, 1.70f, 0.85f); },
             [](float, float v) { return Mix(FromHex(0x8FCB6B), FromHex(0x5E9E46), (v - 0.75f) * 4); });
    return r;
}

std::unique_ptr<Raster> IconImageOfSize(int size) {
    auto r = std::make_unique<Raster>(size, size);
    r->Fill([](float, float) { return Rgba{}; });
    DrawEmblem(*r, 0.5f, 0.5f, 1.0f);
    return r;
}

bool WriteAppIcon(const std::string& path) {
    static const int kSizes[] = {256, 128, 64, 48, 32, 24, 16};
    static const int kDepths[] = {32, 8, 4};
    std::vector<std::unique_ptr<Raster>> rasters;
    for (int s : kSizes) rasters.push_back(IconImageOfSize(s));
    std::vector<IconImage> images;
    for (int d : kDepths)
        for (auto& r : rasters) images.push_back({r.get(), d});
    return WriteIcon(path, images);
}

int Usage() {
    std::fprintf(stderr, "usage: artwork [--bitmap OUT.bmp] [--icon OUT.ico] [--splash OUT.bmp]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc % 2 == 0) return Usage();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string out = argv[i + 1];
        bool ok;
        if (std::strcmp(argv[i], "--bitmap") == 0) ok = WriteBmp24(out, *BuiltInBitmap());
        else if (std::strcmp(argv[i], "--splash") == 0) ok = WriteBmp24(out, *DemoSplash());
        else if (std::strcmp(argv[i], "--icon") == 0) ok = WriteAppIcon(out);
        else return Usage();
        if (!ok) {
            std::fprintf(stderr, "artwork: cannot write %s\n", out.c_str());
            return 1;
        }
    }
    return 0;
}
