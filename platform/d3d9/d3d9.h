#pragma once
// The Direct3D 9 shaped device the engine draws with: types, states and
// constants with their Direct3D 9 names and values, and the abstract
// interfaces of the Direct3D object, the device and its resources.
//
// Only what the engine and the programs call is here. Two back ends implement
// it: OpenGL 3.3 (platform/d3d9/gl/gl_device.h) and a recording device for tests
// (platform/d3d9/recording/recording_device.h). Which one Direct3DCreate9 makes is a process
// setting (SetDirect3DFactory).
//
// Sections: result codes - enumerations and constants - records - the window
// seam - reference counting - resources - the device - the Direct3D object -
// creation - defaults
#include <functional>
#include <utility>

#include "platform/d3d9/d3dx_math.h"
#include "platform/win_types.h"

using ULONG = std::uint32_t;

// ---- result codes ------------------------------------------------------------
constexpr HRESULT MakeD3DResult(unsigned code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT D3D_OK = S_OK;
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = MakeD3DResult(2072);
constexpr HRESULT D3DERR_DRIVERINTERNALERROR = MakeD3DResult(2087);  // 0x88760827
constexpr HRESULT D3DERR_NOTFOUND = MakeD3DResult(2150);
constexpr HRESULT D3DERR_DEVICELOST = MakeD3DResult(2152);      // 0x88760868
constexpr HRESULT D3DERR_DEVICENOTRESET = MakeD3DResult(2153);  // 0x88760869
constexpr HRESULT D3DERR_NOTAVAILABLE = MakeD3DResult(2154);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = MakeD3DResult(380);
constexpr HRESULT D3DERR_INVALIDCALL = MakeD3DResult(2156);

// ---- enumerations and constants ----------------------------------------------
constexpr UINT D3D_SDK_VERSION = 32;
constexpr UINT D3DADAPTER_DEFAULT = 0;

using D3DFORMAT = DWORD;
constexpr D3DFORMAT D3DFMT_UNKNOWN = 0;
constexpr D3DFORMAT D3DFMT_R8G8B8 = 20;
constexpr D3DFORMAT D3DFMT_A8R8G8B8 = 21;
constexpr D3DFORMAT D3DFMT_X8R8G8B8 = 22;
constexpr D3DFORMAT D3DFMT_R5G6B5 = 23;
constexpr D3DFORMAT D3DFMT_A8B8G8R8 = 32;  // one DWORD per texel: A<<24 | B<<16 | G<<8 | R
constexpr D3DFORMAT D3DFMT_X8B8G8R8 = 33;
constexpr D3DFORMAT D3DFMT_D32 = 71;
constexpr D3DFORMAT D3DFMT_D15S1 = 73;
constexpr D3DFORMAT D3DFMT_D24S8 = 75;
constexpr D3DFORMAT D3DFMT_D24X8 = 77;
constexpr D3DFORMAT D3DFMT_D24X4S4 = 79;
constexpr D3DFORMAT D3DFMT_D16 = 80;
constexpr D3DFORMAT D3DFMT_VERTEXDATA = 100;
constexpr D3DFORMAT D3DFMT_INDEX16 = 101;
constexpr D3DFORMAT D3DFMT_INDEX32 = 102;

using D3DDEVTYPE = DWORD;
constexpr D3DDEVTYPE D3DDEVTYPE_HAL = 1;
constexpr D3DDEVTYPE D3DDEVTYPE_REF = 2;

using D3DRESOURCETYPE = DWORD;
constexpr D3DRESOURCETYPE D3DRTYPE_SURFACE = 1;
constexpr D3DRESOURCETYPE D3DRTYPE_TEXTURE = 3;
constexpr D3DRESOURCETYPE D3DRTYPE_VERTEXBUFFER = 6;
constexpr D3DRESOURCETYPE D3DRTYPE_INDEXBUFFER = 7;

using D3DPOOL = DWORD;
constexpr D3DPOOL D3DPOOL_DEFAULT = 0;
constexpr D3DPOOL D3DPOOL_MANAGED = 1;
constexpr D3DPOOL D3DPOOL_SYSTEMMEM = 2;

// Usage flags.
constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;
constexpr DWORD D3DUSAGE_AUTOGENMIPMAP = 0x400;

// Lock flags.
constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_NOSYSLOCK = 0x800;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;

// Clear flags.
constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

// Device creation flags.
constexpr DWORD D3DCREATE_FPU_PRESERVE = 0x2;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;

using D3DMULTISAMPLE_TYPE = DWORD;  // 0 none, 1 non-maskable, 2..16 samples
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_NONE = 0;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_NONMASKABLE = 1;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_2_SAMPLES = 2;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_4_SAMPLES = 4;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_8_SAMPLES = 8;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_16_SAMPLES = 16;

using D3DSWAPEFFECT = DWORD;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_DISCARD = 1;
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;  // wait for the vertical blank
constexpr UINT D3DPRESENT_INTERVAL_ONE = 1;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

using D3DBACKBUFFER_TYPE = DWORD;
constexpr D3DBACKBUFFER_TYPE D3DBACKBUFFER_TYPE_MONO = 0;

using D3DPRIMITIVETYPE = DWORD;
constexpr D3DPRIMITIVETYPE D3DPT_POINTLIST = 1;
constexpr D3DPRIMITIVETYPE D3DPT_LINELIST = 2;
constexpr D3DPRIMITIVETYPE D3DPT_LINESTRIP = 3;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLELIST = 4;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLESTRIP = 5;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLEFAN = 6;

using D3DTRANSFORMSTATETYPE = DWORD;
constexpr D3DTRANSFORMSTATETYPE D3DTS_VIEW = 2;
constexpr D3DTRANSFORMSTATETYPE D3DTS_PROJECTION = 3;
constexpr D3DTRANSFORMSTATETYPE D3DTS_TEXTURE0 = 16;
constexpr D3DTRANSFORMSTATETYPE D3DTS_WORLD = 256;

// Flexible vertex format bits.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;

// Render states. Values not listed are not supported by the back ends.
using D3DRENDERSTATETYPE = DWORD;
constexpr D3DRENDERSTATETYPE D3DRS_ZENABLE = 7;
constexpr D3DRENDERSTATETYPE D3DRS_FILLMODE = 8;
constexpr D3DRENDERSTATETYPE D3DRS_SHADEMODE = 9;
constexpr D3DRENDERSTATETYPE D3DRS_ZWRITEENABLE = 14;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHATESTENABLE = 15;
constexpr D3DRENDERSTATETYPE D3DRS_SRCBLEND = 19;
constexpr D3DRENDERSTATETYPE D3DRS_DESTBLEND = 20;
constexpr D3DRENDERSTATETYPE D3DRS_CULLMODE = 22;
constexpr D3DRENDERSTATETYPE D3DRS_ZFUNC = 23;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHAREF = 24;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHAFUNC = 25;
constexpr D3DRENDERSTATETYPE D3DRS_DITHERENABLE = 26;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHABLENDENABLE = 27;
constexpr D3DRENDERSTATETYPE D3DRS_FOGENABLE = 28;
constexpr D3DRENDERSTATETYPE D3DRS_SPECULARENABLE = 29;
constexpr D3DRENDERSTATETYPE D3DRS_FOGCOLOR = 34;
constexpr D3DRENDERSTATETYPE D3DRS_FOGTABLEMODE = 35;
constexpr D3DRENDERSTATETYPE D3DRS_FOGSTART = 36;    // float bit pattern
constexpr D3DRENDERSTATETYPE D3DRS_FOGEND = 37;      // float bit pattern
constexpr D3DRENDERSTATETYPE D3DRS_FOGDENSITY = 38;  // float bit pattern
constexpr D3DRENDERSTATETYPE D3DRS_RANGEFOGENABLE = 48;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILENABLE = 52;
constexpr D3DRENDERSTATETYPE D3DRS_TEXTUREFACTOR = 60;
constexpr D3DRENDERSTATETYPE D3DRS_LIGHTING = 137;
constexpr D3DRENDERSTATETYPE D3DRS_AMBIENT = 139;
constexpr D3DRENDERSTATETYPE D3DRS_FOGVERTEXMODE = 140;
constexpr D3DRENDERSTATETYPE D3DRS_COLORVERTEX = 141;
constexpr D3DRENDERSTATETYPE D3DRS_LOCALVIEWER = 142;
constexpr D3DRENDERSTATETYPE D3DRS_NORMALIZENORMALS = 143;
constexpr D3DRENDERSTATETYPE D3DRS_DIFFUSEMATERIALSOURCE = 145;
constexpr D3DRENDERSTATETYPE D3DRS_SPECULARMATERIALSOURCE = 146;
constexpr D3DRENDERSTATETYPE D3DRS_AMBIENTMATERIALSOURCE = 147;
constexpr D3DRENDERSTATETYPE D3DRS_EMISSIVEMATERIALSOURCE = 148;
constexpr D3DRENDERSTATETYPE D3DRS_MULTISAMPLEANTIALIAS = 161;
constexpr D3DRENDERSTATETYPE D3DRS_COLORWRITEENABLE = 168;
constexpr D3DRENDERSTATETYPE D3DRS_BLENDOP = 171;
constexpr D3DRENDERSTATETYPE D3DRS_SCISSORTESTENABLE = 174;
constexpr DWORD D3DRS_COUNT = 256;  // render states are below this

using D3DZBUFFERTYPE = DWORD;
constexpr D3DZBUFFERTYPE D3DZB_FALSE = 0;
constexpr D3DZBUFFERTYPE D3DZB_TRUE = 1;

using D3DFILLMODE = DWORD;
constexpr D3DFILLMODE D3DFILL_POINT = 1;
constexpr D3DFILLMODE D3DFILL_WIREFRAME = 2;
constexpr D3DFILLMODE D3DFILL_SOLID = 3;

using D3DSHADEMODE = DWORD;
constexpr D3DSHADEMODE D3DSHADE_FLAT = 1;
constexpr D3DSHADEMODE D3DSHADE_GOURAUD = 2;

using D3DBLEND = DWORD;
constexpr D3DBLEND D3DBLEND_ZERO = 1;
constexpr D3DBLEND D3DBLEND_ONE = 2;
constexpr D3DBLEND D3DBLEND_SRCCOLOR = 3;
constexpr D3DBLEND D3DBLEND_INVSRCCOLOR = 4;
constexpr D3DBLEND D3DBLEND_SRCALPHA = 5;
constexpr D3DBLEND D3DBLEND_INVSRCALPHA = 6;
constexpr D3DBLEND D3DBLEND_DESTALPHA = 7;
constexpr D3DBLEND D3DBLEND_INVDESTALPHA = 8;
constexpr D3DBLEND D3DBLEND_DESTCOLOR = 9;
constexpr D3DBLEND D3DBLEND_INVDESTCOLOR = 10;

using D3DBLENDOP = DWORD;
constexpr D3DBLENDOP D3DBLENDOP_ADD = 1;

// D3DCULL_CCW (the default) culls faces whose vertices appear counter-clockwise
// on screen: clockwise faces are the front faces.
using D3DCULL = DWORD;
constexpr D3DCULL D3DCULL_NONE = 1;
constexpr D3DCULL D3DCULL_CW = 2;
constexpr D3DCULL D3DCULL_CCW = 3;

using D3DCMPFUNC = DWORD;
constexpr D3DCMPFUNC D3DCMP_NEVER = 1;
constexpr D3DCMPFUNC D3DCMP_LESS = 2;
constexpr D3DCMPFUNC D3DCMP_EQUAL = 3;
constexpr D3DCMPFUNC D3DCMP_LESSEQUAL = 4;
constexpr D3DCMPFUNC D3DCMP_GREATER = 5;
constexpr D3DCMPFUNC D3DCMP_NOTEQUAL = 6;
constexpr D3DCMPFUNC D3DCMP_GREATEREQUAL = 7;
constexpr D3DCMPFUNC D3DCMP_ALWAYS = 8;

using D3DFOGMODE = DWORD;
constexpr D3DFOGMODE D3DFOG_NONE = 0;
constexpr D3DFOGMODE D3DFOG_EXP = 1;
constexpr D3DFOGMODE D3DFOG_EXP2 = 2;
constexpr D3DFOGMODE D3DFOG_LINEAR = 3;

using D3DMATERIALCOLORSOURCE = DWORD;
constexpr D3DMATERIALCOLORSOURCE D3DMCS_MATERIAL = 0;
constexpr D3DMATERIALCOLORSOURCE D3DMCS_COLOR1 = 1;  // vertex diffuse colour
constexpr D3DMATERIALCOLORSOURCE D3DMCS_COLOR2 = 2;  // vertex specular colour

// Texture-stage states.
using D3DTEXTURESTAGESTATETYPE = DWORD;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLOROP = 1;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG1 = 2;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG2 = 3;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAOP = 4;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG1 = 5;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG2 = 6;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_TEXCOORDINDEX = 11;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_TEXTURETRANSFORMFLAGS = 24;
constexpr DWORD D3DTSS_COUNT = 33;     // texture-stage states are below this
constexpr DWORD D3DTEXTURESTAGES = 8;  // stages (and samplers) 0..7

using D3DTEXTUREOP = DWORD;
constexpr D3DTEXTUREOP D3DTOP_DISABLE = 1;
constexpr D3DTEXTUREOP D3DTOP_SELECTARG1 = 2;
constexpr D3DTEXTUREOP D3DTOP_SELECTARG2 = 3;
constexpr D3DTEXTUREOP D3DTOP_MODULATE = 4;
constexpr D3DTEXTUREOP D3DTOP_MODULATE2X = 5;
constexpr D3DTEXTUREOP D3DTOP_MODULATE4X = 6;
constexpr D3DTEXTUREOP D3DTOP_ADD = 7;
constexpr D3DTEXTUREOP D3DTOP_ADDSIGNED = 8;
constexpr D3DTEXTUREOP D3DTOP_SUBTRACT = 10;

// Texture arguments.
constexpr DWORD D3DTA_SELECTMASK = 0x0F;
constexpr DWORD D3DTA_DIFFUSE = 0x00;
constexpr DWORD D3DTA_CURRENT = 0x01;
constexpr DWORD D3DTA_TEXTURE = 0x02;
constexpr DWORD D3DTA_TFACTOR = 0x03;
constexpr DWORD D3DTA_SPECULAR = 0x04;
constexpr DWORD D3DTA_COMPLEMENT = 0x10;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x20;

// Sampler states.
using D3DSAMPLERSTATETYPE = DWORD;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_ADDRESSU = 1;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_ADDRESSV = 2;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_ADDRESSW = 3;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_BORDERCOLOR = 4;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_MAGFILTER = 5;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_MINFILTER = 6;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_MIPFILTER = 7;
constexpr D3DSAMPLERSTATETYPE D3DSAMP_MAXANISOTROPY = 10;
constexpr DWORD D3DSAMP_COUNT = 14;  // sampler states are below this

using D3DTEXTUREFILTERTYPE = DWORD;
constexpr D3DTEXTUREFILTERTYPE D3DTEXF_NONE = 0;
constexpr D3DTEXTUREFILTERTYPE D3DTEXF_POINT = 1;
constexpr D3DTEXTUREFILTERTYPE D3DTEXF_LINEAR = 2;
constexpr D3DTEXTUREFILTERTYPE D3DTEXF_ANISOTROPIC = 3;

using D3DTEXTUREADDRESS = DWORD;
constexpr D3DTEXTUREADDRESS D3DTADDRESS_WRAP = 1;
constexpr D3DTEXTUREADDRESS D3DTADDRESS_MIRROR = 2;
constexpr D3DTEXTUREADDRESS D3DTADDRESS_CLAMP = 3;
constexpr D3DTEXTUREADDRESS D3DTADDRESS_BORDER = 4;

using D3DLIGHTTYPE = DWORD;
constexpr D3DLIGHTTYPE D3DLIGHT_POINT = 1;
constexpr D3DLIGHTTYPE D3DLIGHT_SPOT = 2;
constexpr D3DLIGHTTYPE D3DLIGHT_DIRECTIONAL = 3;
constexpr DWORD D3DMAXLIGHTS = 8;  // light slots 0..7

// ---- records -------------------------------------------------------------------
using D3DMATRIX = D3DXMATRIX;
using D3DVECTOR = D3DXVECTOR3;

struct D3DCOLORVALUE {
  float r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const D3DCOLORVALUE&, const D3DCOLORVALUE&) = default;
};

