// The graphics subsystem as the game and the runtime see it: the batching
// OpenGL renderer (gxtkGraphics) and the graphics module the game draws
// through (c_GraphicsContext, c_Image, c_Frame and the bb_graphics_
// functions). Surfaces, the vertex store and image decoding are the
// folder's own (surface.h, batch.h, decode.h).
//
// All coordinates handed to the device are window pixels, y downwards.
// Colours are 0-255 per component, alpha 0-1. Matrices are six floats
// ix, iy, jx, jy, tx, ty: a point (x, y) maps to (x*ix + y*jx + tx, x*iy + y*jy + ty).
// Everything here runs on the main thread, which owns the OpenGL context.
#pragma once

#include <memory>

#include "runtime/core/core.h"

// Number of the current OpenGL context: 0 before any window exists; the
// window layer raises it by one every time it opens a window. A texture made
// for an older number is gone and is re-created from the surface's data.
extern int glfwGraphicsSeq;

// One image as the device draws it: decoded pixels and the texture made from
// them (graphics/surface.h). The game holds it only through c_Image.
class gxtkSurface;
// The device's vertex store and the OpenGL state it has put in force
// (graphics/batch.h).
struct gxtkBatch;

// The graphics device: batches 2D primitives into one vertex store and sends
// it to OpenGL when the primitive kind or texture changes, the store is full,
// or render state changes.
class gxtkGraphics : public Object {
 public:
  // Reads the window size from BBGame::Game() and fills the quad index table.
  gxtkGraphics();
  ~gxtkGraphics() override;
  void mark() override;

  int width = 0, height = 0;
  unsigned int packedColor = 0;  // bytes in memory R, G, B, A; RGB premultiplied
  float colorR = 0, colorG = 0, colorB = 0;
  float alpha = 0;
  float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
  bool transformed = false;  // false exactly when the matrix is the identity

  virtual int Width() { return width; }
  virtual int Height() { return height; }
  // Starts a frame: viewport and projection over the window's pixels,
  // premultiplied alpha blending, an empty store. Returns 1.
  virtual int BeginRender();
  // Sends the pending run.
  virtual void EndRender();
  virtual void DiscardGraphics() {}
  // A surface decoded from an image file, its texture made at once when a
  // window exists; null when the file is missing or cannot be decoded.
  virtual gxtkSurface* LoadSurface(String path);
  // An RGBA surface without pixels whose texture is made at once.
  virtual gxtkSurface* CreateSurface(int width, int height);
  // Decodes the file into `surface`; false when it cannot be loaded.
  virtual bool LoadSurface__UNSAFE__(gxtkSurface* surface, String path);

  // Drops the pending run undrawn and clears the window to (r, g, b) 0-255.
  virtual void Cls(float r, float g, float b);
  virtual void SetAlpha(float a);
  virtual void SetColor(float r, float g, float b);
  // 1 additive, anything else premultiplied alpha.
  virtual void SetBlend(int mode);
  // Box in window pixels measured from the top; the whole window turns the
  // scissor test off.
  virtual void SetScissor(int x, int y, int w, int h);
  virtual void SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
  virtual void DrawPoint(float x, float y);
  virtual void DrawRect(float x, float y, float w, float h);
  virtual void DrawLine(float x1, float y1, float x2, float y2);
  virtual void DrawOval(float x, float y, float w, float h);
  // Points x0, y0, x1, y1, ...; 1 to 1024 points, otherwise nothing is drawn.
  virtual void DrawPoly(Array<float> xy);
  // Vertices x, y, u, v with (u, v) in surface pixels offset by (srcx, srcy).
  virtual void DrawPoly2(Array<float> xyuv, gxtkSurface* surface, int srcx, int srcy);
  virtual void DrawSurface(gxtkSurface* surface, float x, float y);
  virtual void DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch);
  // Reads a w x h rectangle whose top is y pixels below the window's top into
  // pixels[offset + j*pitch ...] as 0xAARRGGBB, top row first. A rectangle or
  // destination outside the array reads nothing.
  virtual void ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);
  // Writes 0xAARRGGBB pixels from pixels[offset + j*pitch ...] into the
  // surface's rectangle. A source outside the array writes nothing.
  virtual void WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                            int pitch);

  // Draw calls issued since the last BeginRender.
  int DrawCalls() const;
  // On (the default): blend and scissor reach OpenGL when the next primitive
  // or Cls needs them, and only when they differ from what is in force, so
  // settings that change nothing (or are overridden before anything is
  // drawn) never flush. Off: every SetBlend and SetScissor flushes and
  // applies at once (kept for comparison figures).
  void SetStateFilter(bool on);
  // The store with the pending run; owned by the device, never null.
  gxtkBatch& Batch() { return *batch; }

 private:
  // Returns the store slot of the first of `count` new vertices of `kind`
  // over `surface`, flushing the pending run when it cannot take them.
  float* Begin(int kind, int count, gxtkSurface* surface);
  // Stores one vertex (transformed when a matrix is set) with the packed colour.
  float* Put(float* v, float x, float y, float u = 0, float v0 = 0);
  void PackColor();

  std::unique_ptr<gxtkBatch> batch;
};

