#pragma once

#include <array>
#include <cassert>
#include <concepts>
#include <cstddef>

namespace qern {

// A fixed array addressed 1..N. Point indices, positions, slots and meridian
// numbers all count from 1 throughout the program; indexing them the same way
// in code keeps every loop readable against the tables it implements.
template <typename T, int N>
class OneBased {
public:
    constexpr OneBased() = default;
    constexpr explicit OneBased(const T& value) { items_.fill(value); }
    constexpr OneBased(std::initializer_list<T> values)
    {
        assert(values.size() == N);
        std::size_t i = 0;
        for (const T& v : values)
            items_[i++] = v;
    }

    constexpr T& operator[](int i)
    {
        assert(i >= 1 && i <= N);
        return items_[static_cast<std::size_t>(i - 1)];
    }
    constexpr const T& operator[](int i) const
    {
        assert(i >= 1 && i <= N);
        return items_[static_cast<std::size_t>(i - 1)];
    }

    static constexpr int size() { return N; }
    constexpr void fill(const T& value) { items_.fill(value); }

    constexpr auto begin() { return items_.begin(); }
    constexpr auto end() { return items_.end(); }
    constexpr auto begin() const { return items_.begin(); }
    constexpr auto end() const { return items_.end(); }

    constexpr bool operator==(const OneBased& other) const
        requires std::equality_comparable<T>
    {
        return items_ == other.items_;
    }

private:
    std::array<T, N> items_{};
};

} // namespace qern
