// In-memory buffers, textures and surfaces shared by the back ends.
//
// Sections: lack of memory - store bytes - buffer store - vertex and index buffers - textures - surfaces -
// helpers
#include "platform/d3d9/d3d9_resources.h"

#include <sys/mman.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

// ---- lack of memory -----------------------------------------------------------------
namespace {
struct AllocationPlan {
  long long next = 0;     // number of the next allocation
  long long failAt = -1;  // -1: none fails
  bool onward = false;
};
AllocationPlan g_allocations;
unsigned long long g_outOfMemory = 0;
}  // namespace

ScopedAllocationFailure::ScopedAllocationFailure(long long at, bool onward) {
  g_allocations = AllocationPlan{0, at, onward};
}

ScopedAllocationFailure::~ScopedAllocationFailure() { g_allocations = AllocationPlan{}; }

long long ScopedAllocationFailure::Count() const { return g_allocations.next; }

bool AllocationRefused() {
  const long long number = g_allocations.next++;
  const long long at = g_allocations.failAt;
  return at >= 0 && (number == at || (g_allocations.onward && number > at));
}

HRESULT OutOfMemory(HRESULT code) {
  ++g_outOfMemory;
  return code;
}

unsigned long long OutOfMemoryCount() { return g_outOfMemory; }

// ---- store bytes ------------------------------------------------------------------
namespace {
// From this size on a store maps its own pages: the heap would hand out a
// fresh mapping all the same (glibc's threshold is at most 32 MiB), but
// zero-filled twice by calloc's way round, and without huge pages.
constexpr size_t kMappedFrom = size_t{4} << 20;
constexpr size_t kHugePage = size_t{2} << 20;
}  // namespace

StoreBytes::StoreBytes(size_t length) : m_size(length) {
  if (AllocationRefused()) {
    m_size = 0;
    OutOfMemory();
    return;
  }
  if (length >= kMappedFrom) {
    // Aligned to a huge page so that the whole block can be backed by them.
    const size_t mapped = (length + 2 * kHugePage - 1) / kHugePage * kHugePage;
    void* block = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block != MAP_FAILED) {
      auto* start = static_cast<BYTE*>(block);
      BYTE* aligned = reinterpret_cast<BYTE*>((reinterpret_cast<uintptr_t>(start) + kHugePage - 1) /
                                              kHugePage * kHugePage);
      const size_t head = size_t(aligned - start);
      // Ends at the last small page: a partial huge page at the end would be
      // made resident whole.
      const size_t page = size_t(sysconf(_SC_PAGESIZE));
      const size_t used = (length + page - 1) / page * page;
      if (head) munmap(start, head);
      if (mapped - head > used) munmap(aligned + used, mapped - head - used);
      madvise(aligned, used, MADV_HUGEPAGE);
      m_data = aligned;
      m_mapped = used;
      return;
    }
  }
  m_data = static_cast<BYTE*>(std::calloc(length ? length : 1, 1));
  if (!m_data) m_size = 0, OutOfMemory();
}

StoreBytes::~StoreBytes() { Free(); }

StoreBytes::StoreBytes(StoreBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_mapped(std::exchange(other.m_mapped, 0)) {}

StoreBytes& StoreBytes::operator=(StoreBytes&& other) noexcept {
  if (this != &other) {
    Free();
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
    m_mapped = std::exchange(other.m_mapped, 0);
  }
  return *this;
}

void ReturnFreeHeapPages() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

void StoreBytes::Free() {
  if (m_mapped)
    munmap(m_data, m_mapped);
  else
    std::free(m_data);
  m_data = nullptr;
  m_size = m_mapped = 0;
}

// ---- buffer store ------------------------------------------------------------------
HRESULT CpuBufferStore::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  if (!data) return D3DERR_INVALIDCALL;
  const UINT length = Length();
  if (offset > length) return D3DERR_INVALIDCALL;
  if (size == 0) size = length - offset;
  if (size > length - offset) return D3DERR_INVALIDCALL;
  if (m_dropped) {
    const HRESULT hr = BringBack();
    if (FAILED(hr)) return hr;
  }
  ++m_lockCount;
  *data = m_bytes.data() + offset;
  if ((flags & D3DLOCK_READONLY) == 0) ++m_writes;
  if ((flags & D3DLOCK_READONLY) == 0 && size > 0) {
    if (m_dirtyBegin == m_dirtyEnd) {
      m_dirtyBegin = offset;
      m_dirtyEnd = offset + size;
    } else {
      m_dirtyBegin = std::min(m_dirtyBegin, offset);
      m_dirtyEnd = std::max(m_dirtyEnd, offset + size);
    }
  }
  return D3D_OK;
}

