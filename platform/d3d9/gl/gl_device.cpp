// The GL device: recorded fixed-function state turned into GL state and the
// pipeline's uniforms at each draw.
//
// Sections: helpers - life cycle and back buffer - present and clear - state
// calls - resources and streams - drawing - sprite and font factories
// (the state's translation to GL and the screen passes: d3d9_gl_state.cpp)
#include <QImage>
#include <QOpenGLFunctions>

#include <cmath>
#include <cstring>

#include "platform/d3d9/gl/gl_internal.h"

// ---- helpers ----------------------------------------------------------------------
using namespace gldetail;

namespace {

unsigned GLMode(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
  }
}

// Vertices that primitiveCount primitives of the type use; 0 for an unknown type.
UINT VertexCountOf(D3DPRIMITIVETYPE type, UINT primitives) {
  switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
  }
}

unsigned GLDepthFormat(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_D24S8: return GL_DEPTH24_STENCIL8;
    case D3DFMT_D24X8: return GL_DEPTH_COMPONENT24;
    case D3DFMT_D32: return GL_DEPTH_COMPONENT32;
    case D3DFMT_D16: return GL_DEPTH_COMPONENT16;
    default: return 0;
  }
}

}  // namespace

// ---- life cycle and back buffer ----------------------------------------------------
GLDevice::GLDevice(GLCorePtr core, GLSurfaceWindow* window)
    : m_core(std::move(core)), m_window(window) {}

GLDevice::~GLDevice() {
  for (auto*& t : m_textures) Rebind(t, static_cast<IDirect3DTexture9*>(nullptr));
  Rebind(m_savedTexture, static_cast<IDirect3DTexture9*>(nullptr));
  Rebind(m_stream, static_cast<IDirect3DVertexBuffer9*>(nullptr));
  Rebind(m_indices, static_cast<IDirect3DIndexBuffer9*>(nullptr));
  if (m_core->MakeCurrent()) {
    auto& gl = m_core->m_gl;
    DestroyTargets();
    m_pipeline.Destroy();
    if (m_vao) gl.glDeleteVertexArrays(1, &m_vao);
    if (m_sampler) gl.glDeleteSamplers(1, &m_sampler);
    if (m_quadVbo) gl.glDeleteBuffers(1, &m_quadVbo);
  }
}

HRESULT GLDevice::Init(const D3DPRESENT_PARAMETERS& params) {
  m_params = params;
  if (!m_core->MakeCurrent()) return D3DERR_NOTAVAILABLE;
  if (!m_pipeline.Create(&m_core->m_gl)) {
    qWarning("GL device: the shader program does not build: %s", m_pipeline.Log());
    return D3DERR_NOTAVAILABLE;
  }
  auto& gl = m_core->m_gl;
  gl.glGenVertexArrays(1, &m_vao);
  gl.glGenSamplers(1, &m_sampler);
  gl.glGenBuffers(1, &m_quadVbo);
  if (!CreateTargets()) return D3DERR_NOTAVAILABLE;

  const bool autoDepth = params.EnableAutoDepthStencil != 0;
  for (DWORD s = 0; s < D3DRS_COUNT; ++s) m_state.renderStates[s] = D3DDefaultRenderState(s, autoDepth);
  for (DWORD st = 0; st < D3DTEXTURESTAGES; ++st) {
    for (DWORD t = 0; t < D3DTSS_COUNT; ++t) m_state.stageStates[st][t] = D3DDefaultTextureStageState(st, t);
    for (DWORD t = 0; t < D3DSAMP_COUNT; ++t) m_state.samplerStates[st][t] = D3DDefaultSamplerState(t);
  }
  m_state.world = m_state.view = m_state.projection = Identity();
  for (auto& light : m_state.lights) {  // what an enabled but never set light is
    light = D3DLIGHT9{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0, 0, 1};
  }
  m_state.viewport = D3DVIEWPORT9{0, 0, m_params.BackBufferWidth, m_params.BackBufferHeight, 0, 1};
  m_dirty = kDirtyEverything;
  return D3D_OK;
}

