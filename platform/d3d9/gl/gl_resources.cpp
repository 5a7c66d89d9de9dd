// The GL back end's context and resources.
//
// Sections: context - buffers - textures
#include "platform/d3d9/gl/gl_internal.h"

#include <algorithm>
#include <utility>

// ---- context -------------------------------------------------------------------
GLCore::~GLCore() {
  if (m_context.isValid() && m_context.makeCurrent(&m_offscreen)) {
    if (!m_deadBuffers.empty())
      m_gl.glDeleteBuffers(static_cast<int>(m_deadBuffers.size()), m_deadBuffers.data());
    if (!m_deadTextures.empty())
      m_gl.glDeleteTextures(static_cast<int>(m_deadTextures.size()), m_deadTextures.data());
    m_context.doneCurrent();
  }
}

bool GLCore::Create(GLSurfaceWindow* window) {
  m_window = window;
  m_context.setFormat(GLSurfaceFormat());
  if (!m_context.create()) return false;
  const QSurfaceFormat got = m_context.format();
  if (got.majorVersion() * 10 + got.minorVersion() < 33) return false;
  m_offscreen.setFormat(m_context.format());
  m_offscreen.create();
  if (!m_context.makeCurrent(&m_offscreen)) return false;
  return m_gl.initializeOpenGLFunctions();
}

QSurface* GLCore::ShowingSurface() {
  if (!m_window || !m_window->IsShowing()) return nullptr;
  return m_window->GLSurface();
}

bool GLCore::MakeCurrent() {
  QSurface* wanted = m_window ? m_window->GLSurface() : nullptr;
  if (!wanted) wanted = &m_offscreen;
  if (QOpenGLContext::currentContext() != &m_context || m_context.surface() != wanted) {
    if (!m_context.makeCurrent(wanted) && (wanted == &m_offscreen || !m_context.makeCurrent(&m_offscreen)))
      return false;
  }
  if (!m_deadBuffers.empty()) {
    m_gl.glDeleteBuffers(static_cast<int>(m_deadBuffers.size()), m_deadBuffers.data());
    m_deadBuffers.clear();
  }
  if (!m_deadTextures.empty()) {
    m_gl.glDeleteTextures(static_cast<int>(m_deadTextures.size()), m_deadTextures.data());
    m_deadTextures.clear();
  }
  return true;
}

void GLCore::DeleteBufferLater(unsigned name) {
  if (name) m_deadBuffers.push_back(name);
}

void GLCore::DeleteTextureLater(unsigned name) {
  if (name) m_deadTextures.push_back(name);
}

namespace {
// Enough to empty the error flags of any driver; a lost context may
// answer an error for ever.
constexpr int kMostErrors = 16;
}  // namespace

void GLCore::BeginChecked() {
  for (int i = 0; i < kMostErrors && m_gl.glGetError() != GL_NO_ERROR; ++i) {
  }
}

HRESULT GLCore::EndChecked() {
  bool outOfMemory = AllocationRefused();
  for (int i = 0; i < kMostErrors; ++i) {
    const unsigned error = m_gl.glGetError();
    if (error == GL_NO_ERROR) break;
    outOfMemory = outOfMemory || error == GL_OUT_OF_MEMORY;
  }
  return outOfMemory ? OutOfMemory(D3DERR_OUTOFVIDEOMEMORY) : D3D_OK;
}

// ---- buffers ---------------------------------------------------------------------
GLBufferObject::~GLBufferObject() { m_core->DeleteBufferLater(m_name); }

HRESULT GLBufferObject::Allocate(UINT length) {
  if (!m_core->MakeCurrent()) return D3D_OK;
  auto& gl = m_core->m_gl;
  m_core->BeginChecked();
  gl.glGenBuffers(1, &m_name);
  gl.glBindBuffer(GL_COPY_WRITE_BUFFER, m_name);
  gl.glBufferData(GL_COPY_WRITE_BUFFER, length, nullptr, GL_STATIC_DRAW);
  const HRESULT hr = m_core->EndChecked();
  if (FAILED(hr)) m_core->DeleteBufferLater(std::exchange(m_name, 0u));
  return hr;
}

