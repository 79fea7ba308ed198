// Polygon scan conversion by GDI's rule: pixel (i, j) is covered when the
// point (i, j) lies inside the shape, left and top edges inside, right and
// bottom edges outside, horizontal edges ignored.
//
// Vertices are rounded to 1/256 pixel. Each edge keeps its crossing with the
// current row as an exact rational, its ceiling plus how far that lies past
// it, stepped by a DDA from row to row, so the column where a span starts
// (the ceiling) is exact and the same for two polygons that share an edge. Rows
// are swept top to bottom. A contour's edges are taken as chains: runs of
// edges in order that go the same way, one starting where the one before
// ends, so that an edge ending hands on to the next of its chain in place.
// The active chains are kept sorted by crossing; a y-monotone contour,
// two chains, is swept without a list at all.
//
// Shapes reaching far outside the clip bounds are first clipped in double
// precision to a guard box around them (Sutherland-Hodgman), which keeps the
// winding number of every point inside the box; afterwards every coordinate
// fits the fixed-point range and only visible rows are visited.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <orvane/gdi/detail/Rasterizer.h>
#include <orvane/gdi/detail/SpanPaint.h>

namespace orvane::gdi {

namespace {

constexpr int kSubBits = 8;
constexpr int64_t kOne = int64_t{1} << kSubBits;
// How far outside the clip bounds a shape may reach before it is clipped.
constexpr double kGuardMargin = 1 << 20;
// Inputs beyond this are pinned first, so no intermediate overflows.
constexpr double kHuge = 1e100;

struct Edge {
  int64_t x;      // ceiling of the crossing on the current row
  int64_t above;  // how far x lies past the crossing, in 1/den: in [0, den)
  int64_t stepQ;  // change of the crossing from one row to the next:
  int64_t stepR;  // stepQ + stepR / den, 0 <= stepR < den
  int64_t den;
  int32_t yTop;  // first row
  int32_t yEnd;  // first row below the edge
  int32_t winding;
  int32_t next;  // the edge of its chain starting on row yEnd, or -1
};

// Moves a crossing of edge `e` (x and above, as Edge holds them) on to the
// next row: x moves by stepQ, and by one more where the crossing passes it.
inline void StepCrossing(const Edge& e, int64_t& x, int64_t& above) {
  // The borrow without a branch: it comes irregularly.
  const int64_t less = above - e.stepR;
  const int64_t borrow = less < 0;
  above = less + (e.den & -borrow);
  x += e.stepQ + borrow;
}

inline void Step(Edge& e) { StepCrossing(e, e.x, e.above); }

// to = from where a == b, by a conditional move, not a branch: the
// compiler makes a plain choice of these a branch, and they come
// irregularly.
inline void MoveIfEqual(int32_t a, int32_t b, uint64_t& to, uint64_t from) {
#if defined(__x86_64__) && defined(__GNUC__)
  __asm__("cmpl %[b], %[a]\n\tcmove %[from], %[to]" : [to] "+r"(to) : [a] "r"(a), [b] "r"(b), [from] "r"(from) : "cc");
#else
  const uint64_t mask = -static_cast<uint64_t>(a == b);
  to = (from & mask) | (to & ~mask);
#endif
}

inline void MoveIfEqual(int32_t a, int32_t b, int64_t& to, int64_t from) {
  uint64_t bits = static_cast<uint64_t>(to);
  MoveIfEqual(a, b, bits, static_cast<uint64_t>(from));
  to = static_cast<int64_t>(bits);
}

// The edge after `cur` in its chain where `cur` ends on row y, else `cur`,
// chosen by a conditional move: which edges end comes irregularly. Where
// `cur` goes on, its next may be -1: that is worked out as a number only.
template <class E>
inline E* EdgeOnRow(E* edges, E* cur, int32_t y) {
  const uint64_t nextAt =
      reinterpret_cast<uintptr_t>(edges) + static_cast<uint64_t>(static_cast<int64_t>(cur->next)) * sizeof(Edge);
  uint64_t at = reinterpret_cast<uintptr_t>(cur);
  MoveIfEqual(cur->yEnd, y, at, nextAt);
  return reinterpret_cast<E*>(at);
}

// A chain of edges covering rows [yTop, yEnd), from edge `first` on
// through Edge::next.
struct Chain {
  int32_t first;
  int32_t yTop, yEnd;
  int32_t winding;
};

struct Box {
  double left, top, right, bottom;
};

struct FillScratch {
  std::vector<Edge> edges;
  std::vector<int32_t> startsAt;      // by row from the first: the first chain starting there, or -1
  std::vector<int32_t> nextStarting;  // by chain: the next chain starting on its row, or -1
  std::vector<size_t> contourEnds;    // by contour: the end of its edges
  std::vector<Chain> chains;
  std::vector<Edge*> active;  // the edges crossing the current row, by crossing
  std::vector<PointD> clipA, clipB;
};

FillScratch& Scratch() {
  thread_local FillScratch scratch;
  return scratch;
}

inline int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  int64_t q = a / b;
  if (a % b < 0) --q;
  return q;
}

inline __int128 FloorDiv128(__int128 a, __int128 b) {  // b > 0
  __int128 q = a / b;
  if (a % b < 0) --q;
  return q;
}

// The first whole row at or below a fixed-point y: an arithmetic shift, the
// coordinates lying far inside the range where adding kOne - 1 cannot overflow.
inline int64_t RowAtOrBelow(int64_t y) { return (y + kOne - 1) >> kSubBits; }

// A point in fixed point: floor(c * kOne + 0.5) of each coordinate c,
// without a call to floor. The point lies within the guard box, so the
// values are far inside the range where these steps are exact.
inline void ToFixed(const PointD& p, int64_t& x, int64_t& y) {
#if defined(__SSE2__)
  // x and y side by side. Adding and taking away 1.5 * 2^52 rounds to the
  // nearest whole number; one less where that lies above is the floor.
  // Comparing in doubles saves turning the integers back into doubles.
  constexpr double kRounder = 6755399441055744.0;
  const __m128d t = _mm_add_pd(_mm_mul_pd(_mm_loadu_pd(&p.x), _mm_set1_pd(static_cast<double>(kOne))),
                               _mm_set1_pd(0.5));
  const __m128d nearest = _mm_sub_pd(_mm_add_pd(t, _mm_set1_pd(kRounder)), _mm_set1_pd(kRounder));
  const __m128d floor = _mm_sub_pd(nearest, _mm_and_pd(_mm_cmpgt_pd(nearest, t), _mm_set1_pd(1.0)));
  x = _mm_cvttsd_si64(floor);
  y = _mm_cvttsd_si64(_mm_unpackhi_pd(floor, floor));
#else
  const auto fixed = [](double v) {
    const double t = v * kOne + 0.5;
    const int64_t truncated = static_cast<int64_t>(t);
    return truncated - (static_cast<double>(truncated) > t);
  };
  x = fixed(p.x);
  y = fixed(p.y);
#endif
}

inline double Pin(double v) { return std::clamp(v, -kHuge, kHuge); }

// Adds the edge between two fixed-point vertices, limited to rows [top, bottom).
void AddEdge(std::vector<Edge>& edges, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t top,
             int32_t bottom) {
  if (y0 == y1) return;
  int32_t winding = 1;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    winding = -1;
  }
  const int64_t yTop = std::max<int64_t>(RowAtOrBelow(y0), top);
  const int64_t yEnd = std::min<int64_t>(RowAtOrBelow(y1), bottom);
  if (yTop >= yEnd) return;
  const int64_t dx = x1 - x0, dy = y1 - y0;
  Edge e;
  e.den = dy << kSubBits;
  // Crossing on row yTop: (x0 * dy + (yTop * kOne - y0) * dx) / (kOne * dy).
  const int64_t rise = yTop * kOne - y0;
  constexpr int64_t kSmall = int64_t{1} << 30;
  int64_t q, r;
  if (x0 > -kSmall && x0 < kSmall && dx > -kSmall && dx < kSmall && dy < kSmall && rise < kSmall) {
    // Every product below 2^60: 64 bits suffice (0 <= rise, 0 < dy).
    const int64_t n = x0 * dy + rise * dx;
    q = FloorDiv(n, e.den);
    r = n - q * e.den;
  } else {
    const __int128 n = static_cast<__int128>(x0) * dy + static_cast<__int128>(rise) * dx;
    const __int128 q128 = FloorDiv128(n, e.den);
    q = static_cast<int64_t>(q128);
    r = static_cast<int64_t>(n - q128 * e.den);
  }
  // The crossing is q + r / den; x its ceiling.
  e.x = q + (r != 0);
  e.above = r != 0 ? e.den - r : 0;
  e.stepQ = FloorDiv(dx, dy);
  e.stepR = (dx - e.stepQ * dy) << kSubBits;
  e.yTop = static_cast<int32_t>(yTop);
  e.yEnd = static_cast<int32_t>(yEnd);
  e.winding = winding;
  e.next = -1;
  edges.push_back(e);
}

