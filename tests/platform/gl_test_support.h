#pragma once
// A GL device on an offscreen window for pixel tests, demos and benchmarks:
// no lost device, no multisampling (exact pixels), D24S8, no vertical blank.
#include <QImage>

#include <memory>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3dx9.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host.h"

namespace gltest {

class OffscreenDevice {
 public:
  // A device of width x height pixels; device() is null when GL is missing.
  OffscreenDevice(int width, int height, D3DMULTISAMPLE_TYPE samples = D3DMULTISAMPLE_NONE);
  ~OffscreenDevice();
  OffscreenDevice(const OffscreenDevice&) = delete;
  OffscreenDevice& operator=(const OffscreenDevice&) = delete;

  IDirect3D9* d3d() const { return m_d3d; }
  IDirect3DDevice9* device() const { return m_device; }
  GLOffscreenWindow& window() { return m_window; }
  // The back buffer as it stands.
  QImage Read() const;
  // Camera at (0, 0, -10) looking at the origin, y up, 45 degree field of
  // view, planes 1 and 100.
  void SetCamera() const;

 private:
  GLOffscreenWindow m_window;
  IDirect3D9* m_d3d = nullptr;
  IDirect3DDevice9* m_device = nullptr;
};

// A mesh in its own buffers; drawn with DrawIndexedPrimitive as a triangle list.
class Mesh {
 public:
  Mesh(IDirect3DDevice9* device, const std::vector<VertexPNDT>& vertices, const std::vector<WORD>& indices);
  ~Mesh();
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;
  void Draw(IDirect3DDevice9* device) const;
  IDirect3DVertexBuffer9* vertices() const { return m_vb; }
  IDirect3DIndexBuffer9* indices() const { return m_ib; }

 private:
  IDirect3DVertexBuffer9* m_vb = nullptr;
  IDirect3DIndexBuffer9* m_ib = nullptr;
  UINT m_vertexCount = 0, m_indexCount = 0;
};

// A square of side size at depth z facing the camera (normal -z), texture
// coordinates 0..1, clockwise on screen.
std::vector<VertexPNDT> FacingSquare(float size, float z, D3DCOLOR color = 0xFFFFFFFF);
extern const std::vector<WORD> kSquareIndices;

// The same square cut into cells x cells, for lighting and fog that are
// worked out per vertex.
struct MeshData {
  std::vector<VertexPNDT> vertices;
  std::vector<WORD> indices;
};
MeshData FacingGrid(float size, float z, int cells, D3DCOLOR color = 0xFFFFFFFF);

// A texture of one colour (0xAARRGGBB).
IDirect3DTexture9* SolidTexture(IDirect3DDevice9* device, UINT size, D3DCOLOR color);

// Channel distance between two colours, at most 255.
int ColorDistance(QRgb a, QRgb b);

}  // namespace gltest
