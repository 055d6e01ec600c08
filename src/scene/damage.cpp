#include "scene/damage.h"

#include <algorithm>

namespace torvin::scene {

namespace {

// Two rectangles become their bounding rectangle when it holds at most this
// many pixels that neither holds, or a quarter as many as they hold: drawing a
// few pixels more costs less than drawing and sending one rectangle more.
constexpr long long kWasteAllowed = 1024;

// Far more cutting and merging than any frame needs.
constexpr int kMostRounds = 10000;

bool worthMerging(const Rect& a, const Rect& b) {
  const long long held = a.area() + b.area() - a.intersected(b).area();
  const long long waste = a.united(b).area() - held;
  return waste <= std::max(kWasteAllowed, held / 4);
}

// The pieces of `rect` outside `hole` (which it overlaps): the band above, the
// band below, and the parts left and right of it between them.
void cutAround(const Rect& rect, const Rect& hole, std::vector<Rect>& out) {
  const Rect inner = rect.intersected(hole);
  out.push_back({rect.left, rect.top, rect.width, inner.top - rect.top});
  out.push_back({rect.left, inner.bottom(), rect.width, rect.bottom() - inner.bottom()});
  out.push_back({rect.left, inner.top, inner.left - rect.left, inner.height});
  out.push_back({inner.right(), inner.top, rect.right() - inner.right(), inner.height});
  out.erase(
      std::remove_if(out.end() - 4, out.end(), [](const Rect& piece) { return piece.empty(); }),
      out.end());
}

}  // namespace

void Damage::add(const Rect& rect) {
  std::vector<Rect> pending{rect.intersected(kWhole)};
  for (int rounds = 0; !pending.empty(); ++rounds) {
    if (rounds == kMostRounds) {
      // Never seen; should cutting and merging ever go round in circles, one
      // rectangle holds it all.
      Rect all;
      for (const Rect& held : rects_) {
        all = all.united(held);
      }
      for (const Rect& waiting : pending) {
        all = all.united(waiting);
      }
      rects_ = {all};
      return;
    }
    const Rect piece = pending.back();
    pending.pop_back();
    if (piece.empty()) {
      continue;
    }
    bool placed = true;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
      const Rect held = rects_[i];
      if (held.contains(piece)) {
        placed = false;
        break;
      }
      if (piece.contains(held) || worthMerging(held, piece)) {
        // The held rectangle goes into the new one, which is then placed again
        // among the others.
        rects_[i] = rects_.back();
        rects_.pop_back();
        pending.push_back(held.united(piece));
        placed = false;
        break;
      }
      if (held.intersects(piece)) {
        cutAround(piece, held, pending);
        placed = false;
        break;
      }
    }
    if (placed) {
      rects_.push_back(piece);
    }
  }
}

}  // namespace torvin::scene