bool GLDevice::CreateTargets() {
  auto& gl = m_core->m_gl;
  const int w = static_cast<int>(m_params.BackBufferWidth);
  const int h = static_cast<int>(m_params.BackBufferHeight);
  const int samples = m_params.MultiSampleType >= 2 ? static_cast<int>(m_params.MultiSampleType) : 0;
  gl.glGenFramebuffers(1, &m_fbo);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  gl.glGenRenderbuffers(1, &m_colorRb);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, m_colorRb);
  gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, w, h);
  gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colorRb);
  if (m_params.EnableAutoDepthStencil) {
    const unsigned depthFormat = GLDepthFormat(m_params.AutoDepthStencilFormat);
    if (!depthFormat) return false;
    gl.glGenRenderbuffers(1, &m_depthRb);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, m_depthRb);
    gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, depthFormat, w, h);
    const unsigned attach = depthFormat == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT
                                                               : GL_DEPTH_ATTACHMENT;
    gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, attach, GL_RENDERBUFFER, m_depthRb);
  }
  bool ok = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (samples) {
    gl.glGenFramebuffers(1, &m_resolveFbo);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, m_resolveFbo);
    gl.glGenRenderbuffers(1, &m_resolveRb);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, m_resolveRb);
    gl.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_resolveRb);
    ok = ok && gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  }
  ok = ok && gl.glGetError() == GL_NO_ERROR;
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  // A fresh back buffer is black and opaque, like a cleared X8R8G8B8 surface.
  gl.glDisable(GL_SCISSOR_TEST);
  gl.glColorMask(1, 1, 1, 1);
  gl.glClearColor(0, 0, 0, 1);
  gl.glClear(GL_COLOR_BUFFER_BIT);
  Dirty(kDirtyFixed | kDirtyViewport);
  return ok;
}

void GLDevice::DestroyTargets() {
  auto& gl = m_core->m_gl;
  for (unsigned* fb : {&m_fbo, &m_resolveFbo})
    if (*fb) gl.glDeleteFramebuffers(1, fb), *fb = 0;
  for (unsigned* rb : {&m_colorRb, &m_depthRb, &m_resolveRb})
    if (*rb) gl.glDeleteRenderbuffers(1, rb), *rb = 0;
}

HRESULT GLDevice::Reset(D3DPRESENT_PARAMETERS* params) {
  if (!params || m_screenDepth > 0) return D3DERR_INVALIDCALL;
  D3DPRESENT_PARAMETERS p = *params;
  RECT client;
  if ((!p.BackBufferWidth || !p.BackBufferHeight) && m_window && m_window->GetClientRect(&client)) {
    if (!p.BackBufferWidth) p.BackBufferWidth = static_cast<UINT>(RectWidth(client));
    if (!p.BackBufferHeight) p.BackBufferHeight = static_cast<UINT>(RectHeight(client));
  }
  if (!p.BackBufferWidth || !p.BackBufferHeight) return D3DERR_INVALIDCALL;
  if (p.BackBufferFormat == D3DFMT_UNKNOWN) p.BackBufferFormat = D3DFMT_X8R8G8B8;
  if (!m_core->MakeCurrent()) {
    m_needsReset = true;
    return D3DERR_DEVICELOST;
  }
  const D3DPRESENT_PARAMETERS old = m_params;
  DestroyTargets();
  m_params = p;
  if (!CreateTargets()) {  // keep the old back buffer rather than none
    DestroyTargets();
    m_params = old;
    CreateTargets();
    m_needsReset = true;
    return D3DERR_NOTAVAILABLE;
  }
  m_needsReset = false;
  *params = p;
  m_swapIntervalApplied = false;
  m_state.viewport = D3DVIEWPORT9{0, 0, p.BackBufferWidth, p.BackBufferHeight, 0, 1};
  Dirty(kDirtyViewport);
  return D3D_OK;
}

HRESULT GLDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                IDirect3DSurface9** surface) {
  return MakeBackBufferSurface(m_params, swapChain, index, type, surface);
}

// ---- present and clear ---------------------------------------------------------------
unsigned GLDevice::ResolvedFramebuffer() {
  if (!m_resolveFbo) return m_fbo;
  auto& gl = m_core->m_gl;
  const int w = static_cast<int>(m_params.BackBufferWidth);
  const int h = static_cast<int>(m_params.BackBufferHeight);
  gl.glDisable(GL_SCISSOR_TEST);
  gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, m_fbo);
  gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_resolveFbo);
  gl.glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  Dirty(kDirtyFixed);
  return m_resolveFbo;
}

