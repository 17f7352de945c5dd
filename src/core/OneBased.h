#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

// Fixed-size array indexed from 1, so code reads like the record layout it
// follows (Choice[2][8] is the last position of the second choice) and an
// index outside the range throws instead of touching foreign memory.
template <typename T, int N>
class OneBased {
public:
    static constexpr int size() { return N; }

    T &operator[](int i) { return items.at(check(i)); }
    const T &operator[](int i) const { return items.at(check(i)); }

    void fill(const T &value) { items.fill(value); }

    bool operator==(const OneBased &other) const = default;

    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }

private:
    static std::size_t check(int i)
    {
        if (i < 1 || i > N)
            throw std::out_of_range("index outside 1.." + std::to_string(N));
        return static_cast<std::size_t>(i - 1);
    }

    std::array<T, N> items{};
};
