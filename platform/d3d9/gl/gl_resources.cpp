// The GL back end's context and resources.
//
// Sections: context - buffers - textures
#include "platform/d3d9/gl/gl_internal.h"

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

// ---- buffers ---------------------------------------------------------------------
GLBufferObject::~GLBufferObject() { m_core->DeleteBufferLater(m_name); }

unsigned GLBufferObject::Upload(CpuBufferStore& store, unsigned target) {
  auto& gl = m_core->m_gl;
  UINT begin = 0, end = 0;
  const bool changed = store.TakeDirty(&begin, &end);
  if (!m_name) {
    gl.glGenBuffers(1, &m_name);
    gl.glBindBuffer(target, m_name);
    gl.glBufferData(target, store.Length(), store.Data(), GL_STATIC_DRAW);
    m_uploadFrame = m_core->m_frames;
    if (m_copy != Copy::kKeep) m_core->m_trimAfterFrame = true;
  } else {
    gl.glBindBuffer(target, m_name);
    if (changed && end > begin) gl.glBufferSubData(target, begin, end - begin, store.Data() + begin);
  }
  if (m_copy != Copy::kKeep && store.HasCopy()) {
    if (store.KeepsCopy())
      m_copy = Copy::kKeep;
    else if (m_copy == Copy::kDropAfterUpload || m_core->m_frames != m_uploadFrame)
      DropCopy(store), m_core->m_trimAfterFrame = true;
  }
  return m_name;
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

// Called from the device's apply step only (which sets the unpack state).
void GLTexture::Bind() {
  auto& gl = m_core->m_gl;
  const bool fresh = m_name == 0;
  if (fresh) gl.glGenTextures(1, &m_name);
  gl.glBindTexture(GL_TEXTURE_2D, m_name);
  if (!TakeDirty() && !fresh) return;
  const bool bgra = Format() == D3DFMT_A8R8G8B8 || Format() == D3DFMT_X8R8G8B8;
  const bool opaque = Format() == D3DFMT_X8R8G8B8 || Format() == D3DFMT_X8B8G8R8;
  for (UINT i = 0; i < LevelCount(); ++i) {
    const Level& level = GetLevel(i);
    gl.glTexImage2D(GL_TEXTURE_2D, static_cast<int>(i), GL_RGBA8, static_cast<int>(level.width),
                    static_cast<int>(level.height), 0, bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE,
                    level.texels.data());
  }
  if (fresh) {
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, opaque ? GL_ONE : GL_ALPHA);
    if (!AutoGenMipMap())
      gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<int>(LevelCount()) - 1);
  }
  if (AutoGenMipMap()) gl.glGenerateMipmap(GL_TEXTURE_2D);
}
