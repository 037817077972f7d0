// The riders' inks as people with and without colour blindness see them:
// every rider ink is converted to CIELAB as normal vision sees it and as
// protanopia, deuteranopia and tritanopia do (the Machado, Oliveira and
// Fernandes 2009 simulation at full severity, applied to linear RGB), and
// the smallest CIEDE2000 difference between two rider inks, or between a
// rider ink and the match's background or white (sparks, numbers, a dead
// rider's trail), is measured. The clear palette keeps every such
// difference at MIN_CLEAR_DIFFERENCE or more; the figures of both palettes
// are printed for bench/README.md.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "game/inks.h"

namespace {

constexpr double MIN_CLEAR_DIFFERENCE = 12.0;

struct Lab {
  double L, a, b;
};
using Rgb = std::array<double, 3>;  // sRGB, 0 to 255
using Matrix = std::array<std::array<double, 3>, 3>;

enum Vision { NORMAL, PROTANOPIA, DEUTERANOPIA, TRITANOPIA, VISIONS };
const char* const VISION_NAMES[VISIONS] = {"normal", "protanopia", "deuteranopia", "tritanopia"};

// Machado et al. 2009, severity 1.0, on linear RGB.
constexpr Matrix SIMULATION[VISIONS] = {{{
                                            {1, 0, 0},
                                            {0, 1, 0},
                                            {0, 0, 1},
                                        }},
                                        {{
                                            {0.152286, 1.052583, -0.204868},
                                            {0.114503, 0.786281, 0.099216},
                                            {-0.003882, -0.048116, 1.051998},
                                        }},
                                        {{
                                            {0.367322, 0.860646, -0.227968},
                                            {0.280085, 0.672501, 0.047413},
                                            {-0.011820, 0.042940, 0.968881},
                                        }},
                                        {{
                                            {1.255528, -0.076749, -0.178779},
                                            {-0.078411, 0.930809, 0.147602},
                                            {0.004733, 0.691367, 0.303900},
                                        }}};

// Linear RGB to CIE XYZ and the D65 white, for sRGB primaries.
constexpr Matrix RGB_TO_XYZ = {{
    {0.4124564, 0.3575761, 0.1804375},
    {0.2126729, 0.7151522, 0.0721750},
    {0.0193339, 0.1191920, 0.9503041},
}};
constexpr std::array<double, 3> WHITE_D65 = {0.95047, 1.0, 1.08883};

// The match's clear colour.
constexpr Rgb BACKGROUND = {0, 0, 80};
constexpr Rgb WHITE = {255, 255, 255};

std::array<double, 3> Apply(const Matrix& m, const std::array<double, 3>& v) {
  std::array<double, 3> out{};
  for (int i = 0; i < 3; ++i) out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
  return out;
}

double Linear(double channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LabCurve(double t) {
  constexpr double d = 6.0 / 29.0;
  return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29.0;
}

Lab Seen(const Rgb& rgb, Vision vision) {
  std::array<double, 3> linear = {Linear(rgb[0]), Linear(rgb[1]), Linear(rgb[2])};
  linear = Apply(SIMULATION[vision], linear);
  for (double& c : linear) c = std::clamp(c, 0.0, 1.0);
  const std::array<double, 3> xyz = Apply(RGB_TO_XYZ, linear);
  const double fx = LabCurve(xyz[0] / WHITE_D65[0]), fy = LabCurve(xyz[1] / WHITE_D65[1]);
  const double fz = LabCurve(xyz[2] / WHITE_D65[2]);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double Radians(double degrees) { return degrees * M_PI / 180.0; }

// Hue angle in degrees, 0 to 360; 0 for a grey.
double Hue(double b, double a) {
  if (a == 0 && b == 0) return 0;
  const double h = std::atan2(b, a) * 180.0 / M_PI;
  return h < 0 ? h + 360 : h;
}

// CIEDE2000 (Sharma, Wu and Dalal 2005) with kL = kC = kH = 1.
double Ciede2000(const Lab& p, const Lab& q) {
  const double pow25_7 = std::pow(25.0, 7);
  const double cBar = (std::hypot(p.a, p.b) + std::hypot(q.a, q.b)) / 2;
  const double g = 0.5 * (1 - std::sqrt(std::pow(cBar, 7) / (std::pow(cBar, 7) + pow25_7)));
  const double a1 = (1 + g) * p.a, a2 = (1 + g) * q.a;
  const double c1 = std::hypot(a1, p.b), c2 = std::hypot(a2, q.b);
  const double h1 = Hue(p.b, a1), h2 = Hue(q.b, a2);
  const bool grey = c1 * c2 == 0;
  double dh = grey ? 0 : h2 - h1;
  if (dh > 180) dh -= 360;
  if (dh < -180) dh += 360;
  const double dL = q.L - p.L, dC = c2 - c1, dH = 2 * std::sqrt(c1 * c2) * std::sin(Radians(dh / 2));
  const double lBar = (p.L + q.L) / 2, cpBar = (c1 + c2) / 2;
  double hBar = h1 + h2;
  if (!grey) hBar = std::fabs(h1 - h2) <= 180 ? hBar / 2 : hBar < 360 ? (hBar + 360) / 2 : (hBar - 360) / 2;
  const double t = 1 - 0.17 * std::cos(Radians(hBar - 30)) + 0.24 * std::cos(Radians(2 * hBar)) +
                   0.32 * std::cos(Radians(3 * hBar + 6)) - 0.20 * std::cos(Radians(4 * hBar - 63));
  const double dTheta = 30 * std::exp(-std::pow((hBar - 275) / 25, 2));
  const double rC = 2 * std::sqrt(std::pow(cpBar, 7) / (std::pow(cpBar, 7) + pow25_7));
  const double sL = 1 + 0.015 * (lBar - 50) * (lBar - 50) / std::sqrt(20 + (lBar - 50) * (lBar - 50));
  const double sC = 1 + 0.045 * cpBar, sH = 1 + 0.015 * cpBar * t;
  const double rT = -std::sin(Radians(2 * dTheta)) * rC;
  const double l = dL / sL, c = dC / sC, h = dH / sH;
  return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

Rgb RiderInk(int palette, int rider) {
  const float* f = INK_TABLES[palette][rider - 1];
  return {f[0] * 255.0, f[1] * 255.0, f[2] * 255.0};
}

// The smallest differences a palette leaves under one vision: between two
// rider inks, and between a rider ink and the background or white.
struct Smallest {
  double riders = 1e9, background = 1e9, white = 1e9;
};

Smallest Measure(int palette, Vision vision) {
  Smallest s;
  const Lab background = Seen(BACKGROUND, vision), white = Seen(WHITE, vision);
  for (int i = 1; i <= RIDER_INKS; ++i) {
    const Lab ink = Seen(RiderInk(palette, i), vision);
    s.background = std::min(s.background, Ciede2000(ink, background));
    s.white = std::min(s.white, Ciede2000(ink, white));
    for (int j = i + 1; j <= RIDER_INKS; ++j) s.riders = std::min(s.riders, Ciede2000(ink, Seen(RiderInk(palette, j), vision)));
  }
  return s;
}

}  // namespace

// Pairs from the published CIEDE2000 test data, among them the ones that
// catch a wrong hue mean or hue difference across 0 degrees.
TEST(Palette, Ciede2000MatchesThePublishedPairs) {
  const struct {
    Lab p, q;
    double difference;
  } pairs[] = {
      {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
      {{50, 0, 0}, {50, -1, 2}, 2.3669},
      {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
      {{50, 2.5, 0}, {61, -5, 29}, 22.8977},
      {{50, 2.5, 0}, {56, -27, -3}, 31.9030},
      {{50, 2.5, 0}, {58, 24, 15}, 19.4535},
      {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
  };
  for (const auto& c : pairs) {
    EXPECT_NEAR(Ciede2000(c.p, c.q), c.difference, 1e-4) << c.p.L << " " << c.p.a << " " << c.p.b;
    EXPECT_NEAR(Ciede2000(c.q, c.p), c.difference, 1e-4);
  }
}

// Grey stays grey under every simulation (each matrix row sums to 1), and
// the sRGB white is the D65 white.
TEST(Palette, SimulationsKeepGreysAndWhite) {
  for (int v = 0; v < VISIONS; ++v) {
    for (double level : {0.0, 128.0, 255.0}) {
      const Lab seen = Seen({level, level, level}, Vision(v)), plain = Seen({level, level, level}, NORMAL);
      EXPECT_NEAR(Ciede2000(seen, plain), 0.0, 0.01) << VISION_NAMES[v] << " " << level;
    }
  }
  const Lab white = Seen(WHITE, NORMAL);
  EXPECT_NEAR(white.L, 100.0, 1e-3);
  EXPECT_NEAR(std::hypot(white.a, white.b), 0.0, 1e-3);
}

TEST(Palette, ClearRidersStayApartUnderEveryColourBlindness) {
  const char* const names[PALETTE_COUNT] = {"classic", "clear"};
  std::printf("%-8s %-13s %14s %14s %10s\n", "palette", "vision", "rider v rider", "v background", "v white");
  for (int palette = 0; palette < PALETTE_COUNT; ++palette) {
    for (int v = 0; v < VISIONS; ++v) {
      const Smallest s = Measure(palette, Vision(v));
      std::printf("%-8s %-13s %14.1f %14.1f %10.1f\n", names[palette], VISION_NAMES[v], s.riders, s.background, s.white);
      if (palette != PALETTE_CLEAR) continue;
      EXPECT_GE(std::min({s.riders, s.background, s.white}), MIN_CLEAR_DIFFERENCE) << VISION_NAMES[v];
    }
  }
}
