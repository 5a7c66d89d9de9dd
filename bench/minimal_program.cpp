#include "minimal_program.h"

#include <QSurface>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

// ---- the program ----------------------------------------------------------------------------
namespace {

// Positions are computed as the device computes them (precise where the
// driver offers it), so both rasterize the same pixels. SHINY adds the
// highlight; a matte program carries no specular varying.
const char* kHead =
    "#version 330 core\n#ifdef GL_ARB_gpu_shader5\n#extension GL_ARB_gpu_shader5 : enable\n#endif\n";

const char* kVertex = R"(
#ifdef GL_ARB_gpu_shader5
precise gl_Position;
#endif
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 3) in vec2 a_texCoord;
uniform mat4 u_world, u_view, u_projection;
uniform vec3 u_towardsLight, u_ambient, u_diffuse;
out vec3 v_colour;
out vec2 v_texCoord;
#if SHINY
uniform vec3 u_eye, u_specular;
uniform float u_power;
out vec3 v_specular;
#endif
void main() {
  vec4 world = u_world * vec4(a_position, 1.0);
  vec4 clip = u_projection * (u_view * world);
  gl_Position = vec4(clip.xy, 2.0 * clip.z - clip.w, clip.w);
  vec3 n = mat3(u_world) * a_normal;
  float nl = dot(n, u_towardsLight);
  v_colour = clamp(u_ambient + u_diffuse * max(nl, 0.0), 0.0, 1.0);
  v_texCoord = a_texCoord;
#if SHINY
  float nh = dot(n, normalize(normalize(u_eye - world.xyz) + u_towardsLight));
  v_specular = nl > 0.0 && nh > 0.0 ? clamp(u_specular * pow(nh, u_power), 0.0, 1.0) : vec3(0.0);
#endif
}
)";

const char* kFragment = R"(
in vec3 v_colour;
in vec2 v_texCoord;
#if SHINY
in vec3 v_specular;
#endif
uniform sampler2D u_sampler;
out vec4 o_color;
void main() {
  vec3 rgb = texture(u_sampler, v_texCoord).rgb * v_colour;
#if SHINY
  rgb = min(rgb + v_specular, vec3(1.0));
#endif
  o_color = vec4(rgb, 1.0);
}
)";

}  // namespace

MinimalProgram::~MinimalProgram() {
  if (!m_context.isValid() || !m_context.makeCurrent(m_surface)) return;
  m_gl.glDeleteFramebuffers(1, &m_fbo);
  m_gl.glDeleteRenderbuffers(1, &m_color);
  m_gl.glDeleteRenderbuffers(1, &m_depth);
  m_gl.glDeleteVertexArrays(1, &m_vao);
  m_gl.glDeleteBuffers(1, &m_vbo);
  m_gl.glDeleteBuffers(1, &m_ibo);
  if (!m_textures.empty()) m_gl.glDeleteTextures(int(m_textures.size()), m_textures.data());
  for (unsigned program : m_programs) m_gl.glDeleteProgram(program);
  m_context.doneCurrent();
}

bool MinimalProgram::Create(QSurface* surface, int width, int height) {
  m_surface = surface;
  m_width = width;
  m_height = height;
  QSurfaceFormat format = surface->format();
  format.setSwapInterval(0);
  m_context.setFormat(format);
  if (!m_context.create() || !m_context.makeCurrent(surface) || !m_gl.initializeOpenGLFunctions())
    return false;
  auto& gl = m_gl;
  gl.glGenFramebuffers(1, &m_fbo);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  gl.glGenRenderbuffers(1, &m_color);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, m_color);
  gl.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_color);
  gl.glGenRenderbuffers(1, &m_depth);
  gl.glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
  gl.glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depth);
  if (gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
  gl.glGenVertexArrays(1, &m_vao);
  gl.glGenBuffers(1, &m_vbo);
  gl.glGenBuffers(1, &m_ibo);
  return Build(m_programs[0], false) && Build(m_programs[1], true);
}

