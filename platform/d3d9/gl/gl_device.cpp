// The GL device: its back buffer, the back end's part of each call (the
// shared front end has checked it) and the sprite and font factories.
//
// Sections: helpers - life cycle and back buffer - present and clear -
// state changes - resources - drawing - sprite and font factories
// (the apply step that writes GL state, and the screen passes: gl_state.cpp)
#include <QImage>

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

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
GLDevice::GLDevice(GLCorePtr core, GLSurfaceWindow* window, const D3DPRESENT_PARAMETERS& params)
    : DeviceFrontEnd(window, params, D3DFMT_X8R8G8B8), m_core(std::move(core)), m_window(window) {}

GLDevice::~GLDevice() {
  ReleaseBindings();
  if (m_savedTexture) m_savedTexture->Release();
  if (m_core->MakeCurrent()) {
    auto& gl = m_core->m_gl;
    DestroyTargets();
    m_pipeline.Destroy();
    if (m_vao) gl.glDeleteVertexArrays(1, &m_vao);
    if (m_sampler) gl.glDeleteSamplers(1, &m_sampler);
    if (m_quadVbo) gl.glDeleteBuffers(1, &m_quadVbo);
  }
}

HRESULT GLDevice::Init() {
  if (!m_core->MakeCurrent()) return D3DERR_NOTAVAILABLE;
  if (!m_pipeline.Create(&m_core->m_gl)) {
    qWarning("GL device: the shader program does not build: %s", m_pipeline.Log());
    return D3DERR_NOTAVAILABLE;
  }
  auto& gl = m_core->m_gl;
  gl.glGenVertexArrays(1, &m_vao);
  gl.glGenSamplers(1, &m_sampler);
  gl.glGenBuffers(1, &m_quadVbo);
  if (!CreateTargets(Params())) return D3DERR_NOTAVAILABLE;
  m_dirty = kDirtyEverything;
  return D3D_OK;
}

bool GLDevice::CreateTargets(const D3DPRESENT_PARAMETERS& params) {
  auto& gl = m_core->m_gl;
  const int w = static_cast<int>(params.BackBufferWidth);
  const int h = static_cast<int>(params.BackBufferHeight);
  const int samples = params.MultiSampleType >= 2 ? static_cast<int>(params.MultiSampleType) : 0;
  gl.glGenFramebuffers(1, &m_fbo);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  gl.glGenRenderbuffers(1, &m_colorRb);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, m_colorRb);
  gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, w, h);
  gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colorRb);
  if (params.EnableAutoDepthStencil) {
    const unsigned depthFormat = GLDepthFormat(params.AutoDepthStencilFormat);
    if (!depthFormat) return false;
    gl.glGenRenderbuffers(1, &m_depthRb);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, m_depthRb);
    gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, depthFormat, w, h);
    const unsigned attach =
        depthFormat == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
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
  Dirty(kDirtyFixed | kDirtyViewport);
  if (!ok) return false;
  // A fresh back buffer is black and opaque, like a cleared X8R8G8B8 surface.
  ApplyClear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0, 0, 0, w, h);
  gl.glClear(GL_COLOR_BUFFER_BIT);
  return true;
}

void GLDevice::DestroyTargets() {
  auto& gl = m_core->m_gl;
  for (unsigned* fb : {&m_fbo, &m_resolveFbo})
    if (*fb) gl.glDeleteFramebuffers(1, fb), *fb = 0;
  for (unsigned* rb : {&m_colorRb, &m_depthRb, &m_resolveRb})
    if (*rb) gl.glDeleteRenderbuffers(1, rb), *rb = 0;
}

HRESULT GLDevice::Reset(D3DPRESENT_PARAMETERS* params) {
  if (m_screenDepth > 0) return D3DERR_INVALIDCALL;
  return DeviceFrontEnd::Reset(params);
}

HRESULT GLDevice::DoReset(const D3DPRESENT_PARAMETERS& params) {
  if (!m_core->MakeCurrent()) return D3DERR_DEVICELOST;
  DestroyTargets();
  if (!CreateTargets(params)) {  // keep the old back buffer rather than none
    DestroyTargets();
    CreateTargets(Params());
    return D3DERR_NOTAVAILABLE;
  }
  m_swapIntervalApplied = false;
  Dirty(kDirtyViewport | unsigned{GLPipeline::kDirtyMode});
  return D3D_OK;
}

