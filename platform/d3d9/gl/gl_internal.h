#pragma once
// Inside the GL back end: the shared context, the resources with their GL
// objects, the device, the sprite and the font. Only the back end's own files
// include this; everyone else uses platform/d3d9/gl/gl_device.h.
//
// Sections: small helpers - context - resources - device - sprite and font
#include <QFont>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>

#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9_front_end.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/d3d9/d3dx9.h"
#include "platform/d3d9/gl/gl_host.h"
#include "platform/d3d9/gl/gl_pipeline.h"

// ---- small helpers -------------------------------------------------------------
namespace gldetail {

// 0xAARRGGBB (or a colour value) as RGBA floats.
inline std::array<float, 4> ColorOf(D3DCOLOR c) {
  return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
          ((c >> 24) & 0xFF) / 255.0f};
}

inline std::array<float, 4> ColorOf(const D3DCOLORVALUE& c) { return {c.r, c.g, c.b, c.a}; }

inline D3DMATRIX Identity() {
  D3DMATRIX m;
  D3DXMatrixIdentity(&m);
  return m;
}

// Points slot at value, holding a reference to the new one and letting go of
// the old one.
template <class T>
void Rebind(T*& slot, T* value) {
  if (value) value->AddRef();
  if (slot) slot->Release();
  slot = value;
}

}  // namespace gldetail

// ---- context -------------------------------------------------------------------
// The device's context and the surfaces it is made current on. Resources hold
// it too, so GL names can be given back whichever goes first.
class GLCore {
 public:
  ~GLCore();
  // A 3.3 core context; window may be null (offscreen only).
  bool Create(GLSurfaceWindow* window);
  // Current on the window's surface when it has one, else on the private
  // offscreen surface; deletes names given back meanwhile. Cheap when
  // already current.
  bool MakeCurrent();
  // The window's surface when it is showing (after MakeCurrent on it).
  QSurface* ShowingSurface();
  void DeleteBufferLater(unsigned name);
  void DeleteTextureLater(unsigned name);
  // Around each GL allocation and upload: BeginChecked forgets the errors of
  // earlier calls; EndChecked answers D3DERR_OUTOFVIDEOMEMORY (counted, see
  // OutOfMemory) when the calls since raised GL_OUT_OF_MEMORY, or when the
  // allocation seam refuses this one, else D3D_OK (other errors are left
  // to the draws' own checks, as before).
  void BeginChecked();
  HRESULT EndChecked();

  QOpenGLContext m_context;
  QOpenGLFunctions_3_3_Core m_gl;
  QOffscreenSurface m_offscreen;
  GLSurfaceWindow* m_window = nullptr;
  std::vector<unsigned> m_deadBuffers, m_deadTextures;
  unsigned long long m_frames = 0;  // presents so far
  // A large buffer was uploaded or let go of its copy: the present that ends
  // the frame waits for it to be drawn and gives the heap's free pages back
  // (what building the buffer's contents and the driver's first passes over
  // it left behind).
  bool m_trimAfterFrame = false;
};
using GLCorePtr = std::shared_ptr<GLCore>;