// Keeps the part of `src` on the inner side of one box side. The crossing
// point is always computed from the inside vertex towards the outside one, so
// an edge shared by two polygons is cut at the same point in both.
template <bool kVertical, bool kKeepAbove>
void ClipSide(const std::vector<PointD>& src, std::vector<PointD>& dst, double bound) {
  dst.clear();
  if (src.empty()) return;
  auto coord = [](const PointD& p) { return kVertical ? p.x : p.y; };
  auto inside = [&](const PointD& p) { return kKeepAbove ? coord(p) >= bound : coord(p) <= bound; };
  auto cut = [&](const PointD& in, const PointD& out) {
    const double t = (bound - coord(in)) / (coord(out) - coord(in));
    if (kVertical) return PointD{bound, in.y + t * (out.y - in.y)};
    return PointD{in.x + t * (out.x - in.x), bound};
  };
  PointD prev = src.back();
  bool prevIn = inside(prev);
  for (const PointD& p : src) {
    const bool in = inside(p);
    if (in != prevIn) dst.push_back(prevIn ? cut(prev, p) : cut(p, prev));
    if (in) dst.push_back(p);
    prev = p;
    prevIn = in;
  }
}

void ClipToBox(std::vector<PointD>& poly, std::vector<PointD>& tmp, const Box& box) {
  ClipSide<true, true>(poly, tmp, box.left);
  ClipSide<true, false>(tmp, poly, box.right);
  ClipSide<false, true>(poly, tmp, box.top);
  ClipSide<false, false>(tmp, poly, box.bottom);
}

