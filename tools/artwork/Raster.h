// A small software rasterizer for the project's artwork: an RGBA canvas with
// anti-aliased shapes (each pixel sampled on a 4 x 4 grid).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace artwork {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;  // 0..1, not premultiplied
};

Rgba Mix(const Rgba& x, const Rgba& y, float t);
Rgba FromHex(uint32_t rgb, float alpha = 1.0f);

class Raster {
public:
    Raster(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const Rgba& At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }

    // Fills every pixel with shade(u, v), u and v the pixel centre in 0..1.
    void Fill(const std::function<Rgba(float u, float v)>& shade);

    // Blends shade over the pixels that inside(u, v) covers, weighted by the
    // covered share of each pixel.
    void Paint(const std::function<bool(float u, float v)>& inside,
               const std::function<Rgba(float u, float v)>& shade);

private:
    int m_width;
    int m_height;
    std::vector<Rgba> m_pixels;
};

// Shape tests in normalized coordinates.
bool InRoundedRect(float u, float v, float x0, float y0, float x1, float y1, float radius);
bool InCircle(float u, float v, float cx, float cy, float radius);
bool InPolygon(float u, float v, const std::vector<std::pair<float, float>>& points);

}  // namespace artwork
