// Quote files -> script writer -> rescom -> recompile reader gives back the quotes, separated by
// empty lines: what a user sees after "Recompile into New Quote File".
#include "rescom_test_support.h"

#include "engine/script_writer.h"
#include "engine/recompile.h"
#include "engine/text_file.h"

namespace {

using namespace rescom_test;

TEST(rescom_roundtrip, QuoteFilesComeBackFromTheCompiledFile) {
  struct QuoteFile {
    const char* name;
    std::string on_disk;  // CR LF, as a text editor saves it
    int quotes;
  };
  const QuoteFile files[] = {
      {"first.lsq",
       to_crlf("## my sayings\n"
               "Be \"brief\".\n"
               "  -- someone\n"
               "\n"
               "Files live in C:\\quotes.\n"  // an unknown escape (\q) keeps its backslash
               "\n"
               "\n"
               "Caf\xE9 au lait, \xFF and all.\n"),  // 0xFF inside a text is text
       3},
      {"second.lsq", to_crlf("One # hash, one 'apostrophe' ## and a comment\nlast line"), 1},
  };
  const std::string expected = to_crlf(
      "Be \"brief\".\n  -- someone\n\n"
      "Files live in C:\\quotes.\n\n"
      "Caf\xE9 au lait, \xFF and all.\n\n"
      "One # hash, one 'apostrophe' \n"  // the writer cuts at "##" and keeps the space
      "last line\n\n");

  TempDir dir;
  vosko::TextFile script;
  vosko::ScriptRun run;
  const std::string script_path = (dir / "rquotes.r").string();
  ASSERT_TRUE(vosko::WriteScriptHeader(script, script_path, "06-12-2025", "07:00", run, nullptr));
  vosko::QuoteFileContext context;
  int total = 0;
  for (const QuoteFile& file : files) {
    write_file(dir / file.name, file.on_disk);
    const int count = vosko::AppendQuoteFile(&script, (dir / file.name).string(), file.name, run, context);
    EXPECT_EQ(count, file.quotes) << file.name;
    total += count;
  }
  ASSERT_TRUE(script.Close());

  const std::string pms = (dir / "rquotes.pms").string();
  const rescom::CompileOutcome outcome = rescom::compile_file(script_path, pms);
  ASSERT_EQ(outcome.exit_code, rescom::kExitOk) << outcome.lines.front();
  EXPECT_EQ(outcome.summary.count, static_cast<std::uint32_t>(total));

  vosko::TextFile recompiled;
  ASSERT_TRUE(recompiled.Open((dir / "new.lsq").string(), "w+t"));
  vosko::RecompileHostQuotes(recompiled, pms, nullptr);
  ASSERT_TRUE(recompiled.Close());
  EXPECT_EQ(read_file(dir / "new.lsq"), expected);
}

// One quote file, its bytes as on disk, through the script writer and rescom.
struct Compiled {
  int counted = 0;  // the rescan's count
  rescom::CompileOutcome outcome;
  std::vector<std::string> texts;
};

Compiled compile_quote_file(const TempDir& dir, std::string_view on_disk, const std::string& host_header = {}) {
  const std::string quotes = (dir / "q.lsq").string();
  const std::string script_path = (dir / "rquotes.r").string();
  write_file(quotes, on_disk);
  vosko::TextFile script;
  vosko::ScriptRun run;
  EXPECT_TRUE(vosko::WriteScriptHeader(script, script_path, "d", "t", run, nullptr));
  vosko::QuoteFileContext context;
  if (!host_header.empty()) context.initialHeader = [&] { return host_header; };
  const int written = vosko::AppendQuoteFile(&script, quotes, "q", run, context);
  EXPECT_TRUE(script.Close());
  Compiled c;
  vosko::ScriptRun count_run;
  c.counted = vosko::AppendQuoteFile(nullptr, quotes, "q", count_run, {});
  EXPECT_EQ(written, c.counted);
  std::string rsc;
  c.outcome = rescom::compile_bytes(read_file(script_path), rsc);
  if (const auto file = rescom::decode_rsc(rsc))
    for (std::size_t i = 0; i < file->offsets.size(); ++i) c.texts.emplace_back(file->text(i));
  return c;
}

// The escapes a user writes pass; every other backslash shows as typed.
TEST(rescom_roundtrip, QuoteTextComesOutAsTyped) {
  struct Case {
    const char* what;
    std::string on_disk;
    std::vector<std::string> texts;
    std::string host_header = {};
  };
  const Case cases[] = {
      {"escaped double quotes",
       R"(He said \"no\")"
       "\r\n",
       {R"(He said "no")"}},
      {"regular expression",
       R"([\0-\377] and \1)"
       "\r\n",
       {R"([\0-\377] and \1)"}},
      {"lines ending in a backslash", "C:\\\r\nlast\\", {"C:\\\nlast\\"}},
      {"escapes that would fail or mean nothing",
       R"(\x00 \000 \400 \x \q \8 \)"
       "\r\n",
       {R"(\x00 \000 \400 \x \q \8 \)"}},
      {"escapes that pass",
       R"(a\tb \\" \\\" \'\")"
       "\r\n",
       {"a\tb \\\" \\\" '\""}},
      {"control and 8-bit bytes", "\x01\r\x7f \xE9\xFF\r\n", {"\x01\r\x7f \xE9\xFF"}},
      // Read as 1023 and 1 characters: the first piece ends in a lone backslash, then is cut
      // to the string line bound before that backslash.
      {"escape across the line pieces", std::string(1022, 'w') + R"(\0)", {std::string(1014, 'w') + "\n0"}},
      {"host header", "a", {"\"Host\"\nsays\x1A\\\na"}, "\"Host\"\nsays\x1A\\"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Compiled got = compile_quote_file(dir, c.on_disk, c.host_header);
    ASSERT_EQ(got.outcome.exit_code, rescom::kExitOk) << got.outcome.lines.front();
    EXPECT_EQ(got.texts, c.texts);
  }
}

}  // namespace
