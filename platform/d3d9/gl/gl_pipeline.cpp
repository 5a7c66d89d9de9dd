#include "platform/d3d9/gl/gl_pipeline.h"

#include <QtGlobal>

#include <cmath>
#include <cstring>

// Sections: shader sources - preludes and keys - compile and link - program choice -
// uniform upload

namespace {

// ---- shader sources ----------------------------------------------------------
// The switches come from a prelude (GenericPrelude or SpecialisedPrelude).
const char* kVertexSource = R"(
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in vec4 a_diffuse;
layout(location = 3) in vec2 a_texCoord;

uniform mat4 u_world, u_view, u_projection;
uniform mat3 u_normalMatrix;
uniform vec3 u_eye;
uniform vec2 u_targetSize;
uniform vec4 u_globalAmbient, u_matDiffuse, u_matAmbient, u_matSpecular, u_matEmissive;
uniform float u_matPower;
uniform vec3 u_lightDir[8];
uniform vec4 u_lightDiffuse[8], u_lightSpecular[8], u_lightAmbient[8];
uniform vec3 u_fogParams;  // start, end, density

// Grey light (red, green and blue alike in every colour it is made of) goes
// out as one channel: the same arithmetic on fewer varyings.
#if GREY_DIFFUSE
EXACT out vec2 v_greyDiffuse;  // light, alpha
void putDiffuse(vec4 d) { v_greyDiffuse = d.ra; }
#else
EXACT out vec4 v_diffuse;
void putDiffuse(vec4 d) { v_diffuse = d; }
#endif
#if GREY_SPECULAR
EXACT out float v_greySpecular;
void putSpecular(vec3 s) { v_greySpecular = s.r; }
#else
EXACT out vec3 v_specular;
void putSpecular(vec3 s) { v_specular = s; }
#endif
out vec2 v_texCoord;
EXACT out float v_fog;
EXACT_POSITION

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
  putDiffuse(vec4(clamp(ce.rgb + ca.rgb * ambient + cd.rgb * diffuse, 0.0, 1.0), clamp(cd.a, 0.0, 1.0)));
  putSpecular(clamp(cs.rgb * specular, 0.0, 1.0));
}

void main() {
  v_texCoord = a_texCoord;
  putSpecular(vec3(0.0));
  v_fog = 1.0;
  if (u_screenSpace) {
    gl_Position = vec4(a_position.x / u_targetSize.x * 2.0 - 1.0,
                       1.0 - a_position.y / u_targetSize.y * 2.0, 0.0, 1.0);
    putDiffuse(a_diffuse);
    return;
  }
  vec4 worldPos = u_world * vec4(a_position, 1.0);
  vec4 viewPos = u_view * worldPos;
  vec4 clip = u_projection * viewPos;
  gl_Position = vec4(clip.xy, 2.0 * clip.z - clip.w, clip.w);
  if (u_lighting) light(worldPos.xyz); else putDiffuse(a_diffuse);
  v_fog = fogFactor(viewPos.xyz);
}
)";

const char* kFragmentSource = R"(
#if GREY_DIFFUSE
in vec2 v_greyDiffuse;
#define v_diffuse vec4(vec3(v_greyDiffuse.x), v_greyDiffuse.y)
#else
in vec4 v_diffuse;
#endif
#if GREY_SPECULAR
in float v_greySpecular;
#define v_specular vec3(v_greySpecular)
#else
in vec3 v_specular;
#endif
in vec2 v_texCoord;
in float v_fog;

uniform sampler2D u_sampler;
uniform vec4 u_textureFactor;
uniform vec4 u_fogColor;
uniform int u_alphaRef;  // 0..255

EXACT out vec4 o_color;

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
  if (u_alphaFunc != 0 && !passes(u_alphaFunc, int(a * 255.0 + 0.5), u_alphaRef)) discard;
  o_color = vec4(rgb, a);
}
)";

}  // namespace

