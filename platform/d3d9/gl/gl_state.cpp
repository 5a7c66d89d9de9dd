// The GL device's recorded state turned into GL state and pipeline uniforms,
// and the screen passes of sprites and text.
//
// Sections: helpers - state to GL - screen passes
#include <cstring>

#include "platform/d3d9/gl/gl_internal.h"

using namespace gldetail;

// ---- helpers ----------------------------------------------------------------------
namespace {

std::array<float, 16> MatrixOf(const D3DMATRIX& m) {
  std::array<float, 16> out;
  std::memcpy(out.data(), &m.m[0][0], sizeof(float) * 16);
  return out;
}

unsigned GLCompare(DWORD func) {
  static const unsigned table[] = {GL_ALWAYS, GL_NEVER,   GL_LESS,     GL_EQUAL, GL_LEQUAL,
                                   GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
  return func < 9 ? table[func] : GL_ALWAYS;
}

unsigned GLBlend(DWORD blend) {
  switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
  }
}

unsigned GLBlendOp(DWORD op) {
  switch (op) {
    case 2: return GL_FUNC_SUBTRACT;
    case 3: return GL_FUNC_REVERSE_SUBTRACT;
    case 4: return GL_MIN;
    case 5: return GL_MAX;
    default: return GL_FUNC_ADD;
  }
}

unsigned GLAddress(DWORD mode) {
  switch (mode) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
  }
}

}  // namespace

// ---- state to GL -------------------------------------------------------------------------------
void GLDevice::ApplyFixedState() {
  auto& gl = m_core->m_gl;
  const DWORD* rs = m_state.renderStates;
  auto enable = [&](unsigned cap, bool on) { on ? gl.glEnable(cap) : gl.glDisable(cap); };
  const bool depth = rs[D3DRS_ZENABLE] != D3DZB_FALSE && m_depthRb;
  enable(GL_DEPTH_TEST, depth);
  gl.glDepthMask(rs[D3DRS_ZWRITEENABLE] ? 1 : 0);
  gl.glDepthFunc(GLCompare(rs[D3DRS_ZFUNC]));
  enable(GL_BLEND, rs[D3DRS_ALPHABLENDENABLE] != 0);
  gl.glBlendFunc(GLBlend(rs[D3DRS_SRCBLEND]), GLBlend(rs[D3DRS_DESTBLEND]));
  gl.glBlendEquation(GLBlendOp(rs[D3DRS_BLENDOP]));
  // Front faces are counter-clockwise in GL; D3DCULL_CCW removes those as
  // they appear on screen, D3DCULL_CW the clockwise ones.
  gl.glFrontFace(GL_CCW);
  enable(GL_CULL_FACE, rs[D3DRS_CULLMODE] == D3DCULL_CW || rs[D3DRS_CULLMODE] == D3DCULL_CCW);
  gl.glCullFace(rs[D3DRS_CULLMODE] == D3DCULL_CCW ? GL_FRONT : GL_BACK);
  const DWORD fill = rs[D3DRS_FILLMODE];
  gl.glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT ? GL_POINT
                                      : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
  const DWORD mask = rs[D3DRS_COLORWRITEENABLE];
  // X8R8G8B8: alpha is never written, so the back buffer stays opaque.
  gl.glColorMask(mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, 0);
  enable(GL_MULTISAMPLE, rs[D3DRS_MULTISAMPLEANTIALIAS] != 0);
  gl.glDisable(GL_SCISSOR_TEST);
  gl.glDisable(GL_STENCIL_TEST);
}

