#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../engine/engine_fixture.h"
#include "../platform/picture_bombs.h"
#include "game/environment.h"
#include "platform/profile.h"
#include "support/support.h"
#include "testkit.h"
#include "tests/engine/engine_access.h"

namespace {
std::string Description(const std::string& children, bool prolog = true) {
  return std::string(prolog ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" : "") + "<Environment>\r\n" +
         children + "</Environment>\r\n";
}

const std::string kWood =
    "  <NameEnglish>Wood</NameEnglish>\r\n  <NameFrench>Bois</NameFrench>\r\n"
    "  <TextureFileName>wood.png</TextureFileName>\r\n  <Width>300</Width>\r\n";

EnvironmentInfo OldRecord() { return {"old.txt", "Old", "Ancien", "old.png", 123}; }

void ExpectRecord(const EnvironmentInfo& info, const EnvironmentInfo& expected) {
  EXPECT_EQ(info.m_filePath, expected.m_filePath);
  EXPECT_EQ(info.m_nameEnglish, expected.m_nameEnglish);
  EXPECT_EQ(info.m_nameFrench, expected.m_nameFrench);
  EXPECT_EQ(info.m_textureFileName, expected.m_textureFileName);
  EXPECT_EQ(info.m_tileWidth, expected.m_tileWidth);
}
}  // namespace

TEST(EnvironmentFiles, DescriptionsAndWhatTheyGive) {
  testkit::TempDir dir;
  const struct {
    const char* label;
    std::string bytes;
    bool ok;
    EnvironmentInfo expected;  // m_filePath filled in below for a success
  } cases[] = {
      {"full", Description(kWood), true, {"", "Wood", "Bois", "wood.png", 300}},
      {"no prolog", Description(kWood, false), true, {"", "Wood", "Bois", "wood.png", 300}},
      {"width with blank and tail",
       Description("<TextureFileName>t.png</TextureFileName><Width> 250abc</Width>"),
       true,
       {"", "Old", "Ancien", "t.png", 250}},  // names it lacks stay as they were
      {"last one wins",
       Description(kWood + "<Width>77</Width><Other>x</Other>"),
       true,
       {"", "Wood", "Bois", "wood.png", 77}},
      {"utf-8 names",
       Description("<NameFrench>Ch\xc3\xaane</NameFrench><TextureFileName>t.png</TextureFileName>"
                   "<Width>5</Width>"),
       true,
       {"", "Old", "Ch\xc3\xaane", "t.png", 5}},
      // Failures leave the record as it was.
      {"unclosed prolog", "<?xml version=\"1.0\"\r\n<Environment>" + kWood + "</Environment>", false,
       OldRecord()},
      {"truncated", Description(kWood).substr(0, 120), false, OldRecord()},
      {"blank in a start tag", Description("<NameFrench >Bois</NameFrench>" + kWood), false, OldRecord()},
      {"no Environment", "<Table>" + kWood + "</Table>", false, OldRecord()},
      {"empty Width", Description("<TextureFileName>t.png</TextureFileName><Width/>"), false, OldRecord()},
      {"zero Width", Description("<TextureFileName>t.png</TextureFileName><Width>0</Width>"), false,
       OldRecord()},
      {"negative Width", Description("<TextureFileName>t.png</TextureFileName><Width>-5</Width>"), false,
       OldRecord()},
      {"Width beyond int32",
       Description("<TextureFileName>t.png</TextureFileName><Width>99999999999</Width>"), false, OldRecord()},
      {"no Width", Description("<TextureFileName>t.png</TextureFileName>"), false, OldRecord()},
      {"no texture", Description("<Width>5</Width>"), false, OldRecord()},
      {"texture outside the folder",
       Description("<TextureFileName>../x.png</TextureFileName><Width>5</Width>"), false, OldRecord()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = dir.WriteFile(std::string(c.label) + ".txt", c.bytes);
    EnvironmentInfo info = OldRecord();
    std::string error;
    EXPECT_EQ(ParseEnvironmentFile(info, path, &error), c.ok);
    EnvironmentInfo expected = c.expected;
    if (c.ok) expected.m_filePath = path;
    ExpectRecord(info, expected);
    EXPECT_EQ(error.empty(), c.ok) << error;
    if (!c.ok) {
      EXPECT_NE(error.find(path), std::string::npos) << error;
    }
  }
  EnvironmentInfo info = OldRecord();
  EXPECT_FALSE(ParseEnvironmentFile(info, dir / "missing.txt"));
  ExpectRecord(info, OldRecord());
}

// The description files the build installs are all usable.
TEST(EnvironmentFiles, ShippedDescriptionsParse) {
  ASSERT_NE(GetInstallDir(), "");
  std::vector<std::string> names;
  ListEnvironmentFiles(names);
  ASSERT_NE(std::find(names.begin(), names.end(), "001.txt"), names.end());
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EnvironmentInfo info;
    std::string error;
    ASSERT_TRUE(ParseEnvironmentFile(info, GetEnvironmentsDir() + "/" + name, &error)) << error;
    EXPECT_FALSE(info.m_nameEnglish.empty());
    EXPECT_FALSE(info.m_nameFrench.empty());
    EXPECT_GT(info.m_tileWidth, 0);
    EXPECT_TRUE(std::ifstream(GetEnvironmentTexturesDir() + "/" + info.m_textureFileName).good());
  }
}

// ---- the table on the recording device ----------------------------------------------
namespace {
class TableTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartEngine();
    SetProfileFile(m_dir / "profile.ini");
    WritePicture("wood.png", 64, 32);
    m_dir.WriteFile("Environments/001.txt", Description(kWood));
  }
  void TearDown() override {
    m_table.reset();
    SetProfileFile("");
    EngineTest::TearDown();
  }
  std::string WritePicture(const std::string& name, int width, int height) {
    const std::string path = m_dir.MakeFolder("Environments/Textures") + "/" + name;
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(0xFF8040);
    EXPECT_TRUE(picture.save(QString::fromStdString(path)));
    return path;
  }
  void UseFile(const std::string& name) { ProfileWriteString("Environments", "LastEnvFile", name); }
  CEnvironment& Table() {
    if (!m_table) m_table = std::make_unique<CEnvironment>();
    return *m_table;
  }
  // Every vertex's texture coordinate is its position over the tile size:
  // tileWidth along x, tileHeight along y.
  void ExpectRepeats(float tileWidth, float tileHeight) {
    CKVR3DObject& plane = Table().m_plane;
    ASSERT_EQ(plane.m_vertexCount, 25);
    EXPECT_EQ(plane.m_primitiveCount, 32);
    ASSERT_TRUE(plane.LockBuffers());
    for (int i = 0; i < plane.m_vertexCount; ++i) {
      const VertexPNDT& v = plane.m_lockedVertices[i];
      EXPECT_NEAR(v.u, (v.x + 2500.0f) / tileWidth, 1e-3) << i;
      EXPECT_NEAR(v.v, (v.y + 2500.0f) / tileHeight, 1e-3) << i;
      EXPECT_EQ(v.z, 0.0f);
    }
    EXPECT_EQ(plane.m_lockedVertices[24].x, 2500.0f);
    EXPECT_EQ(plane.m_lockedVertices[24].y, 2500.0f);
    plane.UnlockBuffers();
  }