struct D3DRECT {
  LONG x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// A directional light shines along Direction (world space); point and spot
// lights are declared for completeness but only directional lights are drawn.
struct D3DLIGHT9 {
  D3DLIGHTTYPE Type = 0;
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Ambient;
  D3DVECTOR Position;
  D3DVECTOR Direction;
  float Range = 0;
  float Falloff = 0;
  float Attenuation0 = 0;
  float Attenuation1 = 0;
  float Attenuation2 = 0;
  float Theta = 0;
  float Phi = 0;
  friend bool operator==(const D3DLIGHT9&, const D3DLIGHT9&) = default;
};

struct D3DMATERIAL9 {
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Ambient;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Emissive;
  float Power = 0;
  friend bool operator==(const D3DMATERIAL9&, const D3DMATERIAL9&) = default;
};

struct D3DVIEWPORT9 {
  DWORD X = 0, Y = 0, Width = 0, Height = 0;
  float MinZ = 0, MaxZ = 1;
  friend bool operator==(const D3DVIEWPORT9&, const D3DVIEWPORT9&) = default;
};

class HostWindow;
using HWND = HostWindow*;

struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth = 0;
  UINT BackBufferHeight = 0;
  D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;  // UNKNOWN: the display's format
  UINT BackBufferCount = 0;
  D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
  DWORD MultiSampleQuality = 0;
  D3DSWAPEFFECT SwapEffect = 0;
  HWND hDeviceWindow = nullptr;
  BOOL Windowed = 0;
  BOOL EnableAutoDepthStencil = 0;
  D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
  DWORD Flags = 0;
  UINT FullScreen_RefreshRateInHz = 0;
  UINT PresentationInterval = 0;
  friend bool operator==(const D3DPRESENT_PARAMETERS&, const D3DPRESENT_PARAMETERS&) = default;
};

