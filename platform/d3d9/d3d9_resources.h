#pragma once
// Buffers, textures and surfaces that keep their contents in memory: the
// shared implementation of the device's resources for every back end.
//
// Locks hand out pointers into the CPU copy and remember what changed. A back
// end that draws from elsewhere (the GL device) asks TakeDirty... at the next
// draw that uses the resource and uploads only that; the recording device
// never needs to. Each object may carry a hook that sees every lock and unlock
// (the recording device logs them and scripts failing locks).
//
// Nothing here throws for lack of memory: an allocation that fails leaves an
// object that says so (Made() false), and the device answers E_OUTOFMEMORY.
//
// Sections: lack of memory - hook - buffers - textures and surfaces - helpers
#include <functional>
#include <vector>

#include "platform/d3d9/d3d9.h"

// ---- lack of memory -----------------------------------------------------------------
// Every allocation the device layer makes for a resource first asks
// AllocationRefused(): the bytes of a store (StoreBytes: a buffer's copy, a
// texture level, a dropped copy brought back) and, in the GL back end, each
// GL allocation and upload. They are numbered from 0 in call order from the
// start of a ScopedAllocationFailure, which makes one of them (or every one
// from there on) fail as the system would. Single-threaded, as the device.
class ScopedAllocationFailure {
 public:
  // The allocation numbered at (0: the next) fails; with onward every later
  // one too. A negative at fails none and only counts.
  explicit ScopedAllocationFailure(long long at, bool onward = false);
  ~ScopedAllocationFailure();
  ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
  ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;
  // The allocations asked about since the scope began.
  long long Count() const;
};

// Counts one allocation; true when a ScopedAllocationFailure refuses it.
bool AllocationRefused();

// Every allocation of the device layer that fails (StoreBytes, an object, a
// GL allocation or upload) passes through here once: it counts the failure
// and hands code back (E_OUTOFMEMORY or D3DERR_OUTOFVIDEOMEMORY), which the
// calls above pass on. A caller that compares OutOfMemoryCount() before and
// after some work tells a lack of memory from its other failures.
HRESULT OutOfMemory(HRESULT code = E_OUTOFMEMORY);
unsigned long long OutOfMemoryCount();
// E_OUTOFMEMORY or D3DERR_OUTOFVIDEOMEMORY.
inline bool IsOutOfMemory(HRESULT hr) { return hr == E_OUTOFMEMORY || hr == D3DERR_OUTOFVIDEOMEMORY; }

// ---- hook ----------------------------------------------------------------------
// call: "VB.Lock", "VB.Unlock", "IB.Lock", "IB.Unlock", "Tex.LockRect",
// "Tex.UnlockRect". For buffers a, b are offset and size; for textures a is
// the level and b 0. A failing answer to a Lock makes it fail with that code
// before anything is locked; the answer to an Unlock is ignored. A lock or
// unlock the object refuses itself (a range past the end, an unlock without
// a lock, a level locked twice) is reported afterwards as "<call> refused"
// with the answer in a.
using ResourceHook = std::function<HRESULT(const char* call, UINT a, UINT b, DWORD flags)>;

// ---- buffers ---------------------------------------------------------------------
// Zero-filled bytes for a store: large blocks come straight from the system
// (fresh pages are zero, backed by huge pages where the system allows), so
// nothing writes them twice; small ones from the heap. When the bytes cannot
// be had, data() is null and size() 0.
class StoreBytes {
 public:
  StoreBytes() = default;
  explicit StoreBytes(size_t length);
  ~StoreBytes();
  StoreBytes(StoreBytes&& other) noexcept;
  StoreBytes& operator=(StoreBytes&& other) noexcept;
  BYTE* data() const { return m_data; }
  size_t size() const { return m_size; }

 private:
  void Free();
  BYTE* m_data = nullptr;
  size_t m_size = 0;
  size_t m_mapped = 0;  // bytes mapped from the system, 0 for heap blocks
};