bool MinimalProgram::Build(unsigned& program, bool shiny) {
  auto& gl = m_gl;
  const char* define = shiny ? "#define SHINY 1\n" : "#define SHINY 0\n";
  auto compile = [&](unsigned type, const char* source) {
    const unsigned shader = gl.glCreateShader(type);
    const char* parts[3] = {kHead, define, source};
    gl.glShaderSource(shader, 3, parts, nullptr);
    gl.glCompileShader(shader);
    return shader;
  };
  const unsigned vs = compile(GL_VERTEX_SHADER, kVertex), fs = compile(GL_FRAGMENT_SHADER, kFragment);
  program = gl.glCreateProgram();
  gl.glAttachShader(program, vs);
  gl.glAttachShader(program, fs);
  gl.glLinkProgram(program);
  gl.glDeleteShader(vs);
  gl.glDeleteShader(fs);
  int ok = 0;
  gl.glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    gl.glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "minimal program: %s\n", log);
    return false;
  }
  gl.glUseProgram(program);
  m_worldLocs[shiny ? 1 : 0] = gl.glGetUniformLocation(program, "u_world");
  gl.glUniform1i(gl.glGetUniformLocation(program, "u_sampler"), 0);
  return true;
}

void MinimalProgram::SetBuffers(const void* vertices, size_t vertexBytes, const void* indices,
                                size_t indexBytes) {
  auto& gl = m_gl;
  m_context.makeCurrent(m_surface);
  gl.glBindVertexArray(m_vao);
  gl.glBindBuffer(GL_ARRAY_BUFFER, m_vbo);
  gl.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexBytes), vertices, GL_STATIC_DRAW);
  gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_ibo);
  gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indexBytes), indices, GL_STATIC_DRAW);
  const int stride = sizeof(VertexPNDT);
  gl.glEnableVertexAttribArray(0);
  gl.glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
  gl.glEnableVertexAttribArray(1);
  gl.glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(12));
  gl.glEnableVertexAttribArray(3);
  gl.glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(28));
}

int MinimalProgram::AddTexture(IDirect3DTexture9* texture) {
  auto& gl = m_gl;
  m_context.makeCurrent(m_surface);
  unsigned name = 0;
  gl.glGenTextures(1, &name);
  m_textures.push_back(name);
  gl.glBindTexture(GL_TEXTURE_2D, name);
  const DWORD levels = texture->GetLevelCount();
  D3DSURFACE_DESC desc{};
  for (DWORD level = 0; level < levels; ++level) {
    D3DLOCKED_RECT locked;
    if (FAILED(texture->GetLevelDesc(level, &desc)) ||
        FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY)))
      return -1;
    const bool bgra = desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_X8R8G8B8;
    gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, locked.Pitch / 4);
    gl.glTexImage2D(GL_TEXTURE_2D, int(level), GL_RGBA8, int(desc.Width), int(desc.Height), 0,
                    bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE, locked.pBits);
    texture->UnlockRect(level);
  }
  gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  texture->GetLevelDesc(0, &desc);
  if (levels == 1 && (desc.Usage & D3DUSAGE_AUTOGENMIPMAP))
    gl.glGenerateMipmap(GL_TEXTURE_2D);
  else
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, int(levels) - 1);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return int(m_textures.size()) - 1;
}

void MinimalProgram::SetScene(const D3DXMATRIX& view, const D3DXMATRIX& projection,
                              const MinimalLight& light) {
  auto& gl = m_gl;
  m_context.makeCurrent(m_surface);
  for (unsigned program : m_programs) {
    auto at = [&](const char* name) { return gl.glGetUniformLocation(program, name); };
    auto colour = [&](const char* name, const D3DCOLORVALUE& c) { gl.glUniform3f(at(name), c.r, c.g, c.b); };
    gl.glUseProgram(program);
    gl.glUniformMatrix4fv(at("u_view"), 1, GL_FALSE, &view._11);
    gl.glUniformMatrix4fv(at("u_projection"), 1, GL_FALSE, &projection._11);
    const D3DXVECTOR3& l = light.towardsLight;
    gl.glUniform3f(at("u_towardsLight"), l.x, l.y, l.z);
    colour("u_ambient", light.ambient);
    colour("u_diffuse", light.diffuse);
    if (program != m_programs[1]) continue;
    gl.glUniform3f(at("u_eye"), light.eye.x, light.eye.y, light.eye.z);
    colour("u_specular", light.specular);
    gl.glUniform1f(at("u_power"), light.power);
  }
}

