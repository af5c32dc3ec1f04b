#include "engine/RowWindowChooser.h"

#include <algorithm>
#include <functional>
#include <queue>

#include "engine/RLEFormat.h"

namespace quenda {

namespace {

struct Cursor {
    int32_t position;  // current first position of the colour at or after the start
    int32_t slot;      // index into the row's colours
    size_t copy;       // how many of the colour's copies lie before position, plus one
};

struct LaterFirst {
    bool operator()(const Cursor& a, const Cursor& b) const { return a.position > b.position; }
};

}  // namespace

RowWindowChooser::RowWindowChooser(std::vector<PaletteKey>& palette)
    : palette_(palette), copies_(palette.size()) {}

int32_t RowWindowChooser::Find(int32_t id, int32_t start) const {
    if (start <= id) {
        return id;
    }
    const std::vector<int32_t>& copies = copies_[id];
    const auto it = std::lower_bound(copies.begin(), copies.end(), start);
    return it == copies.end() ? -1 : *it;
}

int32_t RowWindowChooser::ChooseBase(const std::vector<int32_t>& rowColors) {
    if (rowColors.empty()) {
        return 1;
    }
    // Start at 0 and move the start past the lowest position until the row's
    // positions span fewer than 251 entries, or some colour has none left.
    std::priority_queue<Cursor, std::vector<Cursor>, LaterFirst> lowest;
    int32_t hi = 0;
    for (size_t s = 0; s < rowColors.size(); ++s) {
        lowest.push({rowColors[s], static_cast<int32_t>(s), 0});
        hi = std::max(hi, rowColors[s]);
    }
    for (;;) {
        const Cursor low = lowest.top();
        if (hi - low.position < rle::kWindowSize) {
            return hi < rle::kDirectPaletteLimit ? 1 : std::max(1, low.position);
        }
        lowest.pop();
        const std::vector<int32_t>& copies = copies_[rowColors[low.slot]];
        if (low.copy >= copies.size()) {
            return AppendMissing(rowColors);
        }
        const int32_t next = copies[low.copy];
        hi = std::max(hi, next);
        lowest.push({next, low.slot, low.copy + 1});
    }
}

int32_t RowWindowChooser::AppendMissing(const std::vector<int32_t>& rowColors) {
    // The window becomes the last 251 entries once the missing colours are appended.
    const auto count = static_cast<int32_t>(palette_.size());
    const int32_t start =
        (count - 1) + static_cast<int32_t>(rowColors.size()) - rle::kDirectPaletteLimit;
    for (const int32_t id : rowColors) {
        if (Find(id, start) < 0) {
            copies_[id].push_back(static_cast<int32_t>(palette_.size()));
            palette_.push_back(palette_[id]);
        }
    }
    return std::max(1, start);
}

int32_t RowWindowChooser::Code(int32_t id, int32_t base) const {
    const int32_t position = Find(id, base);
    if (position < 0) {
        return -1;
    }
    const int32_t code = position + 1 - base;
    return code >= 1 && code <= rle::kWindowSize ? code : -1;
}

}  // namespace quenda
