#pragma once
// The shader programs of the GL device: a fixed-function pipeline in the
// manner of Direct3D 9, driven by uniforms that mirror the device's recorded
// state.
//
// What it computes per vertex (all lighting in world space):
//   colour  = emissive + ambient * (global ambient + sum light ambient)
//             + sum diffuse * light diffuse * max(N.L, 0)
//   specular = sum material specular * light specular * (N.H)^power, only
//             where N.L > 0 and only when specular is enabled; H uses the
//             direction to the eye (local viewer). Normals are transformed by
//             the inverse transpose of the world matrix and not renormalised.
//   Each material colour comes from the material or from the vertex colour
//   (GLMaterialSource). Without lighting the vertex colour passes through.
//   fog factor = linear (end - d) / (end - start), d = view-space z, or the
//             distance to the eye with range fog; exp / exp2 by density.
// Per fragment: texture stage 0 (colour and alpha operations over DIFFUSE,
// CURRENT, TEXTURE, TFACTOR, SPECULAR with COMPLEMENT / ALPHAREPLICATE), a
// missing texture reading opaque white; then specular added; then fog; then
// the alpha test. Projection z 0..w (Direct3D) is mapped to GL's -w..w in the
// vertex shader, so depth range stays 0..1. Row-major D3DX matrices are loaded
// unchanged (GLSL sees their transpose and multiplies matrix * vector).
//
// Screen mode (sprites, text): positions are device pixels, mapped to clip
// space over the target size; no lighting, no fog.
//
// One source, two kinds of program. The generic program reads every switch
// (screen mode, lighting, light count, material sources, specular, fog mode,
// range fog, texture present, stage operations and arguments, alpha test
// comparison) from uniforms. A specialised program is the same source with
// those switches declared as constants, so the compiler drops the branches
// and loops the state does not use; the arithmetic that remains is the
// generic program's, and so are the pixels (specular light is left out only
// where it adds exactly nothing: a black material specular colour with power
// 0). Where the lit colour or the specular light is grey (red, green and
// blue alike, bit for bit, in every colour it is made of), a specialised
// program passes it on as one channel: the same arithmetic on fewer
// varyings. Specialised programs are built on first use and kept by their switches (GLProgramKey); the
// colours, matrices, fog distances and alpha reference stay uniforms. Each program remembers which uniform
// groups it has, so switching programs uploads only what that program has not seen yet.
//
// Sections: GLPipelineState - GLPipeline
#include <QOpenGLFunctions_3_3_Core>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

// Vertex attribute locations.
enum GLAttribute { kAttrPosition = 0, kAttrNormal = 1, kAttrDiffuse = 2, kAttrTexCoord = 3 };

// Where a material colour comes from (0 material, 1 the vertex's diffuse).
enum GLMaterialSource { kSourceMaterial = 0, kSourceVertexDiffuse = 1 };

struct GLLightState {
  std::array<float, 3> towardsLight{0, 0, 1};  // normalised, world space
  std::array<float, 4> diffuse{}, specular{}, ambient{};
};

// Everything the program reads. Colours are RGBA floats 0..1; matrices are
// D3DX row-major.
struct GLPipelineState {
  std::array<float, 16> world{}, view{}, projection{};
  std::array<float, 9> normalMatrix{};  // row-major 3x3 (inverse transpose of world)
  std::array<float, 3> eye{};           // world-space eye position

  bool screenSpace = false;
  float targetWidth = 1, targetHeight = 1;

  bool lighting = true;
  std::array<float, 4> globalAmbient{};
  std::array<float, 4> matDiffuse{1, 1, 1, 1}, matAmbient{1, 1, 1, 1}, matSpecular{}, matEmissive{};
  float matPower = 0;
  int diffuseSource = kSourceVertexDiffuse, ambientSource = kSourceMaterial;
  int specularSource = kSourceMaterial, emissiveSource = kSourceMaterial;
  bool specularEnable = false;
  int lightCount = 0;
  std::array<GLLightState, 8> lights{};