void AddContourEdges(std::vector<Edge>& edges, const PointD* pts, size_t n, const Rect& clip) {
  if (n < 3) return;
  int64_t px, py;
  ToFixed(pts[n - 1], px, py);
  for (size_t i = 0; i < n; ++i) {
    int64_t x, y;
    ToFixed(pts[i], x, y);
    AddEdge(edges, px, py, x, y, clip.top, clip.bottom);
    px = x;
    py = y;
  }
}

// Splits each contour's edges into chains: runs of edges in the contour's
// order that go the same way up or down, each starting on the row where the
// one before ends; Edge::next links a chain's edges top to bottom.
void BuildChains(FillScratch& s) {
  auto& chains = s.chains;
  chains.clear();
  std::vector<Edge>& edges = s.edges;
  size_t begin = 0;
  for (const size_t end : s.contourEnds) {
    const size_t n = end - begin;
    // The k-th edge of the contour counting round from its first (k < 2n).
    const auto at = [&](size_t k) { return begin + (k < n ? k : k - n); };
    // Start where the direction turns, so no chain wraps round the start.
    size_t start = 0;
    while (start < n && edges[at(start + n - 1)].winding == edges[at(start)].winding) ++start;
    if (start == n) start = 0;
    for (size_t k = 0; k < n;) {
      size_t top = at(start + k), bottom = top;
      const int32_t winding = edges[top].winding;
      for (++k; k < n; ++k) {
        const size_t i = at(start + k);
        Edge& e = edges[i];
        if (e.winding != winding) break;
        // Downward edges follow each other in the contour's order, upward
        // ones the other way round.
        if (winding > 0) {
          if (e.yTop != edges[bottom].yEnd) break;
          edges[bottom].next = static_cast<int32_t>(i);
          bottom = i;
        } else {
          if (e.yEnd != edges[top].yTop) break;
          e.next = static_cast<int32_t>(top);
          top = i;
        }
      }
      chains.push_back(Chain{static_cast<int32_t>(top), edges[top].yTop, edges[bottom].yEnd, winding});
    }
    begin = end;
  }
}

// One side of a stretch of rows that two edges cross: its edge and the
// edge's crossing, stepped in registers. Stepped in its edge, every row
// would wait for the row before's store to be read back.
struct Side {
  const Edge* edge;
  int64_t x, above;
};

inline Side SideOf(const Edge* e) { return Side{e, e->x, e->above}; }

