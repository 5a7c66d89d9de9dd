#pragma once
// The one shader program of the GL device: a fixed-function pipeline in the
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
// Screen mode (sprites, text): positions are client pixels, mapped to clip
// space over the target size; no lighting, no fog.
//
// Sections: GLPipelineState - GLPipeline
#include <QOpenGLFunctions_3_3_Core>

#include <array>
#include <string>

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
  std::array<float, 3> eye{};          // world-space eye position

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

class GLPipeline {
 public:
  // Compiles and links with the current context; false (with a message in
  // Log()) when the driver refuses.
  bool Create(QOpenGLFunctions_3_3_Core* gl);
  void Destroy();
  // Groups of uniforms, so that a draw uploads only what changed since the
  // last one (normally just the world matrix).
  enum Dirty : unsigned {
    kDirtyTransform = 1, kDirtyMaterial = 2, kDirtyLights = 4, kDirtyFog = 8,
    kDirtyStage = 16, kDirtyMode = 32, kDirtyAll = 63
  };
  // Binds the program and uploads the groups named in dirty.
  void Apply(const GLPipelineState& state, unsigned dirty);
  const char* Log() const { return m_log.c_str(); }
  bool IsValid() const { return m_program != 0; }

 private:
  int Loc(const char* name) const;
  void UploadLights(const GLPipelineState& state);

  QOpenGLFunctions_3_3_Core* m_gl = nullptr;
  unsigned m_program = 0;
  std::string m_log;
  // Uniform locations, looked up once after linking.
  struct Locations {
    int world, view, projection, normalMatrix, eye, screenSpace, targetSize;
    int lighting, globalAmbient, matDiffuse, matAmbient, matSpecular, matEmissive, matPower;
    int sources, specularEnable, lightCount;
    int lightDir, lightDiffuse, lightSpecular, lightAmbient;
    int fogMode, rangeFog, fogParams, fogColor;
    int hasTexture, sampler, colorOps, alphaOps, textureFactor, alphaTest;
  };
  Locations m_loc{};
};
