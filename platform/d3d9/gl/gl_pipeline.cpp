#include "platform/d3d9/gl/gl_pipeline.h"

// Sections: shader sources - compile and link - uniform upload

namespace {

// ---- shader sources ----------------------------------------------------------
const char* kVertexSource = R"(#version 330 core
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in vec4 a_diffuse;
layout(location = 3) in vec2 a_texCoord;

uniform mat4 u_world, u_view, u_projection;
uniform mat3 u_normalMatrix;
uniform vec3 u_eye;
uniform bool u_screenSpace;
uniform vec2 u_targetSize;
uniform bool u_lighting;
uniform vec4 u_globalAmbient, u_matDiffuse, u_matAmbient, u_matSpecular, u_matEmissive;
uniform float u_matPower;
uniform ivec4 u_sources;  // diffuse, ambient, specular, emissive: 0 material, 1 vertex
uniform bool u_specularEnable;
uniform int u_lightCount;
uniform vec3 u_lightDir[8];
uniform vec4 u_lightDiffuse[8], u_lightSpecular[8], u_lightAmbient[8];
uniform int u_fogMode;
uniform bool u_rangeFog;
uniform vec3 u_fogParams;  // start, end, density

out vec4 v_diffuse;
out vec3 v_specular;
out vec2 v_texCoord;
out float v_fog;

vec4 source(int which, vec4 material) { return which == 1 ? a_diffuse : material; }

float fogFactor(vec3 viewPos) {
  if (u_fogMode == 0) return 1.0;
  float d = u_rangeFog ? length(viewPos) : viewPos.z;
  if (u_fogMode == 3) {
    float range = u_fogParams.y - u_fogParams.x;
    if (range == 0.0) return d < u_fogParams.y ? 1.0 : 0.0;
    return clamp((u_fogParams.y - d) / range, 0.0, 1.0);
  }
  float k = d * u_fogParams.z;
  return clamp(u_fogMode == 1 ? exp(-k) : exp(-k * k), 0.0, 1.0);
}

void light(vec3 worldPos) {
  vec3 n = u_normalMatrix * a_normal;
  vec4 cd = source(u_sources.x, u_matDiffuse);
  vec4 ca = source(u_sources.y, u_matAmbient);
  vec4 cs = source(u_sources.z, u_matSpecular);
  vec4 ce = source(u_sources.w, u_matEmissive);
  vec3 ambient = u_globalAmbient.rgb, diffuse = vec3(0.0), specular = vec3(0.0);
  vec3 toEye = normalize(u_eye - worldPos);
  for (int i = 0; i < u_lightCount; ++i) {
    ambient += u_lightAmbient[i].rgb;
    float nl = dot(n, u_lightDir[i]);
    if (nl <= 0.0) continue;
    diffuse += u_lightDiffuse[i].rgb * nl;
    if (u_specularEnable) {
      float nh = dot(n, normalize(toEye + u_lightDir[i]));
      if (nh > 0.0) specular += u_lightSpecular[i].rgb * pow(nh, u_matPower);
    }
  }
  v_diffuse = vec4(clamp(ce.rgb + ca.rgb * ambient + cd.rgb * diffuse, 0.0, 1.0), clamp(cd.a, 0.0, 1.0));
  v_specular = clamp(cs.rgb * specular, 0.0, 1.0);
}

void main() {
  v_texCoord = a_texCoord;
  v_specular = vec3(0.0);
  v_fog = 1.0;
  if (u_screenSpace) {
    gl_Position = vec4(a_position.x / u_targetSize.x * 2.0 - 1.0,
                       1.0 - a_position.y / u_targetSize.y * 2.0, 0.0, 1.0);
    v_diffuse = a_diffuse;
    return;
  }
  vec4 worldPos = u_world * vec4(a_position, 1.0);
  vec4 viewPos = u_view * worldPos;
  vec4 clip = u_projection * viewPos;
  gl_Position = vec4(clip.xy, 2.0 * clip.z - clip.w, clip.w);
  if (u_lighting) light(worldPos.xyz); else v_diffuse = a_diffuse;
  v_fog = fogFactor(viewPos.xyz);
}
)";

const char* kFragmentSource = R"(#version 330 core
in vec4 v_diffuse;
in vec3 v_specular;
in vec2 v_texCoord;
in float v_fog;

uniform sampler2D u_sampler;
uniform bool u_hasTexture;
uniform ivec3 u_colorOps;  // operation, argument 1, argument 2
uniform ivec3 u_alphaOps;
uniform vec4 u_textureFactor;
uniform bool u_specularEnable;
uniform int u_fogMode;
uniform vec4 u_fogColor;
uniform ivec2 u_alphaTest;  // comparison (0 = off), reference 0..255

