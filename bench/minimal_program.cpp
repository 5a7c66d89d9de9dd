#include "minimal_program.h"

#include <QSurface>

#include <cstdio>

// ---- the program ----------------------------------------------------------------------------
namespace {

const char* kVertex = R"(#version 330 core
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 3) in vec2 a_texCoord;
uniform mat4 u_world, u_view, u_projection;
uniform vec3 u_towardsLight;
uniform vec3 u_diffuse, u_ambient;
out vec3 v_colour;
out vec2 v_texCoord;
void main() {
  vec4 clip = u_projection * (u_view * (u_world * vec4(a_position, 1.0)));
  gl_Position = vec4(clip.xy, 2.0 * clip.z - clip.w, clip.w);
  vec3 n = mat3(u_world) * a_normal;
  v_colour = min(u_ambient + u_diffuse * max(dot(n, u_towardsLight), 0.0), vec3(1.0));
  v_texCoord = a_texCoord;
}
)";

const char* kFragment = R"(#version 330 core
in vec3 v_colour;
in vec2 v_texCoord;
uniform sampler2D u_sampler;
out vec4 o_color;
void main() { o_color = vec4(v_colour, 1.0) * texture(u_sampler, v_texCoord); }
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
  m_gl.glDeleteProgram(m_program);
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
  return Build();
}

bool MinimalProgram::Build() {
  auto& gl = m_gl;
  auto compile = [&](unsigned type, const char* source) {
    const unsigned shader = gl.glCreateShader(type);
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);
    return shader;
  };
  const unsigned vs = compile(GL_VERTEX_SHADER, kVertex), fs = compile(GL_FRAGMENT_SHADER, kFragment);
  m_program = gl.glCreateProgram();
  gl.glAttachShader(m_program, vs);
  gl.glAttachShader(m_program, fs);
  gl.glLinkProgram(m_program);
  gl.glDeleteShader(vs);
  gl.glDeleteShader(fs);
  int ok = 0;
  gl.glGetProgramiv(m_program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    gl.glGetProgramInfoLog(m_program, sizeof log, nullptr, log);
    std::fprintf(stderr, "minimal program: %s\n", log);
    return false;
  }
  gl.glUseProgram(m_program);
  m_worldLoc = gl.glGetUniformLocation(m_program, "u_world");
  gl.glUniform1i(gl.glGetUniformLocation(m_program, "u_sampler"), 0);
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

int MinimalProgram::AddTexture(int width, int height, const void* texels, bool bgra) {
  auto& gl = m_gl;
  m_context.makeCurrent(m_surface);
  unsigned name = 0;
  gl.glGenTextures(1, &name);
  gl.glBindTexture(GL_TEXTURE_2D, name);
  gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, bgra ? GL_BGRA : GL_RGBA,
                  GL_UNSIGNED_BYTE, texels);
  gl.glGenerateMipmap(GL_TEXTURE_2D);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  m_textures.push_back(name);
  return int(m_textures.size()) - 1;
}

void MinimalProgram::SetScene(const D3DXMATRIX& view, const D3DXMATRIX& projection,
                              const D3DXVECTOR3& towardsLight, D3DCOLORVALUE diffuse,
                              D3DCOLOR ambient) {
  auto& gl = m_gl;
  m_context.makeCurrent(m_surface);
  gl.glUseProgram(m_program);
  gl.glUniformMatrix4fv(gl.glGetUniformLocation(m_program, "u_view"), 1, GL_FALSE, &view._11);
  gl.glUniformMatrix4fv(gl.glGetUniformLocation(m_program, "u_projection"), 1, GL_FALSE,
                        &projection._11);
  gl.glUniform3f(gl.glGetUniformLocation(m_program, "u_towardsLight"), towardsLight.x,
                 towardsLight.y, towardsLight.z);
  gl.glUniform3f(gl.glGetUniformLocation(m_program, "u_diffuse"), diffuse.r, diffuse.g, diffuse.b);
  gl.glUniform3f(gl.glGetUniformLocation(m_program, "u_ambient"), ((ambient >> 16) & 0xFF) / 255.0f,
                 ((ambient >> 8) & 0xFF) / 255.0f, (ambient & 0xFF) / 255.0f);
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
  gl.glClearColor(((clear >> 16) & 0xFF) / 255.0f, ((clear >> 8) & 0xFF) / 255.0f,
                  (clear & 0xFF) / 255.0f, 1);
  gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gl.glUseProgram(m_program);
  gl.glBindVertexArray(m_vao);
  gl.glActiveTexture(GL_TEXTURE0);
  int bound = -2;
  for (const MinimalDraw& d : draws) {
    if (d.texture != bound) {
      gl.glBindTexture(GL_TEXTURE_2D, d.texture >= 0 ? m_textures[size_t(d.texture)] : 0);
      bound = d.texture;
    }
    gl.glUniformMatrix4fv(m_worldLoc, 1, GL_FALSE, &d.world->_11);
    gl.glDrawElementsBaseVertex(GL_TRIANGLES, int(d.indexCount), GL_UNSIGNED_SHORT,
                                reinterpret_cast<void*>(uintptr_t(d.startIndex) * 2), d.baseVertex);
  }
  gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, m_fbo);
  gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_context.defaultFramebufferObject());
  gl.glBlitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT,
                       GL_NEAREST);
  m_context.swapBuffers(m_surface);
}

void MinimalProgram::Finish() {
  m_context.makeCurrent(m_surface);
  m_gl.glFinish();
}
