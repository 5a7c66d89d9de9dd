// The apply step of the GL device, the one place that writes GL state: the
// recorded state turned into GL state and pipeline uniforms for a draw, and
// what a clear or a framebuffer copy needs. Also the screen passes of
// sprites and text, which draw through the same step.
//
// Sections: helpers - apply step - state to GL - screen passes
#include <QOpenGLFunctions>

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
  static const unsigned table[] = {GL_ALWAYS,  GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
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

// ---- apply step ---------------------------------------------------------------------------------
HRESULT GLDevice::ApplyDraw(const VertexSource& source) {
  auto& gl = m_core->m_gl;
  unsigned vbo = m_quadVbo;
  HRESULT hr = D3D_OK;
  if (source.quad) {
    m_core->BeginChecked();
    gl.glBindBuffer(GL_ARRAY_BUFFER, m_quadVbo);
    gl.glBufferData(GL_ARRAY_BUFFER, 4 * sizeof(VertexPNDT), source.quad, GL_STREAM_DRAW);
    hr = m_core->EndChecked();
  } else {
    hr = source.buffer->Upload(&vbo);
  }
  if (FAILED(hr)) return hr;
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  ApplyViewport();
  if (m_dirty & kDirtyFixed) ApplyFixedState();
  gl.glActiveTexture(GL_TEXTURE0);
  gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  if (auto* texture = static_cast<GLTexture*>(BoundTexture(0))) hr = texture->Bind();
  if (FAILED(hr)) return hr;
  if (m_dirty & kDirtySampler) ApplySampler();
  gl.glBindVertexArray(m_vao);
  const Layout layout{vbo, source.offset, source.stride, source.fvf};
  if ((m_dirty & kDirtyLayout) || !(layout == m_layout)) ApplyVertexLayout(vbo, source);
  unsigned ibo = 0;
  if (source.indices) hr = source.indices->Upload(&ibo);  // binds it to the vertex array
  if (FAILED(hr)) return hr;
  m_pipeline.Apply(m_pipelineState, BuildPipelineState(m_dirty & GLPipeline::kDirtyAll));
  m_dirty = 0;
  return D3D_OK;
}

void GLDevice::ApplyClear(DWORD flags, D3DCOLOR color, float z, DWORD stencil, int x, int y, int width,
                          int height) {
  auto& gl = m_core->m_gl;
  gl.glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
  gl.glEnable(GL_SCISSOR_TEST);
  gl.glScissor(x, y, width, height);
  if (flags & D3DCLEAR_TARGET) {
    const auto c = ColorOf(color);
    gl.glColorMask(1, 1, 1, 1);
    gl.glClearColor(c[0], c[1], c[2], 1.0f);  // X8R8G8B8: alpha is always opaque
  }
  if (flags & D3DCLEAR_ZBUFFER) {
    gl.glDepthMask(1);
    gl.glClearDepth(z);
  }
  if (flags & D3DCLEAR_STENCIL) {
    gl.glStencilMask(0xFF);
    gl.glClearStencil(static_cast<int>(stencil));
  }
  Dirty(kDirtyFixed);  // the next draw puts scissor and masks back
}

void GLDevice::ApplyBlit(unsigned readFbo, unsigned drawFbo) {
  auto& gl = m_core->m_gl;
  gl.glDisable(GL_SCISSOR_TEST);
  gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, readFbo);
  gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, drawFbo);
  gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
  Dirty(kDirtyFixed);
}

void GLDevice::ApplyVertexLayout(unsigned vbo, const VertexSource& source) {
  auto& gl = m_core->m_gl;
  gl.glBindBuffer(GL_ARRAY_BUFFER, vbo);
  m_layout = Layout{vbo, source.offset, source.stride, source.fvf};
  const int stride = static_cast<int>(source.stride);
  uintptr_t offset = source.offset;
  auto attribute = [&](unsigned loc, bool present, int size, unsigned type, bool normalized, unsigned bytes,
                       std::array<float, 4> missing) {
    if (present) {
      gl.glEnableVertexAttribArray(loc);
      gl.glVertexAttribPointer(loc, size, type, normalized, stride, reinterpret_cast<const void*>(offset));
      offset += bytes;
    } else {
      gl.glDisableVertexAttribArray(loc);
      m_core->m_context.functions()->glVertexAttrib4f(loc, missing[0], missing[1], missing[2], missing[3]);
    }
  };
  const DWORD fvf = source.fvf;
  attribute(kAttrPosition, fvf & D3DFVF_XYZ, 3, GL_FLOAT, false, 12, {0, 0, 0, 1});
  attribute(kAttrNormal, fvf & D3DFVF_NORMAL, 3, GL_FLOAT, false, 12, {0, 0, 0, 0});
  // D3DCOLOR bytes in memory are B, G, R, A.
  attribute(kAttrDiffuse, fvf & D3DFVF_DIFFUSE, GL_BGRA, GL_UNSIGNED_BYTE, true, 4, {1, 1, 1, 1});
  if (fvf & D3DFVF_SPECULAR) offset += 4;
  attribute(kAttrTexCoord, (fvf & 0xF00) != 0, 2, GL_FLOAT, false, 8, {0, 0, 0, 0});
}