struct D3DDISPLAYMODE {
  UINT Width = 0;
  UINT Height = 0;
  UINT RefreshRate = 0;
  D3DFORMAT Format = D3DFMT_UNKNOWN;
  friend bool operator==(const D3DDISPLAYMODE&, const D3DDISPLAYMODE&) = default;
};

struct LARGE_INTEGER_PARTS {
  DWORD LowPart = 0;
  LONG HighPart = 0;
};

// Texts are zero-terminated; numbers a back end does not know are 0.
struct D3DADAPTER_IDENTIFIER9 {
  char Driver[512] = {};
  char Description[512] = {};
  char DeviceName[32] = {};
  LARGE_INTEGER_PARTS DriverVersion;
  DWORD VendorId = 0;
  DWORD DeviceId = 0;
  DWORD SubSysId = 0;
  DWORD Revision = 0;
  DWORD WHQLLevel = 0;
};

// Only the capabilities the programs read.
struct D3DCAPS9 {
  D3DDEVTYPE DeviceType = 0;
  UINT AdapterOrdinal = 0;
  DWORD MaxTextureWidth = 0;
  DWORD MaxTextureHeight = 0;
  DWORD MaxActiveLights = 0;
  DWORD VertexProcessingCaps = 0;  // non-zero: hardware vertex processing works
  DWORD MaxVertexIndex = 0;        // 0xFFFF: 16-bit indices only
};

