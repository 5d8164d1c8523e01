// Quote files -> script writer -> rescom -> recompile reader gives back the quotes, separated by
// empty lines: what a user sees after "Recompile into New Quote File".
#include "rescom_test_support.h"

#include "compile/script_writer.h"
#include "exchange/recompile.h"
#include "quotes/text_file.h"

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
        const int count =
            vosko::AppendQuoteFile(&script, (dir / file.name).string(), file.name, run, context);
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

}  // namespace
