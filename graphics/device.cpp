// The batching renderer: every draw call is transformed and coloured on the
// CPU and appended to one vertex store, which goes to OpenGL in one call when
// the primitive kind or texture changes, the store fills, or state changes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/batch.h"
#include "graphics/glseam.h"
#include "graphics/surface.h"

namespace {

// One turn in single precision, as the oval's angle step uses it.
constexpr float TWO_PI = 6.2831855f;
constexpr int MIN_OVAL_SEGMENTS = 12;

// A colour part 0-255 as a byte; out-of-range values (and NaN) are clamped
// so one component can never spill into its neighbours.
unsigned int ColorByte(float value) {
  if (!(value > 0)) return 0;
  if (value >= 255) return 255;
  return unsigned(int(value));
}

int OvalSegments(int segs) {
  if (segs < MIN_OVAL_SEGMENTS) return MIN_OVAL_SEGMENTS;
  if (segs > GXTK_MAX_VERTICES) return GXTK_MAX_VERTICES;
  return segs & ~3;
}

}  // namespace

gxtkBatch::gxtkBatch() {
  for (int k = 0; k < GXTK_MAX_QUADS; ++k) {
    unsigned short* q = quadIndices + k * 6;
    unsigned short base = static_cast<unsigned short>(k * 4);
    q[0] = base;
    q[1] = base + 1;
    q[2] = base + 2;
    q[3] = base;
    q[4] = base + 2;
    q[5] = base + 3;
  }
}

gxtkGraphics::gxtkGraphics() : batch(new gxtkBatch()) {
  if (BBGame* game = BBGame::Game()) {
    width = game->GetDeviceWidth();
    height = game->GetDeviceHeight();
  }
}

gxtkGraphics::~gxtkGraphics() = default;

void gxtkGraphics::mark() {
  gc_mark_q(batch->primSurface);
  Object::mark();
}

int gxtkGraphics::DrawCalls() const { return batch->drawCalls; }

void gxtkGraphics::SetStateFilter(bool on) { batch->stateFilter = on; }

int gxtkGraphics::BeginRender() {
  if (BBGame* game = BBGame::Game()) {
    width = game->GetDeviceWidth();
    height = game->GetDeviceHeight();
  }
  gxtk_gl::BeginFrame(width, height, batch->vertices);
  batch->primCount = 0;
  batch->drawCalls = 0;
  batch->blendWanted = batch->blendInForce = 0;
  batch->scissorKnown = false;
  return 1;
}

void gxtkGraphics::EndRender() { batch->Flush(); }

void gxtkBatch::Flush() {
  if (!primCount) return;
  if (primSurface) {
    gxtk_gl::EnableTexturing();
    primSurface->Bind();
  }
  switch (primKind) {
    case 1:
      gxtk_gl::DrawArrays(gxtk_gl::Mode::Points, 0, primCount);
      ++drawCalls;
      break;
    case 2:
      gxtk_gl::DrawArrays(gxtk_gl::Mode::Lines, 0, primCount);
      ++drawCalls;
      break;
    case 3:
      gxtk_gl::DrawArrays(gxtk_gl::Mode::Triangles, 0, primCount);
      ++drawCalls;
      break;
    case 4:
      DrawIndexedTriangles(primCount / 4 * 6, quadIndices);
      break;
    default:
      // Every polygon of the run is cut into n - 2 triangles, all in one
      // call. Polygons are convex and one colour, so any cut fills the
      // same pixels as a triangle fan would.
      DrawIndexedTriangles(primCount / primKind * (primKind - 2) * 3, PolygonIndices(primKind));
      break;
  }
  if (primSurface) gxtk_gl::DisableTexturing();
  primCount = 0;
}

void gxtkBatch::DrawIndexedTriangles(int count, const unsigned short* indices) {
  gxtk_gl::DrawIndexedTriangles(count, indices);
  ++drawCalls;
}

const unsigned short* gxtkBatch::PolygonIndices(int kind) {
  if (polygonIndexKind == kind) return polygonIndices;
  unsigned short* out = polygonIndices;
  for (int first = 0; first + kind <= GXTK_MAX_VERTICES; first += kind) {
    // Zig-zag between the two ends of the outline: the triangles stay wide,
    // where a fan from one outline vertex makes slivers that a software
    // rasteriser pays for across every tile they cross.
    int a = first, b = first + kind - 1;
    for (bool left = true; b - a >= 2; left = !left) {
      int c = left ? a + 1 : b - 1;
      *out++ = static_cast<unsigned short>(a);
      *out++ = static_cast<unsigned short>(c);
      *out++ = static_cast<unsigned short>(b);
      left ? ++a : --b;
    }
  }
  polygonIndexKind = kind;
  return polygonIndices;
}