void GLDevice::ApplySampler() {
  auto& gl = m_core->m_gl;
  const DWORD* s = m_state.samplerStates[0];
  const bool minLinear = s[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
  unsigned minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
  if (s[D3DSAMP_MIPFILTER] == D3DTEXF_POINT)
    minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  else if (s[D3DSAMP_MIPFILTER] >= D3DTEXF_LINEAR)
    minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  gl.glSamplerParameteri(m_sampler, GL_TEXTURE_MIN_FILTER, static_cast<int>(minFilter));
  gl.glSamplerParameteri(m_sampler, GL_TEXTURE_MAG_FILTER,
                         s[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
  gl.glSamplerParameteri(m_sampler, GL_TEXTURE_WRAP_S, static_cast<int>(GLAddress(s[D3DSAMP_ADDRESSU])));
  gl.glSamplerParameteri(m_sampler, GL_TEXTURE_WRAP_T, static_cast<int>(GLAddress(s[D3DSAMP_ADDRESSV])));
  const auto border = ColorOf(static_cast<D3DCOLOR>(s[D3DSAMP_BORDERCOLOR]));
  gl.glSamplerParameterfv(m_sampler, GL_TEXTURE_BORDER_COLOR, border.data());
  gl.glBindSampler(0, m_sampler);
}

void GLDevice::BuildPipelineState(unsigned dirty) {
  GLPipelineState& p = m_pipelineState;
  const DWORD* rs = m_state.renderStates;
  if (dirty & GLPipeline::kDirtyTransform) {
    p.world = MatrixOf(m_state.world);
    p.view = MatrixOf(m_state.view);
    p.projection = MatrixOf(m_state.projection);
    // Normals go through the inverse transpose of the world matrix.
    D3DXMATRIX inverse = m_state.world, normal;
    D3DXMatrixInverse(&inverse, nullptr, &m_state.world);
    D3DXMatrixTranspose(&normal, &inverse);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) p.normalMatrix[r * 3 + c] = normal.m[r][c];
    D3DXMATRIX viewInverse = Identity();
    D3DXMatrixInverse(&viewInverse, nullptr, &m_state.view);
    p.eye = {viewInverse._41, viewInverse._42, viewInverse._43};
  }
  if (dirty & GLPipeline::kDirtyMode) {
    p.screenSpace = m_state.screenSpace;
    p.targetWidth = static_cast<float>(m_params.BackBufferWidth);
    p.targetHeight = static_cast<float>(m_params.BackBufferHeight);
    p.lighting = rs[D3DRS_LIGHTING] != 0 && !m_state.screenSpace;
    p.specularEnable = rs[D3DRS_SPECULARENABLE] != 0 && p.lighting;
    p.hasTexture = m_textures[0] != nullptr;
    p.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    p.alphaFunc = static_cast<int>(rs[D3DRS_ALPHAFUNC]);
    p.alphaRef = static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF);
  }
  if (dirty & GLPipeline::kDirtyMaterial) {
    const D3DMATERIAL9& m = m_state.material;
    p.globalAmbient = ColorOf(static_cast<D3DCOLOR>(rs[D3DRS_AMBIENT]));
    p.matDiffuse = ColorOf(m.Diffuse);
    p.matAmbient = ColorOf(m.Ambient);
    p.matSpecular = ColorOf(m.Specular);
    p.matEmissive = ColorOf(m.Emissive);
    p.matPower = m.Power;
    // A material colour comes from the vertex only when it has that colour.
    const bool vertexColor = rs[D3DRS_COLORVERTEX] != 0 && (m_fvf & D3DFVF_DIFFUSE);
    auto source = [&](DWORD state) {
      return vertexColor && rs[state] == D3DMCS_COLOR1 ? kSourceVertexDiffuse : kSourceMaterial;
    };
    p.diffuseSource = source(D3DRS_DIFFUSEMATERIALSOURCE);
    p.ambientSource = source(D3DRS_AMBIENTMATERIALSOURCE);
    p.specularSource = source(D3DRS_SPECULARMATERIALSOURCE);
    p.emissiveSource = source(D3DRS_EMISSIVEMATERIALSOURCE);
  }
  if (dirty & GLPipeline::kDirtyLights) {
    p.lightCount = 0;
    for (DWORD i = 0; i < D3DMAXLIGHTS; ++i) {
      const D3DLIGHT9& l = m_state.lights[i];
      if (!m_state.lightEnabled[i] || l.Type != D3DLIGHT_DIRECTIONAL) continue;
      D3DXVECTOR3 towards = -l.Direction;
      D3DXVec3Normalize(&towards, &towards);
      GLLightState& out = p.lights[p.lightCount++];
      out.towardsLight = {towards.x, towards.y, towards.z};
      out.diffuse = ColorOf(l.Diffuse);
      out.specular = ColorOf(l.Specular);
      out.ambient = ColorOf(l.Ambient);
    }
  }
  if (dirty & GLPipeline::kDirtyFog) {
    const DWORD table = rs[D3DRS_FOGTABLEMODE];
    const bool on = rs[D3DRS_FOGENABLE] != 0 && !m_state.screenSpace;
    p.fogMode = on ? static_cast<int>(table != D3DFOG_NONE ? table : rs[D3DRS_FOGVERTEXMODE]) : 0;
    p.rangeFog = rs[D3DRS_RANGEFOGENABLE] != 0 && table == D3DFOG_NONE;
    p.fogStart = DWORDToFloat(rs[D3DRS_FOGSTART]);
    p.fogEnd = DWORDToFloat(rs[D3DRS_FOGEND]);
    p.fogDensity = DWORDToFloat(rs[D3DRS_FOGDENSITY]);
    p.fogColor = ColorOf(static_cast<D3DCOLOR>(rs[D3DRS_FOGCOLOR]));
  }
  if (dirty & GLPipeline::kDirtyStage) {
    const DWORD* t = m_state.stageStates[0];
    p.colorOp = static_cast<int>(t[D3DTSS_COLOROP]);
    p.colorArg1 = static_cast<int>(t[D3DTSS_COLORARG1]);
    p.colorArg2 = static_cast<int>(t[D3DTSS_COLORARG2]);
    p.alphaOp = static_cast<int>(t[D3DTSS_ALPHAOP]);
    p.alphaArg1 = static_cast<int>(t[D3DTSS_ALPHAARG1]);
    p.alphaArg2 = static_cast<int>(t[D3DTSS_ALPHAARG2]);
    p.textureFactor = ColorOf(static_cast<D3DCOLOR>(rs[D3DRS_TEXTUREFACTOR]));
  }
}

// ---- screen passes ------------------------------------------------------------------------------
void GLDevice::BeginScreenPass(bool alphaBlend) {
  if (m_screenDepth++ > 0) return;
  m_saved = m_state;
  Rebind(m_savedTexture, m_textures[0]);
  DWORD* rs = m_state.renderStates;
  rs[D3DRS_LIGHTING] = 0;
  rs[D3DRS_FOGENABLE] = 0;
  rs[D3DRS_SPECULARENABLE] = 0;
  rs[D3DRS_ZENABLE] = D3DZB_FALSE;
  rs[D3DRS_ZWRITEENABLE] = 0;
  rs[D3DRS_CULLMODE] = D3DCULL_NONE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_ALPHATESTENABLE] = 0;
  rs[D3DRS_COLORWRITEENABLE] = 0xF;
  rs[D3DRS_ALPHABLENDENABLE] = alphaBlend ? 1 : 0;
  rs[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
  rs[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
  rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  DWORD* t = m_state.stageStates[0];
  t[D3DTSS_COLOROP] = t[D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
  t[D3DTSS_COLORARG1] = t[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
  t[D3DTSS_COLORARG2] = t[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
  DWORD* s = m_state.samplerStates[0];
  s[D3DSAMP_ADDRESSU] = s[D3DSAMP_ADDRESSV] = D3DTADDRESS_CLAMP;
  s[D3DSAMP_MINFILTER] = s[D3DSAMP_MAGFILTER] = D3DTEXF_LINEAR;
  s[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
  m_state.screenSpace = true;
  Dirty(kDirtyEverything);
}

void GLDevice::EndScreenPass() {
  if (m_screenDepth == 0 || --m_screenDepth > 0) return;
  m_state = m_saved;
  Rebind(m_textures[0], m_savedTexture);
  Rebind(m_savedTexture, static_cast<IDirect3DTexture9*>(nullptr));
  Dirty(kDirtyEverything);
}

HRESULT GLDevice::DrawScreenQuad(IDirect3DTexture9* texture, const float xy[4][2],
                                 const float uv[4][2], D3DCOLOR color) {
  if (m_screenDepth == 0 || (texture && !dynamic_cast<GLTexture*>(texture)))
    return D3DERR_INVALIDCALL;
  if (texture != m_textures[0]) Dirty(GLPipeline::kDirtyMode);
  Rebind(m_textures[0], texture);
  if (!m_core->MakeCurrent()) return D3DERR_INVALIDCALL;
  VertexPNDT quad[4];
  for (int i = 0; i < 4; ++i) {
    quad[i].x = xy[i][0];
    quad[i].y = xy[i][1];
    quad[i].diffuse = color;
    quad[i].u = uv[i][0];
    quad[i].v = uv[i][1];
  }
  auto& gl = m_core->m_gl;
  gl.glBindBuffer(GL_ARRAY_BUFFER, m_quadVbo);
  gl.glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STREAM_DRAW);
  // The quad's own stream, set directly rather than through SetStreamSource.
  IDirect3DVertexBuffer9* stream = m_stream;
  const UINT offset = m_streamOffset, stride = m_streamStride;
  const DWORD fvf = m_fvf;
  m_streamOffset = 0;
  m_streamStride = sizeof(VertexPNDT);
  m_fvf = VertexPNDT_FVF;
  Dirty(kDirtyLayout);
  ApplyForDraw(m_quadVbo);
  gl.glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  Dirty(kDirtyLayout);
  m_stream = stream;
  m_streamOffset = offset;
  m_streamStride = stride;
  m_fvf = fvf;
  return D3D_OK;
}