struct D3DSURFACE_DESC {
  D3DFORMAT Format = D3DFMT_UNKNOWN;
  D3DRESOURCETYPE Type = 0;
  DWORD Usage = 0;
  D3DPOOL Pool = 0;
  D3DMULTISAMPLE_TYPE MultiSampleType = 0;
  DWORD MultiSampleQuality = 0;
  UINT Width = 0;
  UINT Height = 0;
};

struct D3DLOCKED_RECT {
  INT Pitch = 0;          // bytes from one row to the next
  void* pBits = nullptr;  // first texel of the locked rectangle
};

struct D3DVERTEXBUFFER_DESC {
  D3DFORMAT Format = D3DFMT_VERTEXDATA;
  D3DRESOURCETYPE Type = D3DRTYPE_VERTEXBUFFER;
  DWORD Usage = 0;
  D3DPOOL Pool = 0;
  UINT Size = 0;
  DWORD FVF = 0;
};

struct D3DINDEXBUFFER_DESC {
  D3DFORMAT Format = D3DFMT_INDEX16;
  D3DRESOURCETYPE Type = D3DRTYPE_INDEXBUFFER;
  DWORD Usage = 0;
  D3DPOOL Pool = 0;
  UINT Size = 0;
};

// The one vertex format every mesh uses: 36 bytes, FVF 0x152, stride 36.
struct VertexPNDT {
  float x = 0, y = 0, z = 0;     // position
  float nx = 0, ny = 0, nz = 0;  // normal
  D3DCOLOR diffuse = 0;          // 0xAARRGGBB
  float u = 0, v = 0;            // texture coordinate
};
constexpr DWORD VertexPNDT_FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
static_assert(sizeof(VertexPNDT) == 36);
static_assert(VertexPNDT_FVF == 0x152);