  int fogMode = 0;  // 0 none, 1 exp, 2 exp2, 3 linear (D3DFOGMODE values)
  bool rangeFog = false;
  float fogStart = 0, fogEnd = 1, fogDensity = 1;
  std::array<float, 4> fogColor{};

  bool hasTexture = false;
  int colorOp = 4, colorArg1 = 2, colorArg2 = 1;  // D3DTOP / D3DTA values
  int alphaOp = 2, alphaArg1 = 2, alphaArg2 = 1;
  std::array<float, 4> textureFactor{1, 1, 1, 1};

  bool alphaTest = false;
  int alphaFunc = 8;  // D3DCMPFUNC, 8 = always
  float alphaRef = 0;
};

// The switches a specialised program fixes, packed into one number; states
// that draw alike (a switch that cannot matter, such as the light count
// without lighting) give the same key.
std::uint64_t GLProgramKey(const GLPipelineState& state);

class GLPipeline {
 public:
  // Compiles and links the generic program with the current context; false
  // (with a message in Log()) when the driver refuses.
  bool Create(QOpenGLFunctions_3_3_Core* gl);
  void Destroy();
  // Groups of uniforms, so that a draw uploads only what changed since the
  // last one (normally just the world matrix).
  enum Dirty : unsigned {
    kDirtyWorld = 1,
    kDirtyView = 2,
    kDirtyProjection = 4,
    kDirtyMaterial = 8,
    kDirtyLights = 16,
    kDirtyFog = 32,
    kDirtyStage = 64,
    kDirtyMode = 128,
    kDirtyTransform = kDirtyWorld | kDirtyView | kDirtyProjection,
    kDirtyAll = 255
  };
  // Binds the program for the state (specialised unless generic-only, built
  // on first use; the generic one when a specialised one does not build) and
  // uploads the groups it has not seen since they changed; dirty names the
  // groups that changed since the last call.
  void Apply(const GLPipelineState& state, unsigned dirty);
  // Draw with the generic program only (the reference the specialised
  // programs are held to); off by default.
  void SetGenericOnly(bool on) { m_genericOnly = on; }
  // Specialised programs built so far.
  size_t SpecialisedCount() const { return m_specialised.size(); }
  const char* Log() const { return m_log.c_str(); }
  bool IsValid() const { return m_generic.name != 0; }

 private:
  static constexpr int kGroups = 8;
  // Uniform locations, looked up once after linking (-1: a constant in this
  // program).
  struct Locations {
    int world, view, projection, normalMatrix, eye, screenSpace, targetSize;
    int lighting, globalAmbient, matDiffuse, matAmbient, matSpecular, matEmissive, matPower;
    int sources, specularEnable, lightCount;
    int lightDir, lightDiffuse, lightSpecular, lightAmbient;
    int fogMode, rangeFog, fogParams, fogColor;
    int hasTexture, sampler, colorOps, alphaOps, textureFactor, alphaFunc, alphaRef;
  };
  struct Program {
    unsigned name = 0;
    Locations loc{};
    std::array<std::uint64_t, kGroups> seen{};  // the change count of each group uploaded
  };
  bool Build(Program& program, const std::string& vertexPrelude, const std::string& fragmentPrelude);
  Program& Select(const GLPipelineState& state);
  void Upload(Program& program, const GLPipelineState& state, unsigned groups);
  void UploadLights(const Program& program, const GLPipelineState& state);

  QOpenGLFunctions_3_3_Core* m_gl = nullptr;
  Program m_generic;
  std::unordered_map<std::uint64_t, Program> m_specialised;  // name 0: did not build
  Program* m_current = nullptr;
  bool m_genericOnly = false;
  // How often each group changed; a program is up to date in a group when
  // its seen count equals this.
  std::array<std::uint64_t, kGroups> m_changes{};
  std::string m_log;
};
