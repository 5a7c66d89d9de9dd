// Sprites and fonts of the GL back end: quads in device pixels drawn through
// the device's screen pass; text rasterised by QPainter into cached textures.
//
// Sections: sprite - font faces and sizes - font drawing
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

#include "platform/d3d9/gl/gl_internal.h"

// ---- sprite -------------------------------------------------------------------------
GLSprite::GLSprite(GLDevice* device) : m_device(device) {
  m_device->AddRef();
  D3DXMatrixIdentity(&m_transform);
}

GLSprite::~GLSprite() {
  if (m_inBatch) m_device->EndScreenPass();
  m_device->Release();
}

HRESULT GLSprite::Begin(DWORD flags) {
  if (m_inBatch) return D3DERR_INVALIDCALL;
  m_inBatch = true;
  m_device->BeginScreenPass((flags & D3DXSPRITE_ALPHABLEND) != 0);
  return D3D_OK;
}

HRESULT GLSprite::SetTransform(const D3DXMATRIX* transform) {
  if (!transform) return D3DERR_INVALIDCALL;
  m_transform = *transform;
  return D3D_OK;
}

HRESULT GLSprite::GetTransform(D3DXMATRIX* transform) {
  if (!transform) return D3DERR_INVALIDCALL;
  *transform = m_transform;
  return D3D_OK;
}

HRESULT GLSprite::Draw(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* center,
                       const D3DXVECTOR3* position, D3DCOLOR color) {
  if (!m_inBatch) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC level{};
  if (texture && FAILED(texture->GetLevelDesc(0, &level))) return D3DERR_INVALIDCALL;
  const RECT src =
      source ? *source : RECT{0, 0, static_cast<LONG>(level.Width), static_cast<LONG>(level.Height)};
  const float left = (position ? position->x : 0.0f) - (center ? center->x : 0.0f);
  const float top = (position ? position->y : 0.0f) - (center ? center->y : 0.0f);
  const float local[4][2] = {{left, top},
                             {left + RectWidth(src), top},
                             {left, top + RectHeight(src)},
                             {left + RectWidth(src), top + RectHeight(src)}};
  float xy[4][2], uv[4][2];
  const float tw = level.Width ? static_cast<float>(level.Width) : 1.0f;
  const float th = level.Height ? static_cast<float>(level.Height) : 1.0f;
  for (int i = 0; i < 4; ++i) {
    const float x = local[i][0], y = local[i][1];
    xy[i][0] = x * m_transform._11 + y * m_transform._21 + m_transform._41;
    xy[i][1] = x * m_transform._12 + y * m_transform._22 + m_transform._42;
    uv[i][0] = ((i & 1) ? src.right : src.left) / tw;
    uv[i][1] = ((i & 2) ? src.bottom : src.top) / th;
  }
  return m_device->DrawScreenQuad(texture, xy, uv, color);
}

HRESULT GLSprite::End() {
  if (!m_inBatch) return D3DERR_INVALIDCALL;
  m_inBatch = false;
  m_device->EndScreenPass();
  return D3D_OK;
}

// ---- font faces and sizes -------------------------------------------------------------------
namespace {

// Families that are not installed here, and the installed ones that stand
// in for them with the same proportions.
QString InstalledFamily(const char* face) {
  const QString name = QString::fromUtf8(face);
  if (name.compare("Verdana", Qt::CaseInsensitive) == 0) return "DejaVu Sans";
  if (name.compare("Arial", Qt::CaseInsensitive) == 0) return "Liberation Sans";
  return name.isEmpty() ? QString("DejaVu Sans") : name;
}

// The largest pixel size whose line height does not exceed the cell height.
int PixelSizeForCell(QFont font, int cellHeight) {
  int best = 1;
  for (int px = 1; px <= cellHeight; ++px) {
    font.setPixelSize(px);
    if (QFontMetrics(font).height() > cellHeight) break;
    best = px;
  }
  return best;
}

std::vector<QString> SplitLines(const std::string& text) {
  std::vector<QString> lines;
  for (const QString& line : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).split('\n'))
    lines.push_back(QString(line).remove('\r'));
  return lines;
}

constexpr size_t kCacheLimit = 256;

}  // namespace