// ---- present and clear ---------------------------------------------------------------
unsigned GLDevice::ResolvedFramebuffer() {
  if (!m_resolveFbo) return m_fbo;
  const int w = static_cast<int>(BackBufferWidth());
  const int h = static_cast<int>(BackBufferHeight());
  ApplyBlit(m_fbo, m_resolveFbo);
  m_core->m_gl.glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  return m_resolveFbo;
}

void GLDevice::ApplySwapInterval() {
  if (m_swapIntervalApplied) return;
  m_swapIntervalApplied = true;
  const int interval = Params().PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1;
  // Applies to the current drawable; Qt sets its own interval only once.
  using SwapIntervalMesa = int (*)(unsigned);
  using SwapIntervalSgi = int (*)(int);
  if (auto f = reinterpret_cast<SwapIntervalMesa>(m_core->m_context.getProcAddress("glXSwapIntervalMESA")))
    f(static_cast<unsigned>(interval));
  else if (auto g = reinterpret_cast<SwapIntervalSgi>(m_core->m_context.getProcAddress("glXSwapIntervalSGI")))
    g(interval);
}

HRESULT GLDevice::DoPresent() {
  ++m_core->m_frames;
  ShowBackBuffer();
  if (std::exchange(m_core->m_trimAfterFrame, false) && m_core->MakeCurrent()) {
    m_core->m_gl.glFinish();  // the driver lets go of the frame's work first
    ReturnFreeHeapPages();
  }
  return D3D_OK;  // never a lost device
}

void GLDevice::ShowBackBuffer() {
  if (!m_core->MakeCurrent()) return;
  QSurface* surface = m_core->ShowingSurface();
  if (!surface || m_core->m_context.surface() != surface) return;
  const unsigned from = ResolvedFramebuffer();
  RECT client{0, 0, 0, 0};
  m_window->GetClientRect(&client);
  const int w = static_cast<int>(BackBufferWidth());
  const int h = static_cast<int>(BackBufferHeight());
  const int cw = RectWidth(client), ch = RectHeight(client);
  ApplyBlit(from, m_core->m_context.defaultFramebufferObject());
  m_core->m_gl.glBlitFramebuffer(0, 0, w, h, 0, 0, cw, ch, GL_COLOR_BUFFER_BIT,
                                 (cw == w && ch == h) ? GL_NEAREST : GL_LINEAR);
  ApplySwapInterval();
  m_core->m_context.swapBuffers(surface);
}

bool GLDevice::ReadBackBuffer(QImage* image) {
  if (!image || !m_core->MakeCurrent()) return false;
  const int w = static_cast<int>(BackBufferWidth());
  const int h = static_cast<int>(BackBufferHeight());
  QImage rows(w, h, QImage::Format_RGBA8888);
  ApplyBlit(ResolvedFramebuffer(), 0);
  m_core->m_gl.glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.bits());
  *image = rows.mirrored(false, true).convertToFormat(QImage::Format_RGB32);
  return true;
}

HRESULT GLDevice::DoClear(DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
  if (!m_core->MakeCurrent()) return D3D_OK;
  unsigned mask = 0;
  if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
  if ((flags & D3DCLEAR_ZBUFFER) && HasDepth()) mask |= GL_DEPTH_BUFFER_BIT;
  if ((flags & D3DCLEAR_STENCIL) && HasDepth()) mask |= GL_STENCIL_BUFFER_BIT;
  if (!mask) return D3D_OK;
  const D3DVIEWPORT9& v = State().viewport;  // Clear covers the viewport only
  ApplyClear(flags, color, z, stencil, static_cast<int>(v.X),
             static_cast<int>(BackBufferHeight()) - static_cast<int>(v.Y + v.Height),
             static_cast<int>(v.Width), static_cast<int>(v.Height));
  m_core->m_gl.glClear(mask);
  return D3D_OK;
}

