// The Direct3D object of the GL back end: enumeration from a probe context
// and device creation.
//
// Sections: probe - the object - entry points
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_internal.h"

namespace {

// ---- probe ----------------------------------------------------------------------------
// What the driver can do, asked once of a throw-away context.
struct GLCapabilities {
  std::string vendor, renderer, version;
  int maxSamples = 0;
  int maxTextureSize = 0;
  std::vector<D3DFORMAT> depthFormats;
};

bool DepthFormatWorks(QOpenGLFunctions_3_3_Core& gl, unsigned format) {
  unsigned fbo = 0, color = 0, depth = 0;
  gl.glGenFramebuffers(1, &fbo);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  gl.glGenRenderbuffers(1, &color);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, color);
  gl.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 16, 16);
  gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
  gl.glGenRenderbuffers(1, &depth);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, depth);
  gl.glRenderbufferStorage(GL_RENDERBUFFER, format, 16, 16);
  gl.glFramebufferRenderbuffer(
      GL_FRAMEBUFFER, format == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
      GL_RENDERBUFFER, depth);
  const bool ok = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
                  gl.glGetError() == GL_NO_ERROR;
  gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
  gl.glDeleteFramebuffers(1, &fbo);
  gl.glDeleteRenderbuffers(1, &color);
  gl.glDeleteRenderbuffers(1, &depth);
  return ok;
}

// A renderer that rasterizes on the processor, where samples cost full price.
bool IsSoftwareRenderer(const std::string& renderer) {
  for (const char* name : {"llvmpipe", "softpipe", "swrast"})
    if (renderer.find(name) != std::string::npos) return true;
  return false;
}

bool MultisampleForced() {
  const char* value = std::getenv("RAVELLE_GL_MULTISAMPLE");
  return value && std::strcmp(value, "1") == 0;
}

bool Probe(GLCapabilities* caps) {
  GLCore core;
  if (!core.Create(nullptr)) return false;
  auto& gl = core.m_gl;
  auto text = [&](unsigned name) {
    const auto* s = reinterpret_cast<const char*>(gl.glGetString(name));
    return std::string(s ? s : "");
  };
  caps->vendor = text(GL_VENDOR);
  caps->renderer = text(GL_RENDERER);
  caps->version = text(GL_VERSION);
  gl.glGetIntegerv(GL_MAX_SAMPLES, &caps->maxSamples);
  if (IsSoftwareRenderer(caps->renderer) && !MultisampleForced()) caps->maxSamples = 0;
  gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &caps->maxTextureSize);
  const std::pair<D3DFORMAT, unsigned> candidates[] = {{D3DFMT_D24S8, GL_DEPTH24_STENCIL8},
                                                       {D3DFMT_D24X8, GL_DEPTH_COMPONENT24},
                                                       {D3DFMT_D32, GL_DEPTH_COMPONENT32},
                                                       {D3DFMT_D16, GL_DEPTH_COMPONENT16}};
  for (const auto& [d3d, glFormat] : candidates)
    if (DepthFormatWorks(gl, glFormat)) caps->depthFormats.push_back(d3d);
  return true;
}