float* gxtkGraphics::Begin(int kind, int count, gxtkSurface* surface) {
  gxtkBatch& b = *batch;
  b.SyncState();
  if (kind != b.primKind || surface != b.primSurface || b.primCount + count > GXTK_MAX_VERTICES) {
    b.Flush();
    b.primKind = kind;
    gc_assign(b.primSurface, surface);
  }
  float* first = b.vertices + b.primCount * GXTK_VERTEX_FLOATS;
  b.primCount += count;
  return first;
}

float* gxtkGraphics::Put(float* v, float x, float y, float u, float v0) {
  if (transformed) {
    v[0] = x * ix + y * jx + tx;
    v[1] = x * iy + y * jy + ty;
  } else {
    v[0] = x;
    v[1] = y;
  }
  v[2] = u;
  v[3] = v0;
  std::memcpy(v + 4, &packedColor, sizeof(packedColor));
  return v + GXTK_VERTEX_FLOATS;
}

void gxtkGraphics::PackColor() {
  unsigned int a = ColorByte(255 * alpha);
  packedColor = a << 24 | ColorByte(colorB * alpha) << 16 | ColorByte(colorG * alpha) << 8 | ColorByte(colorR * alpha);
}

void gxtkGraphics::Cls(float r, float g, float b) {
  batch->primCount = 0;
  batch->SyncState();  // the clear honours the scissor box
  gxtk_gl::Clear(r / 255, g / 255, b / 255);
}

void gxtkGraphics::SetAlpha(float a) {
  alpha = a;
  PackColor();
}

void gxtkGraphics::SetColor(float r, float g, float b) {
  colorR = r;
  colorG = g;
  colorB = b;
  PackColor();
}

void gxtkGraphics::SetBlend(int mode) {
  batch->blendWanted = mode == 1 ? 1 : 0;
  if (batch->stateFilter) return;
  batch->Flush();
  batch->ApplyBlend();
}

void gxtkGraphics::SetScissor(int x, int y, int w, int h) {
  gxtkScissor& wanted = batch->scissorWanted;
  wanted = gxtkScissor();
  if (!(x == 0 && y == 0 && w == Width() && h == Height())) wanted = {true, x, Height() - y - h, w, h};
  if (batch->stateFilter) return;
  batch->Flush();
  batch->ApplyScissor();
}

void gxtkBatch::ApplyBlend() {
  gxtk_gl::SetAdditiveBlend(blendWanted == 1);
  blendInForce = blendWanted;
}

void gxtkBatch::ApplyScissor() {
  const gxtkScissor& s = scissorWanted;
  gxtk_gl::SetScissor(s.on, s.x, s.y, s.w, s.h);
  scissorInForce = s;
  scissorKnown = true;
}

void gxtkBatch::SyncState() {
  bool blend = blendWanted != blendInForce;
  bool scissor = !scissorKnown || !(scissorWanted == scissorInForce);
  if (!blend && !scissor) return;
  Flush();
  if (blend) ApplyBlend();
  if (scissor) ApplyScissor();
}

void gxtkGraphics::SetMatrix(float ix_, float iy_, float jx_, float jy_, float tx_, float ty_) {
  ix = ix_;
  iy = iy_;
  jx = jx_;
  jy = jy_;
  tx = tx_;
  ty = ty_;
  transformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
}

void gxtkGraphics::DrawPoint(float x, float y) { Put(Begin(1, 1, nullptr), x, y); }

void gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  float* v = Begin(2, 2, nullptr);
  v = Put(v, x1, y1);
  Put(v, x2, y2);
}

void gxtkGraphics::DrawRect(float x, float y, float w, float h) {
  float* v = Begin(4, 4, nullptr);
  v = Put(v, x, y);
  v = Put(v, x + w, y);
  v = Put(v, x + w, y + h);
  Put(v, x, y + h);
}

void gxtkGraphics::DrawOval(float x, float y, float w, float h) {
  float xr = w * 0.5f, yr = h * 0.5f;
  float cx = x + xr, cy = y + yr;
  int segs;
  if (transformed) {
    float dx = std::sqrt((xr * ix) * (xr * ix) + (xr * iy) * (xr * iy));
    float dy = std::sqrt((yr * jx) * (yr * jx) + (yr * jy) * (yr * jy));
    float sum = dx + dy;
    segs = sum < float(GXTK_MAX_VERTICES) ? int(sum) : GXTK_MAX_VERTICES;
  } else {
    float ax = std::fabs(xr), ay = std::fabs(yr);
    segs = ax + ay < float(GXTK_MAX_VERTICES) ? int(ax) + int(ay) : GXTK_MAX_VERTICES;
  }
  segs = OvalSegments(segs);
  float* v = Begin(segs, segs, nullptr);
  for (int i = 0; i < segs; ++i) {
    float theta = float(i) * TWO_PI / float(segs);
    v = Put(v, cx + std::cos(theta) * xr, cy - std::sin(theta) * yr);
  }
}

