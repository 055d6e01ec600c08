#include "scene/damage.h"

#include <algorithm>

namespace torvin::scene {

namespace {

// Rectangles become their bounding rectangle when it holds at most this many
// pixels that were never added, or a quarter as many as were: drawing a few
// pixels more costs less than drawing and sending one rectangle more.
constexpr long long kWasteAllowed = 1024;

bool littleWaste(const Rect& bounds, long long added) {
  return bounds.area() - added <= std::max(kWasteAllowed, added / 4);
}

}  // namespace

void Damage::clear() {
  exact_.clear();
  merged_.clear();
  settled_ = true;
}

void Damage::add(const Rect& rect) {
  std::vector<Rect>& pending = pending_;
  pending.assign(1, rect.intersected(kWhole));
  while (!pending.empty()) {
    const Rect piece = pending.back();
    pending.pop_back();
    if (piece.empty()) {
      continue;
    }
    const auto held = std::find_if(exact_.begin(), exact_.end(),
                                   [&piece](const Rect& r) { return r.intersects(piece); });
    if (held == exact_.end()) {
      exact_.push_back(piece);
      settled_ = false;
    } else if (!held->contains(piece)) {
      // The pieces outside the held one: the band above, the band below, and
      // the parts left and right of it between them.
      const Rect inner = piece.intersected(*held);
      pending.push_back({piece.left, piece.top, piece.width, inner.top - piece.top});
      pending.push_back({piece.left, inner.bottom(), piece.width, piece.bottom() - inner.bottom()});
      pending.push_back({piece.left, inner.top, inner.left - piece.left, inner.height});
      pending.push_back({inner.right(), inner.top, piece.right() - inner.right(), inner.height});
    }
  }
}

const std::vector<Rect>& Damage::rects() {
  if (settled_) {
    return merged_;
  }
  settled_ = true;
  merged_ = exact_;
  std::vector<long long>& added = added_;  // of each merged rectangle, the pixels added
  added.clear();
  for (const Rect& rect : merged_) {
    added.push_back(rect.area());
  }
  for (bool merging = true; merging;) {
    merging = false;
    for (std::size_t i = 0; i < merged_.size() && !merging; ++i) {
      for (std::size_t j = i + 1; j < merged_.size() && !merging; ++j) {
        // The bounding rectangle of the two, with every other rectangle it
        // reaches taken in, so that none overlap afterwards.
        std::vector<std::size_t>& taken = taken_;
        taken.assign({i, j});
        Rect bounds = merged_[i].united(merged_[j]);
        long long sum = added[i] + added[j];
        for (std::size_t k = 0; k < merged_.size(); ++k) {
          if (std::find(taken.begin(), taken.end(), k) == taken.end() &&
              merged_[k].intersects(bounds)) {
            taken.push_back(k);
            bounds = bounds.united(merged_[k]);
            sum += added[k];
            k = static_cast<std::size_t>(-1);  // the bounds grew: look at all again
          }
        }
        if (!littleWaste(bounds, sum)) {
          continue;
        }
        std::sort(taken.rbegin(), taken.rend());
        for (const std::size_t k : taken) {
          merged_.erase(merged_.begin() + static_cast<std::ptrdiff_t>(k));
          added.erase(added.begin() + static_cast<std::ptrdiff_t>(k));
        }
        merged_.push_back(bounds);
        added.push_back(sum);
        merging = true;
      }
    }
  }
  return merged_;
}

}  // namespace torvin::scene
