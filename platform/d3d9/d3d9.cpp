// Reference counting, the process's Direct3D factory and Direct3D 9's
// initial state.
#include "platform/d3d9/d3d9.h"

#include <cstring>
#include <utility>

ULONG IUnknown::Release() {
  const ULONG left = --m_refCount;
  if (left == 0) delete this;
  return left;
}

DWORD FloatToDWORD(float f) {
  DWORD d;
  std::memcpy(&d, &f, sizeof d);
  return d;
}

float DWORDToFloat(DWORD d) {
  float f;
  std::memcpy(&f, &d, sizeof f);
  return f;
}

namespace {
Direct3DFactory& Factory() {
  static Direct3DFactory factory;
  return factory;
}
}  // namespace

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION || !Factory()) return nullptr;
  return Factory()();
}

Direct3DFactory SetDirect3DFactory(Direct3DFactory factory) {
  return std::exchange(Factory(), std::move(factory));
}

DWORD D3DDefaultRenderState(D3DRENDERSTATETYPE state, bool autoDepthStencil) {
  switch (state) {
    case D3DRS_ZENABLE: return autoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    case D3DRS_FILLMODE: return D3DFILL_SOLID;
    case D3DRS_SHADEMODE: return D3DSHADE_GOURAUD;
    case D3DRS_ZWRITEENABLE: return 1;
    case D3DRS_SRCBLEND: return D3DBLEND_ONE;
    case D3DRS_DESTBLEND: return D3DBLEND_ZERO;
    case D3DRS_CULLMODE: return D3DCULL_CCW;
    case D3DRS_ZFUNC: return D3DCMP_LESSEQUAL;
    case D3DRS_ALPHAFUNC: return D3DCMP_ALWAYS;
    case D3DRS_FOGEND: return FloatToDWORD(1.0f);
    case D3DRS_FOGDENSITY: return FloatToDWORD(1.0f);
    case D3DRS_TEXTUREFACTOR: return 0xFFFFFFFFu;
    case D3DRS_LIGHTING: return 1;
    case D3DRS_COLORVERTEX: return 1;
    case D3DRS_LOCALVIEWER: return 1;
    case D3DRS_DIFFUSEMATERIALSOURCE: return D3DMCS_COLOR1;
    case D3DRS_SPECULARMATERIALSOURCE: return D3DMCS_COLOR2;
    case D3DRS_AMBIENTMATERIALSOURCE: return D3DMCS_MATERIAL;
    case D3DRS_EMISSIVEMATERIALSOURCE: return D3DMCS_MATERIAL;
    case D3DRS_MULTISAMPLEANTIALIAS: return 1;
    case D3DRS_COLORWRITEENABLE: return 0xF;
    case D3DRS_BLENDOP: return D3DBLENDOP_ADD;
    default: return 0;  // off, zero colours, fog start 0.0, FOG*MODE none
  }
}

DWORD D3DDefaultTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
  switch (type) {
    case D3DTSS_COLOROP: return stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    case D3DTSS_ALPHAOP: return stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    case D3DTSS_COLORARG1:
    case D3DTSS_ALPHAARG1: return D3DTA_TEXTURE;
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG2: return D3DTA_CURRENT;
    case D3DTSS_TEXCOORDINDEX: return stage;
    default: return 0;
  }
}

DWORD D3DDefaultSamplerState(D3DSAMPLERSTATETYPE type) {
  switch (type) {
    case D3DSAMP_ADDRESSU:
    case D3DSAMP_ADDRESSV:
    case D3DSAMP_ADDRESSW: return D3DTADDRESS_WRAP;
    case D3DSAMP_MAGFILTER:
    case D3DSAMP_MINFILTER: return D3DTEXF_POINT;
    case D3DSAMP_MIPFILTER: return D3DTEXF_NONE;
    case D3DSAMP_MAXANISOTROPY: return 1;
    default: return 0;
  }
}

UINT D3DFormatBytesPerTexel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_X8B8G8R8: return 4;
    default: return 0;
  }
}
