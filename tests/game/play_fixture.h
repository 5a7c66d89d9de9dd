#pragma once
// The play screen and the icon bar plugged into the game object on the
// recording device, with a generated board made straight from a seed (no
// dialog), a sound device that counts what it plays, and helpers that
// project table points to layout pixels and drive whole frames of mouse
// input.
#include <memory>

#include "game/screens/play_screen.h"
#include "game/screens/top_bar.h"
#include "game_fixture.h"
#include "platform/sound/sound_device.h"
#include "play_screen_access.h"
#include "puzzle/puzzle_board.h"
#include "sound/sound_manager.h"

// A loopback device whose buffers count their Play calls.
class CountingSoundDevice : public IDirectSound8 {
 public:
  explicit CountingSoundDevice(int* plays) : m_plays(plays) { DirectSoundCreateLoopback(m_inner); }
  HRESULT SetCooperativeLevel(void* window, DWORD level) override {
    return m_inner->SetCooperativeLevel(window, level);
  }
  HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc, std::unique_ptr<IDirectSoundBuffer>& out) override {
    std::unique_ptr<IDirectSoundBuffer> inner;
    const HRESULT hr = m_inner->CreateSoundBuffer(desc, inner);
    if (SUCCEEDED(hr)) out = std::make_unique<Buffer>(std::move(inner), m_plays);
    return hr;
  }
  bool RenderSamples(void* out, int frames) override { return m_inner->RenderSamples(out, frames); }
  int OutputRate() override { return m_inner->OutputRate(); }

 private:
  class Buffer : public IDirectSoundBuffer {
   public:
    Buffer(std::unique_ptr<IDirectSoundBuffer> inner, int* plays)
        : m_inner(std::move(inner)), m_plays(plays) {}
    HRESULT GetStatus(DWORD* status) override { return m_inner->GetStatus(status); }
    HRESULT Restore() override { return m_inner->Restore(); }
    HRESULT Lock(DWORD offset, DWORD bytes, void** r1, DWORD* b1, void** r2, DWORD* b2,
                 DWORD flags) override {
      return m_inner->Lock(offset, bytes, r1, b1, r2, b2, flags);
    }
    HRESULT Unlock(void* r1, DWORD b1, void* r2, DWORD b2) override {
      return m_inner->Unlock(r1, b1, r2, b2);
    }
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
      ++*m_plays;
      return m_inner->Play(reserved, priority, flags);
    }
    HRESULT SetFormat(const WAVEFORMATEX* format) override { return m_inner->SetFormat(format); }

   private:
    std::unique_ptr<IDirectSoundBuffer> m_inner;
    int* m_plays;
  };
  std::unique_ptr<IDirectSound8> m_inner;
  int* m_plays;
};

// Layout pixel of a world point through the camera and the projection of
// the last frame begin.
inline POINT ProjectToLayout(const D3DXVECTOR3& world) {
  D3DXMATRIX viewProjection;
  D3DXMatrixMultiply(&viewProjection, &g_Engine.Camera()->m_view, &g_Engine.Projection());
  const D3DXMATRIX& m = viewProjection;
  const float x = world.x * m._11 + world.y * m._21 + world.z * m._31 + m._41;
  const float y = world.x * m._12 + world.y * m._22 + world.z * m._32 + m._42;
  const float w = world.x * m._14 + world.y * m._24 + world.z * m._34 + m._44;
  const float width = float(g_Engine.PresentParameters().BackBufferWidth);
  const float height = float(g_Engine.PresentParameters().BackBufferHeight);
  // In layout pixels, the cursor's unit (device pixels over the scale).
  const double scale = g_Engine.LayoutScale();
  return POINT{LONG(std::lround((x / w + 1.0f) * 0.5f * width / scale)),
               LONG(std::lround((1.0f - y / w) * 0.5f * height / scale))};
}

// The table point under a layout pixel.
inline D3DXVECTOR3 TableAt(POINT pixel) {
  D3DXVECTOR3 origin, direction;
  g_Engine.GetScreenRay(&origin, &direction, pixel.x, pixel.y);
  return IntersectRayWithTable(direction, origin);
}

// Where a piece belongs beside an anchor piece (both unturned).
inline D3DXVECTOR3 PlaceBeside(const CPuzzlePiece& piece, const CPuzzlePiece& anchor) {
  return anchor.m_currentPosition + (piece.m_homePosition - anchor.m_homePosition);
}

class PlayTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    m_window.SetClientSize(1024, 768);
    m_game->SetPlayScreen(&m_screen);
    m_game->SetTopBar(&m_topBar);
    StartGame();
  }
  void TearDown() override {
    m_game->Shutdown();
    g_SoundManager.Release();
    GameTest::TearDown();
  }
  // Sound from a device that counts its plays (before the play screen
  // becomes current).
  void UseCountingSound() {
    ASSERT_TRUE(g_SoundManager.CreateWithDevice(std::make_unique<CountingSoundDevice>(&m_plays), nullptr));
  }
  // A new puzzle from a seed, as the new-puzzle command makes it, then the
  // play screen with its fly-in finished (one frame after 4 s).
  void NewPuzzle(int columns, int rows, int seed = 5, bool rotate = false, int pictureWidth = 1024,
                 int pictureHeight = 768, bool finishFlyIn = true) {
    PuzzleSettings& s = m_game->m_settings;
    s.m_pictureTexture.m_imageInfo.Width = UINT(pictureWidth);
    s.m_pictureTexture.m_imageInfo.Height = UINT(pictureHeight);
    s.columns = columns;
    s.rows = rows;
    s.rotatePieces = rotate;
    ASSERT_TRUE(s.m_board.CreateWithSeed(seed, &s.m_pictureTexture, columns, rows, rotate, PieceShapeClassic,
                                         70, "missing-edge.png", ""));
    s.m_board.ScatterPieces();
    s.m_currentFile.clear();
    m_game->m_playTimer.Start(0.0);
    m_game->SetScreen(kScreenPlay);
    m_screen.ResetPlayView(true);
    if (!finishFlyIn) return;
    m_clock.Advance(4.5);
    Frame();
  }
  CPuzzleBoard& Board() { return m_game->m_settings.m_board; }
  // The screen's insides: the pieces in hand, the helper, single steps.
  PlayScreenTestAccess Inside() { return PlayScreenTestAccess{m_screen}; }
  PieceHandling& Hand() { return Inside().Hand(); }
  CPuzzlePiece& Piece(int index) { return Board().m_pieces[std::size_t(index)]; }
  // One frame with the cursor at (x, y), the buttons as given, this
  // frame's relative motion and wheel.
  void Input(LONG x, LONG y, bool left, bool right, LONG dx = 0, LONG dy = 0, LONG wheel = 0) {
    m_host.m_cursor = POINT{x, y};
    DIMOUSESTATE2& m = g_Input.m_mouseState;
    m.rgbButtons[0] = left ? 0x80 : 0;
    m.rgbButtons[1] = right ? 0x80 : 0;
    m.lX = dx;
    m.lY = dy;
    m.lZ = wheel;
    Frame();
    m.lX = m.lY = m.lZ = 0;
  }
  void Key(BYTE code, bool down) { g_Input.m_keys[code] = down ? 0x80 : 0; }
  POINT ScreenOf(const CPuzzlePiece& piece) { return ProjectToLayout(piece.m_currentPosition); }
  // Drags a piece with the left button so that its centre ends at the
  // target's x and y, in a few mouse moves; releases the button unless told
  // not to.
  void DragPiece(CPuzzlePiece& piece, const D3DXVECTOR3& target, bool release = true) {
    const POINT press = ScreenOf(piece);
    Input(press.x, press.y, true, false);
    const D3DXVECTOR3 grab = TableAt(press);
    const D3DXVECTOR3 start = piece.m_currentPosition;
    POINT last = press;
    constexpr int kSteps = 4;
    for (int i = 1; i <= kSteps; ++i) {
      const float f = float(i) / kSteps;
      const D3DXVECTOR3 aim(grab.x + (target.x - start.x) * f, grab.y + (target.y - start.y) * f, 0.0f);
      const POINT to = ProjectToLayout(aim);
      Input(to.x, to.y, true, false, to.x - last.x, to.y - last.y);
      last = to;
    }
    if (release) Input(last.x, last.y, false, false);
  }

  CGUIInterfacePlayPuzzle m_screen;
  CPlayPuzzleTopMenuBar m_topBar;
  int m_plays = 0;
};
