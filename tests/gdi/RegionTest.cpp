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