GLFont::GLFont(GLDevice* device, const D3DXFONT_DESCA& desc) : m_device(device), m_desc(desc) {
  m_device->AddRef();
  m_font.setFamily(InstalledFamily(desc.FaceName));
  m_font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(static_cast<int>(desc.Weight), 100, 900)));
  m_font.setItalic(desc.Italic != 0);
  m_font.setStyleStrategy(QFont::PreferAntialias);
  m_font.setHintingPreference(QFont::PreferNoHinting);
  const int cell = desc.Height > 0 ? desc.Height : desc.Height < 0 ? 0 : 16;
  if (cell > 0) {
    m_font.setPixelSize(PixelSizeForCell(m_font, cell));
    m_lineHeight = cell;
  } else {  // a negative height is the character height itself
    m_font.setPixelSize(-desc.Height);
    m_lineHeight = QFontMetrics(m_font).height();
  }
  const QFontMetrics metrics(m_font);
  // Lines sit in the middle of their cell.
  m_ascent = metrics.ascent() + (m_lineHeight - metrics.height()) / 2;
}

GLFont::~GLFont() {
  for (auto& entry : m_cache) entry.second.texture->Release();
  m_device->Release();
}

HRESULT GLFont::GetDescA(D3DXFONT_DESCA* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = m_desc;
  return D3D_OK;
}

// ---- font drawing ------------------------------------------------------------------------------
const GLFont::Rendered* GLFont::Render(const std::string& text) {
  auto found = m_cache.find(text);
  if (found != m_cache.end()) {
    m_order.splice(m_order.begin(), m_order, found->second.lru);
    return &found->second;
  }
  const std::vector<QString> lines = SplitLines(text);
  const QFontMetrics metrics(m_font);
  int width = 1;
  for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
  width += 2;  // room for glyphs that reach past their advance
  const int height = std::max(1, static_cast<int>(lines.size()) * m_lineHeight);
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setFont(m_font);
    painter.setPen(Qt::white);
    for (size_t i = 0; i < lines.size(); ++i)
      painter.drawText(0, static_cast<int>(i) * m_lineHeight + m_ascent, lines[i]);
  }
  image = image.convertToFormat(QImage::Format_ARGB32);  // bytes B, G, R, A: A8R8G8B8
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(m_device->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0,
                                     D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
    return nullptr;
  D3DLOCKED_RECT locked;
  if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
    texture->Release();
    return nullptr;
  }
  for (int y = 0; y < height; ++y)
    std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, image.constScanLine(y),
                static_cast<size_t>(width) * 4);
  texture->UnlockRect(0);
  if (m_cache.size() >= kCacheLimit) Evict();
  m_order.push_front(text);
  Rendered& r = m_cache[text];
  r = Rendered{texture, width, height, m_order.begin()};
  return &r;
}

void GLFont::Evict() {
  const std::string oldest = m_order.back();
  m_order.pop_back();
  auto found = m_cache.find(oldest);
  found->second.texture->Release();
  m_cache.erase(found);
}

INT GLFont::DrawTextA(ID3DXSprite* sprite, const char* text, INT count, RECT* rect, DWORD format,
                      D3DCOLOR color) {
  if (!text || !rect) return 0;
  const std::string str = count < 0 ? std::string(text) : std::string(text, static_cast<size_t>(count));
  const std::vector<QString> lines = SplitLines(str);
  const int height = static_cast<int>(lines.size()) * m_lineHeight;
  if (format & DT_CALCRECT) {
    const QFontMetrics metrics(m_font);
    int width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return height;
  }
  if (str.empty()) return height;
  const Rendered* r = Render(str);
  if (!r) return 0;
  // Without DT_NOCLIP only the part inside the rectangle shows.
  float x0 = static_cast<float>(rect->left), y0 = static_cast<float>(rect->top);
  float x1 = x0 + r->width, y1 = y0 + r->height;
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  if (!(format & DT_NOCLIP)) {
    const float cx1 = std::min(x1, static_cast<float>(rect->right));
    const float cy1 = std::min(y1, static_cast<float>(rect->bottom));
    if (cx1 <= x0 || cy1 <= y0) return height;
    u1 = (cx1 - x0) / r->width;
    v1 = (cy1 - y0) / r->height;
    x1 = cx1;
    y1 = cy1;
  }
  const float xy[4][2] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
  const float uv[4][2] = {{u0, v0}, {u1, v0}, {u0, v1}, {u1, v1}};
  auto* batch = dynamic_cast<GLSprite*>(sprite);
  const bool own = !batch || !batch->InBatch();
  if (own) m_device->BeginScreenPass(true);
  const HRESULT hr = m_device->DrawScreenQuad(r->texture, xy, uv, color);
  if (own) m_device->EndScreenPass();
  return SUCCEEDED(hr) ? height : 0;
}