void CopyText(char* out, size_t size, const std::string& text) {
  const size_t n = std::min(size - 1, text.size());
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

// ---- the object --------------------------------------------------------------------------
class GLDirect3D9 : public IDirect3D9 {
 public:
  explicit GLDirect3D9(GLCapabilities caps) : m_caps(std::move(caps)) {}

  HRESULT GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* id) override {
    if (adapter != 0 || !id) return D3DERR_INVALIDCALL;
    *id = D3DADAPTER_IDENTIFIER9{};
    CopyText(id->Driver, sizeof id->Driver, m_caps.version);
    CopyText(id->Description, sizeof id->Description, m_caps.renderer);
    CopyText(id->DeviceName, sizeof id->DeviceName, m_caps.vendor);
    id->DriverVersion = GLDriverVersion(m_caps.version);
    return D3D_OK;
  }

  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
    if (adapter != 0 || !mode) return D3DERR_INVALIDCALL;
    const QScreen* screen = QGuiApplication::primaryScreen();
    *mode = D3DDISPLAYMODE{};
    mode->Format = D3DFMT_X8R8G8B8;
    if (screen) {
      const QSize size = screen->size() * screen->devicePixelRatio();
      mode->Width = static_cast<UINT>(size.width());
      mode->Height = static_cast<UINT>(size.height());
      mode->RefreshRate = static_cast<UINT>(screen->refreshRate() + 0.5);
    }
    return D3D_OK;
  }

  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override {
    if (adapter != 0 || type != D3DDEVTYPE_HAL || !caps) return D3DERR_INVALIDCALL;
    *caps = D3DCAPS9{};
    caps->DeviceType = D3DDEVTYPE_HAL;
    caps->MaxTextureWidth = caps->MaxTextureHeight = static_cast<DWORD>(m_caps.maxTextureSize);
    caps->MaxActiveLights = D3DMAXLIGHTS;
    caps->VertexProcessingCaps = 1;
    caps->MaxVertexIndex = 0xFFFF;
    return D3D_OK;
  }

  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT, DWORD usage, D3DRESOURCETYPE,
                            D3DFORMAT format) override {
    if (adapter != 0 || type != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    if (usage & D3DUSAGE_DEPTHSTENCIL) return HasDepth(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
    return D3DFormatBytesPerTexel(format) == 4 ? D3D_OK : D3DERR_NOTAVAILABLE;
  }

  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT, D3DFORMAT,
                                 D3DFORMAT depth) override {
    if (adapter != 0 || type != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    return HasDepth(depth) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }

  HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT, BOOL,
                                     D3DMULTISAMPLE_TYPE multiSample, DWORD* quality) override {
    if (adapter != 0 || type != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    const bool ok =
        multiSample <= 1 || (multiSample <= 16 && static_cast<int>(multiSample) <= m_caps.maxSamples);
    if (quality) *quality = ok ? 1 : 0;
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
  }

  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD, D3DPRESENT_PARAMETERS* params,
                       IDirect3DDevice9** device) override {
    if (adapter != 0 || type != D3DDEVTYPE_HAL || !params || !device) return D3DERR_INVALIDCALL;
    *device = nullptr;
    auto* window = dynamic_cast<GLSurfaceWindow*>(focusWindow);
    if (!window) return D3DERR_INVALIDCALL;
    if (FAILED(CheckDeviceMultiSampleType(0, type, 0, 1, params->MultiSampleType, nullptr)) ||
        (params->EnableAutoDepthStencil && !HasDepth(params->AutoDepthStencilFormat)))
      return D3DERR_NOTAVAILABLE;
    const D3DPRESENT_PARAMETERS p = FillPresentParameters(*params, window, D3DFMT_X8R8G8B8);
    auto core = std::make_shared<GLCore>();
    if (!core->Create(window)) return D3DERR_NOTAVAILABLE;
    auto* made = new GLDevice(core, window, p);
    const HRESULT hr = made->Init();
    if (FAILED(hr)) {
      made->Release();
      return hr;
    }
    ReturnBackBufferSize(p, params);
    *device = made;
    return D3D_OK;
  }

 private:
  bool HasDepth(D3DFORMAT format) const {
    return std::find(m_caps.depthFormats.begin(), m_caps.depthFormats.end(), format) !=
           m_caps.depthFormats.end();
  }

  GLCapabilities m_caps;
};

}  // namespace

// ---- entry points ------------------------------------------------------------------------------
IDirect3D9* Direct3DCreate9GL() {
  if (!QGuiApplication::instance()) return nullptr;
  GLCapabilities caps;
  if (!Probe(&caps)) return nullptr;
  return new GLDirect3D9(std::move(caps));
}

bool GLReadBackBuffer(IDirect3DDevice9* device, QImage* image) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  return gl && gl->ReadBackBuffer(image);
}

LARGE_INTEGER_PARTS GLDriverVersion(const std::string& glVersion) {
  // Runs of digits; the first run is the GL major version, and the driver's
  // numbers start at the first run after a blank that follows the GL version.
  std::vector<unsigned> numbers;
  size_t i = 0;
  unsigned glMajor = 0;
  bool haveMajor = false, pastGlVersion = false;
  while (i < glVersion.size()) {
    if (!std::isdigit(static_cast<unsigned char>(glVersion[i]))) {
      if (haveMajor && glVersion[i] == ' ') pastGlVersion = true;
      ++i;
      continue;
    }
    unsigned value = 0;
    while (i < glVersion.size() && std::isdigit(static_cast<unsigned char>(glVersion[i])))
      value = std::min(value * 10 + unsigned(glVersion[i++] - '0'), 0xFFFFu);
    if (!haveMajor) {
      glMajor = value;
      haveMajor = true;
    } else if (pastGlVersion && numbers.size() < 3) {
      numbers.push_back(value);
    }
  }
  numbers.resize(3, 0);
  LARGE_INTEGER_PARTS out;
  out.HighPart = static_cast<LONG>((glMajor << 16) | numbers[0]);
  out.LowPart = (numbers[1] << 16) | numbers[2];
  return out;
}

bool GLUseGenericProgram(IDirect3DDevice9* device, bool on) {
  auto* gl = dynamic_cast<GLDevice*>(device);
  if (gl) gl->UseGenericProgramOnly(on);
  return gl != nullptr;
}