// A frame of an image: its top-left corner in the surface.
class c_Frame : public Object {
 public:
  int m_x = 0, m_y = 0;
  c_Frame* m_new(int x, int y);
};

// Image flags.
constexpr int GXTK_IMAGE_MIDHANDLE = 1;
constexpr int GXTK_IMAGE_XPADDING = 2;
constexpr int GXTK_IMAGE_YPADDING = 4;
constexpr int GXTK_IMAGE_FULLFRAME = 65536;  // one frame covering the surface

// An image: one surface and the frames cut from it.
class c_Image : public Object {
 public:
  gxtkSurface* m_surface = nullptr;
  int m_width = 0, m_height = 0;  // frame size in pixels
  Array<c_Frame*> m_frames;
  int m_flags = 0;
  float m_handleX = 0, m_handleY = 0;  // frame point placed at the drawing position
  c_Image* m_source = nullptr;         // image whose surface is shared, or null

  c_Image* m_new() { return this; }
  void mark() override;
  // frameCount frames side by side across the whole surface.
  c_Image* p_Init(gxtkSurface* surface, int frameCount, int flags);
  // frameCount frames of width x height walked in rows from (x, y) inside
  // the source rectangle (srcX, srcY, srcWidth, srcHeight). A frame that
  // does not fit raises the runtime error "Image frame outside surface".
  c_Image* p_Init2(gxtkSurface* surface, int x, int y, int width, int height, int frameCount, int flags,
                   c_Image* source, int srcX, int srcY, int srcWidth, int srcHeight);
  int p_ApplyFlags(int flags);
  int p_SetHandle(float x, float y);
};

// The drawing state the game sets, with the matrix stack.
class c_GraphicsContext : public Object {
 public:
  c_Image* m_defaultFont = nullptr;
  c_Image* m_font = nullptr;
  int m_firstChar = 0;
  int m_matrixDepth = 0;  // floats in use in m_matrixStack (6 per matrix)
  float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
  int m_transformed = 0;
  int m_matrixDirty = 0;  // 1 while the render device lacks the current matrix
  float m_colorR = 0, m_colorG = 0, m_colorB = 0;
  float m_alpha = 0;
  int m_blend = 0;
  float m_scissorX = 0, m_scissorY = 0, m_scissorWidth = 0, m_scissorHeight = 0;
  Array<float> m_matrixStack;

  // Identity matrix and an empty stack of 32 matrices.
  c_GraphicsContext* m_new();
  void mark() override;
  // Sends the matrix to the render device when it has changed.
  int p_Validate();
};

// Matrices the stack holds when a context is made; it doubles when full.
constexpr int GXTK_MATRIX_STACK_START = 32;

// The device, set at game start; the same device during a frame, else null;
// the drawing state. All three are collector roots.
extern gxtkGraphics* bb_graphics_device;
extern gxtkGraphics* bb_graphics_renderDevice;
extern c_GraphicsContext* bb_graphics_context;

int bb_graphics_SetGraphicsDevice(gxtkGraphics* device);
// Null when the file is missing or cannot be decoded.
c_Image* bb_graphics_LoadImage(String path, int frameCount, int flags);
c_Image* bb_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags);
// A null font selects the built-in "vemo_font.png" (loaded on first need)
// with first character 32; the current font is null when it cannot load.
int bb_graphics_SetFont(c_Image* font, int firstChar);
int bb_graphics_SetColor(float r, float g, float b);
int bb_graphics_SetAlpha(float a);
int bb_graphics_SetBlend(int blend);
int bb_graphics_SetScissor(float x, float y, float w, float h);
int bb_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int bb_graphics_SetMatrix2(Array<float> m);
// Multiplies the current matrix by the given one, the given one applied first.
int bb_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty);
int bb_graphics_Transform2(Array<float> m);
int bb_graphics_Translate(float x, float y);
int bb_graphics_Scale(float x, float y);
// Positive degrees turn counter-clockwise on the screen.
int bb_graphics_Rotate(float degrees);
int bb_graphics_PushMatrix();
// Pushes and pops are balanced by the caller.
int bb_graphics_PopMatrix();
int bb_graphics_DrawRect(float x, float y, float w, float h);
int bb_graphics_DrawLine(float x1, float y1, float x2, float y2);
// Centre (x, y) and radii.
int bb_graphics_DrawEllipse(float x, float y, float xr, float yr);
int bb_graphics_DrawImage(c_Image* image, float x, float y, int frame);
// Rotation (degrees, counter-clockwise) and scale about the image's handle.
int bb_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX, float scaleY, int frame);
// Binds the context to the device for a frame and resets its state.
int bb_graphics_BeginRender();
int bb_graphics_EndRender();