void gxtkGraphics::DrawPoly(Array<float> xy) {
  int n = xy.Length() / 2;
  if (n < 1 || n > GXTK_MAX_VERTICES) return;
  float* v = Begin(n, n, nullptr);
  for (int i = 0; i < n; ++i) v = Put(v, xy[i * 2], xy[i * 2 + 1]);
}

namespace {
// Texture coordinates use the scales of the texture in the current context,
// so a surface without one gets it before its vertices are stored.
void EnsureTexture(gxtkSurface* surface) {
  if (surface->seq != glfwGraphicsSeq) surface->Bind();
}
}  // namespace

void gxtkGraphics::DrawPoly2(Array<float> xyuv, gxtkSurface* surface, int srcx, int srcy) {
  int n = xyuv.Length() / 4;
  if (n < 1 || n > GXTK_MAX_VERTICES) return;
  EnsureTexture(surface);
  float* v = Begin(n, n, surface);
  for (int i = 0; i < n; ++i) {
    const float* p = &xyuv[i * 4];
    v = Put(v, p[0], p[1], (p[2] + srcx) * surface->uscale, (p[3] + srcy) * surface->vscale);
  }
}

void gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
  EnsureTexture(surface);
  float w = float(surface->width), h = float(surface->height);
  float u1 = w * surface->uscale, v1 = h * surface->vscale;
  float* v = Begin(4, 4, surface);
  v = Put(v, x, y, 0, 0);
  v = Put(v, x + w, y, u1, 0);
  v = Put(v, x + w, y + h, u1, v1);
  Put(v, x, y + h, 0, v1);
}

void gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch) {
  EnsureTexture(surface);
  float w = float(srcw), h = float(srch);
  float u0 = srcx * surface->uscale, v0 = srcy * surface->vscale;
  float u1 = (srcx + srcw) * surface->uscale, v1 = (srcy + srch) * surface->vscale;
  float* v = Begin(4, 4, surface);
  v = Put(v, x, y, u0, v0);
  v = Put(v, x + w, y, u1, v0);
  v = Put(v, x + w, y + h, u1, v1);
  Put(v, x, y + h, u0, v1);
}

namespace {
// Checks that rows of w ints at offset + j*pitch (j < h) lie in `length`.
bool SpanFits(int length, int w, int h, int offset, int pitch) {
  if (w < 0 || h < 0 || offset < 0) return false;
  if (w == 0 || h == 0) return true;
  std::int64_t last_row = offset + std::int64_t(h - 1) * pitch;
  std::int64_t lowest = std::min<std::int64_t>(offset, last_row);
  std::int64_t highest = std::max<std::int64_t>(offset, last_row) + w;
  return lowest >= 0 && highest <= length;
}
}  // namespace

void gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
  batch->Flush();
  if (!SpanFits(pixels.Length(), w, h, offset, pitch) || w == 0 || h == 0) return;
  std::vector<unsigned char> rows(std::size_t(w) * std::size_t(h) * 4);
  gxtk_gl::ReadPixelsBGRA(x, Height() - y - h, w, h, rows.data());
  // OpenGL's rows run bottom-up; the result's row 0 is the top one. BGRA
  // bytes read as a little-endian int are 0xAARRGGBB.
  for (int j = 0; j < h; ++j) {
    const unsigned char* src = rows.data() + std::size_t(h - 1 - j) * std::size_t(w) * 4;
    std::memcpy(&pixels[offset + j * pitch], src, std::size_t(w) * 4);
  }
}

void gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                                int pitch) {
  batch->Flush();
  if (!SpanFits(pixels.Length(), w, h, offset, pitch) || w == 0 || h == 0) return;
  surface->SetSubData(x, y, w, h, reinterpret_cast<const unsigned int*>(&pixels[offset]), pitch);
}

bool gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
  BBGame* game = BBGame::Game();
  if (!game) return false;
  int w = 0, h = 0, depth = 0;
  unsigned char* pixels = game->LoadImageData(path, &w, &h, &depth);
  if (!pixels) return false;
  surface->SetData(pixels, w, h, depth);
  surface->path = path;
  return true;
}

gxtkSurface* gxtkGraphics::LoadSurface(String path) {
  gxtkSurface* surface = new gxtkSurface();
  if (!LoadSurface__UNSAFE__(surface, path)) return nullptr;
  surface->Bind();
  return surface;
}

gxtkSurface* gxtkGraphics::CreateSurface(int w, int h) {
  gxtkSurface* surface = new gxtkSurface();
  surface->width = w;
  surface->height = h;
  surface->depth = 4;
  surface->format = gxtk_gl::RgbaFormat();
  surface->Bind();
  return surface;
}
