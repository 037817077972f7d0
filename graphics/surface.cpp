// Surfaces: a texture made lazily in each OpenGL context from premultiplied
// pixels, which a file's surface holds only until its texture has them.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/glseam.h"
#include "graphics/surface.h"

int glfwGraphicsSeq = 0;

namespace {

// The smallest power of two >= n (1 for n <= 1).
int NextPowerOfTwo(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

void Premultiply(unsigned char* pixels, int count, int depth) {
  if (depth == 2) {
    for (int i = 0; i < count; ++i, pixels += 2) pixels[0] = static_cast<unsigned char>(pixels[0] * pixels[1] / 255);
  } else if (depth == 4) {
    for (int i = 0; i < count; ++i, pixels += 4) {
      int a = pixels[3];
      pixels[0] = static_cast<unsigned char>(pixels[0] * a / 255);
      pixels[1] = static_cast<unsigned char>(pixels[1] * a / 255);
      pixels[2] = static_cast<unsigned char>(pixels[2] * a / 255);
    }
  }
}

// count 0xAARRGGBB pixels as premultiplied R, G, B, A bytes.
void PremultiplyArgb(const unsigned int* src, unsigned char* out, int count) {
  for (int i = 0; i < count; ++i, out += 4) {
    unsigned int argb = src[i];
    unsigned int a = argb >> 24;
    out[0] = static_cast<unsigned char>(((argb >> 16) & 255) * a / 255);
    out[1] = static_cast<unsigned char>(((argb >> 8) & 255) * a / 255);
    out[2] = static_cast<unsigned char>((argb & 255) * a / 255);
    out[3] = static_cast<unsigned char>(a);
  }
}

}  // namespace

gxtkSurface::~gxtkSurface() { Discard(); }

void gxtkSurface::Discard() {
  if (seq == glfwGraphicsSeq) gxtk_gl::DeleteTexture(texture);
  seq = -1;
  texture = 0;
  std::free(data);
  data = nullptr;
}

void gxtkSurface::SetData(unsigned char* pixels, int w, int h, int d) {
  std::free(data);
  data = pixels;
  width = w;
  height = h;
  depth = d;
  format = gxtk_gl::FormatForDepth(d);
  Premultiply(data, w * h, d);
}

bool gxtkSurface::RestorePixels() {
  if (data) return true;
  BBGame* game = BBGame::Game();
  if (path.Length() == 0 || !game) return false;
  int w = 0, h = 0, d = 0;
  unsigned char* pixels = game->LoadImageData(path, &w, &h, &d);
  // A file changed since it was first read no longer fits the frames cut
  // from it: the image stays blank rather than drawing the wrong pixels.
  if (pixels && (w != width || h != height || d != depth)) {
    std::free(pixels);
    return false;
  }
  if (!pixels) return false;
  SetData(pixels, w, h, d);
  return true;
}

void gxtkSurface::ReleasePixels() {
  if (path.Length() == 0) return;
  std::free(data);
  data = nullptr;
}

void gxtkSurface::Bind() {
  if (!glfwGraphicsSeq) return;
  if (seq == glfwGraphicsSeq) {
    gxtk_gl::BindTexture(texture);
    return;
  }
  seq = glfwGraphicsSeq;
  texture = gxtk_gl::CreateTexture();
  if (!format) return;  // a depth the texture formats cannot hold: nothing to show
  int texWidth = width, texHeight = height;
  if (!gxtk_gl::AllocateTexture(format, texWidth, texHeight)) {
    texWidth = NextPowerOfTwo(width);
    texHeight = NextPowerOfTwo(height);
    gxtk_gl::AllocateTexture(format, texWidth, texHeight);
  }
  uscale = 1.0f / float(texWidth);
  vscale = 1.0f / float(texHeight);
  if (RestorePixels()) gxtk_gl::UploadTexture(format, 0, 0, width, height, data);
  ReleasePixels();
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const unsigned int* src, int pitch) {
  if (format != gxtk_gl::RgbaFormat()) return;
  // Clip to the surface, moving the source along with the destination.
  int left = std::max(0, -x), top = std::max(0, -y);
  int right = std::min(w, width - x), bottom = std::min(h, height - y);
  if (left >= right || top >= bottom) return;
  if (!RestorePixels()) {
    data = static_cast<unsigned char*>(std::calloc(std::size_t(width) * std::size_t(height), 4));
    if (!data) return;
  }
  // Written pixels exist nowhere else: from now on the surface keeps them.
  path = String();
  x += left;
  y += top;
  w = right - left;
  h = bottom - top;
  src += std::ptrdiff_t(top) * pitch + left;
  unsigned char* first = data + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
  for (int j = 0; j < h; ++j) PremultiplyArgb(src + std::ptrdiff_t(j) * pitch, first + std::size_t(j) * width * 4, w);
  if (seq != glfwGraphicsSeq) return;
  gxtk_gl::BindTexture(texture);
  if (w == width) {
    gxtk_gl::UploadTexture(format, x, y, w, h, first);
    return;
  }
  for (int j = 0; j < h; ++j) gxtk_gl::UploadTexture(format, x, y + j, w, 1, first + std::size_t(j) * width * 4);
}