out vec4 o_color;

vec4 argument(int arg, vec4 tex) {
  int which = arg & 15;
  vec4 v = which == 2 ? tex : which == 3 ? u_textureFactor
         : which == 4 ? vec4(v_specular, 1.0) : v_diffuse;
  if ((arg & 16) != 0) v = vec4(1.0) - v;
  if ((arg & 32) != 0) v = vec4(v.a);
  return v;
}

vec4 combine(ivec3 ops, vec4 tex) {
  vec4 a1 = argument(ops.y, tex), a2 = argument(ops.z, tex);
  switch (ops.x) {
    case 2: return a1;
    case 3: return a2;
    case 4: return a1 * a2;
    case 5: return clamp(2.0 * a1 * a2, 0.0, 1.0);
    case 6: return clamp(4.0 * a1 * a2, 0.0, 1.0);
    case 7: return clamp(a1 + a2, 0.0, 1.0);
    case 8: return clamp(a1 + a2 - 0.5, 0.0, 1.0);
    case 10: return clamp(a1 - a2, 0.0, 1.0);
    default: return v_diffuse;  // disabled: the stage passes its input on
  }
}

bool passes(int func, int a, int ref) {
  switch (func) {
    case 1: return false;
    case 2: return a < ref;
    case 3: return a == ref;
    case 4: return a <= ref;
    case 5: return a > ref;
    case 6: return a != ref;
    case 7: return a >= ref;
    default: return true;
  }
}

void main() {
  vec4 tex = u_hasTexture ? texture(u_sampler, v_texCoord) : vec4(1.0);
  vec3 rgb = combine(u_colorOps, tex).rgb;
  float a = combine(u_alphaOps, tex).a;
  if (u_specularEnable) rgb = min(rgb + v_specular, vec3(1.0));
  if (u_fogMode != 0) rgb = mix(u_fogColor.rgb, rgb, v_fog);
  if (u_alphaTest.x != 0 && !passes(u_alphaTest.x, int(a * 255.0 + 0.5), u_alphaTest.y)) discard;
  o_color = vec4(rgb, a);
}
)";

}  // namespace

// ---- compile and link --------------------------------------------------------
namespace {
unsigned CompileShader(QOpenGLFunctions_3_3_Core* gl, unsigned type, const char* src,
                       std::string& log) {
  const unsigned shader = gl->glCreateShader(type);
  gl->glShaderSource(shader, 1, &src, nullptr);
  gl->glCompileShader(shader);
  int ok = 0;
  gl->glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char buf[4096] = {};
    gl->glGetShaderInfoLog(shader, sizeof buf, nullptr, buf);
    log += buf;
    gl->glDeleteShader(shader);
    return 0;
  }
  return shader;
}
}  // namespace

bool GLPipeline::Create(QOpenGLFunctions_3_3_Core* gl) {
  m_gl = gl;
  m_log.clear();
  const unsigned vs = CompileShader(gl, GL_VERTEX_SHADER, kVertexSource, m_log);
  const unsigned fs = CompileShader(gl, GL_FRAGMENT_SHADER, kFragmentSource, m_log);
  if (!vs || !fs) {
    if (vs) gl->glDeleteShader(vs);
    if (fs) gl->glDeleteShader(fs);
    return false;
  }
  m_program = gl->glCreateProgram();
  gl->glAttachShader(m_program, vs);
  gl->glAttachShader(m_program, fs);
  gl->glLinkProgram(m_program);
  gl->glDeleteShader(vs);
  gl->glDeleteShader(fs);
  int ok = 0;
  gl->glGetProgramiv(m_program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char buf[4096] = {};
    gl->glGetProgramInfoLog(m_program, sizeof buf, nullptr, buf);
    m_log += buf;
    Destroy();
    return false;
  }
  m_loc = Locations{Loc("u_world"), Loc("u_view"), Loc("u_projection"), Loc("u_normalMatrix"),
                    Loc("u_eye"), Loc("u_screenSpace"), Loc("u_targetSize"),
                    Loc("u_lighting"), Loc("u_globalAmbient"), Loc("u_matDiffuse"),
                    Loc("u_matAmbient"), Loc("u_matSpecular"), Loc("u_matEmissive"),
                    Loc("u_matPower"), Loc("u_sources"), Loc("u_specularEnable"),
                    Loc("u_lightCount"), Loc("u_lightDir"), Loc("u_lightDiffuse"),
                    Loc("u_lightSpecular"), Loc("u_lightAmbient"), Loc("u_fogMode"),
                    Loc("u_rangeFog"), Loc("u_fogParams"), Loc("u_fogColor"),
                    Loc("u_hasTexture"), Loc("u_sampler"), Loc("u_colorOps"),
                    Loc("u_alphaOps"), Loc("u_textureFactor"), Loc("u_alphaTest")};
  return true;
}

