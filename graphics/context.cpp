// The graphics module's drawing state: colour, alpha, blend and scissor are
// sent to the render device when set; the matrix is kept here with a stack
// and reaches the device only when a draw needs it.
#include <cmath>

#include "graphics/graphics.h"

gxtkGraphics* bb_graphics_device = nullptr;
gxtkGraphics* bb_graphics_renderDevice = nullptr;
c_GraphicsContext* bb_graphics_context = nullptr;

namespace {

// Degrees to radians in single precision.
constexpr float DEG_TO_RAD = 0.017453292f;
constexpr int MATRIX_FLOATS = 6;

const bool roots_registered = gc_roots(bb_graphics_device, bb_graphics_renderDevice, bb_graphics_context);

// Every matrix operation ends here.
void StoreMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
  c_GraphicsContext* c = bb_graphics_context;
  c->ix = ix;
  c->iy = iy;
  c->jx = jx;
  c->jy = jy;
  c->tx = tx;
  c->ty = ty;
  c->m_transformed = (ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0) ? 0 : 1;
  c->m_matrixDirty = 1;
}

}  // namespace

c_GraphicsContext* c_GraphicsContext::m_new() {
  ix = 1;
  iy = 0;
  jx = 0;
  jy = 1;
  tx = 0;
  ty = 0;
  gc_assign(m_matrixStack, Array<float>(GXTK_MATRIX_STACK_START * MATRIX_FLOATS));
  return this;
}

void c_GraphicsContext::mark() {
  gc_mark_q(m_defaultFont);
  gc_mark_q(m_font);
  gc_mark_q(m_matrixStack);
  Object::mark();
}

int c_GraphicsContext::p_Validate() {
  if (!m_matrixDirty) return 0;
  bb_graphics_renderDevice->SetMatrix(ix, iy, jx, jy, tx, ty);
  m_matrixDirty = 0;
  return 0;
}

int bb_graphics_SetGraphicsDevice(gxtkGraphics* device) {
  gc_assign(bb_graphics_device, device);
  return 0;
}

int bb_graphics_SetColor(float r, float g, float b) {
  c_GraphicsContext* c = bb_graphics_context;
  c->m_colorR = r;
  c->m_colorG = g;
  c->m_colorB = b;
  bb_graphics_renderDevice->SetColor(r, g, b);
  return 0;
}

int bb_graphics_SetAlpha(float a) {
  bb_graphics_context->m_alpha = a;
  bb_graphics_renderDevice->SetAlpha(a);
  return 0;
}

int bb_graphics_SetBlend(int blend) {
  bb_graphics_context->m_blend = blend;
  bb_graphics_renderDevice->SetBlend(blend);
  return 0;
}

int bb_graphics_SetScissor(float x, float y, float w, float h) {
  c_GraphicsContext* c = bb_graphics_context;
  c->m_scissorX = x;
  c->m_scissorY = y;
  c->m_scissorWidth = w;
  c->m_scissorHeight = h;
  bb_graphics_renderDevice->SetScissor(int(x), int(y), int(w), int(h));
  return 0;
}

int bb_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
  StoreMatrix(ix, iy, jx, jy, tx, ty);
  return 0;
}

int bb_graphics_SetMatrix2(Array<float> m) { return bb_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]); }

int bb_graphics_Transform(float a, float b, float c, float d, float e, float f) {
  const c_GraphicsContext* g = bb_graphics_context;
  StoreMatrix(a * g->ix + b * g->jx, a * g->iy + b * g->jy, c * g->ix + d * g->jx, c * g->iy + d * g->jy,
              e * g->ix + f * g->jx + g->tx, e * g->iy + f * g->jy + g->ty);
  return 0;
}

int bb_graphics_Transform2(Array<float> m) { return bb_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]); }

int bb_graphics_Translate(float x, float y) { return bb_graphics_Transform(1, 0, 0, 1, x, y); }

int bb_graphics_Scale(float x, float y) { return bb_graphics_Transform(x, 0, 0, y, 0, 0); }

int bb_graphics_Rotate(float degrees) {
  float a = degrees * DEG_TO_RAD;
  float cosA = std::cos(a), sinA = std::sin(a);
  return bb_graphics_Transform(cosA, -sinA, sinA, cosA, 0, 0);
}

int bb_graphics_PushMatrix() {
  c_GraphicsContext* c = bb_graphics_context;
  if (c->m_matrixDepth == c->m_matrixStack.Length()) {
    gc_assign(c->m_matrixStack, c->m_matrixStack.Resize(c->m_matrixStack.Length() * 2));
  }
  float* top = &c->m_matrixStack[c->m_matrixDepth];
  top[0] = c->ix;
  top[1] = c->iy;
  top[2] = c->jx;
  top[3] = c->jy;
  top[4] = c->tx;
  top[5] = c->ty;
  c->m_matrixDepth += MATRIX_FLOATS;
  return 0;
}

int bb_graphics_PopMatrix() {
  c_GraphicsContext* c = bb_graphics_context;
  c->m_matrixDepth -= MATRIX_FLOATS;
  const float* top = &c->m_matrixStack[c->m_matrixDepth];
  StoreMatrix(top[0], top[1], top[2], top[3], top[4], top[5]);
  return 0;
}

int bb_graphics_DrawRect(float x, float y, float w, float h) {
  bb_graphics_context->p_Validate();
  bb_graphics_renderDevice->DrawRect(x, y, w, h);
  return 0;
}

int bb_graphics_DrawLine(float x1, float y1, float x2, float y2) {
  bb_graphics_context->p_Validate();
  bb_graphics_renderDevice->DrawLine(x1, y1, x2, y2);
  return 0;
}

int bb_graphics_DrawEllipse(float x, float y, float xr, float yr) {
  bb_graphics_context->p_Validate();
  bb_graphics_renderDevice->DrawOval(x - xr, y - yr, xr * 2, yr * 2);
  return 0;
}

int bb_graphics_BeginRender() {
  gc_assign(bb_graphics_renderDevice, bb_graphics_device);
  c_GraphicsContext* c = bb_graphics_context;
  c->m_matrixDepth = 0;
  StoreMatrix(1, 0, 0, 1, 0, 0);
  bb_graphics_SetColor(255, 255, 255);
  bb_graphics_SetAlpha(1);
  bb_graphics_SetBlend(0);
  bb_graphics_SetScissor(0, 0, float(bb_graphics_device->Width()), float(bb_graphics_device->Height()));
  return 0;
}

int bb_graphics_EndRender() {
  bb_graphics_renderDevice = nullptr;
  return 0;
}