// Moves `side` on to row y: where its edge ends there it gives way to the
// next of its chain, whose first crossing it takes. Where that happens
// comes irregularly: the edge and crossing are chosen by conditional
// moves. The edge's chain must go on below y.
inline void Onward(const Edge* edges, Side& side, int32_t y) {
  const int32_t end = side.edge->yEnd;
  side.edge = EdgeOnRow(edges, side.edge, y);
  MoveIfEqual(end, y, side.x, side.edge->x);
  MoveIfEqual(end, y, side.above, side.edge->above);
}

inline void Step(Side& side) { StepCrossing(*side.edge, side.x, side.above); }

// Two chains of opposite directions covering the same rows (a y-monotone
// contour, as most filled shapes are): every row crosses one edge of each,
// and the inside lies between the two under either fill rule. The rows are
// swept by stepping the two edges, without an active list or the winding
// count. Flattened so the span writes are inlined into the loop.
// `within` says every crossing lies within the clip's columns, so spans
// need no cutting.
[[gnu::flatten]] void SweepTwoChains(RenderTarget& target, FillScratch& s, const Rect& clip, bool within) {
  const int32_t yTop = s.chains[0].yTop, yEnd = s.chains[0].yEnd;
  const Edge* const edges = s.edges.data();
  const int64_t left = clip.left, right = clip.right;
  // A chain's last edge ends on yEnd and never gives way.
  const auto sweep = [&](auto cut, auto&& write) {
    Side a = SideOf(edges + s.chains[0].first), b = SideOf(edges + s.chains[1].first);
    for (int32_t y = yTop; y < yEnd; ++y) {
      Onward(edges, a, y);
      Onward(edges, b, y);
      int64_t l = std::min(a.x, b.x), r = std::max(a.x, b.x);
      if constexpr (decltype(cut)::value) {
        l = std::max(l, left);
        r = std::min(r, right);
      }
      if (l < r) write(y, static_cast<int32_t>(l), static_cast<int32_t>(r));
      Step(a);
      Step(b);
    }
  };
  // The rows lie within the clip's and the spans are cut to it, so a
  // recorder that takes them as they are is given them straight.
  if (SpanRecorder* recorder = target.SolidRecorder()) {
    const COLORREF color = target.RecordedColor();
    const auto paint = [&](int32_t y, int32_t l, int32_t r) { recorder->Paint(y, l, r, color); };
    if (within) sweep(std::false_type{}, paint);
    else sweep(std::true_type{}, paint);
    return;
  }
  sweep(std::true_type{}, [&](int32_t y, int32_t l, int32_t r) { target.Span(y, l, r); });
}

// Rows from y on that only the two active edges `pair` cross, until a
// chain starts on row `nextStart` or either chain ends: the inside lies
// between the two, under either fill rule, and they are swept as in the
// two-chain sweep. Returns the last row swept, the two edges (in `pair`)
// holding their crossing with it.
template <class Emit>
int32_t SweepPair(Edge* edges, Edge* (&pair)[2], int32_t y, int32_t nextStart, int64_t left, int64_t right,
                  const Emit& emit) {
  Side a = SideOf(pair[0]), b = SideOf(pair[1]);
  for (;;) {
    const int64_t l = std::max(std::min(a.x, b.x), left), r = std::min(std::max(a.x, b.x), right);
    if (l < r) emit(y, l, r);
    const int32_t below = y + 1;
    const auto chainEnds = [below](const Side& side) { return (side.edge->yEnd == below) & (side.edge->next < 0); };
    if ((below == nextStart) | chainEnds(a) | chainEnds(b)) break;
    Step(a);
    Step(b);
    y = below;
    Onward(edges, a, y);
    Onward(edges, b, y);
  }
  // Each side's edge, holding the crossing again.
  const auto held = [edges](const Side& side) {
    Edge* const e = edges + (side.edge - edges);
    e->x = side.x;
    e->above = side.above;
    return e;
  };
  pair[0] = held(a);
  pair[1] = held(b);
  return y;
}