HRESULT CpuBufferStore::Unlock() {
  if (m_lockCount == 0) return D3DERR_INVALIDCALL;
  --m_lockCount;
  return D3D_OK;
}

const BYTE* CpuBufferStore::Data() {
  if (m_dropped && FAILED(BringBack())) return nullptr;
  return m_bytes.data();
}

bool CpuBufferStore::DropCopy(Restorer restore) {
  if (m_dropped || m_keep || IsLocked() || m_firstUpload || m_dirtyBegin != m_dirtyEnd) return false;
  m_restore = std::move(restore);
  m_bytes = StoreBytes();
  m_dropped = true;
  return true;
}

HRESULT CpuBufferStore::BringBack() {
  StoreBytes bytes(m_length);
  if (!bytes.data()) return E_OUTOFMEMORY;  // counted by StoreBytes
  if (!m_restore || !m_restore(bytes.data(), m_length)) return D3DERR_INVALIDCALL;
  m_bytes = std::move(bytes);
  m_restore = nullptr;
  m_dropped = false;
  m_keep = true;
  return D3D_OK;
}

bool CpuBufferStore::TakeDirty(UINT* begin, UINT* end) {
  if (m_firstUpload) {
    m_firstUpload = false;
    m_dirtyBegin = m_dirtyEnd = 0;
    *begin = 0;
    *end = Length();
    return true;
  }
  if (m_dirtyBegin == m_dirtyEnd) return false;
  *begin = m_dirtyBegin;
  *end = m_dirtyEnd;
  m_dirtyBegin = m_dirtyEnd = 0;
  return true;
}

void CpuBufferStore::KeepDirty(UINT begin, UINT end) {
  if (begin >= end) return;
  if (m_dirtyBegin == m_dirtyEnd) {
    m_dirtyBegin = begin;
    m_dirtyEnd = end;
  } else {
    m_dirtyBegin = std::min(m_dirtyBegin, begin);
    m_dirtyEnd = std::max(m_dirtyEnd, end);
  }
}

// ---- vertex and index buffers -----------------------------------------------------------
namespace {
// Reports a call the object refused itself.
HRESULT Refused(const ResourceHook& hook, const char* call, HRESULT hr) {
  if (FAILED(hr) && hook) hook((std::string(call) + " refused").c_str(), UINT(hr), 0, 0);
  return hr;
}

HRESULT HookedLock(const ResourceHook& hook, const char* call, CpuBufferStore& store, UINT offset, UINT size,
                   void** data, DWORD flags) {
  if (hook) {
    const HRESULT hr = hook(call, offset, size, flags);
    if (FAILED(hr)) return hr;
  }
  return Refused(hook, call, store.Lock(offset, size, data, flags));
}

HRESULT HookedUnlock(const ResourceHook& hook, const char* call, CpuBufferStore& store) {
  const HRESULT hr = store.Unlock();
  if (hook) hook(call, 0, 0, 0);
  return Refused(hook, call, hr);
}
}  // namespace

MemoryVertexBuffer::MemoryVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, ResourceHook hook)
    : m_store(length), m_hook(std::move(hook)) {
  m_desc.Usage = usage;
  m_desc.Pool = pool;
  m_desc.Size = length;
  m_desc.FVF = fvf;
}