void GLDevice::ApplyViewport() {
  if (!(m_dirty & kDirtyViewport)) return;
  const D3DVIEWPORT9& v = State().viewport;
  auto& gl = m_core->m_gl;
  if (m_screenSpace) {
    gl.glViewport(0, 0, static_cast<int>(BackBufferWidth()), static_cast<int>(BackBufferHeight()));
    gl.glDepthRange(0, 1);
  } else {
    gl.glViewport(static_cast<int>(v.X),
                  static_cast<int>(BackBufferHeight()) - static_cast<int>(v.Y + v.Height),
                  static_cast<int>(v.Width), static_cast<int>(v.Height));
    gl.glDepthRange(v.MinZ, v.MaxZ);
  }
  m_dirty &= ~kDirtyViewport;
}

// ---- state to GL -------------------------------------------------------------------------------
void GLDevice::ApplyFixedState() {
  auto& gl = m_core->m_gl;
  const DWORD* rs = State().renderStates;
  auto enable = [&](unsigned cap, bool on) { on ? gl.glEnable(cap) : gl.glDisable(cap); };
  const bool depth = rs[D3DRS_ZENABLE] != D3DZB_FALSE && HasDepth();
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
  gl.glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT       ? GL_POINT
                                      : fill == D3DFILL_WIREFRAME ? GL_LINE
                                                                  : GL_FILL);
  const DWORD mask = rs[D3DRS_COLORWRITEENABLE];
  // X8R8G8B8: alpha is never written, so the back buffer stays opaque.
  gl.glColorMask(mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, 0);
  enable(GL_MULTISAMPLE, rs[D3DRS_MULTISAMPLEANTIALIAS] != 0);
  gl.glDisable(GL_SCISSOR_TEST);
  gl.glDisable(GL_STENCIL_TEST);
}

void GLDevice::ApplySampler() {
  auto& gl = m_core->m_gl;
  const DWORD* s = State().samplerStates[0];
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

unsigned GLDevice::BuildPipelineState(unsigned dirty) {
  GLPipelineState& p = m_pipelineState;
  const D3DDeviceState& state = State();
  const DWORD* rs = state.renderStates;
  // A transform group counts as changed only when its matrix did: Render
  // sets the world before every sub-object, the view and projection rarely
  // change, and the view's inverse (the eye) is worked out only then.
  auto changed = [](std::array<float, 16>& kept, const D3DMATRIX& m) {
    if (std::memcmp(kept.data(), &m.m[0][0], sizeof kept) == 0) return false;
    kept = MatrixOf(m);
    return true;
  };
  if ((dirty & GLPipeline::kDirtyWorld) && !changed(p.world, state.world))
    dirty &= ~unsigned{GLPipeline::kDirtyWorld};
  if ((dirty & GLPipeline::kDirtyView) && !changed(p.view, state.view))
    dirty &= ~unsigned{GLPipeline::kDirtyView};
  if ((dirty & GLPipeline::kDirtyProjection) && !changed(p.projection, state.projection))
    dirty &= ~unsigned{GLPipeline::kDirtyProjection};
  if (dirty & GLPipeline::kDirtyWorld) {
    // Normals go through the inverse transpose of the world matrix.
    D3DXMATRIX inverse = state.world, normal;
    D3DXMatrixInverse(&inverse, nullptr, &state.world);
    D3DXMatrixTranspose(&normal, &inverse);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) p.normalMatrix[r * 3 + c] = normal.m[r][c];
  }
  if (dirty & GLPipeline::kDirtyView) {
    D3DXMATRIX viewInverse = Identity();
    D3DXMatrixInverse(&viewInverse, nullptr, &state.view);
    p.eye = {viewInverse._41, viewInverse._42, viewInverse._43};
  }
  if (dirty & GLPipeline::kDirtyMode) {
    p.screenSpace = m_screenSpace;
    p.targetWidth = static_cast<float>(BackBufferWidth());
    p.targetHeight = static_cast<float>(BackBufferHeight());
    p.lighting = rs[D3DRS_LIGHTING] != 0 && !m_screenSpace;
    p.specularEnable = rs[D3DRS_SPECULARENABLE] != 0 && p.lighting;
    p.hasTexture = BoundTexture(0) != nullptr;
    p.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    p.alphaFunc = static_cast<int>(rs[D3DRS_ALPHAFUNC]);
    p.alphaRef = static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF);
  }
  if (dirty & GLPipeline::kDirtyMaterial) {
    const D3DMATERIAL9& m = state.material;
    p.globalAmbient = ColorOf(static_cast<D3DCOLOR>(rs[D3DRS_AMBIENT]));
    p.matDiffuse = ColorOf(m.Diffuse);
    p.matAmbient = ColorOf(m.Ambient);
    p.matSpecular = ColorOf(m.Specular);
    p.matEmissive = ColorOf(m.Emissive);
    p.matPower = m.Power;
    // A material colour comes from the vertex only when it has that colour.
    const bool vertexColor = rs[D3DRS_COLORVERTEX] != 0 && (state.fvf & D3DFVF_DIFFUSE);
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
      const D3DLIGHT9& l = state.lights[i];
      if (!state.lightEnabled[i] || l.Type != D3DLIGHT_DIRECTIONAL) continue;
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
    const bool on = rs[D3DRS_FOGENABLE] != 0 && !m_screenSpace;
    p.fogMode = on ? static_cast<int>(table != D3DFOG_NONE ? table : rs[D3DRS_FOGVERTEXMODE]) : 0;
    p.rangeFog = rs[D3DRS_RANGEFOGENABLE] != 0 && table == D3DFOG_NONE;
    p.fogStart = DWORDToFloat(rs[D3DRS_FOGSTART]);
    p.fogEnd = DWORDToFloat(rs[D3DRS_FOGEND]);
    p.fogDensity = DWORDToFloat(rs[D3DRS_FOGDENSITY]);
    p.fogColor = ColorOf(static_cast<D3DCOLOR>(rs[D3DRS_FOGCOLOR]));
  }
  if (dirty & GLPipeline::kDirtyStage) {
    const DWORD* t = state.stageStates[0];
    p.colorOp = static_cast<int>(t[D3DTSS_COLOROP]);
    p.colorArg1 = static_cast<int>(t[D3DTSS_COLORARG1]);
    p.colorArg2 = static_cast<int>(t[D3DTSS_COLORARG2]);
    p.alphaOp = static_cast<int>(t[D3DTSS_ALPHAOP]);
    p.alphaArg1 = static_cast<int>(t[D3DTSS_ALPHAARG1]);
    p.alphaArg2 = static_cast<int>(t[D3DTSS_ALPHAARG2]);
    p.textureFactor = ColorOf(static_cast<D3DCOLOR>(rs[D3DRS_TEXTUREFACTOR]));
  }
  return dirty;
}

