// Sections: field helpers - writing - reading the parts - reading
#include "game/saves/saved_game_file.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <cmath>

#include "game/puzzle_choice.h"

namespace {

// ---- field helpers -------------------------------------------------------------------------
QJsonArray VectorJson(const SavedVector& v) { return QJsonArray{double(v.x), double(v.y), double(v.z)}; }

// Collects the first failure; every helper answers false once one happened.
class Checker {
 public:
  bool Failed() const { return !m_reason.empty(); }
  const std::string& Reason() const { return m_reason; }
  bool Fail(const std::string& field) {
    if (m_reason.empty()) m_reason = field;
    return false;
  }

  bool Int(const QJsonObject& o, const char* key, std::int64_t min, std::int64_t max, std::int32_t& out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble()) return Fail(key);
    const double d = v.toDouble();
    if (!(d >= double(min) && d <= double(max)) || d != std::floor(d)) return Fail(key);
    out = static_cast<std::int32_t>(d);
    return true;
  }
  bool Bool(const QJsonObject& o, const char* key, bool& out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isBool()) return Fail(key);
    out = v.toBool();
    return true;
  }
  bool String(const QJsonObject& o, const char* key, std::string& out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString()) return Fail(key);
    out = v.toString().toStdString();
    return true;
  }
  bool Object(const QJsonObject& o, const char* key, QJsonObject& out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isObject()) return Fail(key);
    out = v.toObject();
    return true;
  }
  // Three numbers that are finite as floats and, with a bound, within it.
  bool Vector(const QJsonValue& v, const char* field, double bound, SavedVector& out) {
    const QJsonArray a = v.toArray();
    if (!v.isArray() || a.size() != 3) return Fail(field);
    float c[3];
    for (int i = 0; i < 3; ++i) {
      if (!a[i].isDouble()) return Fail(field);
      c[i] = static_cast<float>(a[i].toDouble());
      if (!std::isfinite(c[i]) || std::fabs(double(c[i])) > bound) return Fail(field);
    }
    out = SavedVector{c[0], c[1], c[2]};
    return true;
  }

 private:
  std::string m_reason;
};

bool IsPlainFileName(const std::string& name) {
  if (name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || c == '\\' || c == '\0') return false;
  return true;
}

bool HasLength(const SavedVector& v) { return v.x != 0.0f || v.y != 0.0f || v.z != 0.0f; }

}  // namespace

int SavedNeighbourIndex(int index, int side, int columns, int rows) {
  const int row = index / columns, column = index % columns;
  switch (side) {
    case 0: return row > 0 ? index - columns : -1;
    case 1: return column < columns - 1 ? index + 1 : -1;
    case 2: return row < rows - 1 ? index + columns : -1;
    case 3: return column > 0 ? index - 1 : -1;
    default: return -1;
  }
}