// Sweeps the rows of the chains and writes the covered spans.
void Sweep(RenderTarget& target, FillScratch& s, const Rect& clip, FillMode mode, bool within) {
  BuildChains(s);
  auto& chains = s.chains;
  if (chains.empty()) return;
  if (chains.size() == 2 && chains[0].winding != chains[1].winding && chains[0].yTop == chains[1].yTop &&
      chains[0].yEnd == chains[1].yEnd) {
    SweepTwoChains(target, s, clip, within);
    return;
  }
  // As in the two-chain sweep, a recorder that takes the spans as they are
  // (rows within the clip's, spans cut to it) is given them straight.
  SpanRecorder* const recorder = target.SolidRecorder();
  const COLORREF color = target.RecordedColor();
  const auto emit = [&](int32_t y, int64_t l, int64_t r) {
    if (recorder) recorder->Paint(y, static_cast<int32_t>(l), static_cast<int32_t>(r), color);
    else target.Span(y, static_cast<int32_t>(l), static_cast<int32_t>(r));
  };
  // Chains by first row: a list for each row the chains start on, in the
  // order of the chains, over the rows the shape spans (not the clip's).
  int32_t firstRow = INT32_MAX, lastRow = INT32_MIN;
  for (const Chain& c : chains) {
    firstRow = std::min(firstRow, c.yTop);
    lastRow = std::max(lastRow, c.yTop);
  }
  auto& startsAt = s.startsAt;
  auto& nextStarting = s.nextStarting;
  startsAt.assign(static_cast<size_t>(lastRow - firstRow) + 1, -1);
  nextStarting.resize(chains.size());
  for (size_t i = chains.size(); i-- > 0;) {
    int32_t& head = startsAt[static_cast<size_t>(chains[i].yTop - firstRow)];
    nextStarting[i] = head;
    head = static_cast<int32_t>(i);
  }
  auto& active = s.active;
  active.clear();
  const bool nonZero = mode == FillMode::Winding;
  const int64_t left = clip.left, right = clip.right;
  Edge* const edges = s.edges.data();
  size_t started = 0;
  int32_t y = firstRow;
  while (started < chains.size() || !active.empty()) {
    // Past the rows where nothing is active to the next that starts a chain.
    if (active.empty())
      while (startsAt[static_cast<size_t>(y - firstRow)] < 0) ++y;
    for (int32_t i = y <= lastRow ? startsAt[static_cast<size_t>(y - firstRow)] : -1; i >= 0;
         i = nextStarting[static_cast<size_t>(i)]) {
      ++started;
      // Insert in order of crossing; the list stays sorted.
      Edge* e = edges + chains[static_cast<size_t>(i)].first;
      size_t j = active.size();
      active.push_back(e);
      while (j > 0 && active[j - 1]->x > e->x) {
        active[j] = active[j - 1];
        --j;
      }
      active[j] = e;
    }

    // Where two edges alone are active (most rows of most shapes), the
    // rows are swept as a pair until a chain starts or ends.
    if (active.size() == 2) {
      int32_t nextStart = y + 1;
      while (nextStart <= lastRow && startsAt[static_cast<size_t>(nextStart - firstRow)] < 0) ++nextStart;
      Edge* pair[2] = {active[0], active[1]};
      y = SweepPair(edges, pair, y, nextStart > lastRow ? INT32_MAX : nextStart, left, right, emit);
      active[0] = pair[0];
      active[1] = pair[1];
    } else {
      // Spans where the winding number is non-zero (odd for ALTERNATE);
      // touching spans are joined so each row gets as few writes as possible.
      int32_t wind = 0;
      int64_t spanStart = 0, pendL = 0, pendR = std::numeric_limits<int64_t>::min();
      for (const Edge* e : active) {
        const int32_t before = wind;
        wind = nonZero ? wind + e->winding : wind ^ 1;
        if (before == 0 && wind != 0) {
          spanStart = e->x;
        } else if (before != 0 && wind == 0) {
          const int64_t l = std::max(spanStart, left), r = std::min(e->x, right);
          if (l < r) {
            if (l == pendR) {
              pendR = r;
            } else {
              if (pendR > pendL) emit(y, pendL, pendR);
              pendL = l;
              pendR = r;
            }
          }
        }
      }
      if (pendR > pendL) emit(y, pendL, pendR);
    }

    // Next row: an edge that ends gives way to the next of its chain, or
    // its chain is done; the others are stepped; the order is restored.
    // Which edges end comes irregularly: every edge is stepped (one that
    // ends is not used again) and its successor chosen without a branch;
    // only a chain's end, once a chain, is a branch.
    ++y;
    size_t k = 0;
    for (size_t i = 0; i < active.size(); ++i) {
      Edge* cur = active[i];
      Step(*cur);
      if ((cur->yEnd == y) & (cur->next < 0)) continue;
      cur = EdgeOnRow(edges, cur, y);
      size_t j = k;
      while (j > 0 && active[j - 1]->x > cur->x) {
        active[j] = active[j - 1];
        --j;
      }
      active[j] = cur;
      ++k;
    }
    active.resize(k);
  }
}

}  // namespace