void GLDevice::ApplySwapInterval() {
  if (m_swapIntervalApplied) return;
  m_swapIntervalApplied = true;
  const int interval = m_params.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1;
  // Applies to the current drawable; Qt sets its own interval only once.
  using SwapIntervalMesa = int (*)(unsigned);
  using SwapIntervalSgi = int (*)(int);
  if (auto f = reinterpret_cast<SwapIntervalMesa>(m_core->m_context.getProcAddress("glXSwapIntervalMESA")))
    f(static_cast<unsigned>(interval));
  else if (auto g = reinterpret_cast<SwapIntervalSgi>(m_core->m_context.getProcAddress("glXSwapIntervalSGI")))
    g(interval);
}

HRESULT GLDevice::Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                          const void* dirtyRegion) {
  if (source || dest || overrideWindow || dirtyRegion) return D3DERR_INVALIDCALL;
  if (!m_core->MakeCurrent()) return D3D_OK;  // nothing to show; never a lost device
  QSurface* surface = m_core->ShowingSurface();
  if (!surface || m_core->m_context.surface() != surface) return D3D_OK;
  auto& gl = m_core->m_gl;
  const unsigned from = ResolvedFramebuffer();
  RECT client{0, 0, 0, 0};
  m_window->GetClientRect(&client);
  const int w = static_cast<int>(m_params.BackBufferWidth);
  const int h = static_cast<int>(m_params.BackBufferHeight);
  const int cw = RectWidth(client), ch = RectHeight(client);
  gl.glDisable(GL_SCISSOR_TEST);
  gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
  gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_core->m_context.defaultFramebufferObject());
  gl.glBlitFramebuffer(0, 0, w, h, 0, 0, cw, ch, GL_COLOR_BUFFER_BIT,
                       (cw == w && ch == h) ? GL_NEAREST : GL_LINEAR);
  ApplySwapInterval();
  m_core->m_context.swapBuffers(surface);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  Dirty(kDirtyFixed);
  return D3D_OK;
}

bool GLDevice::ReadBackBuffer(QImage* image) {
  if (!image || !m_core->MakeCurrent()) return false;
  auto& gl = m_core->m_gl;
  const int w = static_cast<int>(m_params.BackBufferWidth);
  const int h = static_cast<int>(m_params.BackBufferHeight);
  QImage rows(w, h, QImage::Format_RGBA8888);
  gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, ResolvedFramebuffer());
  gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
  gl.glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.bits());
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  *image = rows.mirrored(false, true).convertToFormat(QImage::Format_RGB32);
  return true;
}

