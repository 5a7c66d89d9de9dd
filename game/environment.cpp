// Sections: description files - table
#include "game/environment.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "engine/engine.h"
#include "game/game_profile.h"
#include "game/xml_reader.h"
#include "support/support.h"

// ---- description files --------------------------------------------------------------
namespace {
void SetError(std::string* error, const std::string& message) {
  if (error) *error = message;
}

// A name of one file of a folder: not empty, no separator, not "." or "..".
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}

// The whole number the text starts with (after blanks, with an optional
// sign), as atoi reads it; false when there is none or it is outside int32.
bool LeadingInteger(const std::string& text, long long& out) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  out = std::strtoll(begin, &end, 10);
  return end != begin && errno == 0 && out >= INT32_MIN && out <= INT32_MAX;
}
}  // namespace

void ListEnvironmentFiles(std::vector<std::string>& names) {
  ListFilesInFolder(GetEnvironmentsDir(), names, "txt");
}

bool ParseEnvironmentFile(EnvironmentInfo& info, const std::string& path, std::string* error) {
  const std::string prefix = "environment file " + path + ": ";
  SXmlNode root;
  std::string why;
  if (!LoadXmlFile(root, path, &why)) {
    SetError(error, prefix + why);
    return false;
  }
  const SXmlNode* environment = root.FindChild("Environment");
  if (!environment) {
    SetError(error, prefix + "there is no Environment element");
    return false;
  }
  EnvironmentInfo read = info;
  read.m_filePath = path;
  bool textureSeen = false, widthSeen = false;
  long long width = 0;
  for (const SXmlNode* child : environment->m_children) {
    if (child->m_name == "NameEnglish")
      read.m_nameEnglish = child->m_text;
    else if (child->m_name == "NameFrench")
      read.m_nameFrench = child->m_text;
    else if (child->m_name == "TextureFileName") {
      read.m_textureFileName = child->m_text;
      textureSeen = true;
    } else if (child->m_name == "Width") {
      widthSeen = LeadingInteger(child->m_text, width);
      if (!widthSeen) width = 0;
    }
  }
  if (!textureSeen || !IsPlainFileName(read.m_textureFileName)) {
    SetError(error, prefix + "TextureFileName must name a file of the environment textures folder");
    return false;
  }
  if (!widthSeen || width <= 0) {
    SetError(error, prefix + "Width must be a whole number above 0");
    return false;
  }
  read.m_tileWidth = static_cast<std::int32_t>(width);
  info = read;
  return true;
}

// ---- table ------------------------------------------------------------------------------
CEnvironment::CEnvironment() = default;

CEnvironment::~CEnvironment() { m_plane.ReleaseBuffers(); }

bool CEnvironment::Load(std::string* error) {
  const std::string file = GetLastEnvFile();
  std::string why;
  bool ok = true;
  std::string texturePath;
  if (file == kCustomEnvironment) {
    m_info.m_tileWidth = kDefaultTileWidth;
    m_info.m_filePath = kCustomEnvironment;
    m_info.m_textureFileName = GetLastEnvCustomFile();
    texturePath = m_info.m_textureFileName;
  } else {
    if (!IsPlainFileName(file)) {
      why = "the environment setting \"" + file + "\" is not a file name";
      ok = false;
    } else {
      ok = ParseEnvironmentFile(m_info, GetEnvironmentsDir() + kPathSeparator + file, &why);
    }
    texturePath = GetEnvironmentTexturesDir() + kPathSeparator + m_info.m_textureFileName;
  }
  std::string textureWhy;
  if (!LoadTexture(texturePath, &textureWhy)) {
    why = why.empty() ? textureWhy : why + "; " + textureWhy;
    ok = false;
  }
  if (!BuildPlane()) {
    why = why.empty() ? "the table mesh could not be built" : why + "; the table mesh could not be built";
    ok = false;
  }
  if (!ok) SetError(error, why);
  return ok;
}

bool CEnvironment::LoadTexture(const std::string& path, std::string* error) {
  // Loaded aside first, so that a picture that does not load keeps the
  // texture the table has.
  CKVRTexture fresh;
  if (!fresh.LoadFromFile(path, 0)) {
    const std::string why = LastPictureError();
    SetError(error, "the table texture " + path + " could not be loaded" + (why.empty() ? "" : ": " + why));
    return false;
  }
  m_tableTexture.Release();
  m_tableTexture.m_d3dTexture = fresh.m_d3dTexture;
  m_tableTexture.m_imageInfo = fresh.m_imageInfo;
  m_tableTexture.m_width = fresh.m_width;
  m_tableTexture.m_height = fresh.m_height;
  fresh.m_d3dTexture = nullptr;
  m_plane.m_texture = &m_tableTexture;
  return true;
}

bool CEnvironment::BuildPlane() {
  if (m_plane.m_vertexBuffer || m_plane.m_indexBuffer) m_plane.ReleaseBuffers();
  if (!BuildGridMesh(m_plane, m_size, m_size, 4, 4)) return false;
  m_plane.m_position = D3DXVECTOR3(0, 0, 0);
  D3DXMatrixIdentity(&m_plane.m_translation);
  // Repetitions across the table; along y the tiles keep the picture's
  // proportions. Without a valid width or picture size the defaults stand in.
  const int tile = m_info.m_tileWidth > 0 ? m_info.m_tileWidth : kDefaultTileWidth;
  const D3DXIMAGE_INFO& image = m_tableTexture.m_imageInfo;
  const float a = m_size / float(tile);
  const float b = image.Width > 0 && image.Height > 0 ? float(image.Height) / float(image.Width) : 1.0f;
  if (!m_plane.LockBuffers()) return false;
  for (int i = 0; i < m_plane.m_vertexCount; ++i) {
    m_plane.m_lockedVertices[i].u *= a;
    m_plane.m_lockedVertices[i].v *= a / b;
  }
  m_plane.UnlockBuffers();
  return true;
}

bool CEnvironment::Reload() {
  m_plane.ReleaseBuffers();
  m_tableTexture.Release();
  Load();
  return true;
}

void CEnvironment::Render() {
  IDirect3DDevice9* device = g_Engine.Device();
  if (!device) return;
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
  m_plane.Render();
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, 1);
}

bool CEnvironment::Contains(const D3DXVECTOR3& point) const {
  return -m_halfExtent <= point.x && point.x <= m_halfExtent && -m_halfExtent <= point.y &&
         point.y <= m_halfExtent;
}