HRESULT MemoryVertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  return HookedLock(m_hook, "VB.Lock", m_store, offset, size, data, flags);
}

HRESULT MemoryVertexBuffer::Unlock() { return HookedUnlock(m_hook, "VB.Unlock", m_store); }

HRESULT MemoryVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = m_desc;
  return D3D_OK;
}

MemoryIndexBuffer::MemoryIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     ResourceHook hook)
    : m_store(length), m_hook(std::move(hook)) {
  m_desc.Format = format;
  m_desc.Usage = usage;
  m_desc.Pool = pool;
  m_desc.Size = length;
}

HRESULT MemoryIndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  return HookedLock(m_hook, "IB.Lock", m_store, offset, size, data, flags);
}

HRESULT MemoryIndexBuffer::Unlock() { return HookedUnlock(m_hook, "IB.Unlock", m_store); }

HRESULT MemoryIndexBuffer::IndexRange(UINT start, UINT count, WORD* lowest, WORD* highest) {
  if (m_rangesWrites != m_store.Writes() + 1) {  // + 1: a new buffer has none
    m_ranges.clear();
    m_rangesWrites = m_store.Writes() + 1;
    m_lastRange = 0;
  }
  std::size_t at = m_lastRange + 1;
  if (!RangeAt(at, start, count)) {
    at = m_lastRange;
    if (!RangeAt(at, start, count)) {
      const auto place = std::lower_bound(m_ranges.begin(), m_ranges.end(), std::make_pair(start, count),
                                          [](const Range& r, const std::pair<UINT, UINT>& key) {
                                            return std::make_pair(r.start, r.count) < key;
                                          });
      at = std::size_t(place - m_ranges.begin());
      if (!RangeAt(at, start, count)) {
        const BYTE* bytes = m_store.Data();
        if (!bytes) return E_OUTOFMEMORY;
        const auto* indices = reinterpret_cast<const WORD*>(bytes) + start;
        const auto [lo, hi] = std::minmax_element(indices, indices + count);
        m_ranges.insert(place, Range{start, count, *lo, *hi});
      }
    }
  }
  m_lastRange = at;
  *lowest = m_ranges[at].lowest;
  *highest = m_ranges[at].highest;
  return D3D_OK;
}

HRESULT MemoryIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = m_desc;
  return D3D_OK;
}

// ---- textures ---------------------------------------------------------------------------
MemoryTexture::MemoryTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool, ResourceHook hook)
    : m_usage(usage), m_format(format), m_pool(pool), m_hook(std::move(hook)) {
  if (usage & D3DUSAGE_AUTOGENMIPMAP) levels = 1;
  if (levels == 0) levels = FullMipChainLength(width, height);
  m_levels.resize(levels);
  m_lockFlags.resize(levels);
  for (UINT i = 0; i < levels; ++i) {
    m_levels[i].width = std::max<UINT>(1, width >> i);
    m_levels[i].height = std::max<UINT>(1, height >> i);
    m_levels[i].texels = StoreBytes(size_t(m_levels[i].width) * 4 * m_levels[i].height);
    if (!m_levels[i].texels.data()) {
      m_made = false;
      break;
    }
  }
}

DWORD MemoryTexture::GetLevelCount() { return LevelCount(); }

HRESULT MemoryTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (!desc || level >= LevelCount()) return D3DERR_INVALIDCALL;
  *desc = {};
  desc->Format = m_format;
  desc->Type = D3DRTYPE_SURFACE;
  desc->Usage = m_usage;
  desc->Pool = m_pool;
  desc->Width = m_levels[level].width;
  desc->Height = m_levels[level].height;
  return D3D_OK;
}

HRESULT MemoryTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (!surface || level >= LevelCount()) return D3DERR_INVALIDCALL;
  *surface = new MemorySurface(this, level);
  return D3D_OK;
}

