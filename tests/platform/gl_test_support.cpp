#include "gl_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace gltest {

OffscreenDevice::OffscreenDevice(int width, int height, D3DMULTISAMPLE_TYPE samples)
    : m_window(width, height) {
  m_d3d = Direct3DCreate9GL();
  if (!m_d3d) return;
  D3DPRESENT_PARAMETERS params;
  params.BackBufferWidth = static_cast<UINT>(width);
  params.BackBufferHeight = static_cast<UINT>(height);
  params.BackBufferCount = 1;
  params.MultiSampleType = samples;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.hDeviceWindow = &m_window;
  params.Windowed = 1;
  params.EnableAutoDepthStencil = 1;
  params.AutoDepthStencilFormat = D3DFMT_D24S8;
  params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  if (FAILED(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, &m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                                 &m_device)))
    m_device = nullptr;
}

OffscreenDevice::~OffscreenDevice() {
  if (m_device) m_device->Release();
  if (m_d3d) m_d3d->Release();
}

QImage OffscreenDevice::Read() const {
  QImage image;
  GLReadBackBuffer(m_device, &image);
  return image;
}

void OffscreenDevice::SetCamera() const {
  D3DXMATRIX view, projection;
  const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DSURFACE_DESC desc;
  IDirect3DSurface9* back = nullptr;
  m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  back->GetDesc(&desc);
  back->Release();
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, float(desc.Width) / float(desc.Height), 1, 100);
  m_device->SetTransform(D3DTS_VIEW, &view);
  m_device->SetTransform(D3DTS_PROJECTION, &projection);
}

Mesh::Mesh(IDirect3DDevice9* device, const std::vector<VertexPNDT>& vertices,
           const std::vector<WORD>& indices)
    : m_vertexCount(UINT(vertices.size())), m_indexCount(UINT(indices.size())) {
  void* data = nullptr;
  device->CreateVertexBuffer(m_vertexCount * sizeof(VertexPNDT), 0, VertexPNDT_FVF, D3DPOOL_MANAGED, &m_vb,
                             nullptr);
  m_vb->Lock(0, 0, &data, 0);
  std::memcpy(data, vertices.data(), vertices.size() * sizeof(VertexPNDT));
  m_vb->Unlock();
  device->CreateIndexBuffer(m_indexCount * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ib, nullptr);
  m_ib->Lock(0, 0, &data, 0);
  std::memcpy(data, indices.data(), indices.size() * 2);
  m_ib->Unlock();
}

Mesh::~Mesh() {
  m_vb->Release();
  m_ib->Release();
}

void Mesh::Draw(IDirect3DDevice9* device) const {
  device->SetStreamSource(0, m_vb, 0, sizeof(VertexPNDT));
  device->SetFVF(VertexPNDT_FVF);
  device->SetIndices(m_ib);
  device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_vertexCount, 0, m_indexCount / 3);
}

std::vector<VertexPNDT> FacingSquare(float size, float z, D3DCOLOR color) {
  const float h = size / 2;
  return {{-h, h, z, 0, 0, -1, color, 0, 0},
          {h, h, z, 0, 0, -1, color, 1, 0},
          {-h, -h, z, 0, 0, -1, color, 0, 1},
          {h, -h, z, 0, 0, -1, color, 1, 1}};
}

// Top-left, top-right, bottom-left, then bottom-left, top-right, bottom-right:
// clockwise as seen from the camera.
const std::vector<WORD> kSquareIndices = {0, 1, 2, 2, 1, 3};

MeshData FacingGrid(float size, float z, int cells, D3DCOLOR color) {
  MeshData mesh;
  const float h = size / 2, step = size / float(cells);
  for (int r = 0; r <= cells; ++r)
    for (int c = 0; c <= cells; ++c)
      mesh.vertices.push_back({-h + c * step, h - r * step, z, 0, 0, -1, color, float(c) / float(cells),
                               float(r) / float(cells)});
  for (int r = 0; r < cells; ++r)
    for (int c = 0; c < cells; ++c) {
      const WORD a = WORD(r * (cells + 1) + c), b = WORD(a + cells + 1);
      for (WORD i : {a, WORD(a + 1), b, b, WORD(a + 1), WORD(b + 1)}) mesh.indices.push_back(i);
    }
  return mesh;
}

IDirect3DTexture9* SolidTexture(IDirect3DDevice9* device, UINT size, D3DCOLOR color) {
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(device->CreateTexture(size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
    return nullptr;
  D3DLOCKED_RECT locked;
  texture->LockRect(0, &locked, nullptr, 0);
  for (UINT y = 0; y < size; ++y) {
    auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
    std::fill(row, row + size, color);
  }
  texture->UnlockRect(0);
  return texture;
}

int ColorDistance(QRgb a, QRgb b) {
  return std::max(
      {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

}  // namespace gltest
