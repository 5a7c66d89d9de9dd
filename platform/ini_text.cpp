#include "platform/ini_text.h"

// Sections: lines - keys - values - parsing - reading - editing
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <map>
#include <utility>

namespace {

// ---- lines ---------------------------------------------------------------
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsSpecial(char c) { return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\'; }

// One logical line as the reader finds it: [start, end) without the
// spaces before it and the newline or comment after it.
struct RawLine {
  std::size_t start = 0, end = 0;
  std::size_t equals = std::string::npos;  // the first '=' outside quotes
  bool openQuote = false;                  // a quote still open where it ends
  bool openEscape = false;                 // a backslash with nothing after it
  bool escapedCr = false;                  // a backslash and a carriage return at the end
};

// Reads the line at pos and moves pos past it; false when only spaces,
// newlines and comments were left.
bool ReadLine(const std::string& data, std::size_t& pos, RawLine& line) {
  const std::size_t size = data.size();
  line = RawLine{};
  std::size_t start = pos;
  while (start < size && IsSpace(data[start])) ++start;
  std::size_t i = start;
  bool inQuotes = false;
  while (i < size) {
    char ch = data[i];
    while (!IsSpecial(ch)) {
      if (++i == size) goto done;
      ch = data[i];
    }
    ++i;
    if (ch == '=') {
      if (!inQuotes && line.equals == std::string::npos) line.equals = i - 1;
    } else if (ch == '\n' || ch == '\r') {
      if (i == start + 1) {
        ++start;
      } else if (!inQuotes) {
        --i;
        goto done;
      }
    } else if (ch == '\\') {
      if (i == size) {
        line.openEscape = true;
      } else {
        const char escaped = data[i++];
        line.escapedCr = escaped == '\r' && i == size;
        if (i < size) {
          const char next = data[i];
          if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n')) ++i;
        }
      }
    } else if (ch == '"') {
      inQuotes = !inQuotes;
    } else if (i == start + 1) {  // ';' starting the line: a comment line
      while (i < size && data[i] != '\n' && data[i] != '\r') ++i;
      while (i < size && IsSpace(data[i])) ++i;
      start = i;
    } else if (!inQuotes) {  // ';' after text: the rest is a comment
      --i;
      goto done;
    }
  }
done:
  pos = i;
  line.start = start;
  line.end = i;
  line.openQuote = inQuotes && i == size;
  if (i != size) line.openEscape = false;
  return line.end > line.start;
}

QByteArray Trimmed(const std::string& data, std::size_t begin, std::size_t end) {
  return QByteArray(data.data() + begin, qsizetype(end - begin)).trimmed();
}

// ---- keys ---------------------------------------------------------------
QString UnescapedKey(const QByteArray& key) {
  const QString decoded = QString::fromUtf8(key);
  QString result;
  qsizetype i = 0;
  while (i < decoded.size()) {
    const QChar ch = decoded.at(i);
    if (ch == u'\\') {
      result += u'/';
      ++i;
      continue;
    }
    if (ch != u'%' || i == decoded.size() - 1) {
      result += ch;
      ++i;
      continue;
    }
    qsizetype first = i + 1;
    int digits = 2;
    if (decoded.at(first) == u'U') {
      ++first;
      digits = 4;
    }
    bool ok = false;
    const ushort code =
        first + digits <= decoded.size() ? decoded.sliced(first, digits).toUShort(&ok, 16) : 0;
    if (!ok) {
      result += u'%';
      ++i;
      continue;
    }
    result += QChar(code);
    i = first + digits;
  }
  return result;
}

QByteArray EscapedKey(const QString& key) {
  static const char hex[] = "0123456789ABCDEF";
  QByteArray out;
  for (const QChar qch : key) {
    const char16_t ch = qch.unicode();
    if (ch == u'/') {
      out += '\\';
    } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
               ch == '_' || ch == '-' || ch == '.') {
      out += char(ch);
    } else if (ch <= 0xFF) {
      out += '%';
      out += hex[ch / 16];
      out += hex[ch % 16];
    } else {
      out += "%U";
      for (int shift = 12; shift >= 0; shift -= 4) out += hex[(ch >> shift) & 0xF];
    }
  }
  return out;
}

// The section a "[...]" line names: "" for the top level, else "name/".
QString SectionOf(const std::string& data, const RawLine& line) {
  std::size_t close = data.find(']', line.start);
  if (close == std::string::npos || close > line.end) close = line.end;
  const QByteArray name = Trimmed(data, line.start + 1, close);
  if (name.compare("general", Qt::CaseInsensitive) == 0) return QString();
  if (name.compare("%general", Qt::CaseInsensitive) == 0) return QString::fromLatin1(name.mid(1)) + u'/';
  return UnescapedKey(name) + u'/';
}

// What a section's keys start with: "" for the top level, else "name/" (an
// empty name too: "[]" is no top level).
std::string PrefixOf(const std::string& section) { return section.empty() ? section : section + '/'; }
std::string KeyOf(const std::string& section, const std::string& entry) { return PrefixOf(section) + entry; }

// ---- values ---------------------------------------------------------------
void ChopTrailingSpaces(QString& text, qsizetype limit) {
  qsizetype n = text.size();
  while (n > limit && (text.at(n - 1) == u' ' || text.at(n - 1) == u'\t')) --n;
  text.truncate(n);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

QStringList Finished(QStringList& list, const QString& last) {
  list.append(last);
  return list;
}

// The elements of a value (one unless an unquoted comma made a list).
QStringList UnescapedElements(const char* text, std::size_t size) {
  QStringList list;
  QString current;
  // One decoder for the whole value: a sequence cut by an escape, and a
  // byte-order mark, decode as Qt's reader decodes them.
  QStringDecoder utf8(QStringDecoder::Utf8);
  bool inQuotes = false, quoted = false;
  std::size_t i = 0;
  const auto skipSpaces = [&] {
    while (i < size && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipSpaces();
  qsizetype chopLimit = 0;
  while (i < size) {
    const char ch = text[i];
    if (ch == '\\') {
      if (++i >= size) return Finished(list, current);  // a backslash at the end: nothing is chopped
      const char e = text[i++];
      // The named escapes: each letter and what it stands for.
      static const char kCodes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                       {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                       {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
      const char* code = nullptr;
      for (const char* c : kCodes)
        if (c[0] == e) code = c;
      if (e == 'x' && i >= size) return Finished(list, current);
      if (code) {
        current += QLatin1Char(code[1]);
      } else if (e == 'x' && HexDigit(text[i]) >= 0) {
        char16_t value = 0;
        for (; i < size && HexDigit(text[i]) >= 0; ++i) value = char16_t((value << 4) + HexDigit(text[i]));
        current += QChar(value);
      } else if (e >= '0' && e <= '7') {
        char16_t value = char16_t(e - '0');
        for (; i < size && text[i] >= '0' && text[i] <= '7'; ++i)
          value = char16_t((value << 3) + (text[i] - '0'));
        current += QChar(value);
      } else if ((e == '\n' || e == '\r') && i < size && (text[i] == '\n' || text[i] == '\r') &&
                 text[i] != e) {
        ++i;
      }
      chopLimit = current.size();
    } else if (ch == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) {
        skipSpaces();
        chopLimit = current.size();
      }
    } else if (ch == ',' && !inQuotes) {
      if (!quoted) ChopTrailingSpaces(current, chopLimit);
      list.append(current);
      current.clear();
      quoted = false;
      ++i;
      skipSpaces();
      chopLimit = 0;
    } else {
      std::size_t j = i + 1;
      while (j < size && text[j] != '\\' && text[j] != '"' && text[j] != ',') ++j;
      current += utf8(QByteArrayView(text + i, qsizetype(j - i)));
      i = j;
    }
  }
  if (!quoted) ChopTrailingSpaces(current, chopLimit);
  return Finished(list, current);
}

// A value's text as the programs read it; nullopt for a stored object.
std::optional<QString> DecodedValue(const char* text, std::size_t size) {
  QStringList elements = UnescapedElements(text, size);
  for (QString& element : elements) {
    if (!element.startsWith(u'@')) continue;
    if (element.size() < 2 || element.at(1) != u'@') return std::nullopt;
    element.remove(0, 1);
  }
  return elements.join(QStringLiteral(", "));
}

// A value as Qt's settings write a string.
QByteArray EscapedValue(const QString& value) {
  QString text = value.startsWith(u'@') ? u'@' + value : value;
  QByteArray out;
  bool needsQuotes = false, escapeNextIfHex = false;
  for (const QChar qch : text) {
    const char16_t ch = qch.unicode();
    if (ch == ';' || ch == ',' || ch == '=') needsQuotes = true;
    if (escapeNextIfHex && ch < 0x80 && HexDigit(char(ch)) >= 0) {
      out += "\\x" + QByteArray::number(ch, 16);
      continue;
    }
    escapeNextIfHex = false;
    switch (ch) {
      case '\0':
        out += "\\0";
        escapeNextIfHex = true;
        break;
      case '\a': out += "\\a"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\v': out += "\\v"; break;
      case '"':
      case '\\':
        out += '\\';
        out += char(ch);
        break;
      default:
        if (ch <= 0x1F) {
          out += "\\x" + QByteArray::number(ch, 16);
          escapeNextIfHex = true;
        } else {
          out += QString(qch).toUtf8();
        }
    }
  }
  if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
  return out;
}

}  // namespace

// ---- parsing ---------------------------------------------------------------
struct IniText::Line {
  RawLine raw;
  std::size_t from = 0;  // where a replacement starts (raw.start, or the mark's end)
  std::string section;   // its section's prefix (PrefixOf)
  bool isSection = false;
  bool storedObject = false;  // an entry whose value is a stored object
};

struct IniText::Parsed {
  std::size_t begin = 0;  // after a byte-order mark
  std::vector<Line> lines;
  std::map<std::string, std::size_t> entries;      // key -> its last line
  std::map<std::string, std::size_t> sectionEnds;  // section prefix -> its last line
  std::string terminator;                          // what ends the last line, when the file ends in it
};

IniText::IniText(std::string bytes) : m_bytes(std::move(bytes)), m_parsed(std::make_unique<Parsed>()) {
  Parsed& p = *m_parsed;
  if (m_bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) p.begin = 3;
  std::string section;
  std::size_t pos = p.begin;
  RawLine raw;
  while (ReadLine(m_bytes, pos, raw)) {
    Line line{raw, raw.start, section};
    // Qt's reader takes the top level's text from the file's first byte: a
    // first key after a byte-order mark keeps the spaces before it.
    std::size_t keyStart = raw.start;
    if (p.begin > 0 && p.lines.empty() && m_bytes.find_first_of("\n\r", p.begin) >= raw.start)
      keyStart = line.from = 0;
    if (m_bytes[raw.start] == '[') {
      const QString name = SectionOf(m_bytes, raw);
      section = name.toStdString();
      line.section = section;
      line.isSection = true;
    } else if (raw.equals != std::string::npos) {
      const std::string key = section + UnescapedKey(Trimmed(m_bytes, keyStart, raw.equals)).toStdString();
      line.from = std::max(line.from, p.begin);
      line.storedObject = !DecodedValue(m_bytes.data() + raw.equals + 1, raw.end - raw.equals - 1);
      p.entries[key] = p.lines.size();
    }
    p.sectionEnds[line.section] = p.lines.size();
    p.lines.push_back(line);
  }
  // What must follow the file's end before a line can be added there.
  const bool endsLine = m_bytes.size() == p.begin || m_bytes.back() == '\n' || m_bytes.back() == '\r';
  p.terminator = endsLine ? "" : "\n";
  if (!p.lines.empty() && p.lines.back().raw.end == m_bytes.size()) {
    const RawLine& last = p.lines.back().raw;
    // A backslash at the very end takes the first newline; a carriage
    // return it escaped would take a newline after it.
    p.terminator = last.openEscape ? "\n" : "";
    p.terminator += last.openQuote ? "\"\n" : last.escapedCr ? "\r" : "\n";
  }
}

IniText::~IniText() = default;

// ---- reading ---------------------------------------------------------------
std::optional<std::string> IniText::Value(const std::string& section, const std::string& entry) const {
  const auto found = m_parsed->entries.find(KeyOf(section, entry));
  if (found == m_parsed->entries.end()) return std::nullopt;
  const RawLine& raw = m_parsed->lines[found->second].raw;
  const std::optional<QString> value =
      DecodedValue(m_bytes.data() + raw.equals + 1, raw.end - raw.equals - 1);
  if (!value) return std::nullopt;
  return value->toStdString();
}

// ---- editing ---------------------------------------------------------------
// Where the lines of a change go.
struct IniText::Placement {
  std::map<std::size_t, std::string> replacedAt;          // a key's line -> its new text
  std::map<std::string, std::vector<std::string>> added;  // section prefix -> its new lines
  std::vector<std::string> newSections;                   // sections the file has not had, in order
};

// Each key's value (the last setting of a key wins) goes in place of the
// key's line (spelled within that line's section) or is added to its
// section.
IniText::Placement IniText::Place(const std::vector<IniSetting>& settings) const {
  const Parsed& p = *m_parsed;
  std::map<std::string, QByteArray> valueOf;
  for (const IniSetting& s : settings)
    valueOf[KeyOf(s.section, s.entry)] = EscapedValue(QString::fromStdString(s.value));
  const auto lineText = [&](const std::string& key, std::size_t prefixSize) {
    return (EscapedKey(QString::fromStdString(key.substr(prefixSize))) + '=' + valueOf.at(key)).toStdString();
  };
  Placement place;
  for (const IniSetting& s : settings) {
    const std::string key = KeyOf(s.section, s.entry);
    if (!valueOf.count(key)) continue;  // placed already
    const auto existing = p.entries.find(key);
    if (existing != p.entries.end()) {
      place.replacedAt[existing->second] = lineText(key, p.lines[existing->second].section.size());
    } else {
      const std::string prefix = PrefixOf(s.section);
      if (!p.sectionEnds.count(prefix) && !place.added.count(prefix)) place.newSections.push_back(s.section);
      place.added[prefix].push_back(lineText(key, prefix.size()));
    }
    valueOf.erase(key);
  }
  return place;
}

std::string IniText::WithValues(const std::vector<IniSetting>& settings) const {
  const Parsed& p = *m_parsed;
  const Placement place = Place(settings);
  const auto& replacedAt = place.replacedAt;
  const auto& added = place.added;
  std::string out(m_bytes, 0, p.begin);
  std::size_t copied = p.begin;
  const auto copyTo = [&](std::size_t at) {
    out.append(m_bytes, copied, at - copied);
    copied = at;
  };
  const auto addLines = [&](const std::string& section) {
    for (const std::string& text : added.at(section)) out += text + '\n';
  };
  // A top level the file has not had yet comes first.
  if (added.count("") && !p.sectionEnds.count("")) {
    out += "[General]\n";
    addLines("");
    out += '\n';
  }
  // Ends the file's last line before the first line added after it: a last
  // line written here needs at most a newline.
  const bool lastKept =
      p.lines.empty() || !(replacedAt.count(p.lines.size() - 1) || p.lines.back().storedObject);
  bool lineEnded = false;
  const auto endLastLine = [&] {
    if (lineEnded) return;
    lineEnded = true;
    if (lastKept)
      out += p.terminator;
    else if (!out.empty() && out.back() != '\n' && out.back() != '\r')
      out += '\n';
  };
  for (std::size_t i = 0; i < p.lines.size(); ++i) {
    const Line& line = p.lines[i];
    const auto replacement = replacedAt.find(i);
    if (replacement != replacedAt.end() || line.storedObject) {
      copyTo(line.from);
      copied = line.raw.end;
      if (replacement != replacedAt.end())
        out += replacement->second;
      else
        copied += m_bytes.compare(copied, 2, "\r\n") == 0
                      ? 2
                      : copied < m_bytes.size() && m_bytes[copied] == '\n';  // and its line break
    }
    if (!added.count(line.section) || p.sectionEnds.at(line.section) != i) continue;
    // After the section's last line, the comment that may end it and its
    // line break.
    std::size_t after = line.raw.end;
    while (after < m_bytes.size() && m_bytes[after] != '\n' && m_bytes[after] != '\r') ++after;
    if (after < m_bytes.size()) after += m_bytes.compare(after, 2, "\r\n") == 0 ? 2 : 1;
    copyTo(after);
    if (after == m_bytes.size()) endLastLine();
    addLines(line.section);
  }
  copyTo(m_bytes.size());
  for (const std::string& section : place.newSections) {
    if (section.empty()) continue;
    endLastLine();
    if (out.size() > p.begin &&
        out.compare(out.size() - std::min<std::size_t>(2, out.size()), 2, "\n\n") != 0)
      out += '\n';
    const QString name = QString::fromStdString(section);
    const bool general = name.compare(QStringLiteral("general"), Qt::CaseInsensitive) == 0;
    out += '[' + (general ? '%' + name.toUtf8() : EscapedKey(name)).toStdString() + "]\n";
    addLines(PrefixOf(section));
  }
  return out;
}