HRESULT MemoryTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!locked || level >= LevelCount() || m_levels[level].locked)
    return Refused(m_hook, "Tex.LockRect", D3DERR_INVALIDCALL);
  Level& l = m_levels[level];
  RECT whole{0, 0, LONG(l.width), LONG(l.height)};
  const RECT r = rect ? *rect : whole;
  if (r.left < 0 || r.top < 0 || r.right > whole.right || r.bottom > whole.bottom || r.left > r.right ||
      r.top > r.bottom)
    return Refused(m_hook, "Tex.LockRect", D3DERR_INVALIDCALL);
  if (m_hook) {
    const HRESULT hr = m_hook("Tex.LockRect", level, 0, flags);
    if (FAILED(hr)) return hr;
  }
  l.locked = true;
  m_lockFlags[level] = flags;
  locked->Pitch = INT(Pitch(level));
  locked->pBits = l.texels.data() + size_t(r.top) * Pitch(level) + size_t(r.left) * 4;
  return D3D_OK;
}

HRESULT MemoryTexture::UnlockRect(UINT level) {
  if (level >= LevelCount() || !m_levels[level].locked)
    return Refused(m_hook, "Tex.UnlockRect", D3DERR_INVALIDCALL);
  m_levels[level].locked = false;
  if ((m_lockFlags[level] & D3DLOCK_READONLY) == 0) m_dirty = true;
  if (m_hook) m_hook("Tex.UnlockRect", level, 0, 0);
  return D3D_OK;
}

bool MemoryTexture::TakeDirty() { return std::exchange(m_dirty, false); }

// ---- surfaces -----------------------------------------------------------------------------
MemorySurface::MemorySurface(MemoryTexture* texture, UINT level) : m_texture(texture), m_level(level) {
  m_texture->AddRef();
  m_texture->GetLevelDesc(level, &m_desc);
}

MemorySurface::MemorySurface(const D3DSURFACE_DESC& desc) : m_desc(desc) {}

MemorySurface::~MemorySurface() {
  if (m_texture) m_texture->Release();
}

HRESULT MemorySurface::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = m_desc;
  return D3D_OK;
}

HRESULT MemorySurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!m_texture) return D3DERR_INVALIDCALL;
  return m_texture->LockRect(m_level, locked, rect, flags);
}

HRESULT MemorySurface::UnlockRect() {
  if (!m_texture) return D3DERR_INVALIDCALL;
  return m_texture->UnlockRect(m_level);
}

// ---- helpers ------------------------------------------------------------------------------
UINT FullMipChainLength(UINT width, UINT height) {
  UINT side = std::max<UINT>(1, std::max(width, height));
  UINT levels = 1;
  while (side > 1) {
    side >>= 1;
    ++levels;
  }
  return levels;
}

HRESULT CheckTextureArguments(UINT width, UINT height, UINT levels, D3DFORMAT format, IDirect3DTexture9** out,
                              HANDLE* shared) {
  if (!out || shared) return D3DERR_INVALIDCALL;
  if (width == 0 || height == 0 || width > 8192 || height > 8192) return D3DERR_INVALIDCALL;
  if (D3DFormatBytesPerTexel(format) != 4) return D3DERR_INVALIDCALL;
  if (levels > FullMipChainLength(width, height)) return D3DERR_INVALIDCALL;
  return D3D_OK;
}

HRESULT CheckBufferArguments(UINT length, const void* out, HANDLE* shared) {
  if (!out || shared || length == 0) return D3DERR_INVALIDCALL;
  return D3D_OK;
}

HRESULT MakeBackBufferSurface(const D3DPRESENT_PARAMETERS& params, UINT swapChain, UINT index,
                              D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) {
  if (!surface || swapChain != 0 || index != 0 || type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC desc;
  desc.Format = params.BackBufferFormat;
  desc.Type = D3DRTYPE_SURFACE;
  desc.Usage = D3DUSAGE_RENDERTARGET;
  desc.Pool = D3DPOOL_DEFAULT;
  desc.MultiSampleType = params.MultiSampleType;
  desc.Width = params.BackBufferWidth;
  desc.Height = params.BackBufferHeight;
  *surface = new MemorySurface(desc);
  return D3D_OK;
}