HRESULT GLBufferObject::Upload(CpuBufferStore& store, unsigned target, unsigned* name) {
  auto& gl = m_core->m_gl;
  UINT begin = 0, end = 0;
  const bool changed = store.TakeDirty(&begin, &end) && end > begin;
  const bool allocate = m_name == 0;
  if (allocate || changed) {
    m_core->BeginChecked();
    if (allocate) {
      gl.glGenBuffers(1, &m_name);
      gl.glBindBuffer(target, m_name);
      gl.glBufferData(target, store.Length(), store.Data(), GL_STATIC_DRAW);
    } else {
      gl.glBindBuffer(target, m_name);
      gl.glBufferSubData(target, begin, end - begin, store.Data() + begin);
    }
    const HRESULT hr = m_core->EndChecked();
    if (FAILED(hr)) {
      if (changed) store.KeepDirty(begin, end);
      if (allocate) m_core->DeleteBufferLater(std::exchange(m_name, 0u));
      return hr;
    }
    if (m_uploadFrame == ~0ull) {
      m_uploadFrame = m_core->m_frames;
      if (m_copy != Copy::kKeep) m_core->m_trimAfterFrame = true;
    }
  } else {
    gl.glBindBuffer(target, m_name);
  }
  if (m_copy != Copy::kKeep && store.HasCopy()) {
    if (store.KeepsCopy())
      m_copy = Copy::kKeep;
    else if (m_copy == Copy::kDropAfterUpload || m_core->m_frames != m_uploadFrame)
      DropCopy(store), m_core->m_trimAfterFrame = true;
  }
  *name = m_name;
  return D3D_OK;
}

void GLBufferObject::DropCopy(CpuBufferStore& store) {
  store.DropCopy([core = m_core, name = m_name](BYTE* into, UINT length) {
    if (!core->MakeCurrent()) return false;
    core->m_gl.glBindBuffer(GL_COPY_READ_BUFFER, name);
    core->m_gl.glGetBufferSubData(GL_COPY_READ_BUFFER, 0, length, into);
    return true;
  });
}

// ---- textures ----------------------------------------------------------------------
GLTexture::~GLTexture() { m_core->DeleteTextureLater(m_name); }

HRESULT GLTexture::Allocate() {
  if (!m_core->MakeCurrent()) return D3D_OK;
  auto& gl = m_core->m_gl;
  int previous = 0;
  gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  m_core->BeginChecked();
  gl.glGenTextures(1, &m_name);
  gl.glBindTexture(GL_TEXTURE_2D, m_name);
  SetParameters();
  SpecifyLevels(false);
  const HRESULT hr = m_core->EndChecked();
  gl.glBindTexture(GL_TEXTURE_2D, static_cast<unsigned>(previous));
  if (FAILED(hr)) m_core->DeleteTextureLater(std::exchange(m_name, 0u));
  return hr;
}

void GLTexture::SetParameters() {
  const bool opaque = Format() == D3DFMT_X8R8G8B8 || Format() == D3DFMT_X8B8G8R8;
  auto& gl = m_core->m_gl;
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, opaque ? GL_ONE : GL_ALPHA);
  if (!AutoGenMipMap())
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<int>(LevelCount()) - 1);
}

void GLTexture::SpecifyLevels(bool withTexels) {
  const bool bgra = Format() == D3DFMT_A8R8G8B8 || Format() == D3DFMT_X8R8G8B8;
  const UINT width = GetLevel(0).width, height = GetLevel(0).height;
  const UINT levels = AutoGenMipMap() ? FullMipChainLength(width, height) : LevelCount();
  for (UINT i = 0; i < levels; ++i) {
    const void* texels = withTexels && i < LevelCount() ? GetLevel(i).texels.data() : nullptr;
    m_core->m_gl.glTexImage2D(
        GL_TEXTURE_2D, static_cast<int>(i), GL_RGBA8, static_cast<int>(std::max(1u, width >> i)),
        static_cast<int>(std::max(1u, height >> i)), 0, bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE, texels);
  }
}

// Called from the device's apply step only (which sets the unpack state).
HRESULT GLTexture::Bind() {
  auto& gl = m_core->m_gl;
  const bool fresh = m_name == 0;
  if (fresh) gl.glGenTextures(1, &m_name);
  gl.glBindTexture(GL_TEXTURE_2D, m_name);
  if (!TakeDirty() && !fresh) return D3D_OK;
  m_core->BeginChecked();
  if (fresh) {
    SetParameters();
    SpecifyLevels(true);
  } else {
    const bool bgra = Format() == D3DFMT_A8R8G8B8 || Format() == D3DFMT_X8R8G8B8;
    for (UINT i = 0; i < LevelCount(); ++i) {
      const Level& level = GetLevel(i);
      gl.glTexSubImage2D(GL_TEXTURE_2D, static_cast<int>(i), 0, 0, static_cast<int>(level.width),
                         static_cast<int>(level.height), bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE,
                         level.texels.data());
    }
  }
  if (AutoGenMipMap()) gl.glGenerateMipmap(GL_TEXTURE_2D);
  const HRESULT hr = m_core->EndChecked();
  if (FAILED(hr)) {
    KeepDirty();
    if (fresh) {
      gl.glBindTexture(GL_TEXTURE_2D, 0);
      m_core->DeleteTextureLater(std::exchange(m_name, 0u));
    }
  }
  return hr;
}
