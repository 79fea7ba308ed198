#include <gtest/gtest.h>

#include <orvane/gdi/Region.h>

using orvane::gdi::Rect;
using orvane::gdi::Region;
using orvane::gdi::RegionOp;

TEST(RegionTest, RightAndBottomEdgesAreOutside) {
  Region r(Rect{2, 3, 5, 7});
  EXPECT_TRUE(r.Contains(2, 3));
  EXPECT_TRUE(r.Contains(4, 6));
  EXPECT_FALSE(r.Contains(5, 3));
  EXPECT_FALSE(r.Contains(2, 7));
  EXPECT_TRUE(Region(Rect{5, 5, 5, 9}).IsEmpty());
}

TEST(RegionTest, UnionOfTouchingRectanglesIsBandedAndCoalesced) {
  const Region a(Rect{0, 0, 10, 5}), b(Rect{0, 5, 10, 10});
  const Region u = Region::Combine(a, b, RegionOp::Or);
  ASSERT_EQ(u.Rects().size(), 1u);
  EXPECT_EQ(u.Rects()[0], (Rect{0, 0, 10, 10}));
  const Region side = Region::Combine(Region(Rect{0, 0, 5, 5}), Region(Rect{5, 0, 9, 5}), RegionOp::Or);
  ASSERT_EQ(side.Rects().size(), 1u);
  EXPECT_EQ(side.Rects()[0], (Rect{0, 0, 9, 5}));
}

TEST(RegionTest, DifferencePunchesAHole) {
  Region r(Rect{0, 0, 10, 10});
  r.ExcludeRect(Rect{3, 3, 6, 6});
  EXPECT_FALSE(r.Contains(3, 3));
  EXPECT_FALSE(r.Contains(5, 5));
  EXPECT_TRUE(r.Contains(2, 3));
  EXPECT_TRUE(r.Contains(6, 5));
  EXPECT_TRUE(r.Contains(4, 6));
  EXPECT_EQ(r.Bounds(), (Rect{0, 0, 10, 10}));
  // Bands: top, middle (two pieces), bottom.
  EXPECT_EQ(r.Rects().size(), 4u);
}

TEST(RegionTest, IntersectAndXor) {
  const Region a(Rect{0, 0, 6, 6}), b(Rect{4, 4, 10, 10});
  const Region i = Region::Combine(a, b, RegionOp::And);
  ASSERT_EQ(i.Rects().size(), 1u);
  EXPECT_EQ(i.Rects()[0], (Rect{4, 4, 6, 6}));
  const Region x = Region::Combine(a, b, RegionOp::Xor);
  EXPECT_TRUE(x.Contains(0, 0));
  EXPECT_FALSE(x.Contains(5, 5));
  EXPECT_TRUE(x.Contains(9, 9));
}

TEST(RegionTest, SpanPartsFollowTheRegion) {
  Region r(Rect{0, 0, 10, 10});
  r.ExcludeRect(Rect{3, 0, 6, 10});
  std::vector<std::pair<int, int>> parts;
  r.ForEachSpanPart(4, -5, 100, [&](int32_t a, int32_t b) { parts.emplace_back(a, b); });
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0], std::make_pair(0, 3));
  EXPECT_EQ(parts[1], std::make_pair(6, 10));
  parts.clear();
  r.ForEachSpanPart(10, 0, 10, [&](int32_t a, int32_t b) { parts.emplace_back(a, b); });
  EXPECT_TRUE(parts.empty());
}

// Random regions of many bands, combined with every operation, against the
// same operation worked pixel by pixel on a small grid.
TEST(RegionTest, CombineAgreesWithPixelSetsOnRandomRegions) {
  constexpr int kSide = 48;
  uint32_t state = 12345;
  auto next = [&](int n) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int32_t>((state >> 8) % uint32_t(n));
  };
  auto randomRegion = [&] {
    Region r;
    for (int i = 0, n = 1 + next(12); i < n; ++i) {
      const int32_t x = next(kSide), y = next(kSide);
      const Rect rect{x, y, x + 1 + next(kSide / 2), y + 1 + next(kSide / 2)};
      r = Region::Combine(r, Region(rect), next(3) == 0 ? RegionOp::Diff : RegionOp::Or);
    }
    return r;
  };
  auto inside = [](RegionOp op, bool a, bool b) {
    switch (op) {
      case RegionOp::And: return a && b;
      case RegionOp::Or: return a || b;
      case RegionOp::Diff: return a && !b;
      case RegionOp::Xor: return a != b;
      case RegionOp::Copy: return a;
    }
    return false;
  };
  for (int round = 0; round < 200; ++round) {
    const Region a = randomRegion(), b = randomRegion();
    for (RegionOp op : {RegionOp::And, RegionOp::Or, RegionOp::Diff, RegionOp::Xor, RegionOp::Copy}) {
      const Region c = Region::Combine(a, b, op);
      for (int y = -1; y <= kSide + kSide / 2; ++y)
        for (int x = -1; x <= kSide + kSide / 2; ++x)
          ASSERT_EQ(c.Contains(x, y), inside(op, a.Contains(x, y), b.Contains(x, y)))
              << "round " << round << " op " << int(op) << " at " << x << "," << y;
    }
  }
}