  testkit::TempDir m_dir;
  testkit::ScopedInstallation m_install{m_dir.path()};
  std::unique_ptr<CEnvironment> m_table;
};
}  // namespace

TEST_F(TableTest, LoadsTheChosenEnvironmentAndRepeatsItsTexture) {
  std::string error;
  ASSERT_TRUE(Table().Load(&error)) << error;
  EXPECT_EQ(Table().m_info.m_nameEnglish, "Wood");
  EXPECT_EQ(Table().m_info.m_filePath, GetEnvironmentsDir() + "/001.txt");
  EXPECT_EQ(Table().m_plane.m_texture, &Table().m_tableTexture);
  EXPECT_NE(Table().m_tableTexture.m_d3dTexture, nullptr);
  EXPECT_NE(std::find(Inside(g_Engine).Textures().begin(), Inside(g_Engine).Textures().end(),
                      &Table().m_tableTexture),
            Inside(g_Engine).Textures().end());
  // Every 300 units across; the 64 x 32 picture keeps its proportions.
  ExpectRepeats(300.0f, 150.0f);
}

TEST_F(TableTest, CustomPictureRepeatsEvery200Units) {
  const std::string picture = WritePicture("mine.png", 100, 100);
  UseFile("CUSTOM");
  ProfileWriteString("Environments", "LastEnvCustomFile", picture);
  ASSERT_TRUE(Table().Load());
  EXPECT_EQ(Table().m_info.m_filePath, "CUSTOM");
  EXPECT_EQ(Table().m_info.m_textureFileName, picture);
  EXPECT_EQ(Table().m_info.m_tileWidth, 200);
  ExpectRepeats(200.0f, 200.0f);  // 25 times across
}

