// Texture, sprite and font records over the D3DX interface of g_Engine's
// device.
//
// Sections: texture - sprite - font
#include "engine/draw_resources.h"

#include <cstring>

#include "engine/engine.h"

// ---- texture ---------------------------------------------------------------------------
CKVRTexture::CKVRTexture() { g_Engine.RegisterTexture(this); }

CKVRTexture::~CKVRTexture() {
  g_Engine.UnregisterTexture(this);
  Release();
}

void CKVRTexture::Release() {
  if (m_surface) Unlock();
  if (m_d3dTexture) m_d3dTexture->Release();
  m_d3dTexture = nullptr;
}

bool CKVRTexture::LoadFromFile(const std::string& path, D3DCOLOR colorKey) {
  Release();
  // The sizes belong to the texture just released.
  m_imageInfo = {};
  m_width = m_height = 0;
  if (FAILED(D3DXCreateTextureFromFileExA(g_Engine.Device(), path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1,
                                          D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED,
                                          D3DX_DEFAULT, D3DX_DEFAULT, colorKey, &m_imageInfo, nullptr,
                                          &m_d3dTexture)))
    return false;
  // The file may have changed since it was decoded: then no texture stays.
  D3DSURFACE_DESC desc;
  if (FAILED(D3DXGetImageInfoFromFileA(path.c_str(), &m_imageInfo)) ||
      FAILED(m_d3dTexture->GetLevelDesc(0, &desc))) {
    Release();
    m_imageInfo = {};
    return false;
  }
  m_width = desc.Width;
  m_height = desc.Height;
  return true;
}

bool CKVRTexture::CreateBlank(bool autoMipMap) {
  Release();
  if (FAILED(D3DXCreateTexture(g_Engine.Device(), 32, 32, autoMipMap ? D3DX_DEFAULT : 1,
                               autoMipMap ? D3DUSAGE_AUTOGENMIPMAP : 0, D3DFMT_A8B8G8R8, D3DPOOL_MANAGED,
                               &m_d3dTexture)))
    return false;
  m_imageInfo.Width = m_imageInfo.Height = 32;
  m_width = m_height = 32;
  return true;
}

bool CKVRTexture::Lock() {
  if (!m_d3dTexture || m_surface) return false;
  if (FAILED(m_d3dTexture->GetSurfaceLevel(0, &m_surface))) {
    m_surface = nullptr;
    return false;
  }
  if (FAILED(m_surface->LockRect(&m_lockedRect, nullptr, 0))) {
    // Nothing stays held when the lock fails.
    m_surface->Release();
    m_surface = nullptr;
    m_lockedRect = {};
    return false;
  }
  return true;
}

void CKVRTexture::Fill(DWORD color) {
  if (!m_surface || !m_lockedRect.pBits) return;
  auto* row = static_cast<BYTE*>(m_lockedRect.pBits);
  for (UINT y = 0; y < m_height; ++y, row += m_lockedRect.Pitch) {
    auto* texel = reinterpret_cast<DWORD*>(row);
    for (UINT x = 0; x < m_width; ++x) texel[x] = color;
  }
}

void CKVRTexture::Unlock() {
  if (!m_surface) return;
  m_surface->UnlockRect();
  m_surface->Release();
  m_surface = nullptr;
  m_lockedRect = {};
}

// ---- sprite ------------------------------------------------------------------------------
BYTE ColorChannelToByte(float value) {
  if (value >= 1.0f) return 255;
  if (value <= 0.0f) return 0;
  return BYTE(value * 255.0f + 0.5f);
}

CKVRSprite::CKVRSprite() { g_Engine.RegisterSprite(this); }

CKVRSprite::~CKVRSprite() {
  g_Engine.UnregisterSprite(this);
  Release();
}

void CKVRSprite::Release() {
  if (m_sprite) m_sprite->Release();
  m_sprite = nullptr;
  m_useSourceRect = false;
}

bool CKVRSprite::Create(CKVRTexture* texture) {
  Release();
  if (FAILED(D3DXCreateSprite(g_Engine.Device(), &m_sprite))) {
    m_sprite = nullptr;
    return false;
  }
  m_texture = texture;
  return true;
}