HRESULT GLDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                        DWORD stencil) {
  if (count != 0 || rects) return D3DERR_INVALIDCALL;
  if (!m_core->MakeCurrent()) return D3D_OK;
  auto& gl = m_core->m_gl;
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  ApplyViewport();
  const D3DVIEWPORT9& v = m_state.viewport;
  gl.glEnable(GL_SCISSOR_TEST);  // Clear covers the viewport only
  gl.glScissor(static_cast<int>(v.X),
               static_cast<int>(m_params.BackBufferHeight) - static_cast<int>(v.Y + v.Height),
               static_cast<int>(v.Width), static_cast<int>(v.Height));
  unsigned mask = 0;
  if (flags & D3DCLEAR_TARGET) {
    const auto c = ColorOf(color);
    gl.glColorMask(1, 1, 1, 1);
    gl.glClearColor(c[0], c[1], c[2], 1.0f);  // X8R8G8B8: alpha is always opaque
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if ((flags & D3DCLEAR_ZBUFFER) && m_depthRb) {
    gl.glDepthMask(1);
    gl.glClearDepth(z);
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if ((flags & D3DCLEAR_STENCIL) && m_depthRb) {
    gl.glStencilMask(0xFF);
    gl.glClearStencil(static_cast<int>(stencil));
    mask |= GL_STENCIL_BUFFER_BIT;
  }
  if (mask) gl.glClear(mask);
  gl.glDisable(GL_SCISSOR_TEST);
  Dirty(kDirtyFixed);
  return D3D_OK;
}

HRESULT GLDevice::BeginScene() {
  if (m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = true;
  return D3D_OK;
}

HRESULT GLDevice::EndScene() {
  if (!m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = false;
  return D3D_OK;
}

// ---- state calls ------------------------------------------------------------------------
HRESULT GLDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
  m_state.renderStates[state] = value;
  Dirty(kDirtyFixed | unsigned{GLPipeline::kDirtyAll});
  return D3D_OK;
}

HRESULT GLDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (state >= D3DRS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = m_state.renderStates[state];
  return D3D_OK;
}

HRESULT GLDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  if (sampler >= D3DTEXTURESTAGES || type >= D3DSAMP_COUNT) return D3DERR_INVALIDCALL;
  m_state.samplerStates[sampler][type] = value;
  Dirty(kDirtySampler);
  return D3D_OK;
}

HRESULT GLDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  if (sampler >= D3DTEXTURESTAGES || type >= D3DSAMP_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = m_state.samplerStates[sampler][type];
  return D3D_OK;
}

HRESULT GLDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= D3DTEXTURESTAGES || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
  m_state.stageStates[stage][type] = value;
  Dirty(GLPipeline::kDirtyStage);
  return D3D_OK;
}

HRESULT GLDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (stage >= D3DTEXTURESTAGES || type >= D3DTSS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = m_state.stageStates[stage][type];
  return D3D_OK;
}

HRESULT GLDevice::SetTexture(DWORD stage, IDirect3DTexture9* texture) {
  if (stage >= D3DTEXTURESTAGES) return D3DERR_INVALIDCALL;
  if (texture && !dynamic_cast<GLTexture*>(texture)) return D3DERR_INVALIDCALL;
  if (m_textures[stage] != texture) Dirty(GLPipeline::kDirtyMode);
  Rebind(m_textures[stage], texture);
  return D3D_OK;
}

HRESULT GLDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  switch (state) {
    case D3DTS_WORLD: m_state.world = *matrix; break;
    case D3DTS_VIEW: m_state.view = *matrix; break;
    case D3DTS_PROJECTION: m_state.projection = *matrix; break;
    default: return D3D_OK;  // texture transforms are not used
  }
  Dirty(GLPipeline::kDirtyTransform);
  return D3D_OK;
}

HRESULT GLDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  switch (state) {
    case D3DTS_WORLD: *matrix = m_state.world; break;
    case D3DTS_VIEW: *matrix = m_state.view; break;
    case D3DTS_PROJECTION: *matrix = m_state.projection; break;
    default: *matrix = Identity(); break;
  }
  return D3D_OK;
}

HRESULT GLDevice::SetMaterial(const D3DMATERIAL9* material) {
  if (!material) return D3DERR_INVALIDCALL;
  m_state.material = *material;
  Dirty(GLPipeline::kDirtyMaterial);
  return D3D_OK;
}

HRESULT GLDevice::GetMaterial(D3DMATERIAL9* material) {
  if (!material) return D3DERR_INVALIDCALL;
  *material = m_state.material;
  return D3D_OK;
}

HRESULT GLDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
  if (index >= D3DMAXLIGHTS || !light) return D3DERR_INVALIDCALL;
  m_state.lights[index] = *light;
  Dirty(GLPipeline::kDirtyLights);
  return D3D_OK;
}

HRESULT GLDevice::GetLight(DWORD index, D3DLIGHT9* light) {
  if (index >= D3DMAXLIGHTS || !light) return D3DERR_INVALIDCALL;
  *light = m_state.lights[index];
  return D3D_OK;
}

HRESULT GLDevice::LightEnable(DWORD index, BOOL enable) {
  if (index >= D3DMAXLIGHTS) return D3DERR_INVALIDCALL;
  m_state.lightEnabled[index] = enable ? 1 : 0;
  Dirty(GLPipeline::kDirtyLights);
  return D3D_OK;
}

HRESULT GLDevice::GetLightEnable(DWORD index, BOOL* enable) {
  if (index >= D3DMAXLIGHTS || !enable) return D3DERR_INVALIDCALL;
  *enable = m_state.lightEnabled[index];
  return D3D_OK;
}