// ---- preludes and keys ---------------------------------------------------------
namespace {

// Both kinds of program start alike. Where the driver knows the qualifier,
// the outputs are precise: no arithmetic that feeds them is reordered or
// fused, so folding the constants of a specialised program cannot change a
// result.
#define RAVELLE_PROGRAM_HEAD                                                               \
  "#version 330 core\n#ifdef GL_ARB_gpu_shader5\n#extension GL_ARB_gpu_shader5 : enable\n" \
  "#define EXACT precise\n#define EXACT_POSITION precise gl_Position;\n#else\n"            \
  "#define EXACT\n#define EXACT_POSITION\n#endif\n"

// The switches as uniforms: one program for every state.
const char* kGenericVertexPrelude = RAVELLE_PROGRAM_HEAD R"(
#define GREY_DIFFUSE 0
#define GREY_SPECULAR 0
uniform bool u_screenSpace;
uniform bool u_lighting;
uniform ivec4 u_sources;  // diffuse, ambient, specular, emissive: 0 material, 1 vertex
uniform bool u_specularEnable;
uniform int u_lightCount;
uniform int u_fogMode;
uniform bool u_rangeFog;
)";

const char* kGenericFragmentPrelude = RAVELLE_PROGRAM_HEAD R"(
#define GREY_DIFFUSE 0
#define GREY_SPECULAR 0
uniform bool u_hasTexture;
uniform ivec3 u_colorOps;  // operation, argument 1, argument 2
uniform ivec3 u_alphaOps;
uniform bool u_specularEnable;
uniform int u_fogMode;
uniform int u_alphaFunc;  // comparison, 0 = off
)";

// The switches the state uses, as they reach the generic program.
struct Switches {
  bool screenSpace, lighting, specular, rangeFog, hasTexture, greyDiffuse, greySpecular;
  int lightCount, fogMode, alphaFunc;
  int sources[4];
  int colorOps[3], alphaOps[3];
};

// A stage operation the program has a case for, else 0 (the stage passes
// its input on, as for every other value).
int KnownOperation(int op) { return (op >= 2 && op <= 8) || op == 10 ? op : 0; }

// Specular light adds exactly nothing when its colour is the material's,
// black, with power 0 (the power of a positive N.H is then 1, and finite
// light colours times 0 are 0): the matte material. The program leaves it
// out; every other case keeps it.
bool SpecularShows(const GLPipelineState& s) {
  if (!s.specularEnable || s.specularSource == kSourceVertexDiffuse || s.matPower != 0) return true;
  if (s.matSpecular[0] != 0 || s.matSpecular[1] != 0 || s.matSpecular[2] != 0) return true;
  for (int i = 0; i < s.lightCount; ++i)
    for (int k = 0; k < 3; ++k)
      if (!std::isfinite(s.lights[size_t(i)].specular[size_t(k)])) return true;
  return false;
}

// Red, green and blue bit for bit alike.
bool Grey(const std::array<float, 4>& c) {
  return std::memcmp(&c[0], &c[1], sizeof(float)) == 0 && std::memcmp(&c[0], &c[2], sizeof(float)) == 0;
}

// The lit colour is grey when every colour it is made of is grey and none
// comes from the vertex.
bool GreyDiffuse(const GLPipelineState& s) {
  if (s.diffuseSource == kSourceVertexDiffuse || s.ambientSource == kSourceVertexDiffuse ||
      s.emissiveSource == kSourceVertexDiffuse)
    return false;
  if (!Grey(s.globalAmbient) || !Grey(s.matDiffuse) || !Grey(s.matAmbient) || !Grey(s.matEmissive))
    return false;
  for (int i = 0; i < s.lightCount; ++i)
    if (!Grey(s.lights[size_t(i)].diffuse) || !Grey(s.lights[size_t(i)].ambient)) return false;
  return true;
}

bool GreySpecular(const GLPipelineState& s) {
  if (s.specularSource == kSourceVertexDiffuse || !Grey(s.matSpecular)) return false;
  for (int i = 0; i < s.lightCount; ++i)
    if (!Grey(s.lights[size_t(i)].specular)) return false;
  return true;
}

