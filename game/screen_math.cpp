#include "game/screen_math.h"

#include <cmath>

namespace {

constexpr int VARIANT1_MAX = 630;
constexpr int VARIANT2_MAX = 1230;

}  // namespace

VirtualScreen FitVirtualScreen(int w, int h, float overscan, float rawW, float rawH) {
  VirtualScreen v;
  const float W = float(w), H = float(h);
  const float sx = (W - 2.0f * overscan) / rawW;
  const float sy = (H - 2.0f * overscan) / rawH;
  if (sy <= sx) {
    v.fitMode = 1;
    v.scaleX = v.scaleY = sx;
    v.width = W / (W / rawW);
    v.height = H / (W / rawW);
  } else {
    v.fitMode = 2;
    v.scaleX = v.scaleY = sy;
    v.width = W / (H / rawH);
    v.height = H / (H / rawH);
  }
  v.landscape = v.height <= v.width ? 1 : 0;
  return v;
}

float OverscanY(float overscan, int w, int h, int lastW, int lastH) {
  if (w > 0 && h > 0) return overscan * float(h) / float(w);
  if (lastW > 0 && lastH > 0) return overscan * float(lastH) / float(lastW);
  return 0.0f;
}

int ToVirtual(float pixels, float offset, float scale) {
  if (!(scale > 0.0f)) return 0;
  const double v = std::trunc(double((pixels - offset) / scale));
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return int(v);
}

int ChooseAssetScale(int w, int h) {
  if (w <= VARIANT1_MAX && h <= VARIANT1_MAX) return 1;
  if (w <= VARIANT2_MAX && h <= VARIANT2_MAX) return 2;
  return 4;
}

const char* AssetSuffix(int assetScale) {
  for (const AssetVariant& v : ASSET_VARIANTS) {
    if (v.scale == assetScale) return v.suffix;
  }
  return "";
}
