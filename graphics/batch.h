// The renderer's vertex store, its index tables and the blend and scissor
// state it has put in force. Local to the graphics folder (and its tests).
#pragma once

#include "graphics/graphics.h"

// Capacity of the vertex store, and the quads its index table covers.
constexpr int GXTK_MAX_VERTICES = 1024;
constexpr int GXTK_MAX_QUADS = GXTK_MAX_VERTICES / 4;
// Floats per stored vertex: x, y, u, v and the packed colour's four bytes.
constexpr int GXTK_VERTEX_FLOATS = 5;

// Scissor test state as OpenGL takes it: off, or a box from the bottom left.
struct gxtkScissor {
  bool on = false;
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const gxtkScissor& o) const { return on == o.on && x == o.x && y == o.y && w == o.w && h == o.h; }
};

struct gxtkBatch {
  // Fills the quad index table.
  gxtkBatch();

  float vertices[GXTK_MAX_VERTICES * GXTK_VERTEX_FLOATS] = {};
  unsigned short quadIndices[GXTK_MAX_QUADS * 6];
  // Fans of polygonIndexKind-gons as plain triangles, for every group that
  // fits the store, so a run of polygons goes out in one draw call.
  unsigned short polygonIndices[(GXTK_MAX_VERTICES - 2) * 3];
  int polygonIndexKind = 0;
  int primKind = 0;   // 1 points, 2 lines, 3 triangles, 4 quads, n >= 5 polygons of n
  int primCount = 0;  // vertices pending in the store
  gxtkSurface* primSurface = nullptr;  // texture of the pending run; null untextured; a collector reference

  int drawCalls = 0;  // since the last BeginRender
  bool stateFilter = true;
  int blendWanted = 0;   // last mode asked for, normalised (0 alpha, 1 additive)
  int blendInForce = 0;  // mode set in OpenGL
  gxtkScissor scissorWanted, scissorInForce;
  bool scissorKnown = false;  // false until the scissor is set in this frame

  // Sends the pending run (nothing when the store is empty).
  void Flush();
  // Flushes and applies the blend and scissor asked for when they differ
  // from those in force.
  void SyncState();
  void ApplyBlend();
  void ApplyScissor();

 private:
  void DrawIndexedTriangles(int count, const unsigned short* indices);
  // The index table for runs of `kind`-gons (kind >= 5), built on a change.
  const unsigned short* PolygonIndices(int kind);
};
