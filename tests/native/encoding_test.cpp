// Quote, import and export files in every encoding a user's editor saves, through the tool's
// commands: the host always receives the code page's bytes, and what the page lacks is told.
#include <algorithm>
#include <random>
#include <sstream>

#include "cli.h"
#include "engine/script_writer.h"
#include "engine/text_encoding.h"
#include "engine_files.h"

namespace vosko {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;

// The text in a file of `encoding`, encoded here by hand (not by the code under test); ANSI
// is Windows-1252, where these characters are Latin-1's, and "?" for the rest.
std::string Encoded(std::u16string_view text, TextEncoding encoding) {
  std::string out(ByteOrderMark(encoding));
  for (char16_t c : text) {
    if (encoding == TextEncoding::Ansi) {
      out += c < 0x100 ? static_cast<char>(c) : '?';
    } else if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be) {
      const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
      out += encoding == TextEncoding::Utf16Le ? std::string{low, high} : std::string{high, low};
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

std::string Vosko(std::vector<std::string> args, int expected_code = cli::kExitOk) {
#ifdef _WIN32
  // There the default is the system's page; these texts are Windows-1252's.
  if (std::find(args.begin(), args.end(), "--codepage") == args.end())
    args.insert(args.begin() + 1, {"--codepage", "1252"});
#endif
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunVosko(args, out, err), expected_code) << err.str();
  return out.str() + err.str();
}

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// Every encoding through scan (list), compile, rescan (count), check, export and import; the
// quote holds "ł" (U+0142), which Windows-1252 lacks: the ANSI file holds "?" instead.
TEST(Encodings, EveryCommandSeesTheSameText) {
  const std::u16string text = u"@@TITLE=Tr\u00E4ume\r\n@@AUTHOR=Zo\u00EB\r\nTr\u00E4gt \u0142\r\n\r\nZwei\r\n";
  const struct {
    TextEncoding encoding;
    const char* name;
  } rows[] = {{TextEncoding::Ansi, "ansi"},
              {TextEncoding::Utf8, "utf8"},
              {TextEncoding::Utf8Bom, "utf8bom"},
              {TextEncoding::Utf16Le, "utf16le"},
              {TextEncoding::Utf16Be, "utf16be"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDir dir;
    const bool unicode = IsUnicode(row.encoding);
    const std::string file = dir.Write("q.lsq", Encoded(text, row.encoding));
    EXPECT_EQ(DetectEncoding(ReadBytes(file)), row.encoding);
    EXPECT_TRUE(Contains(Vosko({"list", "--format", "tsv", dir.Path("")}), "Tr\xE4ume\tZo\xEB\t"));
    EXPECT_TRUE(Contains(Vosko({"count", file}), ": 2 quotes"));
    const std::string compiled = Vosko({"compile", "-o", dir.Path("q.pms"), "--script", dir.Path("q.r"), file});
    EXPECT_EQ(Contains(compiled, "vosko: 1 characters are not in code page 1252"), unicode) << compiled;
    const std::string script = ReadBytes(dir.Path("q.r"));
    EXPECT_TRUE(Contains(script, "\"Tr\xE4gt ?\\n\",\r\n")) << script;
    EXPECT_EQ(Vosko({"check", file}),
              unicode ? file + ":3: the character U+0142 is not in code page 1252; written as \"?\"\n" : "");
    // A mark is never part of the first line: the title above and the quote here prove it.
    Vosko({"export", "-o", dir.Path("out.txt"), file});
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")),
              unicode ? "\xEF\xBB\xBFTr\xC3\xA4gt \xC5\x82\r\nZwei" : "Tr\xE4gt ?\r\nZwei");
    // Import keeps a character the page lacks by making a UTF-8 quote file.
    Vosko({"import", "--title", "T", "--line-length", "46", file, dir.Path("new.lsq")});
    const std::string imported = ReadBytes(dir.Path("new.lsq"));
    EXPECT_EQ(DetectEncoding(imported), unicode ? TextEncoding::Utf8Bom : TextEncoding::Ansi);
    EXPECT_TRUE(Contains(imported, unicode ? "\r\nTr\xC3\xA4gt \xC5\x82\r\n \r\n" : "\r\nTr\xE4gt ?\r\n \r\n"));
  }
}

// Import and export choose UTF-8 only when they must; best fit and the 1250 page; the wrap of
// a UTF-8 import counts characters; an unknown page is refused.
TEST(Encodings, ImportExportAndCodePages) {
  ScratchDir dir;
  const std::string held = dir.Write("held.txt", Encoded(u"\u00E4\u00E9 \u201Cok\u201D\r\n", TextEncoding::Utf16Le));
  Vosko({"import", "--title", "T", "--line-length", "46", held, dir.Path("a.lsq")});
  EXPECT_TRUE(Contains(ReadBytes(dir.Path("a.lsq")), "\r\n\xE4\xE9 \x93ok\x94\r\n \r\n"));
  const std::string wide = dir.Write(
      "wide.txt", Encoded(u"\u0142\u0142\u0142\u0142\u0142 " + std::u16string(60, u'\u4E2D'), TextEncoding::Utf8));
  Vosko({"import", "--title", "T", "--line-length", "46", wide, dir.Path("w.lsq")});
  const std::string wrapped = ReadBytes(dir.Path("w.lsq"));
  EXPECT_TRUE(
      Contains(wrapped, "\r\n" + Encoded(u"\u0142\u0142\u0142\u0142\u0142 \r\n" + std::u16string(45, u'\u4E2D') +
                                             u"\r\n" + std::u16string(15, u'\u4E2D'),
                                         TextEncoding::Utf8)));
  const std::string q = dir.Write("q.lsq", Encoded(u"\u1EBF\u0142\u2026\u00A0\u2014\r\n", TextEncoding::Utf8));
  Vosko({"compile", "--codepage", "1250", "-o", dir.Path("q.pms"), "--script", dir.Path("q.r"), q});
  EXPECT_TRUE(Contains(ReadBytes(dir.Path("q.r")), "\"e\xB3\x85\xA0\x97\\n\""));  // ế best fit: e
  Vosko({"compile", "--codepage", "1251", "-o", dir.Path("q.pms"), "--script", dir.Path("q.r"), q});
  EXPECT_TRUE(Contains(ReadBytes(dir.Path("q.r")), "\"e?\x85\xA0\x97\\n\""));
  EXPECT_TRUE(Contains(Vosko({"check", "--codepage", "1251", q}),
                       ":1: the character U+1EBF is not in code page 1251; written as \"e\""));
  Vosko({"count", "--codepage", "437", q}, cli::kExitUsage);
  // An ANSI export stays ANSI, byte for byte.
  const std::string a = dir.Write("a2.lsq", "Tr\xE4gt\r\n");
  Vosko({"export", "-o", dir.Path("a.txt"), a});
  EXPECT_EQ(ReadBytes(dir.Path("a.txt")), "Tr\xE4gt");
}

// Any text of a page's characters, written as UTF-8, compiles to the bytes of the same text
// written in that page.
TEST(Encodings, Utf8CompilesLikeTheSameTextInAnsi) {
  std::mt19937 random(22);
  const std::string markup = "\r\n\n  \"\\@#@@END=x\n@@LEFT=20\n";
  for (unsigned number : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
    const CodePage& page = *BuiltInCodePage(number);
    for (int round = 0; round < 40; ++round) {
      std::string ansi;
      for (int n = std::uniform_int_distribution<int>(1, 3000)(random); n > 0; --n) {
        const unsigned pick = random() % 8;
        ansi += pick == 0  ? markup[random() % markup.size()]
                : pick < 3 ? static_cast<char>(0x80 + random() % 128)
                           : static_cast<char>(0x20 + random() % 95);
      }
      if (DetectEncoding(ansi) != TextEncoding::Ansi) continue;  // happens to be UTF-8 too
      std::string utf8;
      page.AppendUtf8(ansi, utf8);
      std::string scripts[2];
      ScriptRun runs[2];
      QuoteFileContext context;
      context.code_page = &page;
      for (int i = 0; i < 2; ++i) {
        TextFile in, script;
        in.OpenMemoryConverted(i == 0 ? ansi : utf8, &page);
        script.OpenMemory(scripts[i], "w");
        AppendQuoteFile(&script, in, "q", "q", runs[i], context);
      }
      ASSERT_EQ(scripts[0], scripts[1]) << number;
      ASSERT_EQ(runs[1].characters_replaced, 0u);
    }
  }
}

}  // namespace
}  // namespace vosko