HRESULT GLDevice::SetViewport(const D3DVIEWPORT9* viewport) {
  if (!viewport || viewport->X + viewport->Width > m_params.BackBufferWidth ||
      viewport->Y + viewport->Height > m_params.BackBufferHeight)
    return D3DERR_INVALIDCALL;
  m_state.viewport = *viewport;
  Dirty(kDirtyViewport);
  return D3D_OK;
}

HRESULT GLDevice::GetViewport(D3DVIEWPORT9* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  *viewport = m_state.viewport;
  return D3D_OK;
}

// ---- resources and streams -----------------------------------------------------------------
HRESULT GLDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
  const HRESULT hr = CheckBufferArguments(length, buffer, shared);
  if (FAILED(hr)) return hr;
  *buffer = new GLVertexBuffer(m_core, length, usage, fvf, pool);
  return D3D_OK;
}

HRESULT GLDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
  const HRESULT hr = CheckBufferArguments(length, buffer, shared);
  if (FAILED(hr)) return hr;
  if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
  *buffer = new GLIndexBuffer(m_core, length, usage, format, pool);
  return D3D_OK;
}

HRESULT GLDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                HANDLE* shared) {
  const HRESULT hr = CheckTextureArguments(width, height, levels, format, texture, shared);
  if (FAILED(hr)) return hr;
  *texture = new GLTexture(m_core, width, height, levels, usage, format, pool);
  return D3D_OK;
}

HRESULT GLDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                  UINT stride) {
  if (stream != 0 || (buffer && !dynamic_cast<GLVertexBuffer*>(buffer))) return D3DERR_INVALIDCALL;
  Rebind(m_stream, buffer);
  m_streamOffset = offset;
  m_streamStride = stride;
  Dirty(kDirtyLayout);
  return D3D_OK;
}

HRESULT GLDevice::SetFVF(DWORD fvf) {
  m_fvf = fvf;
  Dirty(kDirtyLayout | unsigned{GLPipeline::kDirtyMaterial});
  return D3D_OK;
}

HRESULT GLDevice::SetIndices(IDirect3DIndexBuffer9* buffer) {
  if (buffer && !dynamic_cast<GLIndexBuffer*>(buffer)) return D3DERR_INVALIDCALL;
  Rebind(m_indices, buffer);
  return D3D_OK;
}

// ---- drawing ----------------------------------------------------------------------------------
HRESULT GLDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  const UINT count = VertexCountOf(type, primitiveCount);
  if (!m_stream || !count || !m_streamStride) return D3DERR_INVALIDCALL;
  auto* vb = static_cast<GLVertexBuffer*>(m_stream);
  if (m_streamOffset + static_cast<uint64_t>(startVertex + count) * m_streamStride > vb->Store().Length())
    return D3DERR_INVALIDCALL;
  if (!PrepareDraw(false)) return D3DERR_INVALIDCALL;
  m_core->m_gl.glDrawArrays(GLMode(type), static_cast<int>(startVertex), static_cast<int>(count));
  return D3D_OK;
}

HRESULT GLDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                       UINT vertexCount, UINT startIndex, UINT primitiveCount) {
  const UINT count = VertexCountOf(type, primitiveCount);
  if (!m_stream || !m_indices || !count || !m_streamStride || baseVertex < 0)
    return D3DERR_INVALIDCALL;
  auto* ib = static_cast<GLIndexBuffer*>(m_indices);
  auto* vb = static_cast<GLVertexBuffer*>(m_stream);
  // The declared vertex range and the index range must lie in their buffers
  // (the index values themselves are the caller's promise).
  const uint64_t lastVertex = uint64_t(baseVertex) + minIndex + vertexCount;
  if (uint64_t(startIndex + count) * ib->IndexSize() > ib->Store().Length() ||
      m_streamOffset + lastVertex * m_streamStride > vb->Store().Length())
    return D3DERR_INVALIDCALL;
  if (!PrepareDraw(true)) return D3DERR_INVALIDCALL;
  const uintptr_t offset = static_cast<uintptr_t>(startIndex) * ib->IndexSize();
  m_core->m_gl.glDrawElementsBaseVertex(
      GLMode(type), static_cast<int>(count),
      ib->IndexSize() == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
      reinterpret_cast<const void*>(offset), baseVertex);
  return D3D_OK;
}

