#pragma once
// The baseline the GL device is measured against: a minimal OpenGL 3.3
// program that draws the same picture from the same vertex, index and
// texel bytes with the same draw calls (one world matrix upload and one
// glDrawElementsBaseVertex per sub-object, a texture bind where the texture
// changes) through the simplest shaders that give the device's pixels:
// per-vertex ambient plus one directional light, times the texture, plus
// that light's specular highlight on shiny draws only (a second program, so
// that matte draws pay nothing for it). It renders into a frame buffer of
// its own of the device's size (RGBA8, D24S8), copies it to the window and
// swaps, as the device's Present does. Its context is its own and shares
// nothing with the device's, so neither disturbs the other's state.
// ReadFrame and CompareFrames let a test hold the two pictures side by side.
//
// Sections: the program - frame comparison
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>

#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3dx_math.h"

// One draw: texture -1 for none (the unit left unbound); shiny adds the
// specular highlight.
struct MinimalDraw {
  int texture;
  const D3DXMATRIX* world;
  INT baseVertex;
  UINT startIndex, indexCount;
  bool shiny;
};

// The frame's light as the device works it out for white vertices: the
// ambient term (global ambient times the material's ambient), the light's
// diffuse times the material's diffuse, and for shiny draws the light's
// specular times the material's, at the material's power, seen from eye.
struct MinimalLight {
  D3DXVECTOR3 towardsLight;  // unit length
  D3DXVECTOR3 eye;
  D3DCOLORVALUE ambient, diffuse, specular;
  float power;
};

class MinimalProgram {
 public:
  ~MinimalProgram();
  // A context on surface with a width x height frame buffer; false when GL
  // refuses.
  bool Create(QSurface* surface, int width, int height);
  // VertexPNDT vertices and 16-bit indices.
  void SetBuffers(const void* vertices, size_t vertexBytes, const void* indices, size_t indexBytes);
  // The device texture's texels, every level as the device holds them (its
  // chain generated when it has one level and makes its own); -1 when a
  // level cannot be read. Answers its number.
  int AddTexture(IDirect3DTexture9* texture);
  void SetScene(const D3DXMATRIX& view, const D3DXMATRIX& projection, const MinimalLight& light);
  // Clears, draws, copies to the window and swaps.
  void Frame(const std::vector<MinimalDraw>& draws, D3DCOLOR clear);
  void Finish();
  // The last frame's pixels, top row first (opaque RGB32).
  QImage ReadFrame();

 private:
  bool Build(unsigned& program, bool shiny);

  QOpenGLContext m_context;
  QOpenGLFunctions_3_3_Core m_gl;
  QSurface* m_surface = nullptr;
  int m_width = 0, m_height = 0;
  unsigned m_fbo = 0, m_color = 0, m_depth = 0, m_vao = 0, m_vbo = 0, m_ibo = 0;
  unsigned m_programs[2] = {};  // matte, shiny
  int m_worldLocs[2] = {-1, -1};
  std::vector<unsigned> m_textures;
};

// ---- frame comparison -------------------------------------------------------------------------
// How far two frames of one size lie apart: the largest difference of a
// colour channel, and how many pixels differ by more than tolerance in some
// channel.
struct FrameDifference {
  int largest = 0;
  long pixelsOver = 0;
};
FrameDifference CompareFrames(const QImage& a, const QImage& b, int tolerance);

// The light the device works out from its state for white vertices lit
// through material (the diffuse colour taken from the vertex, as by
// default): ambient from material's ambient and emissive, specular from its
// specular and power, the eye from view.
MinimalLight MinimalLightOf(const D3DLIGHT9& light, const D3DMATERIAL9& material, D3DCOLOR ambient,
                            const D3DXMATRIX& view);
