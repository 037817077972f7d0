#include "graphics/glseam.h"

#include <GL/gl.h>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace gxtk_gl {
namespace {

bool refuseNpot = false;

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

GLenum ModeToGL(Mode mode) {
  switch (mode) {
    case Mode::Points: return GL_POINTS;
    case Mode::Lines: return GL_LINES;
    case Mode::Triangles: return GL_TRIANGLES;
  }
  return GL_POINTS;
}

}  // namespace

void BeginFrame(int width, int height, const float* vertices) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const unsigned char* base = reinterpret_cast<const unsigned char*>(vertices);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, 20, base);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 20, base + 8);
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(4, GL_UNSIGNED_BYTE, 20, base + 16);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_TEXTURE_2D);
}

void SetAdditiveBlend(bool additive) { glBlendFunc(GL_ONE, additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA); }

void SetScissor(bool on, int x, int y, int w, int h) {
  if (!on) {
    glDisable(GL_SCISSOR_TEST);
    return;
  }
  glEnable(GL_SCISSOR_TEST);
  glScissor(x, y, w, h);
}

void Clear(float r, float g, float b) {
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

void DrawArrays(Mode mode, int first, int count) { glDrawArrays(ModeToGL(mode), first, count); }

void DrawIndexedTriangles(int count, const unsigned short* indices) {
  glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, indices);
}

void EnableTexturing() { glEnable(GL_TEXTURE_2D); }

void DisableTexturing() { glDisable(GL_TEXTURE_2D); }

unsigned int FormatForDepth(int depth) {
  switch (depth) {
    case 1: return GL_LUMINANCE;
    case 2: return GL_LUMINANCE_ALPHA;
    case 3: return GL_RGB;
    case 4: return GL_RGBA;
  }
  return 0;
}

unsigned int RgbaFormat() { return GL_RGBA; }

unsigned int CreateTexture() {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return texture;
}

void BindTexture(unsigned int texture) { glBindTexture(GL_TEXTURE_2D, texture); }

void DeleteTexture(unsigned int texture) {
  GLuint name = texture;
  glDeleteTextures(1, &name);
}

bool AllocateTexture(unsigned int format, int width, int height) {
  if (refuseNpot && !(IsPowerOfTwo(width) && IsPowerOfTwo(height))) return false;
  // Drop errors left by earlier calls so only this allocation is judged
  // (bounded: without a context glGetError may keep reporting).
  for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
  }
  glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), width, height, 0, format, GL_UNSIGNED_BYTE, nullptr);
  return glGetError() == GL_NO_ERROR;
}

void UploadTexture(unsigned int format, int x, int y, int w, int h, const unsigned char* pixels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, format, GL_UNSIGNED_BYTE, pixels);
}

void ReadPixelsBGRA(int x, int y, int w, int h, unsigned char* out) {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(x, y, w, h, GL_BGRA, GL_UNSIGNED_BYTE, out);
}

void Finish() { glFinish(); }

void RefuseNonPowerOfTwo(bool refuse) { refuseNpot = refuse; }

}  // namespace gxtk_gl
