#pragma once
// The baseline the GL device is measured against: a minimal OpenGL 3.3
// program that draws the same vertex and index bytes with the same draw
// calls (one world matrix upload and one glDrawElementsBaseVertex per
// sub-object, a texture bind where the texture changes) through the simplest
// shader that still shows a lit, textured board: per-vertex ambient plus one
// directional light, times one texture. It renders into a frame buffer of
// its own of the device's size (RGBA8, D24S8), copies it to the window and
// swaps, as the device's Present does. Its context is its own and shares
// nothing with the device's, so neither disturbs the other's state.
//
// Sections: the program
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>

#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3dx_math.h"

// One draw: texture -1 for none (the unit left unbound).
struct MinimalDraw {
  int texture;
  const D3DXMATRIX* world;
  INT baseVertex;
  UINT startIndex, indexCount;
};

class MinimalProgram {
 public:
  ~MinimalProgram();
  // A context on surface with a width x height frame buffer; false when GL
  // refuses.
  bool Create(QSurface* surface, int width, int height);
  // VertexPNDT vertices and 16-bit indices.
  void SetBuffers(const void* vertices, size_t vertexBytes, const void* indices, size_t indexBytes);
  // A texture of 32-bit texels (rows of width), B, G, R, A in memory when
  // bgra, else R, G, B, A; its mip chain generated. Answers its number.
  int AddTexture(int width, int height, const void* texels, bool bgra);
  void SetScene(const D3DXMATRIX& view, const D3DXMATRIX& projection, const D3DXVECTOR3& towardsLight,
                D3DCOLORVALUE diffuse, D3DCOLOR ambient);
  // Clears, draws, copies to the window and swaps.
  void Frame(const std::vector<MinimalDraw>& draws, D3DCOLOR clear);
  void Finish();

 private:
  bool Build();

  QOpenGLContext m_context;
  QOpenGLFunctions_3_3_Core m_gl;
  QSurface* m_surface = nullptr;
  int m_width = 0, m_height = 0;
  unsigned m_fbo = 0, m_color = 0, m_depth = 0, m_vao = 0, m_vbo = 0, m_ibo = 0, m_program = 0;
  int m_worldLoc = -1;
  std::vector<unsigned> m_textures;
};
