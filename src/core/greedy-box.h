#pragma once

#include <array>
#include <cstddef>

// Whether every cell of the slab of the box from start, size wide, that lies
// just past its far side along axis is free.
template <size_t N, class Free>
bool slabFree(std::array<int, N> const& start, std::array<int, N> const& size, size_t axis, Free const& free) {
    std::array<int, N> cell = start;
    cell[axis] = start[axis] + size[axis];
    while (true) {
        if (!free(cell)) return false;
        // The next cell of the slab, the first axis fastest.
        size_t a = 0;
        for (; a < N; ++a) {
            if (a == axis) continue;
            if (++cell[a] < start[a] + size[a]) break;
            cell[a] = start[a];
        }
        if (a == N) return true;
    }
}

// The size of the box that starts at a free cell and grows along each axis
// in turn, the first first, as far as every cell it would take is free and
// below limit: the step of greedy meshing.
template <size_t N, class Free>
std::array<int, N> growBox(std::array<int, N> const& start, int limit, Free const& free) {
    std::array<int, N> size;
    size.fill(1);
    for (size_t axis = 0; axis < N; ++axis) {
        while (start[axis] + size[axis] < limit && slabFree(start, size, axis, free)) ++size[axis];
    }
    return size;
}