Switches SwitchesOf(const GLPipelineState& s) {
  Switches w{};
  w.screenSpace = s.screenSpace;
  w.lighting = s.lighting;
  if (w.lighting) {
    w.lightCount = s.lightCount;
    w.specular = s.specularEnable && SpecularShows(s);
    w.sources[0] = s.diffuseSource, w.sources[1] = s.ambientSource;
    w.sources[2] = s.specularSource, w.sources[3] = s.emissiveSource;
    for (int& source : w.sources) source = source == kSourceVertexDiffuse ? 1 : 0;
    w.greyDiffuse = !w.screenSpace && GreyDiffuse(s);
    w.greySpecular = !w.screenSpace && w.specular && GreySpecular(s);
  }
  w.fogMode = s.fogMode >= 1 && s.fogMode <= 3 ? s.fogMode : 0;
  w.rangeFog = w.fogMode != 0 && s.rangeFog;
  w.hasTexture = s.hasTexture;
  // Arguments keep what the program reads of them: the source (low four
  // bits) and the complement and alpha-replicate flags.
  w.colorOps[0] = KnownOperation(s.colorOp), w.colorOps[1] = s.colorArg1 & 63;
  w.colorOps[2] = s.colorArg2 & 63;
  w.alphaOps[0] = KnownOperation(s.alphaOp), w.alphaOps[1] = s.alphaArg1 & 63;
  w.alphaOps[2] = s.alphaArg2 & 63;
  // ALWAYS and unknown comparisons pass every pixel, as no test does.
  w.alphaFunc = s.alphaTest && s.alphaFunc >= 1 && s.alphaFunc <= 7 ? s.alphaFunc : 0;
  return w;
}

std::string Bool(bool b) { return b ? "true" : "false"; }

std::string Vec3(const int v[3]) {
  return "ivec3(" + std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " + std::to_string(v[2]) + ")";
}

// The same names as constants.
std::string GreyDefinitions(const Switches& w) {
  return "#define GREY_DIFFUSE " + std::to_string(int(w.greyDiffuse)) + "\n#define GREY_SPECULAR " +
         std::to_string(int(w.greySpecular)) + "\n";
}

std::string SpecialisedVertexPrelude(const Switches& w) {
  return RAVELLE_PROGRAM_HEAD + GreyDefinitions(w) + "const bool u_screenSpace = " + Bool(w.screenSpace) +
         ";\nconst bool u_lighting = " + Bool(w.lighting) + ";\nconst ivec4 u_sources = ivec4(" +
         std::to_string(w.sources[0]) + ", " + std::to_string(w.sources[1]) + ", " +
         std::to_string(w.sources[2]) + ", " + std::to_string(w.sources[3]) +
         ");\nconst bool u_specularEnable = " + Bool(w.specular) +
         ";\nconst int u_lightCount = " + std::to_string(w.lightCount) +
         ";\nconst int u_fogMode = " + std::to_string(w.fogMode) +
         ";\nconst bool u_rangeFog = " + Bool(w.rangeFog) + ";\n";
}

std::string SpecialisedFragmentPrelude(const Switches& w) {
  return RAVELLE_PROGRAM_HEAD + GreyDefinitions(w) + "const bool u_hasTexture = " + Bool(w.hasTexture) +
         ";\nconst ivec3 u_colorOps = " + Vec3(w.colorOps) +
         ";\nconst ivec3 u_alphaOps = " + Vec3(w.alphaOps) +
         ";\nconst bool u_specularEnable = " + Bool(w.specular) +
         ";\nconst int u_fogMode = " + std::to_string(w.fogMode) +
         ";\nconst int u_alphaFunc = " + std::to_string(w.alphaFunc) + ";\n";
}

}  // namespace

std::uint64_t GLProgramKey(const GLPipelineState& state) {
  const Switches w = SwitchesOf(state);
  std::uint64_t key = 0;
  auto put = [&key](std::uint64_t value, int bits) { key = key << bits | (value & ((1u << bits) - 1)); };
  put(w.screenSpace, 1), put(w.lighting, 1), put(w.specular, 1), put(w.rangeFog, 1);
  put(w.hasTexture, 1), put(std::uint64_t(w.lightCount), 4), put(std::uint64_t(w.fogMode), 2);
  put(std::uint64_t(w.alphaFunc), 3), put(w.greyDiffuse, 1), put(w.greySpecular, 1);
  for (int source : w.sources) put(std::uint64_t(source), 1);
  for (const int* ops : {w.colorOps, w.alphaOps})
    put(std::uint64_t(ops[0]), 4), put(std::uint64_t(ops[1]), 6), put(std::uint64_t(ops[2]), 6);
  return key;  // 20 + 32 bits
}