// ---- screen passes ------------------------------------------------------------------------------
void GLDevice::BeginScreenPass(bool alphaBlend) {
  if (m_screenDepth++ > 0) return;
  D3DDeviceState& state = State();
  m_saved = state;
  m_savedTexture = BoundTexture(0);
  if (m_savedTexture) m_savedTexture->AddRef();
  DWORD* rs = state.renderStates;
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
  DWORD* t = state.stageStates[0];
  t[D3DTSS_COLOROP] = t[D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
  t[D3DTSS_COLORARG1] = t[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
  t[D3DTSS_COLORARG2] = t[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
  DWORD* s = state.samplerStates[0];
  s[D3DSAMP_ADDRESSU] = s[D3DSAMP_ADDRESSV] = D3DTADDRESS_CLAMP;
  s[D3DSAMP_MINFILTER] = s[D3DSAMP_MAGFILTER] = D3DTEXF_LINEAR;
  s[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
  m_screenSpace = true;
  Dirty(kDirtyEverything);
}

void GLDevice::EndScreenPass() {
  if (m_screenDepth == 0 || --m_screenDepth > 0) return;
  State() = m_saved;
  BindTexture(0, m_savedTexture);
  if (m_savedTexture) m_savedTexture->Release();
  m_savedTexture = nullptr;
  m_screenSpace = false;
  Dirty(kDirtyEverything);
}

HRESULT GLDevice::DrawScreenQuad(IDirect3DTexture9* texture, const float xy[4][2], const float uv[4][2],
                                 D3DCOLOR color) {
  auto* own = dynamic_cast<GLTexture*>(texture);
  if (m_screenDepth == 0 || (texture && !own)) return D3DERR_INVALIDCALL;
  BindTexture(0, own);
  if (!m_core->MakeCurrent()) return D3DERR_INVALIDCALL;
  VertexPNDT quad[4];
  for (int i = 0; i < 4; ++i) {
    quad[i].x = xy[i][0];
    quad[i].y = xy[i][1];
    quad[i].diffuse = color;
    quad[i].u = uv[i][0];
    quad[i].v = uv[i][1];
  }
  VertexSource source;
  source.quad = quad;
  source.stride = sizeof(VertexPNDT);
  source.fvf = VertexPNDT_FVF;
  const HRESULT hr = ApplyDraw(source);
  if (FAILED(hr)) return hr;
  m_core->m_gl.glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  return D3D_OK;
}