// Gives the heap's free pages back to the system: after a large build whose
// temporaries the heap would otherwise keep resident.
void ReturnFreeHeapPages();

// The bytes of a buffer with nested locks and one changed byte range.
//
// A back end that keeps the contents itself may let the store drop its copy
// (DropCopy) while nothing is locked; the next Lock or Data brings the bytes
// back through the restorer it gave, and from then on the store keeps them
// (a buffer locked after its upload is one that changes).
class CpuBufferStore {
 public:
  // Answers false when it could not give the bytes back.
  using Restorer = std::function<bool(BYTE* into, UINT length)>;

  explicit CpuBufferStore(UINT length) : m_bytes(length), m_length(length) {}
  // false when the bytes could not be had (the store is then unusable).
  bool Made() const { return m_bytes.data() != nullptr; }
  // size 0: to the end. D3DERR_INVALIDCALL when the range is past the end,
  // data is null, or a dropped copy cannot be read back; E_OUTOFMEMORY when
  // there is no memory to bring it back into.
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
  // D3DERR_INVALIDCALL when not locked.
  HRESULT Unlock();
  bool IsLocked() const { return m_lockCount > 0; }
  UINT Length() const { return m_length; }
  // The bytes, brought back first when dropped (null when they cannot be).
  const BYTE* Data();
  // The byte range [begin, end) changed since the last call; false (and
  // nothing set) when nothing changed. A new store counts as all changed.
  bool TakeDirty(UINT* begin, UINT* end);
  // Hands back a range TakeDirty gave whose upload failed: it counts as
  // changed again.
  void KeepDirty(UINT begin, UINT end);
  // Counts the locks that may have written (not D3DLOCK_READONLY).
  unsigned long long Writes() const { return m_writes; }
  // Lets go of the copy when nothing is locked, nothing changed since the
  // last TakeDirty and the copy was never brought back before; true when it
  // did.
  bool DropCopy(Restorer restore);
  bool HasCopy() const { return !m_dropped; }
  // Brought back once, so never dropped again.
  bool KeepsCopy() const { return m_keep; }

 private:
  HRESULT BringBack();

  StoreBytes m_bytes;
  UINT m_length;
  Restorer m_restore;
  bool m_dropped = false;
  bool m_keep = false;  // brought back once: never dropped again
  unsigned long long m_writes = 0;
  int m_lockCount = 0;
  UINT m_dirtyBegin = 0;
  UINT m_dirtyEnd = 0;  // empty range when begin == end
  bool m_firstUpload = true;
};

class MemoryVertexBuffer : public IDirect3DVertexBuffer9 {
 public:
  MemoryVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, ResourceHook hook = {});
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
  // false when its bytes could not be had.
  bool Made() const { return m_store.Made(); }
  CpuBufferStore& Store() { return m_store; }
  const CpuBufferStore& Store() const { return m_store; }

 private:
  CpuBufferStore m_store;
  D3DVERTEXBUFFER_DESC m_desc;
  ResourceHook m_hook;
};

class MemoryIndexBuffer : public IDirect3DIndexBuffer9 {
 public:
  MemoryIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, ResourceHook hook = {});
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
  // false when its bytes could not be had.
  bool Made() const { return m_store.Made(); }
  CpuBufferStore& Store() { return m_store; }
  const CpuBufferStore& Store() const { return m_store; }
  // Indices (16-bit) in the buffer.
  UINT IndexCount() const { return m_store.Length() / 2; }
  // Smallest and largest of count indices from start (within IndexCount,
  // count >= 1); remembered until the next writing lock, since a mesh draws
  // the same ranges every frame. The ranges are kept in order of start and
  // the look-up tries the one after the last answered first, so a frame
  // that draws its ranges in the same order as the frame before (in buffer
  // order, or any part of it) finds each with one comparison. A range not
  // known yet reads the store: E_OUTOFMEMORY (and nothing set) when its
  // dropped copy cannot be brought back.
  HRESULT IndexRange(UINT start, UINT count, WORD* lowest, WORD* highest);

 private:
  struct Range {
    UINT start, count;
    WORD lowest, highest;
  };
  bool RangeAt(std::size_t at, UINT start, UINT count) const {
    return at < m_ranges.size() && m_ranges[at].start == start && m_ranges[at].count == count;
  }
  CpuBufferStore m_store;
  D3DINDEXBUFFER_DESC m_desc;
  ResourceHook m_hook;
  std::vector<Range> m_ranges;            // by start, then count
  unsigned long long m_rangesWrites = 0;  // the store's Writes() + 1 they were taken at
  std::size_t m_lastRange = 0;            // the last answered
};