// Floats travel through SetRenderState as their bit patterns.
DWORD FloatToDWORD(float f);
float DWORDToFloat(DWORD d);

// ---- the window seam -------------------------------------------------------------
// A window a device renders for: the stand-in for a window handle. The GL
// hosting widget implements it; tests use RecordingWindow. Sizes are in
// device pixels (the back buffer's unit), not the layout pixels of the
// cursor and the 2D layer.
class HostWindow {
 public:
  virtual ~HostWindow() = default;
  // The client area, left = top = 0; false when the window cannot tell (the
  // rectangle is then left alone). A minimised window answers 0 x 0.
  virtual bool GetClientRect(RECT* out) const = 0;
  // Width and height of the screen the window is on (SM_CXSCREEN, SM_CYSCREEN).
  virtual SIZE GetScreenSize() const = 0;
  // The desktop's scale factor for the window: device pixels per layout
  // (logical) pixel (1 on a 96-dpi desktop, 2 at 192 dpi; fractional factors too).
  virtual double GetScaleFactor() const { return 1.0; }
};

// ---- reference counting -----------------------------------------------------------
// Every interface object starts with one reference; Release deletes it when the
// last one goes and answers the references left.
class IUnknown {
 public:
  IUnknown(const IUnknown&) = delete;
  IUnknown& operator=(const IUnknown&) = delete;
  ULONG AddRef() { return ++m_refCount; }
  ULONG Release();

