#include "random-sequence.h"

#include <cassert>

#include "raylib-api.h"

std::vector<int> drawDistinctValues(unsigned count, int min, int max) {
    assert(min <= max);
    long long const range = static_cast<long long>(max) - min + 1;
    if (count > range) return {};
    std::vector<bool> taken(static_cast<size_t>(range));
    std::vector<int> values;
    values.reserve(count);
    while (values.size() < count) {
        int const value = raylib::GetRandomValue(min, max);
        size_t const slot = static_cast<size_t>(static_cast<long long>(value) - min);
        if (taken[slot]) continue;
        taken[slot] = true;
        values.push_back(value);
    }
    return values;
}