// ---- textures and surfaces -----------------------------------------------------------
// Texels of every level in memory, rows of width x 4 bytes, level 0 first.
class MemoryTexture : public IDirect3DTexture9 {
 public:
  struct Level {
    UINT width = 0;
    UINT height = 0;
    StoreBytes texels;  // height rows of Pitch() bytes
    bool locked = false;
  };

  // levels 0: the full chain (1 with D3DUSAGE_AUTOGENMIPMAP). Use
  // CheckTextureArguments first; the constructor trusts its arguments, and
  // Made() says whether every level got its bytes.
  MemoryTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                ResourceHook hook = {});
  DWORD GetLevelCount() override;
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;

  bool Made() const { return m_made; }
  const Level& GetLevel(UINT level) const { return m_levels[level]; }
  UINT LevelCount() const { return static_cast<UINT>(m_levels.size()); }
  DWORD Usage() const { return m_usage; }
  D3DFORMAT Format() const { return m_format; }
  bool AutoGenMipMap() const { return (m_usage & D3DUSAGE_AUTOGENMIPMAP) != 0; }
  // Bytes per row of a level.
  UINT Pitch(UINT level) const { return m_levels[level].width * 4; }
  // Some level changed (unlocked without D3DLOCK_READONLY) since the last
  // call; a new texture counts as changed.
  bool TakeDirty();
  // The texture counts as changed again (its upload failed).
  void KeepDirty() { m_dirty = true; }

 private:
  std::vector<Level> m_levels;
  DWORD m_usage;
  D3DFORMAT m_format;
  D3DPOOL m_pool;
  ResourceHook m_hook;
  bool m_dirty = true;
  bool m_made = true;
  std::vector<DWORD> m_lockFlags;  // per level, while locked
};

// A level of a MemoryTexture (holding a reference to it), or a surface that
// only describes itself (the back buffer; LockRect answers D3DERR_INVALIDCALL).
class MemorySurface : public IDirect3DSurface9 {
 public:
  MemorySurface(MemoryTexture* texture, UINT level);
  explicit MemorySurface(const D3DSURFACE_DESC& desc);
  ~MemorySurface() override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

 private:
  MemoryTexture* m_texture = nullptr;
  UINT m_level = 0;
  D3DSURFACE_DESC m_desc;
};

// ---- helpers ------------------------------------------------------------------------------
// Levels of a full chain down to 1 x 1: 1 + floor(log2(max(width, height))).
UINT FullMipChainLength(UINT width, UINT height);
// D3D_OK when a MemoryTexture of these arguments can be made: sizes 1..8192,
// a 32-bit format (D3DFormatBytesPerTexel 4), levels at most the full chain,
// shared null, out non-null. D3DERR_INVALIDCALL otherwise.
HRESULT CheckTextureArguments(UINT width, UINT height, UINT levels, D3DFORMAT format, IDirect3DTexture9** out,
                              HANDLE* shared);
// GetBackBuffer of either back end: swap chain 0, buffer 0, mono only; a
// surface that describes the back buffer of these parameters.
HRESULT MakeBackBufferSurface(const D3DPRESENT_PARAMETERS& params, UINT swapChain, UINT index,
                              D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface);
// D3D_OK for a buffer of length >= 1, shared null, out non-null.
HRESULT CheckBufferArguments(UINT length, const void* out, HANDLE* shared);