// ---- resources -----------------------------------------------------------------------
// A buffer's GL copy; Upload sends what changed since the last upload.
//
// The GL storage is allocated when the buffer is made (Allocate), so that a
// lack of memory is answered by CreateVertexBuffer / CreateIndexBuffer; the
// uploads at the draws only copy into it. An upload that fails all the same
// leaves its range changed for the next draw, and the draw answers the
// failure.
//
// Large static buffers (not D3DUSAGE_DYNAMIC, at least kDropCopyFrom bytes)
// let go of their CPU copy once the driver has the bytes, so that they are
// not held twice: a vertex buffer right after its upload, an index buffer at
// a draw of a later frame (the draw checks read the index ranges, which are
// remembered per range after their first use, so a board's ranges are all
// known after its first frame). A lock brings the copy back by reading the
// GL buffer, and the buffer keeps it from then on.
class GLBufferObject {
 public:
  static constexpr UINT kDropCopyFrom = 64 * 1024;
  enum class Copy { kKeep, kDropAfterUpload, kDropAfterFrame };
  GLBufferObject(GLCorePtr core, Copy copy) : m_core(std::move(core)), m_copy(copy) {}
  ~GLBufferObject();
  static Copy CopyFor(DWORD usage, UINT length, Copy large) {
    return (usage & D3DUSAGE_DYNAMIC) || length < kDropCopyFrom ? Copy::kKeep : large;
  }
  // The GL storage of length bytes, bound to GL_COPY_WRITE_BUFFER only
  // (which the apply step never uses): D3D_OK, or D3DERR_OUTOFVIDEOMEMORY.
  // Without a usable context it answers D3D_OK and the first upload
  // allocates.
  HRESULT Allocate(UINT length);
  // Binds to target (GL_ARRAY_BUFFER / GL_ELEMENT_ARRAY_BUFFER) after
  // uploading the store's dirty range, then lets the store drop its copy
  // when its time has come. D3D_OK with the GL name in *name, or
  // D3DERR_OUTOFVIDEOMEMORY (the range stays changed).
  HRESULT Upload(CpuBufferStore& store, unsigned target, unsigned* name);

 private:
  // Binds GL_COPY_READ_BUFFER only (to read back), which the apply step
  // never uses.
  void DropCopy(CpuBufferStore& store);

  GLCorePtr m_core;
  unsigned m_name = 0;
  Copy m_copy;
  unsigned long long m_uploadFrame = ~0ull;  // the frame of the first upload
};

class GLVertexBuffer : public MemoryVertexBuffer {
 public:
  GLVertexBuffer(GLCorePtr core, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
      : MemoryVertexBuffer(length, usage, fvf, pool),
        m_gl(std::move(core),
             GLBufferObject::CopyFor(usage, length, GLBufferObject::Copy::kDropAfterUpload)) {}
  HRESULT Allocate() { return m_gl.Allocate(Store().Length()); }
  HRESULT Upload(unsigned* name) { return m_gl.Upload(Store(), GL_ARRAY_BUFFER, name); }

 private:
  GLBufferObject m_gl;
};

class GLIndexBuffer : public MemoryIndexBuffer {
 public:
  GLIndexBuffer(GLCorePtr core, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
      : MemoryIndexBuffer(length, usage, format, pool),
        m_gl(std::move(core), GLBufferObject::CopyFor(usage, length, GLBufferObject::Copy::kDropAfterFrame)) {
  }
  HRESULT Allocate() { return m_gl.Allocate(Store().Length()); }
  HRESULT Upload(unsigned* name) { return m_gl.Upload(Store(), GL_ELEMENT_ARRAY_BUFFER, name); }

 private:
  GLBufferObject m_gl;
};

// A texture's GL copy: every level re-sent when any changed (textures change
// rarely: once when loaded, or when a blank one is filled). As for buffers,
// the storage of every level (the whole chain of an AUTOGENMIPMAP texture,
// which the driver fills) is allocated when the texture is made.
class GLTexture : public MemoryTexture {
 public:
  GLTexture(GLCorePtr core, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
      : MemoryTexture(width, height, levels, usage, format, pool), m_core(std::move(core)) {}
  ~GLTexture() override;
  // The GL storage, leaving the active unit's binding as it was: D3D_OK or
  // D3DERR_OUTOFVIDEOMEMORY. Without a usable context the first Bind
  // allocates.
  HRESULT Allocate();
  // Uploads when changed and binds to GL_TEXTURE_2D of the active unit:
  // D3D_OK, or D3DERR_OUTOFVIDEOMEMORY (the texture stays changed).
  HRESULT Bind();

 private:
  // glTexImage2D of every level the GL texture has, with the texels or
  // without (storage only).
  void SpecifyLevels(bool withTexels);
  void SetParameters();

  GLCorePtr m_core;
  unsigned m_name = 0;
};

// ---- device --------------------------------------------------------------------------------
// The shared front end keeps the state and checks each call; this device
// marks what changed, translates the recorded state into GL state and the
// pipeline's uniforms, and draws. GL state is written only by the apply step
// (ApplyDraw, ApplyClear, ApplyBlit in gl_state.cpp); elsewhere the device
// only makes and deletes its GL objects and issues draws, clears and copies.
// Sprites and text draw through the screen pass, which swaps the recorded
// state as one struct copy and draws through the same apply step.
class GLDevice : public DeviceFrontEnd {
 public:
  // Made by GLDirect3D9::CreateDevice with the filled-in parameters; Init
  // answers D3D_OK or why not.
  GLDevice(GLCorePtr core, GLSurfaceWindow* window, const D3DPRESENT_PARAMETERS& params);
  ~GLDevice() override;
  HRESULT Init();