// ---- compile and link --------------------------------------------------------
namespace {
unsigned CompileShader(QOpenGLFunctions_3_3_Core* gl, unsigned type, const std::string& prelude,
                       const char* body, std::string& log) {
  const unsigned shader = gl->glCreateShader(type);
  const char* parts[] = {prelude.c_str(), body};
  gl->glShaderSource(shader, 2, parts, nullptr);
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
  return Build(m_generic, kGenericVertexPrelude, kGenericFragmentPrelude);
}

bool GLPipeline::Build(Program& program, const std::string& vertexPrelude,
                       const std::string& fragmentPrelude) {
  auto* gl = m_gl;
  const unsigned vs = CompileShader(gl, GL_VERTEX_SHADER, vertexPrelude, kVertexSource, m_log);
  const unsigned fs = CompileShader(gl, GL_FRAGMENT_SHADER, fragmentPrelude, kFragmentSource, m_log);
  if (!vs || !fs) {
    if (vs) gl->glDeleteShader(vs);
    if (fs) gl->glDeleteShader(fs);
    return false;
  }
  const unsigned name = gl->glCreateProgram();
  gl->glAttachShader(name, vs);
  gl->glAttachShader(name, fs);
  gl->glLinkProgram(name);
  gl->glDeleteShader(vs);
  gl->glDeleteShader(fs);
  int ok = 0;
  gl->glGetProgramiv(name, GL_LINK_STATUS, &ok);
  if (!ok) {
    char buf[4096] = {};
    gl->glGetProgramInfoLog(name, sizeof buf, nullptr, buf);
    m_log += buf;
    gl->glDeleteProgram(name);
    return false;
  }
  auto loc = [&](const char* uniform) { return gl->glGetUniformLocation(name, uniform); };
  program.name = name;
  program.loc = Locations{
      loc("u_world"),         loc("u_view"),          loc("u_projection"),   loc("u_normalMatrix"),
      loc("u_eye"),           loc("u_screenSpace"),   loc("u_targetSize"),   loc("u_lighting"),
      loc("u_globalAmbient"), loc("u_matDiffuse"),    loc("u_matAmbient"),   loc("u_matSpecular"),
      loc("u_matEmissive"),   loc("u_matPower"),      loc("u_sources"),      loc("u_specularEnable"),
      loc("u_lightCount"),    loc("u_lightDir"),      loc("u_lightDiffuse"), loc("u_lightSpecular"),
      loc("u_lightAmbient"),  loc("u_fogMode"),       loc("u_rangeFog"),     loc("u_fogParams"),
      loc("u_fogColor"),      loc("u_hasTexture"),    loc("u_sampler"),      loc("u_colorOps"),
      loc("u_alphaOps"),      loc("u_textureFactor"), loc("u_alphaFunc"),    loc("u_alphaRef")};
  program.seen.fill(~std::uint64_t{0});  // a new program has seen nothing
  return true;
}

void GLPipeline::Destroy() {
  if (m_gl) {
    if (m_generic.name) m_gl->glDeleteProgram(m_generic.name);
    for (auto& [key, program] : m_specialised)
      if (program.name) m_gl->glDeleteProgram(program.name);
  }
  m_generic = Program{};
  m_specialised.clear();
  m_current = nullptr;
}

// ---- program choice ---------------------------------------------------------------
GLPipeline::Program& GLPipeline::Select(const GLPipelineState& state) {
  if (m_genericOnly) return m_generic;
  const std::uint64_t key = GLProgramKey(state);
  auto [it, fresh] = m_specialised.try_emplace(key);
  if (fresh) {
    // A variant that does not build leaves its draws to the generic program.
    const Switches w = SwitchesOf(state);
    std::string log;
    std::swap(log, m_log);
    if (!Build(it->second, SpecialisedVertexPrelude(w), SpecialisedFragmentPrelude(w)))
      qWarning("GL device: a specialised program does not build; the generic one draws: %s", m_log.c_str());
    std::swap(log, m_log);
  }
  return it->second.name ? it->second : m_generic;
}

// ---- uniform upload ----------------------------------------------------------
void GLPipeline::Apply(const GLPipelineState& s, unsigned dirty) {
  for (int g = 0; g < kGroups; ++g)
    if (dirty & (1u << g)) ++m_changes[size_t(g)];
  // The program follows the switches, which live in these groups.
  constexpr unsigned kSwitchGroups = kDirtyMode | kDirtyMaterial | kDirtyLights | kDirtyFog | kDirtyStage;
  if (!m_current || (dirty & kSwitchGroups) || (m_genericOnly != (m_current == &m_generic))) {
    Program& chosen = Select(s);
    if (&chosen != m_current) m_gl->glUseProgram(chosen.name);
    m_current = &chosen;
  }
  unsigned stale = 0;
  for (int g = 0; g < kGroups; ++g)
    if (m_current->seen[size_t(g)] != m_changes[size_t(g)]) stale |= 1u << g;
  if (stale) Upload(*m_current, s, stale);
  m_current->seen = m_changes;
}

void GLPipeline::Upload(Program& program, const GLPipelineState& s, unsigned groups) {
  auto* gl = m_gl;
  const Locations& l = program.loc;
  if (groups & kDirtyWorld) {
    gl->glUniformMatrix4fv(l.world, 1, GL_FALSE, s.world.data());
    gl->glUniformMatrix3fv(l.normalMatrix, 1, GL_FALSE, s.normalMatrix.data());
  }
  if (groups & kDirtyView) {
    gl->glUniformMatrix4fv(l.view, 1, GL_FALSE, s.view.data());
    gl->glUniform3fv(l.eye, 1, s.eye.data());
  }
  if (groups & kDirtyProjection) gl->glUniformMatrix4fv(l.projection, 1, GL_FALSE, s.projection.data());
  if (groups & kDirtyMode) {
    gl->glUniform1i(l.screenSpace, s.screenSpace);
    gl->glUniform2f(l.targetSize, s.targetWidth, s.targetHeight);
    gl->glUniform1i(l.lighting, s.lighting);
    gl->glUniform1i(l.specularEnable, s.specularEnable);
    gl->glUniform1i(l.sampler, 0);
    gl->glUniform1i(l.hasTexture, s.hasTexture);
    gl->glUniform1i(l.alphaFunc, s.alphaTest ? s.alphaFunc : 0);
    gl->glUniform1i(l.alphaRef, static_cast<int>(s.alphaRef));
  }
  if (groups & kDirtyMaterial) {
    gl->glUniform4fv(l.globalAmbient, 1, s.globalAmbient.data());
    gl->glUniform4fv(l.matDiffuse, 1, s.matDiffuse.data());
    gl->glUniform4fv(l.matAmbient, 1, s.matAmbient.data());
    gl->glUniform4fv(l.matSpecular, 1, s.matSpecular.data());
    gl->glUniform4fv(l.matEmissive, 1, s.matEmissive.data());
    gl->glUniform1f(l.matPower, s.matPower);
    gl->glUniform4i(l.sources, s.diffuseSource, s.ambientSource, s.specularSource, s.emissiveSource);
  }
  if (groups & kDirtyLights) UploadLights(program, s);
  if (groups & kDirtyFog) {
    gl->glUniform1i(l.fogMode, s.fogMode);
    gl->glUniform1i(l.rangeFog, s.rangeFog);
    gl->glUniform3f(l.fogParams, s.fogStart, s.fogEnd, s.fogDensity);
    gl->glUniform4fv(l.fogColor, 1, s.fogColor.data());
  }
  if (groups & kDirtyStage) {
    gl->glUniform3i(l.colorOps, s.colorOp, s.colorArg1, s.colorArg2);
    gl->glUniform3i(l.alphaOps, s.alphaOp, s.alphaArg1, s.alphaArg2);
    gl->glUniform4fv(l.textureFactor, 1, s.textureFactor.data());
  }
}

void GLPipeline::UploadLights(const Program& program, const GLPipelineState& s) {
  float dir[8 * 3], dif[8 * 4], spe[8 * 4], amb[8 * 4];
  for (int i = 0; i < 8; ++i) {
    for (int k = 0; k < 3; ++k) dir[i * 3 + k] = s.lights[i].towardsLight[k];
    for (int k = 0; k < 4; ++k) {
      dif[i * 4 + k] = s.lights[i].diffuse[k];
      spe[i * 4 + k] = s.lights[i].specular[k];
      amb[i * 4 + k] = s.lights[i].ambient[k];
    }
  }
  const Locations& l = program.loc;
  m_gl->glUniform1i(l.lightCount, s.lightCount);
  m_gl->glUniform3fv(l.lightDir, 8, dir);
  m_gl->glUniform4fv(l.lightDiffuse, 8, dif);
  m_gl->glUniform4fv(l.lightSpecular, 8, spe);
  m_gl->glUniform4fv(l.lightAmbient, 8, amb);
}