 protected:
  IUnknown() = default;
  virtual ~IUnknown() = default;

 private:
  ULONG m_refCount = 1;
};

// ---- resources ----------------------------------------------------------------------
// Every resource keeps a CPU copy of its contents (the managed pool): locks
// hand out pointers into it, and a back end uploads what changed when a draw
// next uses the resource. Contents survive Reset.

// A 2D array of texels: a texture level or the back buffer.
class IDirect3DSurface9 : public IUnknown {
 public:
  virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
  // rect null: the whole surface. Only texture levels can be locked; the back
  // buffer answers D3DERR_INVALIDCALL. Locking a locked surface fails.
  virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

// Texels are 32-bit (D3DFMT_A8B8G8R8 or D3DFMT_A8R8G8B8), rows of Width x 4
// bytes. With D3DUSAGE_AUTOGENMIPMAP the texture has one level and the back
// end derives the smaller levels itself.
class IDirect3DTexture9 : public IUnknown {
 public:
  virtual DWORD GetLevelCount() = 0;
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  // A surface sharing the level's texels; it keeps the texture alive.
  virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
  // As IDirect3DSurface9::LockRect on the level.
  virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(UINT level) = 0;
};

// Lock(offset, size 0 = to the end, ...) answers a pointer to byte offset.
// Locks nest; each needs its Unlock. A range past the end is
// D3DERR_INVALIDCALL. Without D3DLOCK_READONLY the range counts as changed.
class IDirect3DVertexBuffer9 : public IUnknown {
 public:
  virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

class IDirect3DIndexBuffer9 : public IUnknown {
 public:
  virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

// ---- the device -------------------------------------------------------------------------
class ID3DXSprite;
class ID3DXFont;
struct D3DXFONT_DESCA;
using HANDLE = void*;

// The one device of a program. Its fixed-function state starts at Direct3D 9's
// defaults (D3DDefaultRenderState and friends below) and is kept across Reset.
// Both back ends answer through one front end (platform/d3d9/d3d9_front_end.h,
// which lists the answers taken from Direct3D 9): a Set call within range
// stores its value whatever it is, Get answers the stored value, and a call
// out of range answers D3DERR_INVALIDCALL and changes nothing.
class IDirect3DDevice9 : public IUnknown {
 public:
  // D3D_OK, D3DERR_DEVICELOST (cannot be reset yet) or D3DERR_DEVICENOTRESET.
  virtual HRESULT TestCooperativeLevel() = 0;
  // New back buffer size, format, multisample and present interval; state,
  // resources, sprites and fonts survive. The viewport becomes the whole back
  // buffer. A failed reset leaves the device lost.
  virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
  // Shows the back buffer. May answer D3DERR_DEVICELOST or
  // D3DERR_DRIVERINTERNALERROR. The rectangles, window and region must be null.
  virtual HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                          const void* dirtyRegion) = 0;
  // Back buffer 0 of swap chain 0: a surface to describe (not lockable).
  virtual HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                IDirect3DSurface9** surface) = 0;
  // Rectangles are not supported: count must be 0 and rects null.
  // D3DCLEAR_ZBUFFER and D3DCLEAR_STENCIL need a depth buffer with that part.
  virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                        DWORD stencil) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;

  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
  // sampler and stage below D3DTEXTURESTAGES.
  virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
  virtual HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
  virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;
  // The device holds a reference to the bound texture; null unbinds (a stage
  // without a texture reads opaque white).
  virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL9* material) = 0;
  virtual HRESULT GetMaterial(D3DMATERIAL9* material) = 0;
  // index below D3DMAXLIGHTS. GetLight and GetLightEnable of a light never
  // set answer D3DERR_INVALIDCALL; LightEnable of it sets the default light
  // (directional, white, along +z) first.
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT9* light) = 0;
  virtual HRESULT GetLight(DWORD index, D3DLIGHT9* light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT GetLightEnable(DWORD index, BOOL* enable) = 0;
  // Inside the back buffer, with 0 <= MinZ <= MaxZ <= 1.
  virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;

  // Buffers and textures; pool is D3DPOOL_MANAGED in every caller. shared must
  // be null. Zero sizes are D3DERR_INVALIDCALL, and so are 32-bit indices
  // (MaxVertexIndex is 0xFFFF). When memory runs out: E_OUTOFMEMORY (the
  // resource's bytes) or D3DERR_OUTOFVIDEOMEMORY (its storage on the
  // device), never an exception.
  virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** buffer, HANDLE* shared) = 0;
  virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer9** buffer, HANDLE* shared) = 0;
  // levels 0: the full chain down to 1 x 1 (one level with AUTOGENMIPMAP).
  virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) = 0;

  // Stream 0 only; the device holds a reference to the bound buffers.
  virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) = 0;
  // The format draws read: D3DFVF_XYZ with any of NORMAL, DIFFUSE, SPECULAR
  // and TEX1 (VertexPNDT_FVF in every mesh); the stream stride must hold a
  // vertex of it.
  virtual HRESULT SetFVF(DWORD fvf) = 0;
  virtual HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) = 0;
  // Draws happen only between BeginScene and EndScene, from unlocked buffers.
  // A draw whose upload of changed contents fails for lack of memory answers
  // D3DERR_OUTOFVIDEOMEMORY, draws nothing and tries again next time.
  // Vertices start..start + n of the stream, in order.
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
  // Indices startIndex.. of the 16-bit index buffer, each plus baseVertex
  // (which may be negative); minIndex and vertexCount bound the (local)
  // indices used, and the device checks the indices against them.
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                       UINT startIndex, UINT primitiveCount) = 0;

  // The D3DX seam: D3DXCreateSprite and D3DXCreateFontA (platform/d3d9/d3dx9.h)
  // forward here, so each back end makes its own sprites and fonts.
  virtual HRESULT CreateD3DXSprite(ID3DXSprite** sprite) = 0;
  virtual HRESULT CreateD3DXFont(const D3DXFONT_DESCA& desc, ID3DXFont** font) = 0;
};