bool GLDevice::PrepareDraw(bool indexed) {
  if (!m_core->MakeCurrent()) return false;
  const unsigned vbo = static_cast<GLVertexBuffer*>(m_stream)->Upload();
  ApplyForDraw(vbo);
  if (indexed) static_cast<GLIndexBuffer*>(m_indices)->Upload();
  return true;
}

void GLDevice::ApplyForDraw(unsigned vbo) {
  auto& gl = m_core->m_gl;
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  ApplyViewport();
  if (m_dirty & kDirtyFixed) ApplyFixedState();
  gl.glActiveTexture(GL_TEXTURE0);
  if (auto* texture = static_cast<GLTexture*>(m_textures[0])) texture->Bind();
  if (m_dirty & kDirtySampler) ApplySampler();
  gl.glBindVertexArray(m_vao);
  if ((m_dirty & kDirtyLayout) || vbo != m_layoutVbo) ApplyVertexLayout(vbo);
  const unsigned pipelineDirty = m_dirty & GLPipeline::kDirtyAll;
  BuildPipelineState(pipelineDirty);
  m_pipeline.Apply(m_pipelineState, pipelineDirty);
  m_dirty = 0;
}

void GLDevice::ApplyVertexLayout(unsigned vbo) {
  auto& gl = m_core->m_gl;
  gl.glBindBuffer(GL_ARRAY_BUFFER, vbo);
  m_layoutVbo = vbo;
  const int stride = static_cast<int>(m_streamStride);
  uintptr_t offset = m_streamOffset;
  auto attribute = [&](unsigned loc, bool present, int size, unsigned type, bool normalized,
                       unsigned bytes, std::array<float, 4> missing) {
    if (present) {
      gl.glEnableVertexAttribArray(loc);
      gl.glVertexAttribPointer(loc, size, type, normalized, stride,
                               reinterpret_cast<const void*>(offset));
      offset += bytes;
    } else {
      gl.glDisableVertexAttribArray(loc);
      m_core->m_context.functions()->glVertexAttrib4f(loc, missing[0], missing[1], missing[2],
                                                      missing[3]);
    }
  };
  attribute(kAttrPosition, m_fvf & D3DFVF_XYZ, 3, GL_FLOAT, false, 12, {0, 0, 0, 1});
  attribute(kAttrNormal, m_fvf & D3DFVF_NORMAL, 3, GL_FLOAT, false, 12, {0, 0, 0, 0});
  // D3DCOLOR bytes in memory are B, G, R, A.
  attribute(kAttrDiffuse, m_fvf & D3DFVF_DIFFUSE, GL_BGRA, GL_UNSIGNED_BYTE, true, 4, {1, 1, 1, 1});
  if (m_fvf & D3DFVF_SPECULAR) offset += 4;
  attribute(kAttrTexCoord, (m_fvf & 0xF00) != 0, 2, GL_FLOAT, false, 8, {0, 0, 0, 0});
}

void GLDevice::ApplyViewport() {
  if (!(m_dirty & kDirtyViewport)) return;
  const D3DVIEWPORT9& v = m_state.viewport;
  auto& gl = m_core->m_gl;
  if (m_state.screenSpace) {
    gl.glViewport(0, 0, static_cast<int>(m_params.BackBufferWidth),
                  static_cast<int>(m_params.BackBufferHeight));
    gl.glDepthRange(0, 1);
  } else {
    gl.glViewport(static_cast<int>(v.X),
                  static_cast<int>(m_params.BackBufferHeight) - static_cast<int>(v.Y + v.Height),
                  static_cast<int>(v.Width), static_cast<int>(v.Height));
    gl.glDepthRange(v.MinZ, v.MaxZ);
  }
  m_dirty &= ~kDirtyViewport;
}

// ---- sprite and font factories ---------------------------------------------------------------
HRESULT GLDevice::CreateD3DXSprite(ID3DXSprite** sprite) {
  if (!sprite) return D3DERR_INVALIDCALL;
  *sprite = new GLSprite(this);
  return D3D_OK;
}

HRESULT GLDevice::CreateD3DXFont(const D3DXFONT_DESCA& desc, ID3DXFont** font) {
  if (!font) return D3DERR_INVALIDCALL;
  *font = new GLFont(this, desc);
  return D3D_OK;
}