  // Refused inside a screen pass.
  HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
  HRESULT CreateD3DXSprite(ID3DXSprite** sprite) override;
  HRESULT CreateD3DXFont(const D3DXFONT_DESCA& desc, ID3DXFont** font) override;

  // ---- for the sprite, the font and the public helpers
  // A screen pass: the state is saved, set for drawing in device pixels
  // (blending SRCALPHA/INVSRCALPHA when alphaBlend; no lighting, fog, depth,
  // culling or alpha test; texture x colour for colour and alpha; clamped,
  // linear sampling), and put back whole by EndScreenPass. Passes nest; only
  // the outermost saves and restores.
  void BeginScreenPass(bool alphaBlend);
  void EndScreenPass();
  // One quad inside a screen pass: corners top-left, top-right, bottom-left,
  // bottom-right in device pixels with their texture coordinates.
  HRESULT DrawScreenQuad(IDirect3DTexture9* texture, const float xy[4][2], const float uv[4][2],
                         D3DCOLOR color);
  // The back buffer as shown: top row first, alpha opaque.
  bool ReadBackBuffer(QImage* image);
  UINT BackBufferWidth() const { return Params().BackBufferWidth; }
  UINT BackBufferHeight() const { return Params().BackBufferHeight; }
  const GLCorePtr& Core() const { return m_core; }
  // Every draw through the generic program (see gl_pipeline.h).
  void UseGenericProgramOnly(bool on) { m_pipeline.SetGenericOnly(on); }

 protected:
  void OnStateChanged(unsigned groups) override;
  // GL never loses its device; only a reset that could not make the new back
  // buffer leaves it waiting for another reset.
  HRESULT DoReset(const D3DPRESENT_PARAMETERS& params) override;
  HRESULT DoPresent() override;
  HRESULT DoClear(DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
  HRESULT DoDrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT vertexCount) override;
  HRESULT DoDrawIndexed(D3DPRIMITIVETYPE type, INT baseVertex, UINT startIndex, UINT indexCount) override;
  // Each makes the resource's bytes, then its GL storage.
  HRESULT MakeVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                           MemoryVertexBuffer** made) override;
  HRESULT MakeIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          MemoryIndexBuffer** made) override;
  HRESULT MakeTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                      MemoryTexture** made) override;
  bool OwnsResource(IUnknown* resource) const override;

 private:
  // Where a draw's vertices come from: a stream buffer (with the index
  // buffer of an indexed draw) or the four corners of a screen quad.
  struct VertexSource {
    GLVertexBuffer* buffer = nullptr;
    GLIndexBuffer* indices = nullptr;
    const VertexPNDT* quad = nullptr;
    UINT offset = 0, stride = 0;
    DWORD fvf = 0;
  };