// ---- state changes -------------------------------------------------------------------------
void GLDevice::OnStateChanged(unsigned groups) {
  if (groups & kStateRender) Dirty(kDirtyFixed | unsigned{GLPipeline::kDirtyAll});
  if (groups & kStateStage) Dirty(GLPipeline::kDirtyStage);
  if (groups & kStateSampler) Dirty(kDirtySampler);
  if (groups & kStateTransform) Dirty(GLPipeline::kDirtyTransform);
  if (groups & kStateMaterial) Dirty(GLPipeline::kDirtyMaterial);
  if (groups & kStateLights) Dirty(GLPipeline::kDirtyLights);
  if (groups & kStateViewport) Dirty(kDirtyViewport);
  if (groups & kStateFVF) Dirty(kDirtyLayout | unsigned{GLPipeline::kDirtyMaterial});
  if (groups & kStateStream) Dirty(kDirtyLayout);
  if (groups & kStateTexture) Dirty(GLPipeline::kDirtyMode);
}

// ---- resources --------------------------------------------------------------------------------
namespace {
// A resource of the GL back end: its bytes first, then its GL storage.
template <class T, class... Args>
HRESULT MakeGLResource(T** made, Args&&... args) {
  *made = new (std::nothrow) T(std::forward<Args>(args)...);
  if (!*made) return OutOfMemory();
  return (*made)->Made() ? (*made)->Allocate() : E_OUTOFMEMORY;  // counted by StoreBytes
}
}  // namespace

HRESULT GLDevice::MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   MemoryVertexBuffer** made) {
  GLVertexBuffer* buffer = nullptr;
  const HRESULT hr = MakeGLResource(&buffer, m_core, length, usage, fvf, pool);
  *made = buffer;
  return hr;
}

HRESULT GLDevice::MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  MemoryIndexBuffer** made) {
  GLIndexBuffer* buffer = nullptr;
  const HRESULT hr = MakeGLResource(&buffer, m_core, length, usage, format, pool);
  *made = buffer;
  return hr;
}

HRESULT GLDevice::MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, MemoryTexture** made) {
  GLTexture* texture = nullptr;
  const HRESULT hr = MakeGLResource(&texture, m_core, width, height, levels, usage, format, pool);
  *made = texture;
  return hr;
}

bool GLDevice::OwnsResource(IUnknown* resource) const {
  return dynamic_cast<GLVertexBuffer*>(resource) || dynamic_cast<GLIndexBuffer*>(resource) ||
         dynamic_cast<GLTexture*>(resource);
}

// ---- drawing ----------------------------------------------------------------------------------
HRESULT GLDevice::DoDrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT vertexCount) {
  if (!m_core->MakeCurrent()) return D3DERR_INVALIDCALL;
  const VertexSource source{
      static_cast<GLVertexBuffer*>(Stream()), nullptr, nullptr, StreamOffset(), StreamStride(), State().fvf};
  const HRESULT hr = ApplyDraw(source);
  if (FAILED(hr)) return hr;
  m_core->m_gl.glDrawArrays(GLMode(type), static_cast<int>(startVertex), static_cast<int>(vertexCount));
  return D3D_OK;
}

HRESULT GLDevice::DoDrawIndexed(D3DPRIMITIVETYPE type, INT baseVertex, UINT startIndex, UINT indexCount) {
  if (!m_core->MakeCurrent()) return D3DERR_INVALIDCALL;
  const VertexSource source{static_cast<GLVertexBuffer*>(Stream()),
                            static_cast<GLIndexBuffer*>(Indices()),
                            nullptr,
                            StreamOffset(),
                            StreamStride(),
                            State().fvf};
  const HRESULT hr = ApplyDraw(source);
  if (FAILED(hr)) return hr;
  const uintptr_t offset = static_cast<uintptr_t>(startIndex) * sizeof(WORD);
  m_core->m_gl.glDrawElementsBaseVertex(GLMode(type), static_cast<int>(indexCount), GL_UNSIGNED_SHORT,
                                        reinterpret_cast<const void*>(offset), baseVertex);
  return D3D_OK;
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
