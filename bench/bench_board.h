#pragma once
// The 2,000-piece board (Classic, 50 x 40, seed 1, irregularity 75, no
// turns, a 1,250 x 1,000 picture) that the puzzle and play-screen
// benchmarks share, on the recording device, and the drag scenes laid out
// on it; the benchmark's world that holds one such board at a time.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "engine/engine.h"
#include "platform/d3d9/recording/recording_device.h"
#include "puzzle/piece_group.h"
#include "puzzle/puzzle_board.h"
#include "tests/testkit/fresh_engine.h"

namespace bench {

constexpr int kColumns = 50;
constexpr int kRows = 40;

// g_Engine with a device on the recording script and window; ends the
// program when there is none.
inline void StartRecordingEngine(RecordingScript& script, RecordingWindow& window) {
  UseRecordingDevice(&script);
  if (!g_Engine.InitDirect3D().success || !g_Engine.CreateDevice(&window, true).success) {
    std::fprintf(stderr, "no recording device\n");
    std::exit(1);
  }
}

// The board at a definition level; ends the program when it cannot be made.
inline void CreateBoard(CPuzzleBoard& board, CKVRTexture& picture, int definition) {
  picture.m_imageInfo.Width = 1250;
  picture.m_imageInfo.Height = 1000;
  board.m_definition = definition;
  if (!board.CreateWithSeed(1, &picture, kColumns, kRows, false, PieceShapeClassic, 75, "", "")) {
    std::fprintf(stderr, "board not created\n");
    std::exit(1);
  }
}

// Every piece loose, unturned, on layer 0, then scattered.
inline void Scatter(CPuzzleBoard& board) {
  for (CPuzzlePiece& p : board.m_pieces) {
    for (bool& j : p.m_joined) j = false;
    p.m_layer = 0;
    p.SetQuarterTurns(0);
  }
  board.ScatterPieces();
}

// The drag scenes: rows 0..19 joined in one block (the held group) that
// lies, for scene 0, in the empty middle beside the scattered others; for
// scene 1 over part of the first ring of them. Answers the block.
inline PieceGroup ShiftedBlock(CPuzzleBoard& board, int scene) {
  Scatter(board);
  PieceGroup block;
  for (int r = 0; r < kRows / 2; ++r)
    for (int c = 0; c < kColumns; ++c) block.push_back(&board.m_pieces[std::size_t(r * kColumns + c)]);
  const D3DXVECTOR3 shift = D3DXVECTOR3(-625, scene == 1 ? -570 : -250, 0);
  for (CPuzzlePiece* p : block) p->SetPosition(p->m_homePosition + shift);
  JoinSidesWithinGroup(block);
  return block;
}

// Scenes 2 and 3: ten, or a hundred, of the others lie on the block (layer 1).
inline void LayOnBlock(int scene, const PieceGroup& others, const PieceGroup& block) {
  if (scene < 2) return;
  for (int k = 0; k < (scene == 2 ? 10 : 100); ++k) {
    CPuzzlePiece* top = others[std::size_t(k * 10)];
    const CPuzzlePiece* under = block[std::size_t(k * 10 + 3)];
    top->m_layer = 1;
    top->SetPosition(under->m_currentPosition + D3DXVECTOR3(7, 5, kLayerHeight));
  }
}

// The recording device's script and window: made before, and gone after,
// what draws on them.
struct RecordingStage {
  RecordingStage(LONG width, LONG height) : window(width, height) {}
  RecordingScript script;
  RecordingWindow window;
};

// The board at one definition level on the recording device, with what a
// benchmark keeps around it. `Parts` holds that (a picture and a board, or
// a game and its play screen) and gives the window's kWidth and kHeight,
// Board() and Picture() for the board to be made in, and Enter() and
// Leave() run after the device is there and before the engine goes.
template <class Parts>
struct BenchWorld : RecordingStage, Parts {
  explicit BenchWorld(int definition) : RecordingStage(Parts::kWidth, Parts::kHeight) {
    StartRecordingEngine(script, window);
    Parts::Enter();
    CreateBoard(Parts::Board(), Parts::Picture(), definition);
  }
  ~BenchWorld() {
    Parts::Board().Clear();
    Parts::Leave();
    testkit::FreshEngine();
  }
  BenchWorld(const BenchWorld&) = delete;
  BenchWorld& operator=(const BenchWorld&) = delete;
};

// One world per definition level (0..4) for the whole run, and one board
// (and device) at a time: asking for another level ends the last.
template <class Parts>
BenchWorld<Parts>& World(int definition) {
  static std::unique_ptr<BenchWorld<Parts>> worlds[5];
  if (!worlds[definition]) {
    for (auto& w : worlds) w.reset();
    worlds[definition] = std::make_unique<BenchWorld<Parts>>(definition);
  }
  return *worlds[definition];
}

}  // namespace bench