void FillPolyPolygon(RenderTarget& target, std::span<const PointD> points, std::span<const uint32_t> counts,
                     FillMode mode) {
  if (target.IsEmpty() || points.empty() || counts.empty()) return;
  const Rect clip = target.HeldClipBounds();

  // The contours actually present, their bounds, and no NaN or infinity.
  double minX = std::numeric_limits<double>::infinity(), minY = minX, maxX = -minX, maxY = -minX;
  size_t used = 0;
  for (uint32_t c : counts) {
    if (c > points.size() - used) break;
    used += c;
  }
#if defined(__SSE2__)
  {
    // x and y side by side. p - p is 0 for a finite value and NaN for NaN
    // or infinity, so their sum says at the end whether any was not finite.
    __m128d low = _mm_set1_pd(minX), high = _mm_set1_pd(maxX), finite = _mm_setzero_pd();
    for (size_t i = 0; i < used; ++i) {
      const __m128d p = _mm_loadu_pd(&points[i].x);
      finite = _mm_add_pd(finite, _mm_sub_pd(p, p));
      low = _mm_min_pd(low, p);
      high = _mm_max_pd(high, p);
    }
    if (_mm_movemask_pd(_mm_cmpeq_pd(finite, _mm_setzero_pd())) != 3) return;
    minX = _mm_cvtsd_f64(low);
    minY = _mm_cvtsd_f64(_mm_unpackhi_pd(low, low));
    maxX = _mm_cvtsd_f64(high);
    maxY = _mm_cvtsd_f64(_mm_unpackhi_pd(high, high));
  }
#else
  for (size_t i = 0; i < used; ++i) {
    const PointD p = points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
#endif
  if (used == 0 || maxX <= clip.left || minX >= clip.right || maxY <= clip.top || minY >= clip.bottom) return;

  // The guard lies around the whole surface's clip, not a band's, so a shape
  // is cut at the same points whichever band is drawn.
  const Rect layout = target.WholeClipBounds();
  const Box guard{layout.left - kGuardMargin, layout.top - kGuardMargin, layout.right + kGuardMargin,
                  layout.bottom + kGuardMargin};
  const bool needClip = minX < guard.left || maxX > guard.right || minY < guard.top || maxY > guard.bottom;

  FillScratch& s = Scratch();
  s.edges.clear();
  s.contourEnds.clear();
  size_t offset = 0;
  for (uint32_t c : counts) {
    if (c > used - offset) break;
    const PointD* pts = points.data() + offset;
    offset += c;
    if (c < 3) continue;
    if (!needClip) {
      AddContourEdges(s.edges, pts, c, clip);
    } else {
      s.clipA.clear();
      for (uint32_t i = 0; i < c; ++i) s.clipA.push_back(PointD{Pin(pts[i].x), Pin(pts[i].y)});
      ClipToBox(s.clipA, s.clipB, guard);
      AddContourEdges(s.edges, s.clipA.data(), s.clipA.size(), clip);
    }
    s.contourEnds.push_back(s.edges.size());
  }
  // A crossing's column is the ceiling of a point between the vertices
  // rounded to 1/256, so it lies within [left, right] when they lie within
  // [left, right - 1].
  const bool within = !needClip && minX >= clip.left && maxX <= clip.right - 1;
  Sweep(target, s, clip, mode, within);
}

void FillPolygons(RenderTarget& target, const std::vector<Contour>& contours, FillMode mode) {
  if (target.IsEmpty() || contours.empty()) return;
  if (contours.size() == 1) {
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(contours[0].size(), UINT32_MAX));
    FillPolyPolygon(target, contours[0], std::span<const uint32_t>(&count, 1), mode);
    return;
  }
  thread_local std::vector<PointD> flat;
  thread_local std::vector<uint32_t> counts;
  flat.clear();
  counts.clear();
  for (const Contour& c : contours) {
    if (c.size() > UINT32_MAX) return;
    flat.insert(flat.end(), c.begin(), c.end());
    counts.push_back(static_cast<uint32_t>(c.size()));
  }
  FillPolyPolygon(target, flat, counts, mode);
}

}  // namespace orvane::gdi
