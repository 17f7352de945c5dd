#include "testing/TileLayout.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>

std::vector<TileRect> LayOutTileRects(int count, int width, int height)
{
    std::vector<TileRect> rects;
    if (count <= 0)
        return rects;
    const int tileWidth = std::max(0, (width - 20 - 10 * (count - 1)) / count);
    const int tileHeight = std::max(0, height - 20);
    rects.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        rects.push_back({10 + i * (tileWidth + 10), 10, tileWidth, tileHeight});
    return rects;
}

RandomSource SeededRandom(uint32_t seed)
{
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine](int bound) {
        if (bound <= 1)
            return 0;
        std::uniform_int_distribution<int> draw(0, bound - 1);
        return draw(*engine);
    };
}

RandomSource ClockSeededRandom()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return SeededRandom(static_cast<uint32_t>(ticks ^ (ticks >> 32)));
}

std::vector<int> NewTileOrder(const RandomSource &random)
{
    std::vector<int> order;
    order.reserve(8);
    // Rejection sampling ends within a few dozen draws with any fair source;
    // the bound only keeps a broken one from hanging the testing page.
    for (int draws = 0; order.size() < 8 && draws < 100000; ++draws) {
        const int r = random(8);
        if (r < 0 || r > 7)
            continue; // a faulty source must not put a foreign tag on a tile
        if (std::find(order.begin(), order.end(), r + 1) == order.end())
            order.push_back(r + 1);
    }
    for (int tag = 1; order.size() < 8; ++tag)
        if (std::find(order.begin(), order.end(), tag) == order.end())
            order.push_back(tag);
    return order;
}
