#include <gtest/gtest.h>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>

using namespace orvane::rtl;

TEST(CheckedDivideTest, DivisionByZeroRaisesTheRuntimeErrors) {
  EXPECT_DOUBLE_EQ(CheckedDivide(51, 224), 51.0 / 224.0);
  EXPECT_THROW(CheckedDivide(51, 0), EZeroDivide);
  EXPECT_THROW(CheckedDivide(-1, 0), EZeroDivide);
  EXPECT_THROW(CheckedDivide(0, 0), EInvalidOp);
  try {
    CheckedDivide(0, 0);
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Ungültige Gleitkommaoperation");
  }
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
  EXPECT_EQ(RoundHalfEven(224.0 * (51.0 / 224.0)), 51);
  EXPECT_THROW(RoundHalfEven(1e30), EInvalidOp);
}

TEST(DivRoundHalfAwayTest, HalvesGoAwayFromZero) {
  EXPECT_EQ(DivRoundHalfAway(5915 * 640, 169 * 100), 224);   // 223.99...
  EXPECT_EQ(DivRoundHalfAway(7593 * 480, 127 * 100), 287);   // 286.98
  EXPECT_EQ(DivRoundHalfAway(5, 2), 3);
  EXPECT_EQ(DivRoundHalfAway(-5, 2), -3);
  EXPECT_EQ(DivRoundHalfAway(7, 3), 2);
  EXPECT_EQ(DivRoundHalfAway(8, 3), 3);
  EXPECT_EQ(DivRoundHalfAway(-8, 3), -3);
  EXPECT_EQ(DivRoundHalfAway(3, -2), -2);
}