bool CKVRSprite::Draw(const RECT& layoutDest, float r, float g, float b, float a) {
  if (!m_texture || !m_sprite) return false;
  const RECT dest = g_Engine.ToDevicePixels(layoutDest);
  const LONG sourceWidth = m_useSourceRect ? RectWidth(m_sourceRect) : LONG(m_texture->m_width);
  const LONG sourceHeight = m_useSourceRect ? RectHeight(m_sourceRect) : LONG(m_texture->m_height);
  // An empty source or a texture of unknown size cannot be stretched.
  if (sourceWidth <= 0 || sourceHeight <= 0) return false;
  const LONG destWidth = RectWidth(dest) < 0 ? -RectWidth(dest) : RectWidth(dest);
  const LONG destHeight = RectHeight(dest) < 0 ? -RectHeight(dest) : RectHeight(dest);
  const float scaleX = float(destWidth) / float(sourceWidth);
  const float scaleY = float(destHeight) / float(sourceHeight);
  if (FAILED(m_sprite->Begin(D3DXSPRITE_ALPHABLEND))) return false;
  D3DXMATRIX scaling, translation;
  D3DXMatrixScaling(&scaling, scaleX, scaleY, 1.0f);
  D3DXMatrixTranslation(&translation, float(dest.left), float(dest.top), 0.0f);
  const D3DXMATRIX transform = scaling * translation;
  m_sprite->SetTransform(&transform);
  const D3DCOLOR color = D3DCOLOR_ARGB(ColorChannelToByte(a), ColorChannelToByte(r), ColorChannelToByte(g),
                                       ColorChannelToByte(b));
  const HRESULT drawn = m_sprite->Draw(m_texture->m_d3dTexture, m_useSourceRect ? &m_sourceRect : nullptr,
                                       nullptr, nullptr, color);
  const HRESULT ended = m_sprite->End();
  return SUCCEEDED(drawn) && SUCCEEDED(ended);
}

// ---- font ----------------------------------------------------------------------------------
CKVRFont::CKVRFont() { g_Engine.RegisterFont(this); }

CKVRFont::~CKVRFont() {
  g_Engine.UnregisterFont(this);
  Release();
}

void CKVRFont::Release() {
  if (m_font) m_font->Release();
  m_font = nullptr;
  m_height = 0;
  m_shape.Height = 0;
}

bool CKVRFont::Create(int height, UINT width, UINT weight, bool italic, const char* face) {
  Release();
  if (!g_Engine.Device()) return false;
  const INT deviceHeight = INT(g_Engine.ToDevicePixels(height));
  const UINT deviceWidth = UINT(g_Engine.ToDevicePixels(LONG(width)));
  if (FAILED(D3DXCreateFontA(g_Engine.Device(), deviceHeight, deviceWidth, weight, 1, italic ? 1 : 0,
                             DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face, &m_font))) {
    m_font = nullptr;
    return false;
  }
  m_height = height;
  m_shape.Height = height;
  m_shape.Width = width;
  m_shape.Weight = weight;
  m_shape.Italic = italic ? 1 : 0;
  std::strncpy(m_shape.FaceName, face, sizeof m_shape.FaceName - 1);
  return true;
}

void CKVRFont::Rescale() {
  if (!m_font || m_shape.Height == 0) return;
  const D3DXFONT_DESCA shape = m_shape;
  Create(shape.Height, shape.Width, shape.Weight, shape.Italic != 0, shape.FaceName);
}

bool CKVRFont::DrawText(int x, int y, const std::string& text) {
  if (!m_font) return false;
  const LONG dx = g_Engine.ToDevicePixels(x), dy = g_Engine.ToDevicePixels(y);
  RECT rect{dx, dy, dx, dy};
  return m_font->DrawTextA(nullptr, text.c_str(), -1, &rect, m_format, m_textColor) != 0;
}

SIZE CKVRFont::Measure(const std::string& text) const {
  if (!m_font) return SIZE{0, 0};
  RECT r{0, 0, 0, 0};
  m_font->DrawTextA(nullptr, text.c_str(), -1, &r, m_format | DT_CALCRECT, m_textColor);
  return SIZE{g_Engine.ToLayoutPixels(r.right - r.left), g_Engine.ToLayoutPixels(r.bottom - r.top)};
}

bool CKVRFont::DrawShadowText(const std::string& text, int x, int y) {
  if (!m_font) return true;
  const D3DCOLOR textColor = m_textColor;
  m_textColor = m_shadowColor;
  DrawText(x - 1, y - 1, text);
  DrawText(x + 1, y - 1, text);
  DrawText(x + 1, y + 1, text);
  DrawText(x - 1, y + 1, text);
  m_textColor = textColor;
  DrawText(x, y, text);
  return true;
}