void MinimalProgram::Frame(const std::vector<MinimalDraw>& draws, D3DCOLOR clear) {
  auto& gl = m_gl;
  m_context.makeCurrent(m_surface);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  gl.glViewport(0, 0, m_width, m_height);
  gl.glEnable(GL_DEPTH_TEST);
  gl.glDepthFunc(GL_LEQUAL);
  gl.glEnable(GL_CULL_FACE);
  gl.glCullFace(GL_FRONT);  // as the device culls counter-clockwise faces
  gl.glClearColor(((clear >> 16) & 0xFF) / 255.0f, ((clear >> 8) & 0xFF) / 255.0f, (clear & 0xFF) / 255.0f,
                  1);
  gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gl.glBindVertexArray(m_vao);
  gl.glActiveTexture(GL_TEXTURE0);
  int bound = -2, used = -1;
  for (const MinimalDraw& d : draws) {
    if (int(d.shiny) != used) {
      used = int(d.shiny);
      gl.glUseProgram(m_programs[used]);
    }
    if (d.texture != bound) {
      gl.glBindTexture(GL_TEXTURE_2D, d.texture >= 0 ? m_textures[size_t(d.texture)] : 0);
      bound = d.texture;
    }
    gl.glUniformMatrix4fv(m_worldLocs[used], 1, GL_FALSE, &d.world->_11);
    gl.glDrawElementsBaseVertex(GL_TRIANGLES, int(d.indexCount), GL_UNSIGNED_SHORT,
                                reinterpret_cast<void*>(uintptr_t(d.startIndex) * 2), d.baseVertex);
  }
  gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, m_fbo);
  gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_context.defaultFramebufferObject());
  gl.glBlitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  m_context.swapBuffers(m_surface);
}

void MinimalProgram::Finish() {
  m_context.makeCurrent(m_surface);
  m_gl.glFinish();
}

QImage MinimalProgram::ReadFrame() {
  m_context.makeCurrent(m_surface);
  QImage image(m_width, m_height, QImage::Format_RGBA8888);
  m_gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, m_fbo);
  m_gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
  m_gl.glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
  return image.mirrored().convertToFormat(QImage::Format_RGB32);
}

// ---- frame comparison -------------------------------------------------------------------------
FrameDifference CompareFrames(const QImage& a, const QImage& b, int tolerance) {
  FrameDifference d;
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  if (x.size() != y.size()) return {255, long(x.width()) * x.height()};
  for (int row = 0; row < x.height(); ++row) {
    const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int column = 0; column < x.width(); ++column) {
      const int worst = std::max({std::abs(qRed(p[column]) - qRed(q[column])),
                                  std::abs(qGreen(p[column]) - qGreen(q[column])),
                                  std::abs(qBlue(p[column]) - qBlue(q[column]))});
      d.largest = std::max(d.largest, worst);
      d.pixelsOver += worst > tolerance;
    }
  }
  return d;
}

MinimalLight MinimalLightOf(const D3DLIGHT9& light, const D3DMATERIAL9& material, D3DCOLOR ambient,
                            const D3DXMATRIX& view) {
  MinimalLight out{};
  D3DXVECTOR3 towards = -D3DXVECTOR3(light.Direction.x, light.Direction.y, light.Direction.z);
  D3DXVec3Normalize(&out.towardsLight, &towards);
  D3DXMATRIX inverse;
  D3DXMatrixInverse(&inverse, nullptr, &view);
  out.eye = D3DXVECTOR3(inverse._41, inverse._42, inverse._43);
  const float global[3] = {((ambient >> 16) & 0xFF) / 255.0f, ((ambient >> 8) & 0xFF) / 255.0f,
                           (ambient & 0xFF) / 255.0f};
  out.ambient = {material.Emissive.r + material.Ambient.r * (global[0] + light.Ambient.r),
                 material.Emissive.g + material.Ambient.g * (global[1] + light.Ambient.g),
                 material.Emissive.b + material.Ambient.b * (global[2] + light.Ambient.b), 1};
  out.diffuse = light.Diffuse;
  out.specular = {material.Specular.r * light.Specular.r, material.Specular.g * light.Specular.g,
                  material.Specular.b * light.Specular.b, 1};
  out.power = material.Power;
  return out;
}
