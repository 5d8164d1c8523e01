// The compiled quotes file: exact bytes for a known script, and the index against the texts.
#include "rescom_test_support.h"

#include <algorithm>
#include <cstdio>

namespace {

using namespace rescom_test;

// The two blocks the script writer produces for its documented example quote file.
const char kExampleBlocks[] =
    "\n"
    "text x\n"
    "   {\n"
    "   \"Thought of the day:\\n\",\n"
    "   \"Be \\\"brief\\\".\\n\",\n"
    "   \"       Short\\n\",\n"
    "   \"-- anon\\n\",\n"
    "   };\n"
    "\n"
    "text x\n"
    "   {\n"
    "   \"Thought of the day:\\n\",\n"
    "   \"        Done\\n\",\n"
    "   \"-- anon\\n\",\n"
    "   };\n";

TEST(rescom_format, WriterExampleCompilesToExactBytes) {
  const std::string script = writer_header_crlf() + to_crlf(kExampleBlocks);
  std::string rsc;
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
  ASSERT_EQ(outcome.exit_code, rescom::kExitOk);

  const std::string first = "Thought of the day:\nBe \"brief\".\n       Short\n-- anon";
  const std::string second = "Thought of the day:\n        Done\n-- anon";
  std::string expected =
      "VOSKOQTS"   // signature
      "0001"       // version
      "00000002"   // texts
      "00000035"   // largest: 52 bytes and the NUL
      "0000005E"   // text area: 53 + 41
      "00000000"   // index: text 0 at 0
      "00000035";  //        text 1 at 53
  expected += '\xFF';
  expected += first;
  expected += '\0';
  expected += second;
  expected += '\0';
  EXPECT_EQ(rsc, expected);
  EXPECT_EQ(outcome.lines, std::vector<std::string>{"Resource table of 2 entries, largest = 53 bytes"});
}

// Texts chosen to stress the format: empty ones, bytes 0xFF (which must stay out of the leading
// block but may appear in texts), line feeds, long texts.
std::vector<std::string> awkward_texts(unsigned seed, std::size_t count) {
  std::mt19937 random(seed);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < count; ++i) {
    std::string text;
    const std::size_t size = random() % 4 == 0 ? 0 : random() % (i % 50 == 0 ? 5000 : 60);
    for (std::size_t k = 0; k < size; ++k) {
      unsigned char c = static_cast<unsigned char>(random() % 255 + 1);  // never NUL
      if (random() % 8 == 0) c = 0xFF;
      text += static_cast<char>(c);
    }
    if (!text.empty() && text.back() == '\n') text += '.';  // a final LF would be dropped
    texts.push_back(std::move(text));
  }
  return texts;
}

std::string script_for(const std::vector<std::string>& texts) {
  std::string script;
  for (const std::string& text : texts) {
    script += "text x {\"";
    for (char c : text) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
      script += escaped;
    }
    script += "\"}\n";
  }
  return script;
}

TEST(rescom_format, IndexAgreesWithAScanOfTheTexts) {
  // 9000 texts fill the index in more than one batch.
  for (const std::size_t count : {std::size_t{1}, std::size_t{7}, std::size_t{600}, std::size_t{9000}}) {
    SCOPED_TRACE(count);
    const std::vector<std::string> texts = awkward_texts(static_cast<unsigned>(count), count);
    std::string rsc;
    ASSERT_EQ(rescom::compile_bytes(script_for(texts), rsc).exit_code, rescom::kExitOk);

    // Decode the leading block by hand, as a reader in another language would.
    const std::size_t close = rsc.find('\xFF');
    ASSERT_NE(close, std::string::npos);
    ASSERT_EQ(close, 36 + 8 * count);
    auto field = [&](std::size_t at) { return std::stoul(rsc.substr(at, 8), nullptr, 16); };
    EXPECT_EQ(field(12), count);
    std::size_t largest = 0;
    for (const std::string& t : texts) largest = std::max(largest, t.size() + 1);
    EXPECT_EQ(field(20), largest);
    const std::string area = rsc.substr(close + 1);
    EXPECT_EQ(field(28), area.size());

    // Scan the NUL-separated area as the recompile reader does.
    std::vector<std::string> scanned;
    for (std::size_t at = 0; at < area.size();) {
      const std::size_t nul = area.find('\0', at);
      ASSERT_NE(nul, std::string::npos) << "bytes after the last NUL";
      scanned.push_back(area.substr(at, nul - at));
      at = nul + 1;
    }
    EXPECT_EQ(scanned, texts);

    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t offset = field(36 + 8 * i);
      ASSERT_LE(offset + texts[i].size(), area.size());
      EXPECT_EQ(area.substr(offset, texts[i].size()), texts[i]) << "text " << i;
      EXPECT_EQ(area[offset + texts[i].size()], '\0');
    }

    const auto decoded = rescom::decode_rsc(rsc);
    ASSERT_TRUE(decoded.has_value());
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(decoded->text(i), texts[i]);

    // A file gets the index through its own seeks: the same bytes.
    vosko::testing::ScratchDir dir;
    const std::string script = dir.Write("s.r", script_for(texts));
    ASSERT_EQ(rescom::compile_file(script, dir.Path("s.rsc")).exit_code, rescom::kExitOk);
    EXPECT_TRUE(read_file(dir.Path("s.rsc")) == rsc);
  }
}

TEST(rescom_format, DecoderRefusesDamagedFiles) {
  std::string good;
  ASSERT_EQ(rescom::compile_bytes("text x {\"ab\"} text x {\"c\"}", good).exit_code, 0);
  ASSERT_TRUE(rescom::decode_rsc(good).has_value());

  struct Case {
    const char* what;
    std::string bytes;
  };
  auto changed = [&](std::size_t at, char c) {
    std::string bytes = good;
    bytes[at] = c;
    return bytes;
  };
  const Case cases[] = {
      {"truncated", good.substr(0, good.size() - 1)},
      {"extra byte", good + 'x'},
      {"signature", changed(0, 'W')},
      {"version", changed(11, '2')},
      {"lower-case digit", changed(35, 'e')},
      {"count", changed(19, '3')},
      {"largest", changed(27, '4')},
      {"index entry", changed(51, '2')},
      {"terminator moved", changed(good.size() - 4, '\0')},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(rescom::decode_rsc(c.bytes).has_value());
  }
}

}  // namespace
