#pragma once
// A picture like the demo's: about 130 filled shapes of cubic Béziers with
// solid colours, no outline and no background, made from a fixed seed. The
// same shapes are handed to cairo and AGG for the baselines.

#include <cstdint>
#include <vector>

namespace orvanebench {

struct BezierShape {
  uint32_t rgb;                 // colour value, red in bits 0-7
  double startX, startY;
  std::vector<double> controls;  // x1 y1 x2 y2 x y, repeated
};

constexpr int32_t kPictureWidth = 224;
constexpr int32_t kPictureHeight = 287;

std::vector<BezierShape> MakeDemoLikeShapes(int count = 131);
// Wide pens drawn across the shapes after them: none, XOR pens (a picture
// that reads what is under its paint), or the same lines as plain copy pens.
enum class PensAcross { None, Xor, Copy };

// The shapes as an enhanced metafile of 224 x 287 pixels.
std::vector<uint8_t> MakeDemoLikeMetafile(const std::vector<BezierShape>& shapes,
                                          PensAcross pens = PensAcross::None);

}  // namespace orvanebench
