// Pure arithmetic of the virtual screen: fitting the design screen into the
// window, mapping window pixels back to virtual units, and the resolution
// variant of the art for a window size.
#pragma once

// How the virtual screen lies in a window.
struct VirtualScreen {
  float scaleX = 0, scaleY = 0;  // window pixels per virtual unit
  float width = 0, height = 0;   // virtual extent
  int fitMode = 0;               // 1 the width sets the scale, 2 the height
  int landscape = 0;             // 1 when height <= width
};

// The virtual screen for a window of w x h pixels (both > 0) with `overscan`
// pixels kept free left and right, for a design size rawW x rawH. The larger
// scale factor wins, so the design keeps its width (fit mode 1) or its
// height (fit mode 2) and the other side comes out shorter.
VirtualScreen FitVirtualScreen(int w, int h, float overscan, float rawW, float rawH);

// Vertical overscan in pixels: the horizontal one scaled by the window's
// aspect. A window with no area (minimized) uses the last size that had one;
// with none known it is 0.
float OverscanY(float overscan, int w, int h, int lastW, int lastH);

// A window coordinate in virtual units, truncated toward zero. Values that
// cannot be mapped (no scale yet, not a number, out of int range) give the
// nearest representable answer instead of undefined behaviour.
int ToVirtual(float pixels, float offset, float scale);

// The resolution variants of the art: each image exists at every scale,
// its file name carrying the suffix (the data generator writes them all).
struct AssetVariant {
  int scale;
  const char* suffix;
};
constexpr AssetVariant ASSET_VARIANTS[] = {{1, ""}, {2, "-hd"}, {4, "-hd2"}};

// Resolution variant of the art for a window of w x h pixels: 1 up to
// 630 x 630, 2 up to 1230 x 1230, else 4.
int ChooseAssetScale(int w, int h);
// File name suffix of a variant's scale; "" for a scale that has none.
const char* AssetSuffix(int assetScale);
