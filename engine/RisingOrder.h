#pragma once

#include <cstdint>
#include <vector>

namespace quenda {

// The order of `keys` rising, ties in index order: a counting sort into as many
// buckets as keys, each bucket then sorted on its own, which is little work when
// the keys spread. Colours projected on an axis spread well, and are sorted this
// way for every reduced row.
std::vector<uint32_t> RisingOrder(const std::vector<float>& keys);

}  // namespace quenda
