#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include "platform/ini_text.h"
#include "testkit.h"

namespace {

struct ReadCase {
  const char* what;
  const char* text;
  const char* section;
  const char* entry;
  std::optional<std::string> expected;
};

// Qt's settings reading the same bytes, on a file name used once.
std::optional<std::string> ReadByQt(const std::string& bytes, const std::string& key) {
  static int files = 0;
  testkit::TempDir dir;
  const std::string file = dir.WriteFile("qt-" + std::to_string(++files) + ".ini", bytes);
  const QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
  const QVariant value = settings.value(QString::fromStdString(key));
  if (!value.isValid()) return std::nullopt;
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ").toStdString();
  return value.toString().toStdString();
}

}  // namespace

// What Qt's reader makes of a file, the store reads the same; stored
// objects read as missing.
TEST(IniText, ReadsWhatQtsReaderReads) {
  const ReadCase cases[] = {
      {"top level before any section", "Language=french\n[A]\nX=1\n", "", "Language", "french"},
      {"the General section is the top level", "[A]\nX=1\n[general]\nShowFPS=1\n", "", "ShowFPS", "1"},
      {"a section named General", "[%General]\nX=2\n", "General", "X", "2"},
      {"keys are case-sensitive", "[A]\nkey=1\n", "A", "Key", std::nullopt},
      {"the last of a key counts", "[A]\nX=1\n[B]\nX=5\n[A]\nX=2\n", "A", "X", "2"},
      {"quotes keep commas, spaces and escapes", "[A]\nX=\" a, b; \\\"c\\\" \"\n", "A", "X", " a, b; \"c\" "},
      {"an unquoted comma makes a list", "[A]\nX= a ,b,, c\n", "A", "X", "a, b, , c"},
      {"escapes", "[A]\nX=\\x41\\102\\t\\\\\\?\n", "A", "X", "AB\t\\?"},
      {"a comment ends the line", "[A]\nX=5 ; five\n;Y=6\n", "A", "X", "5"},
      {"a comment line is no key", "[A]\n;Y=6\n", "A", "Y", std::nullopt},
      {"a backslash continues the line", "[A]\nX=one\\\ntwo\nY=3\n", "A", "X", "onetwo"},
      {"a quote runs over newlines", "[A]\nX=\"a\nb\"\nY=3\n", "A", "X", "a\nb"},
      {"encoded keys", "[A%20B]\nC%3Dd=1\n", "A B", "C=d", "1"},
      {"a byte-order mark", "\xEF\xBB\xBFX=1\n", "", "X", "1"},
      {"UTF-8 and \\x escapes of UTF-16", "[A]\nX=\xC3\xA9t\\xe9\n", "A", "X", "\xC3\xA9t\xC3\xA9"},
      {"carriage returns end lines", "[A]\r\nX=1\r\nY=2\r", "A", "Y", "2"},
      {"an escaped @ is text", "[A]\nX=@@mail\n", "A", "X", "@mail"},
      {"a stored object", "[A]\nX=@Rect(1 2 3 4)\n", "A", "X", std::nullopt},
      {"a stored object in a list", "[A]\nX=1, @Variant(\\0\\0\\0J\\0\\0)\n", "A", "X", std::nullopt},
      {"a hidden @", "[A]\nX=\\x40Variant(\\0)\n", "A", "X", std::nullopt},
  };
  for (const ReadCase& c : cases) {
    const IniText text(c.text);
    EXPECT_EQ(text.Value(c.section, c.entry), c.expected) << c.what;
    const bool qtBuildsAnObject =
        c.expected == std::nullopt && std::string(c.text).find('@') != std::string::npos;
    if (!qtBuildsAnObject) {
      const std::string key =
          std::string(c.section).empty() ? c.entry : std::string(c.section) + "/" + c.entry;
      EXPECT_EQ(ReadByQt(c.text, key), c.expected) << c.what << " (Qt)";
    }
  }
}

// A change touches only its keys' lines: a key's line is replaced in place,
// a new key goes after its section's last line (its comment too), a new
// section at the end, a new top level at the start; stored objects go. The
// last line is ended first however the file ends (an open quote, a
// backslash) so that it does not swallow what follows.
TEST(IniText, AChangeTouchesOnlyItsLines) {
  struct Case {
    const char* what;
    const char* text;
    std::vector<IniSetting> settings;
    const char* expected;
  };
  const Case cases[] = {
      {"in place", "; kept\n[A]\nX=1 ; one\nY=2\n", {{"A", "X", "5"}}, "; kept\n[A]\nX=5; one\nY=2\n"},
      {"added to its section",
       "[A]\nX=1 ; one\n[B]\nZ=3\n",
       {{"A", "Y", "2"}},
       "[A]\nX=1 ; one\nY=2\n[B]\nZ=3\n"},
      {"a new section and the top level",
       "[A]\nX=1",
       {{"B", "Y", "a, b"}, {"", "Language", "french"}},
       "[General]\nLanguage=french\n\n[A]\nX=1\n\n[B]\nY=\"a, b\"\n"},
      {"a set twice keeps the last", "", {{"A", "X", "1"}, {"A", "X", "2"}}, "[A]\nX=2\n"},
      {"after an open quote", "[A]\nX=\"open", {{"A", "Y", "2"}}, "[A]\nX=\"open\"\nY=2\n"},
      {"after a backslash at the end", "[A]\nX=a\\", {{"A", "Y", "2"}}, "[A]\nX=a\\\n\nY=2\n"},
      {"stored objects dropped", "[A]\nR=@Rect(1 2 3 4)\nX=1\n", {{"A", "X", "2"}}, "[A]\nX=2\n"},
      {"a key spelled with a backslash", "[S]\nA\\X=1\n", {{"S", "A/X", "2"}}, "[S]\nA\\X=2\n"},
  };
  for (const Case& c : cases) {
    const IniText text(c.text);
    const std::string changed = text.WithValues(c.settings);
    EXPECT_EQ(changed, c.expected) << c.what;
    const IniText again(changed);
    for (const IniSetting& s : c.settings) {
      const std::string key = s.section.empty() ? s.entry : s.section + "/" + s.entry;
      EXPECT_EQ(ReadByQt(changed, key), again.Value(s.section, s.entry)) << c.what << " " << key;
    }
  }
}

// Every kind of text the programs store comes back the same, read here and
// by Qt's reader; and what Qt's settings wrote reads the same here.
TEST(IniText, ValuesRoundTripWithQtsSettings) {
  const std::string values[] = {
      "",
      "plain",
      " lead and trail ",
      "a, b",
      "x=y",
      "semi;colon",
      "q\"uote",
      "back\\slash\\",
      "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC",
      "@at",
      "@@two",
      "tab\tnew\nline\r",
      "\x01"
      "1f",
      "#hash",
      "[S]",
  };
  testkit::TempDir dir;
  for (const std::string& value : values) {
    const std::string written = IniText("").WithValues({{"S", "X", value}});
    EXPECT_EQ(IniText(written).Value("S", "X"), value) << written;
    EXPECT_EQ(ReadByQt(written, "S/X"), value) << written;

    const std::string file = dir / ("qt-" + std::to_string(&value - values) + ".ini");
    {
      QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
      settings.setValue("S/X", QString::fromStdString(value));
    }
    EXPECT_EQ(IniText(testkit::ReadWholeFile(file)).Value("S", "X"), value) << testkit::ReadWholeFile(file);
  }
}
