// The one seam between the graphics subsystem and OpenGL 1.1. Nothing else
// in the graphics folder includes the OpenGL headers.
#pragma once

namespace gxtk_gl {

// Primitive modes of the vertex store.
enum class Mode { Points, Lines, Triangles };

// Viewport and orthographic projection over width x height pixels (y down),
// client vertex/texcoord/colour arrays over `vertices` (stride 20 bytes: x, y,
// u, v floats and 4 colour bytes), premultiplied alpha blending, texturing off.
void BeginFrame(int width, int height, const float* vertices);
void SetAdditiveBlend(bool additive);
// Scissor test off, or on with a box in OpenGL window coordinates (bottom-left origin).
void SetScissor(bool on, int x, int y, int w, int h);
void Clear(float r, float g, float b);
void DrawArrays(Mode mode, int first, int count);
// Triangles from `count` 16-bit indices.
void DrawIndexedTriangles(int count, const unsigned short* indices);
void EnableTexturing();
void DisableTexturing();

// Pixel format for 1-4 bytes per pixel (luminance, luminance-alpha, RGB,
// RGBA); 0 for any other depth.
unsigned int FormatForDepth(int depth);
unsigned int RgbaFormat();
// A new texture, bound, with NEAREST filters and edge clamping.
unsigned int CreateTexture();
void BindTexture(unsigned int texture);
void DeleteTexture(unsigned int texture);
// Allocates level 0 of the bound texture without pixels. False when OpenGL
// refuses the size.
bool AllocateTexture(unsigned int format, int width, int height);
// Uploads a rectangle into the bound texture from tightly packed rows.
void UploadTexture(unsigned int format, int x, int y, int w, int h, const unsigned char* pixels);
// Reads a rectangle (OpenGL window coordinates) as BGRA bytes.
void ReadPixelsBGRA(int x, int y, int w, int h, unsigned char* out);
void Finish();

// Test seam: when set, AllocateTexture refuses sizes that are not powers of
// two, as OpenGL implementations without that support do.
void RefuseNonPowerOfTwo(bool refuse);

}  // namespace gxtk_gl
