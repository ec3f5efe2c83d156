#include "random-sequence.h"

#include <cassert>
#include <unordered_set>

#include "raylib-api.h"

namespace {

constexpr long long MAX_BITMAP_RANGE = 1LL << 26;

}  // namespace

std::vector<int> drawDistinctValues(unsigned count, int min, int max) {
    assert(min <= max);
    long long const range = static_cast<long long>(max) - min + 1;
    if (count > range) return {};
    std::vector<int> values;
    values.reserve(count);
    // A bitmap of the range while it is small; a set of the values drawn when
    // the range is much larger than the values wanted.
    if (range <= MAX_BITMAP_RANGE) {
        std::vector<bool> taken(static_cast<size_t>(range));
        while (values.size() < count) {
            int const value = raylib::GetRandomValue(min, max);
            size_t const slot = static_cast<size_t>(static_cast<long long>(value) - min);
            if (taken[slot]) continue;
            taken[slot] = true;
            values.push_back(value);
        }
    } else {
        std::unordered_set<int> taken;
        taken.reserve(count);
        while (values.size() < count) {
            int const value = raylib::GetRandomValue(min, max);
            if (taken.insert(value).second) values.push_back(value);
        }
    }
    return values;
}