  bool CreateTargets(const D3DPRESENT_PARAMETERS& params);
  void DestroyTargets();
  void ApplySwapInterval();
  // Copies the back buffer to the window's surface and swaps, when showing.
  void ShowBackBuffer();
  unsigned ResolvedFramebuffer();
  // ---- the apply step (gl_state.cpp): the only writers of GL state
  // Uploads what changed and brings GL up to the recorded state for a draw;
  // D3DERR_OUTOFVIDEOMEMORY when an upload failed (nothing to draw then).
  HRESULT ApplyDraw(const VertexSource& source);
  // Targets the back buffer for a clear of the rectangle (GL window
  // coordinates: y from the bottom) with these values.
  void ApplyClear(DWORD flags, D3DCOLOR color, float z, DWORD stencil, int x, int y, int width, int height);
  // Framebuffers for a copy from readFbo to drawFbo (0: none to draw to).
  void ApplyBlit(unsigned readFbo, unsigned drawFbo);
  void ApplyFixedState();
  void ApplySampler();
  // Brings m_pipelineState up to the recorded state in the dirty groups;
  // answers the groups whose values really changed.
  unsigned BuildPipelineState(unsigned dirty);
  void ApplyVertexLayout(unsigned vbo, const VertexSource& source);
  void ApplyViewport();
  void Dirty(unsigned bits) { m_dirty |= bits; }
  bool HasDepth() const { return m_depthRb != 0; }

  GLCorePtr m_core;
  GLSurfaceWindow* m_window;
  bool m_screenSpace = false;  // positions in device pixels (sprites and text)

  // GL objects of the device.
  unsigned m_fbo = 0, m_colorRb = 0, m_depthRb = 0;
  unsigned m_resolveFbo = 0, m_resolveRb = 0;
  unsigned m_vao = 0, m_sampler = 0, m_quadVbo = 0;
  GLPipeline m_pipeline;
  GLPipelineState m_pipelineState;
  bool m_swapIntervalApplied = false;

  // What changed since the last draw: the pipeline's groups plus our own.
  enum : unsigned {
    kDirtyFixed = 1u << 8,
    kDirtySampler = 1u << 9,
    kDirtyLayout = 1u << 10,
    kDirtyViewport = 1u << 11,
    kDirtyEverything = 0xFFFFu
  };
  unsigned m_dirty = kDirtyEverything;
  struct Layout {
    unsigned vbo = 0;
    UINT offset = 0, stride = 0;
    DWORD fvf = 0;
    friend bool operator==(const Layout&, const Layout&) = default;
  };
  Layout m_layout;  // the vertex layout GL has

  // Screen passes.
  int m_screenDepth = 0;
  D3DDeviceState m_saved;
  MemoryTexture* m_savedTexture = nullptr;
};

// ---- sprite and font --------------------------------------------------------------------
class GLSprite : public ID3DXSprite {
 public:
  explicit GLSprite(GLDevice* device);
  ~GLSprite() override;
  HRESULT Begin(DWORD flags) override;
  HRESULT SetTransform(const D3DXMATRIX* transform) override;
  HRESULT GetTransform(D3DXMATRIX* transform) override;
  HRESULT Draw(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* center,
               const D3DXVECTOR3* position, D3DCOLOR color) override;
  HRESULT End() override;
  HRESULT OnLostDevice() override { return D3D_OK; }
  HRESULT OnResetDevice() override { return D3D_OK; }
  bool InBatch() const { return m_inBatch; }

 private:
  GLDevice* m_device;
  D3DXMATRIX m_transform;
  bool m_inBatch = false;
};

class GLFont : public ID3DXFont {
 public:
  GLFont(GLDevice* device, const D3DXFONT_DESCA& desc);
  ~GLFont() override;
  INT DrawTextA(ID3DXSprite* sprite, const char* text, INT count, RECT* rect, DWORD format,
                D3DCOLOR color) override;
  HRESULT GetDescA(D3DXFONT_DESCA* desc) override;
  HRESULT OnLostDevice() override { return D3D_OK; }
  HRESULT OnResetDevice() override { return D3D_OK; }

 private:
  struct Rendered {
    IDirect3DTexture9* texture = nullptr;
    int width = 0, height = 0;
    std::list<std::string>::iterator lru;
  };
  const Rendered* Render(const std::string& text);
  void Evict();

  GLDevice* m_device;
  D3DXFONT_DESCA m_desc;
  QFont m_font;
  int m_lineHeight = 0;
  int m_ascent = 0;
  std::unordered_map<std::string, Rendered> m_cache;
  std::list<std::string> m_order;  // most recently drawn first
};