// ---- the Direct3D object --------------------------------------------------------------------
// Adapter 0 and the HAL device are the only ones.
class IDirect3D9 : public IUnknown {
 public:
  virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) = 0;
  // The desktop mode.
  virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) = 0;
  virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) = 0;
  // D3D_OK when a resource of checkFormat with that usage can be made.
  virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
  virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                         D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) = 0;
  // qualityLevels may be null.
  virtual HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT format, BOOL windowed,
                                             D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) = 0;
  // A windowed device rendering for window. The parameters are read (and a
  // D3DFMT_UNKNOWN back-buffer format replaced by the display's); a zero back
  // buffer width or height takes the window's client size.
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) = 0;
};

// ---- creation -----------------------------------------------------------------------------------
// Makes a Direct3D object with the factory set for the process; null when the
// SDK version is not D3D_SDK_VERSION, when no factory is set or when it fails.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);
using Direct3DFactory = std::function<IDirect3D9*()>;
// Sets the factory (an empty function: none) and answers the one it
// replaces. Programs set the GL one at start-up; tests use the scoped form.
Direct3DFactory SetDirect3DFactory(Direct3DFactory factory);

// Sets a factory for the lifetime of the scope and puts the previous one back.
class ScopedDirect3DFactory {
 public:
  explicit ScopedDirect3DFactory(Direct3DFactory factory)
      : m_previous(SetDirect3DFactory(std::move(factory))) {}
  ~ScopedDirect3DFactory() { SetDirect3DFactory(std::move(m_previous)); }
  ScopedDirect3DFactory(const ScopedDirect3DFactory&) = delete;
  ScopedDirect3DFactory& operator=(const ScopedDirect3DFactory&) = delete;

 private:
  Direct3DFactory m_previous;
};

// ---- defaults -----------------------------------------------------------------------------------
// Direct3D 9's initial state, shared by the back ends. D3DRS_ZENABLE is
// D3DZB_TRUE exactly when the device has an automatic depth buffer.
DWORD D3DDefaultRenderState(D3DRENDERSTATETYPE state, bool autoDepthStencil);
DWORD D3DDefaultTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type);
DWORD D3DDefaultSamplerState(D3DSAMPLERSTATETYPE type);

// Bytes per texel of a texture or back-buffer format; 0 for formats that
// cannot be a texture.
UINT D3DFormatBytesPerTexel(D3DFORMAT format);