TEST_F(TableTest, BadDescriptionOrTextureKeepsWhatTheTableHad) {
  ASSERT_TRUE(Table().Load());
  const struct {
    const char* file;
    std::string bytes;
  } cases[] = {
      {"broken.txt", Description(kWood).substr(0, 100)},
      {"nowidth.txt", Description("<TextureFileName>wood.png</TextureFileName>")},
      {"missing.txt", ""},
      {"../001.txt", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    if (!c.bytes.empty()) m_dir.WriteFile(std::string("Environments/") + c.file, c.bytes);
    UseFile(c.file);
    std::string error;
    EXPECT_FALSE(Table().Load(&error));
    EXPECT_FALSE(error.empty());
    // The previous description stands, its picture loaded again.
    EXPECT_EQ(Table().m_info.m_nameEnglish, "Wood");
    EXPECT_NE(Table().m_tableTexture.m_d3dTexture, nullptr);
    EXPECT_EQ(Table().m_tableTexture.m_imageInfo.Width, 64u);
    ExpectRepeats(300.0f, 150.0f);
  }
  // A description whose texture does not load: the old picture stays.
  IDirect3DTexture9* const wood = Table().m_tableTexture.m_d3dTexture;
  m_dir.WriteFile("Environments/002.txt",
                  Description("<TextureFileName>none.png</TextureFileName><Width>500</Width>"));
  UseFile("002.txt");
  std::string error;
  EXPECT_FALSE(Table().Load(&error));
  EXPECT_NE(error.find("none.png"), std::string::npos) << error;
  EXPECT_EQ(Table().m_tableTexture.m_d3dTexture, wood);
  EXPECT_EQ(Table().m_plane.m_texture, &Table().m_tableTexture);
  ExpectRepeats(500.0f, 250.0f);
}

// Names from the profile and from descriptions lead anywhere: pipes,
// devices and picture bombs fail at once with a clear reason, keeping the
// table as it was.
TEST_F(TableTest, HostileFilesFailAtOnceWithTheirReason) {
  ASSERT_TRUE(Table().Load());
  ASSERT_EQ(::mkfifo((m_dir / "Environments/pipe.txt").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((m_dir / "Environments/Textures/pipe.png").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", m_dir / "Environments/Textures/zero.png");
  m_dir.WriteFile("Environments/Textures/bomb.png", picture_bombs::Png().toStdString());
  m_dir.WriteFile("Environments/utf16.txt", std::string("\xFF\xFE<\0E\0", 6));
  const struct {
    std::string envFile, customFile, reason;
  } cases[] = {
      {"pipe.txt", "", "not a regular file"},
      {"utf16.txt", "", "not UTF-8"},
      {"CUSTOM", m_dir / "Environments/Textures/pipe.png", "not a regular file"},
      {"CUSTOM", m_dir / "Environments/Textures/zero.png", "not a regular file"},
      {"CUSTOM", m_dir / "Environments/Textures/bomb.png", "too large (22000 x 22000 pixels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.envFile + " " + c.customFile);
    UseFile(c.envFile);
    ProfileWriteString("Environments", "LastEnvCustomFile", c.customFile);
    std::string error;
    EXPECT_FALSE(Table().Load(&error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_NE(Table().m_tableTexture.m_d3dTexture, nullptr);  // the wood picture
    EXPECT_EQ(Table().m_tableTexture.m_imageInfo.Width, 64u);
  }
}

TEST_F(TableTest, WithoutAnythingValidTheTableStillHasDefinedCoordinates) {
  UseFile("missing.txt");
  EXPECT_FALSE(Table().Load());
  EXPECT_EQ(Table().m_tableTexture.m_d3dTexture, nullptr);
  EXPECT_EQ(Table().m_plane.m_texture, nullptr);
  ExpectRepeats(200.0f, 200.0f);
}

TEST_F(TableTest, ReloadRebuildsFromTheProfile) {
  ASSERT_TRUE(Table().Load());
  WritePicture("felt.png", 32, 32);
  m_dir.WriteFile("Environments/002.txt",
                  Description("<TextureFileName>felt.png</TextureFileName><Width>1000</Width>"));
  UseFile("002.txt");
  EXPECT_TRUE(Table().Reload());
  EXPECT_EQ(Table().m_info.m_textureFileName, "felt.png");
  ExpectRepeats(1000.0f, 1000.0f);
  // After a reload the old picture is gone, so a failing one leaves none.
  UseFile("missing-texture.txt");
  m_dir.WriteFile("Environments/missing-texture.txt",
                  Description("<TextureFileName>none.png</TextureFileName><Width>400</Width>"));
  EXPECT_TRUE(Table().Reload());
  EXPECT_EQ(Table().m_tableTexture.m_d3dTexture, nullptr);
  ExpectRepeats(400.0f, 400.0f);
}

TEST_F(TableTest, RendersBehindEverythingWithDepthTestsOffAroundThePlane) {
  ASSERT_TRUE(Table().Load());
  ASSERT_EQ(g_Engine.Device()->BeginScene(), D3D_OK);
  m_script.m_log.Clear();
  Table().Render();
  g_Engine.Device()->EndScene();
  const CallLog& log = Log();
  const int zOff = log.IndexOf("SetRenderState 7 0"), zWriteOff = log.IndexOf("SetRenderState 14 0");
  const std::vector<std::string> textures = log.Matching("SetTexture 0 tex");
  ASSERT_FALSE(textures.empty()) << log.Dump();
  const int texture = log.IndexOf(textures[0]);
  const std::vector<std::string> draws = log.Matching("DrawIndexedPrimitive");
  ASSERT_EQ(draws.size(), 1u) << log.Dump();
  const int draw = log.IndexOf(draws[0]);
  const int zOn = log.IndexOf("SetRenderState 7 1", draw),
            zWriteOn = log.IndexOf("SetRenderState 14 1", draw);
  EXPECT_EQ(draws[0], "DrawIndexedPrimitive 4 0 0 25 0 32");
  EXPECT_TRUE(zOff >= 0 && zWriteOff >= 0 && texture > zOff && draw > zWriteOff && draw > texture)
      << log.Dump();
  EXPECT_TRUE(zOn > draw && zWriteOn > draw) << log.Dump();
  EXPECT_EQ(RenderState(D3DRS_ZENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 1u);
}

TEST(TableBounds, ContainsIncludesTheEdges) {
  const struct {
    float x, y;
    bool inside;
  } cases[] = {
      {0, 0, true},          {2500, -2500, true},   {-2500, 2500, true},  {2500.01f, 0, false},
      {0, -2500.01f, false}, {-2500.01f, 0, false}, {0, 2500.01f, false},
  };
  // Contains reads only the extents, so no device is needed.
  CEnvironment table;
  for (const auto& c : cases)
    EXPECT_EQ(table.Contains(D3DXVECTOR3(c.x, c.y, 123.0f)), c.inside) << c.x << ", " << c.y;
}
