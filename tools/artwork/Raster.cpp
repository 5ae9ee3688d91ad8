#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace artwork {

Rgba Mix(const Rgba& x, const Rgba& y, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Rgba FromHex(uint32_t rgb, float alpha) {
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha};
}

Raster::Raster(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height) {}

void Raster::Fill(const std::function<Rgba(float, float)>& shade) {
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            m_pixels[static_cast<size_t>(y) * m_width + x] =
                shade((x + 0.5f) / m_width, (y + 0.5f) / m_height);
}

void Raster::Paint(const std::function<bool(float, float)>& inside,
                   const std::function<Rgba(float, float)>& shade) {
    constexpr int kGrid = 4;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kGrid; ++sy)
                for (int sx = 0; sx < kGrid; ++sx)
                    if (inside((x + (sx + 0.5f) / kGrid) / m_width, (y + (sy + 0.5f) / kGrid) / m_height)) ++hits;
            if (hits == 0) continue;
            Rgba src = shade((x + 0.5f) / m_width, (y + 0.5f) / m_height);
            float cover = src.a * hits / float(kGrid * kGrid);
            Rgba& dst = m_pixels[static_cast<size_t>(y) * m_width + x];
            float outA = cover + dst.a * (1 - cover);
            if (outA <= 0) continue;
            dst.r = (src.r * cover + dst.r * dst.a * (1 - cover)) / outA;
            dst.g = (src.g * cover + dst.g * dst.a * (1 - cover)) / outA;
            dst.b = (src.b * cover + dst.b * dst.a * (1 - cover)) / outA;
            dst.a = outA;
        }
    }
}

bool InRoundedRect(float u, float v, float x0, float y0, float x1, float y1, float radius) {
    if (u < x0 || u > x1 || v < y0 || v > y1) return false;
    float cx = std::clamp(u, x0 + radius, x1 - radius);
    float cy = std::clamp(v, y0 + radius, y1 - radius);
    float dx = u - cx, dy = v - cy;
    return dx * dx + dy * dy <= radius * radius;
}

bool InCircle(float u, float v, float cx, float cy, float radius) {
    float dx = u - cx, dy = v - cy;
    return dx * dx + dy * dy <= radius * radius;
}

bool InPolygon(float u, float v, const std::vector<std::pair<float, float>>& points) {
    bool in = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const auto& a = points[i];
        const auto& b = points[j];
        if ((a.second > v) != (b.second > v) &&
            u < (b.first - a.first) * (v - a.second) / (b.second - a.second) + a.first)
            in = !in;
    }
    return in;
}

}  // namespace artwork
