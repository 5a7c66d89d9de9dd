#pragma once
// The table the puzzle lies on, and the environment description files it is
// chosen from.
//
// The table is a flat square of 5000 x 5000 units centred on the origin in
// the plane z = 0, covered by a repeating texture. Environment description
// files ("*.txt" in the environments folder) are small XML documents:
//
//   <?xml version="1.0" encoding="UTF-8"?>          (optional)
//   <Environment>
//     <NameEnglish>Oak Table</NameEnglish>          (optional)
//     <NameFrench>Table en chêne</NameFrench>       (optional)
//     <TextureFileName>Oak.jpg</TextureFileName>    (a file of the environment textures folder)
//     <Width>600</Width>                            (tile width in table units, > 0)
//   </Environment>
//
// Only the direct children of the first Environment element are read; names
// are compared exactly; other children are ignored; when a name repeats, the
// last one wins. The profile value "LastEnvFile" names the file in use, or
// "CUSTOM" for a picture of the player's (tile width 200).
//
// Sections: description record - description files - table
#include <cstdint>
#include <string>
#include <vector>

#include "engine/draw_resources.h"
#include "engine/render_object.h"

// ---- description record -----------------------------------------------------------
struct EnvironmentInfo {
  std::string m_filePath;  // the description file read; "CUSTOM" for the custom table
  std::string m_nameEnglish;
  std::string m_nameFrench;
  std::string m_textureFileName;  // in the environment textures folder; a full path for "CUSTOM"
  std::int32_t m_tileWidth = 0;   // table units per repetition of the texture; 0 until read
};

// The tile width of the custom table, and the one used when no valid width
// was ever read.
inline constexpr std::int32_t kDefaultTileWidth = 200;

// ---- description files --------------------------------------------------------------
// The names (without folder) of the description files of the environments
// folder, in the folder listing's order.
void ListEnvironmentFiles(std::vector<std::string>& names);
// Reads a description file into info. false, with info unchanged and error
// saying why, when the file cannot be read, is malformed XML, holds no
// Environment element, or lacks a valid TextureFileName (a plain file name)
// or Width (text starting with a whole number above 0). Optional names that
// the file lacks keep the values info had.
bool ParseEnvironmentFile(EnvironmentInfo& info, const std::string& path, std::string* error = nullptr);

// ---- table ------------------------------------------------------------------------------
class CEnvironment {
 public:
  // The table texture is listed in the engine's texture list while the table
  // lives.
  CEnvironment();
  // Releases the plane's buffers and the texture.
  ~CEnvironment();
  CEnvironment(const CEnvironment&) = delete;
  CEnvironment& operator=(const CEnvironment&) = delete;

  // Reads the current environment from the profile, loads its texture and
  // rebuilds the plane: a 4 x 4-cell grid whose texture repeats every tile
  // width along x and every tile width x (picture height / width) along y.
  // A description that cannot be read keeps the previous environment; a
  // texture that does not load keeps the previous texture (or none). Both
  // answer false with error saying why; the plane is built in every case
  // unless the device refuses its buffers.
  bool Load(std::string* error = nullptr);
  // Releases the plane's buffers and the texture, then Load. Always true.
  bool Reload();
  // Z test and Z writes off, the plane, then both on again: the table lies
  // behind everything drawn after it.
  void Render();
  // -m_halfExtent <= x, y <= m_halfExtent (bounds included).
  bool Contains(const D3DXVECTOR3& point) const;

  float m_size = 5000.0f;
  float m_halfExtent = 2500.0f;
  EnvironmentInfo m_info;
  CKVR3DObject m_plane;
  CKVRTexture m_tableTexture;

 private:
  bool LoadTexture(const std::string& path, std::string* error);
  bool BuildPlane();
};
