#pragma once

#include <vector>

// count distinct integers of [min, max], drawn with raylib's GetRandomValue
// one at a time, repeats rejected: exactly the sequence raylib's
// LoadRandomSequence returns from the same generator state (both draw and
// reject the same way), but a repeat is found in a bitmap instead of by a
// scan of every earlier value, so the cost grows with the draws, not with
// their square. Needs min <= max; empty when count exceeds the range, where
// raylib returns NULL.
std::vector<int> drawDistinctValues(unsigned count, int min, int max);
