// Surfaces: the pixels of one image and the OpenGL texture made from them.
// Local to the graphics folder (and its tests); the game reaches surfaces
// only through c_Image.
#pragma once

#include "graphics/graphics.h"

// One image: an OpenGL texture, made on first use in each context, and the
// premultiplied pixels it is made from. A surface decoded from a file lets
// its pixels go once the texture holds them and decodes the file again when
// a new context needs the texture, so the art is held once; a surface made
// empty, or written to, keeps its pixels, which nothing else could restore.
class gxtkSurface : public Object {
 public:
  // Pixel rows, top first, depth bytes per pixel, premultiplied; owned
  // (malloc'ed). Null for an empty surface until pixels are written, and for
  // a file's surface while its texture is live.
  unsigned char* data = nullptr;
  // The image file the pixels came from; empty for a surface made empty or
  // written to.
  String path;
  int width = 0, height = 0;
  int depth = 0;            // bytes per pixel, 1-4
  unsigned int format = 0;  // GL pixel format for depth; 0 when unset
  int seq = -1;             // context number the texture belongs to; -1 none
  unsigned int texture = 0; // GL texture name, valid while seq == glfwGraphicsSeq
  float uscale = 0, vscale = 0;  // 1 / allocated texture width, height

  ~gxtkSurface() override;

  // Frees the texture (when it belongs to the current context) and the data.
  virtual void Discard();
  virtual int Width() { return width; }
  virtual int Height() { return height; }
  virtual bool Loaded() { return true; }
  virtual void OnUnsafeLoadComplete() { Bind(); }

  // Takes ownership of `pixels` (malloc'ed), sets sizes and format, and
  // premultiplies the colour by alpha.
  void SetData(unsigned char* pixels, int width, int height, int depth);
  // Writes a w x h rectangle of 0xAARRGGBB pixels (row j at src + j*pitch)
  // at (x, y), premultiplied; only RGBA surfaces are written. The rectangle
  // is clipped to the surface.
  void SetSubData(int x, int y, int w, int h, const unsigned int* src, int pitch);
  // Makes the texture current, creating and uploading it when this context
  // has none yet. Does nothing before the first window exists.
  void Bind();

 private:
  // The pixels in main memory, decoded again from `path` when they were let
  // go; false when there are none (the file has gone or is damaged).
  bool RestorePixels();
  // Frees the pixels of a file's surface; its texture holds them.
  void ReleasePixels();
};