void GLPipeline::Destroy() {
  if (m_program && m_gl) m_gl->glDeleteProgram(m_program);
  m_program = 0;
}

int GLPipeline::Loc(const char* name) const { return m_gl->glGetUniformLocation(m_program, name); }

// ---- uniform upload ----------------------------------------------------------
void GLPipeline::Apply(const GLPipelineState& s, unsigned dirty) {
  auto* gl = m_gl;
  gl->glUseProgram(m_program);
  if (dirty & kDirtyTransform) {
    gl->glUniformMatrix4fv(m_loc.world, 1, GL_FALSE, s.world.data());
    gl->glUniformMatrix4fv(m_loc.view, 1, GL_FALSE, s.view.data());
    gl->glUniformMatrix4fv(m_loc.projection, 1, GL_FALSE, s.projection.data());
    gl->glUniformMatrix3fv(m_loc.normalMatrix, 1, GL_FALSE, s.normalMatrix.data());
    gl->glUniform3fv(m_loc.eye, 1, s.eye.data());
  }
  if (dirty & kDirtyMode) {
    gl->glUniform1i(m_loc.screenSpace, s.screenSpace);
    gl->glUniform2f(m_loc.targetSize, s.targetWidth, s.targetHeight);
    gl->glUniform1i(m_loc.lighting, s.lighting);
    gl->glUniform1i(m_loc.specularEnable, s.specularEnable);
    gl->glUniform1i(m_loc.sampler, 0);
    gl->glUniform1i(m_loc.hasTexture, s.hasTexture);
    gl->glUniform2i(m_loc.alphaTest, s.alphaTest ? s.alphaFunc : 0,
                    static_cast<int>(s.alphaRef));
  }
  if (dirty & kDirtyMaterial) {
    gl->glUniform4fv(m_loc.globalAmbient, 1, s.globalAmbient.data());
    gl->glUniform4fv(m_loc.matDiffuse, 1, s.matDiffuse.data());
    gl->glUniform4fv(m_loc.matAmbient, 1, s.matAmbient.data());
    gl->glUniform4fv(m_loc.matSpecular, 1, s.matSpecular.data());
    gl->glUniform4fv(m_loc.matEmissive, 1, s.matEmissive.data());
    gl->glUniform1f(m_loc.matPower, s.matPower);
    gl->glUniform4i(m_loc.sources, s.diffuseSource, s.ambientSource, s.specularSource,
                    s.emissiveSource);
  }
  if (dirty & kDirtyLights) UploadLights(s);
  if (dirty & kDirtyFog) {
    gl->glUniform1i(m_loc.fogMode, s.fogMode);
    gl->glUniform1i(m_loc.rangeFog, s.rangeFog);
    gl->glUniform3f(m_loc.fogParams, s.fogStart, s.fogEnd, s.fogDensity);
    gl->glUniform4fv(m_loc.fogColor, 1, s.fogColor.data());
  }
  if (dirty & kDirtyStage) {
    gl->glUniform3i(m_loc.colorOps, s.colorOp, s.colorArg1, s.colorArg2);
    gl->glUniform3i(m_loc.alphaOps, s.alphaOp, s.alphaArg1, s.alphaArg2);
    gl->glUniform4fv(m_loc.textureFactor, 1, s.textureFactor.data());
  }
}

void GLPipeline::UploadLights(const GLPipelineState& s) {
  float dir[8 * 3], dif[8 * 4], spe[8 * 4], amb[8 * 4];
  for (int i = 0; i < 8; ++i) {
    for (int k = 0; k < 3; ++k) dir[i * 3 + k] = s.lights[i].towardsLight[k];
    for (int k = 0; k < 4; ++k) {
      dif[i * 4 + k] = s.lights[i].diffuse[k];
      spe[i * 4 + k] = s.lights[i].specular[k];
      amb[i * 4 + k] = s.lights[i].ambient[k];
    }
  }
  m_gl->glUniform1i(m_loc.lightCount, s.lightCount);
  m_gl->glUniform3fv(m_loc.lightDir, 8, dir);
  m_gl->glUniform4fv(m_loc.lightDiffuse, 8, dif);
  m_gl->glUniform4fv(m_loc.lightSpecular, 8, spe);
  m_gl->glUniform4fv(m_loc.lightAmbient, 8, amb);
}