// ---- writing ---------------------------------------------------------------------------------
std::string WriteSavedGame(const SavedGame& game) {
  QJsonArray pieces;
  for (const SavedPiece& p : game.pieces) {
    pieces.append(QJsonObject{
        {"id", p.id},
        {"position", VectorJson(p.position)},
        {"layer", p.layer},
        {"turns", p.turns},
        {"joined", QJsonArray{p.joined[0], p.joined[1], p.joined[2], p.joined[3]}},
    });
  }
  const QJsonObject root{
      {"format", kSavedGameFormat},
      {"version", kSavedGameVersion},
      {"geometry", kSavedGameGeometry},
      {"picture", QJsonObject{{"path", QString::fromStdString(game.picturePath)},
                              {"sample", QString::fromStdString(game.sampleName)},
                              {"width", game.pictureWidth},
                              {"height", game.pictureHeight}}},
      {"board", QJsonObject{{"seed", game.seed},
                            {"columns", game.columns},
                            {"rows", game.rows},
                            {"shape", game.shape},
                            {"irregularity", game.irregularity},
                            {"rotation", game.rotatePieces}}},
      {"playTime", game.playTime},
      {"camera", QJsonObject{{"eye", VectorJson(game.camera.eye)},
                             {"direction", VectorJson(game.camera.direction)},
                             {"up", VectorJson(game.camera.up)},
                             {"right", VectorJson(game.camera.right)}}},
      {"pieces", pieces},
  };
  return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

// ---- reading the parts ---------------------------------------------------------------------
namespace {

bool ReadPicture(Checker& c, const QJsonObject& root, SavedGame& g) {
  QJsonObject o;
  if (!c.Object(root, "picture", o) || !c.String(o, "path", g.picturePath) ||
      !c.String(o, "sample", g.sampleName) || !c.Int(o, "width", 1, kMaxSavedPictureSide, g.pictureWidth) ||
      !c.Int(o, "height", 1, kMaxSavedPictureSide, g.pictureHeight))
    return false;
  if (!IsPlainFileName(g.sampleName)) return c.Fail("sample");
  if (g.picturePath.empty() && g.sampleName.empty()) return c.Fail("path");
  return true;
}

bool ReadBoard(Checker& c, const QJsonObject& root, SavedGame& g) {
  QJsonObject o;
  if (!c.Object(root, "board", o) || !c.Int(o, "seed", 0, kMaxSavedSeed, g.seed) ||
      !c.Int(o, "columns", kMinSavedGridSide, kMaxSavedPieces, g.columns) ||
      !c.Int(o, "rows", kMinSavedGridSide, kMaxSavedPieces, g.rows) || !c.Int(o, "shape", 1, 51, g.shape) ||
      !c.Int(o, "irregularity", 0, kMaxSavedIrregularity, g.irregularity) ||
      !c.Bool(o, "rotation", g.rotatePieces))
    return false;
  if (!IsPieceShape(g.shape)) return c.Fail("shape");
  if (std::int64_t(g.columns) * g.rows > kMaxSavedPieces) return c.Fail("columns");
  return true;
}

// A camera that cannot be used is dropped, not refused.
void ReadCamera(const QJsonObject& root, SavedGame& g) {
  g.hasCamera = false;
  const QJsonObject o = root.value(QLatin1String("camera")).toObject();
  Checker c;
  SavedCamera camera;
  const double any = HUGE_VAL;
  if (c.Vector(o.value(QLatin1String("eye")), "eye", any, camera.eye) &&
      c.Vector(o.value(QLatin1String("direction")), "direction", any, camera.direction) &&
      c.Vector(o.value(QLatin1String("up")), "up", any, camera.up) &&
      c.Vector(o.value(QLatin1String("right")), "right", any, camera.right) && HasLength(camera.direction) &&
      HasLength(camera.up)) {
    g.camera = camera;
    g.hasCamera = true;
  }
}

bool ReadPiece(Checker& c, const QJsonValue& value, const SavedGame& g, std::vector<SavedPiece>& pieces) {
  const QJsonObject o = value.toObject();
  SavedPiece p;
  const int count = g.columns * g.rows;
  if (!value.isObject() || !c.Int(o, "id", 1, count, p.id) ||
      !c.Vector(o.value(QLatin1String("position")), "position", kMaxSavedCoordinate, p.position) ||
      !c.Int(o, "layer", 0, 7, p.layer) || !c.Int(o, "turns", 0, 3, p.turns))
    return c.Fail("piece");
  if (!g.rotatePieces && p.turns != 0) return c.Fail("turns");
  if (pieces[size_t(p.id - 1)].id != 0) return c.Fail("id");
  const QJsonArray joined = o.value(QLatin1String("joined")).toArray();
  if (joined.size() != 4) return c.Fail("joined");
  for (int side = 0; side < 4; ++side) {
    if (!joined[side].isBool()) return c.Fail("joined");
    p.joined[side] = joined[side].toBool();
    if (p.joined[side] && SavedNeighbourIndex(p.id - 1, side, g.columns, g.rows) < 0) return c.Fail("joined");
  }
  pieces[size_t(p.id - 1)] = p;
  return true;
}

// Every joined side is matched by the neighbour's facing side, and joined
// pieces share their turns (so each joined group has one turn value).
bool CheckJoins(Checker& c, const SavedGame& g, const std::vector<SavedPiece>& pieces) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    for (int side = 0; side < 4; ++side) {
      const int n = SavedNeighbourIndex(int(i), side, g.columns, g.rows);
      if (n < 0) continue;
      const SavedPiece& other = pieces[size_t(n)];
      if (pieces[i].joined[side] != other.joined[(side + 2) % 4]) return c.Fail("joined");
      if (pieces[i].joined[side] && pieces[i].turns != other.turns) return c.Fail("turns");
    }
  }
  return true;
}

bool ReadPieces(Checker& c, const QJsonObject& root, SavedGame& g) {
  const QJsonValue value = root.value(QLatin1String("pieces"));
  const QJsonArray list = value.toArray();
  if (!value.isArray() || list.size() != g.columns * g.rows) return c.Fail("pieces");
  std::vector<SavedPiece> pieces(size_t(list.size()));
  for (const QJsonValue& v : list)
    if (!ReadPiece(c, v, g, pieces)) return false;
  if (!CheckJoins(c, g, pieces)) return false;
  g.pieces = std::move(pieces);
  return true;
}

// Version and geometry: newer ones have their own answer.
SavedGameStatus ReadVersion(Checker& c, const QJsonObject& root, const char* key, int current) {
  std::int32_t version = 0;
  if (!c.Int(root, key, 1, INT32_MAX, version)) return SavedGameStatus::kDamaged;
  if (version == current) return SavedGameStatus::kOk;
  c.Fail(key);
  return version > current ? SavedGameStatus::kNewerVersion : SavedGameStatus::kDamaged;
}

}  // namespace

// ---- reading ---------------------------------------------------------------------------------
SavedGameReadResult ReadSavedGame(const std::string& bytes, SavedGame& out) {
  auto fail = [](SavedGameStatus status, const std::string& reason) {
    return SavedGameReadResult{status, reason};
  };
  if (std::int64_t(bytes.size()) > kMaxSavedGameBytes) return fail(SavedGameStatus::kDamaged, "size");
  QJsonParseError error;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())), &error);
  if (error.error != QJsonParseError::NoError || !document.isObject())
    return fail(SavedGameStatus::kDamaged, "json");
  const QJsonObject root = document.object();
  Checker c;
  std::string format;
  if (!c.String(root, "format", format) || format != kSavedGameFormat)
    return fail(SavedGameStatus::kDamaged, "format");
  for (const auto& [key, current] :
       {std::pair{"version", kSavedGameVersion}, {"geometry", kSavedGameGeometry}}) {
    const SavedGameStatus status = ReadVersion(c, root, key, current);
    if (status != SavedGameStatus::kOk) return fail(status, c.Reason());
  }
  SavedGame g;
  const QJsonValue time = root.value(QLatin1String("playTime"));
  g.playTime = time.toDouble(-1.0);
  if (!time.isDouble() || !(g.playTime >= 0.0 && g.playTime <= kMaxSavedPlayTime)) c.Fail("playTime");
  if (c.Failed() || !ReadPicture(c, root, g) || !ReadBoard(c, root, g) || !ReadPieces(c, root, g))
    return fail(SavedGameStatus::kDamaged, c.Reason());
  ReadCamera(root, g);
  out = std::move(g);
  return SavedGameReadResult{SavedGameStatus::kOk, ""};
}
