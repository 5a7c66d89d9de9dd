// The saved-game record without a game: its JSON round trip, bit for bit,
// and the reader's refusals, each of which leaves the target record alone.
#include "game/saves/saved_game_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

// A 4 x 3 board with rotation: pieces 1 and 2 joined (both turned once),
// values that need every digit to read back.
SavedGame SampleGame() {
  SavedGame g;
  g.picturePath = "/home/player/Pictures/été à Lyon.jpg";
  g.sampleName = "";
  g.pictureWidth = 1024;
  g.pictureHeight = 768;
  g.seed = 1023;
  g.columns = 4;
  g.rows = 3;
  g.shape = 51;
  g.irregularity = 75;
  g.rotatePieces = true;
  g.playTime = 4321.0 / 7.0;
  g.hasCamera = true;
  g.camera = SavedCamera{{0.1f, -187.33333f, 300.0f},
                         {0.0f, 0.70710677f, -0.70710677f},
                         {0, 0.70710677f, 0.70710677f},
                         {1, 0, 0}};
  for (int i = 0; i < 12; ++i) {
    SavedPiece p;
    p.id = i + 1;
    p.position = SavedVector{float(i) / 3.0f - 2499.9f, 1.0f / float(i + 7), 1.5f * float(i % 8)};
    p.layer = i % 8;
    p.turns = i % 4;
    g.pieces.push_back(p);
  }
  g.pieces[0].turns = g.pieces[1].turns = 1;
  g.pieces[0].joined[1] = g.pieces[1].joined[3] = true;
  return g;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ReplaceOnce(std::string& text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

}  // namespace

TEST(SavedGame, RoundTripKeepsEveryValueBitForBit) {
  const SavedGame written = SampleGame();
  SavedGame read;
  const SavedGameReadResult result = ReadSavedGame(WriteSavedGame(written), read);
  ASSERT_EQ(result.status, SavedGameStatus::kOk) << result.reason;
  EXPECT_EQ(read, written);
  for (size_t i = 0; i < read.pieces.size(); ++i) {
    EXPECT_TRUE(SameBits(read.pieces[i].position.x, written.pieces[i].position.x));
    EXPECT_TRUE(SameBits(read.pieces[i].position.y, written.pieces[i].position.y));
  }
  EXPECT_EQ(read.playTime, written.playTime);  // a double, exactly
}

TEST(SavedGame, PiecesComeBackInIdOrderAndALargeBoardStaysSmall) {
  SavedGame g = SampleGame();
  std::swap(g.pieces[3], g.pieces[7]);
  SavedGame read;
  ASSERT_EQ(ReadSavedGame(WriteSavedGame(g), read).status, SavedGameStatus::kOk);
  for (size_t i = 0; i < read.pieces.size(); ++i) EXPECT_EQ(read.pieces[i].id, int(i) + 1);

  // 2,000 pieces far out on the table stay well under the size limit.
  g.columns = 50;
  g.rows = 40;
  g.rotatePieces = false;
  g.pieces.assign(2000, SavedPiece{});
  for (int i = 0; i < 2000; ++i) {
    g.pieces[size_t(i)].id = i + 1;
    g.pieces[size_t(i)].position = SavedVector{-2345.6789f + float(i) / 7.0f, 2111.1111f, 10.5f};
  }
  const std::string text = WriteSavedGame(g);
  EXPECT_LT(text.size(), size_t(kMaxSavedGameBytes) / 4);
  EXPECT_EQ(ReadSavedGame(text, read).status, SavedGameStatus::kOk);
}

TEST(SavedGame, AnUnusableCameraIsDroppedNotRefused) {
  const struct {
    const char* label;
    const char* eyeX;  // replaces the text of the eye's x
    SavedVector direction;
  } cases[] = {
      {"too large for a float", "1e39", {0, 0, -1}},
      {"null (how an infinity is written)", "null", {0, 0, -1}},
      {"no direction", "12345.5", {0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    SavedGame g = SampleGame();
    g.camera.eye.x = 12345.5f;
    g.camera.direction = c.direction;
    std::string text = WriteSavedGame(g);
    ReplaceOnce(text, "12345.5", c.eyeX);
    SavedGame read;
    ASSERT_EQ(ReadSavedGame(text, read).status, SavedGameStatus::kOk);
    EXPECT_FALSE(read.hasCamera);
    EXPECT_EQ(read.pieces, g.pieces);
  }
}

TEST(SavedGame, CorruptInputsAreRefusedAndLeaveTheRecordAlone) {
  using Edit = std::function<void(SavedGame&)>;
  using TextEdit = std::function<void(std::string&)>;
  const auto damaged = SavedGameStatus::kDamaged;
  const struct {
    const char* label;
    Edit edit;
    TextEdit text;
    SavedGameStatus status;
    const char* reason;
  } cases[] = {
      {"truncated file", {}, [](std::string& t) { t.resize(t.size() / 2); }, damaged, "json"},
      {"empty file", {}, [](std::string& t) { t.clear(); }, damaged, "json"},
      {"a JSON array", {}, [](std::string& t) { t = "[" + t + "]"; }, damaged, "json"},
      {"wrong tag",
       {},
       [](std::string& t) { ReplaceOnce(t, "saved puzzle", "screen saver"); },
       damaged,
       "format"},
      {"version 2",
       {},
       [](std::string& t) { ReplaceOnce(t, "\"version\": 1", "\"version\": 2"); },
       SavedGameStatus::kNewerVersion,
       "version"},
      {"version 0",
       {},
       [](std::string& t) { ReplaceOnce(t, "\"version\": 1", "\"version\": 0"); },
       damaged,
       "version"},
      {"version 1.5",
       {},
       [](std::string& t) { ReplaceOnce(t, "\"version\": 1", "\"version\": 1.5"); },
       damaged,
       "version"},
      {"newer geometry",
       {},
       [](std::string& t) { ReplaceOnce(t, "\"geometry\": 1", "\"geometry\": 7"); },
       SavedGameStatus::kNewerVersion,
       "geometry"},
      {"missing board",
       {},
       [](std::string& t) { ReplaceOnce(t, "\"board\"", "\"bored\""); },
       damaged,
       "board"},
      {"seed as text",
       {},
       [](std::string& t) { ReplaceOnce(t, "\"seed\": 1023", "\"seed\": \"1023\""); },
       damaged,
       "seed"},
      {"NaN",
       {},
       [](std::string& t) { ReplaceOnce(t, "\"playTime\": ", "\"playTime\": NaN, \"x\": "); },
       damaged,
       "json"},
      {"negative time", [](SavedGame& g) { g.playTime = -1.0; }, {}, damaged, "playTime"},
      {"infinite time", [](SavedGame& g) { g.playTime = HUGE_VAL; }, {}, damaged, "playTime"},
      {"time 2^31 s", [](SavedGame& g) { g.playTime = 2147483648.0; }, {}, damaged, "playTime"},
      {"time just over the bound",
       [](SavedGame& g) { g.playTime = kMaxSavedPlayTime + 0.5; },
       {},
       damaged,
       "playTime"},
      {"time 1e308", [](SavedGame& g) { g.playTime = 1e308; }, {}, damaged, "playTime"},
      {"no picture", [](SavedGame& g) { g.picturePath.clear(); }, {}, damaged, "path"},
      {"sample outside its folder",
       [](SavedGame& g) { g.sampleName = "../../secret.png"; },
       {},
       damaged,
       "sample"},
      {"picture width 0", [](SavedGame& g) { g.pictureWidth = 0; }, {}, damaged, "width"},
      {"shape 4", [](SavedGame& g) { g.shape = 4; }, {}, damaged, "shape"},
      {"irregularity 101", [](SavedGame& g) { g.irregularity = 101; }, {}, damaged, "irregularity"},
      {"seed 1024", [](SavedGame& g) { g.seed = 1024; }, {}, damaged, "seed"},
      {"2 columns", [](SavedGame& g) { g.columns = 2; }, {}, damaged, "columns"},
      {"2,001 pieces",
       [](SavedGame& g) {
         g.columns = 69;
         g.rows = 29;
         g.pieces.resize(2001);
         for (int i = 0; i < 2001; ++i) g.pieces[size_t(i)] = SavedPiece{i + 1, {}, 0, 0, {}};
       },
       {},
       damaged,
       "columns"},
      {"one piece missing", [](SavedGame& g) { g.pieces.pop_back(); }, {}, damaged, "pieces"},
      {"duplicate id", [](SavedGame& g) { g.pieces[5].id = 5; }, {}, damaged, "id"},
      {"id 0", [](SavedGame& g) { g.pieces[5].id = 0; }, {}, damaged, "id"},
      {"a position of 1e30", [](SavedGame& g) { g.pieces[3].position.y = 1e30f; }, {}, damaged, "position"},
      {"a position off the table",
       [](SavedGame& g) { g.pieces[3].position.x = 2500.5f; },
       {},
       damaged,
       "position"},
      {"layer 9", [](SavedGame& g) { g.pieces[4].layer = 9; }, {}, damaged, "layer"},
      {"turns 4", [](SavedGame& g) { g.pieces[4].turns = 4; }, {}, damaged, "turns"},
      {"turns 2 without rotation",
       [](SavedGame& g) {
         g.rotatePieces = false;
         for (SavedPiece& p : g.pieces) p.turns = 0;
         g.pieces[6].turns = 2;
       },
       {},
       damaged,
       "turns"},
      {"a join flag on a border side",
       [](SavedGame& g) { g.pieces[0].joined[0] = true; },
       {},
       damaged,
       "joined"},
      {"asymmetric joins", [](SavedGame& g) { g.pieces[1].joined[3] = false; }, {}, damaged, "joined"},
      {"a joined group with two turns", [](SavedGame& g) { g.pieces[1].turns = 2; }, {}, damaged, "turns"},
      {"a 5 MiB file", {}, [](std::string& t) { t.insert(1, 5 * 1024 * 1024, ' '); }, damaged, "size"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    SavedGame g = SampleGame();
    if (c.edit) c.edit(g);
    std::string text = WriteSavedGame(g);
    if (c.text) c.text(text);
    SavedGame target;
    target.picturePath = "untouched";
    const SavedGameReadResult result = ReadSavedGame(text, target);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.reason, c.reason);
    EXPECT_EQ(target.picturePath, "untouched");
    EXPECT_TRUE(target.pieces.empty());
  }
}
