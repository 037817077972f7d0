// Images: one surface and the frames cut from it, drawn about their handle.
#include "graphics/surface.h"

namespace {

// The built-in font: a strip of glyphs for characters 32-127, each frame with
// one pixel of padding left and right.
const char* const DEFAULT_FONT_FILE = "vemo_font.png";
constexpr int DEFAULT_FONT_FRAMES = 96;
constexpr int DEFAULT_FIRST_CHAR = 32;

void FrameOutsideSurface() { bbError(String("Image frame outside surface")); }

// Draws a frame with its top-left corner at (left, top).
void DrawFrameAt(c_Image* image, float left, float top, int frame) {
  c_Frame* f = image->m_frames[frame];
  gxtkGraphics* device = bb_graphics_renderDevice;
  if (image->m_flags & GXTK_IMAGE_FULLFRAME) {
    device->DrawSurface(image->m_surface, left, top);
  } else {
    device->DrawSurface2(image->m_surface, left, top, f->m_x, f->m_y, image->m_width, image->m_height);
  }
}

}  // namespace

c_Frame* c_Frame::m_new(int x, int y) {
  m_x = x;
  m_y = y;
  return this;
}

void c_Image::mark() {
  gc_mark_q(m_surface);
  gc_mark_q(m_frames);
  gc_mark_q(m_source);
  Object::mark();
}

c_Image* c_Image::p_Init(gxtkSurface* surface, int frameCount, int flags) {
  gc_assign(m_surface, surface);
  m_width = surface->Width() / frameCount;
  m_height = surface->Height();
  gc_assign(m_frames, Array<c_Frame*>(frameCount));
  for (int i = 0; i < frameCount; ++i) gc_assign(m_frames[i], (new c_Frame)->m_new(i * m_width, 0));
  p_ApplyFlags(flags);
  return this;
}

c_Image* c_Image::p_Init2(gxtkSurface* surface, int x, int y, int width, int height, int frameCount, int flags,
                          c_Image* source, int srcX, int srcY, int srcWidth, int srcHeight) {
  gc_assign(m_surface, surface);
  gc_assign(m_source, source);
  m_width = width;
  m_height = height;
  gc_assign(m_frames, Array<c_Frame*>(frameCount));
  for (int i = 0; i < frameCount; ++i) {
    if (x + width > srcWidth) {
      x = 0;
      y += height;
      if (width > srcWidth) FrameOutsideSurface();
    }
    if (y + height > srcHeight) FrameOutsideSurface();
    gc_assign(m_frames[i], (new c_Frame)->m_new(x + srcX, y + srcY));
    x += width;
  }
  p_ApplyFlags(flags);
  return this;
}

int c_Image::p_ApplyFlags(int flags) {
  m_flags = flags;
  if (m_flags & GXTK_IMAGE_XPADDING) {
    for (c_Frame* f : m_frames) f->m_x += 1;
    m_width -= 2;
  }
  if (m_flags & GXTK_IMAGE_YPADDING) {
    for (c_Frame* f : m_frames) f->m_y += 1;
    m_height -= 2;
  }
  if (m_flags & GXTK_IMAGE_MIDHANDLE) p_SetHandle(float(m_width) * 0.5f, float(m_height) * 0.5f);
  if (m_frames.Length() == 1 && m_frames[0]->m_x == 0 && m_frames[0]->m_y == 0 && m_width == m_surface->Width() &&
      m_height == m_surface->Height()) {
    m_flags |= GXTK_IMAGE_FULLFRAME;
  }
  return 0;
}

int c_Image::p_SetHandle(float x, float y) {
  m_handleX = x;
  m_handleY = y;
  m_flags &= ~GXTK_IMAGE_MIDHANDLE;
  return 0;
}

c_Image* bb_graphics_LoadImage(String path, int frameCount, int flags) {
  gxtkSurface* surface = bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
  if (!surface) return nullptr;
  return (new c_Image)->m_new()->p_Init(surface, frameCount, flags);
}

c_Image* bb_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags) {
  gxtkSurface* surface = bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
  if (!surface) return nullptr;
  return (new c_Image)
      ->m_new()
      ->p_Init2(surface, 0, 0, frameWidth, frameHeight, frameCount, flags, nullptr, 0, 0, surface->Width(),
                surface->Height());
}

int bb_graphics_SetFont(c_Image* font, int firstChar) {
  c_GraphicsContext* c = bb_graphics_context;
  if (!font) {
    if (!c->m_defaultFont) {
      gc_assign(c->m_defaultFont, bb_graphics_LoadImage(String(DEFAULT_FONT_FILE), DEFAULT_FONT_FRAMES, GXTK_IMAGE_XPADDING));
    }
    font = c->m_defaultFont;
    firstChar = DEFAULT_FIRST_CHAR;
  }
  gc_assign(c->m_font, font);
  c->m_firstChar = firstChar;
  return 0;
}

int bb_graphics_DrawImage(c_Image* image, float x, float y, int frame) {
  bb_graphics_context->p_Validate();
  DrawFrameAt(image, x - image->m_handleX, y - image->m_handleY, frame);
  return 0;
}

int bb_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX, float scaleY, int frame) {
  bb_graphics_PushMatrix();
  bb_graphics_Translate(x, y);
  bb_graphics_Rotate(rotation);
  bb_graphics_Scale(scaleX, scaleY);
  bb_graphics_Translate(-image->m_handleX, -image->m_handleY);
  bb_graphics_context->p_Validate();
  // The handle is already in the matrix: the frame's corner goes to the origin.
  DrawFrameAt(image, 0, 0, frame);
  bb_graphics_PopMatrix();
  return 0;
}
