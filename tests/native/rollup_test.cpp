// The rollup of a folder of verify documents: per verdict the workstations,
// the commonest traces with their counts, and every file it could not take,
// which never stops it.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "plan/rollup.h"

namespace {

class MemoryFolder : public ISvRollupFolder {
 public:
  std::map<std::string, std::string> files;  // name -> bytes; "\x01" cannot be read
  bool listable = true;

  bool List(std::vector<std::string>* names, std::string* why) override {
    if (!listable) *why = "error 3";
    for (const auto& f : files) names->push_back(f.first);
    return listable;
  }
  bool Read(const std::string& name, std::string* bytes, std::string* why) override {
    *bytes = files.at(name);
    if (*bytes == "\x01") *why = "cannot be opened: error 32";
    return *bytes != "\x01";
  }
};

std::string Document(const char* computer, SvVerdict verdict, std::vector<SvTrace> traces) {
  SvVerifyResult r;
  r.computer = computer;
  r.verdict = verdict;
  r.traces = std::move(traces);
  return r.Json();
}

const SvTrace kDll{"file", "C:\\SV32\\SVCORE.DLL", "", "in use"};
const SvTrace kLine{"line", "C:\\WINNT\\system32\\AUTOEXEC.NT", "SET KSTA=C:\\SV32", "line 5"};

TEST(RollupTest, SumsUpEveryVerdictAndSkipsWhatItCannotRead) {
  MemoryFolder folder;
  folder.files = {
      {"ws1.json", Document("WS1", SvVerdict::kClean, {})},
      {"ws2.json", Document("WS2", SvVerdict::kRestartPending, {})},
      {"ws3.JSON", Document("WS3", SvVerdict::kTracesRemain, {kDll, kLine})},
      {"ws4.json", Document("WS4", SvVerdict::kTracesRemain, {kLine})},
      {"ws5.json", Document("WS5", SvVerdict::kCannotTell, {})},
      {"broken.json", Document("WS6", SvVerdict::kClean, {}).substr(0, 40)},
      {"foreign.json", "{\"verify\": 2, \"computer\": \"WS7\"}"},
      {"locked.json", "\x01"},
      {"notes.txt", "not a document, and no business of the rollup"},
  };
  CSvRollup rollup;
  ASSERT_TRUE(rollup.Read(folder));
  EXPECT_EQ(3, rollup.ExitCode());
  const std::string text = rollup.Text();
  for (const char* expected :
       {"5 workstation(s), 3 file(s) skipped\n", "\nclean (exit code 0): 1\n  WS1\n",
        "\nrestart pending (exit code 1): 1\n  WS2\n",
        "\ntraces remain (exit code 2): 2\n  WS3\n  WS4\n", "\ncannot tell (exit code 3): 1\n  WS5\n",
        "     2  line              C:\\WINNT\\system32\\AUTOEXEC.NT: SET KSTA=C:\\SV32\n"
        "     1  file              C:\\SV32\\SVCORE.DLL\n",
        "  broken.json: not JSON: the document ends early",
        "  foreign.json: not a verify document\n", "  locked.json: cannot be opened: error 32\n"})
    EXPECT_NE(std::string::npos, text.find(expected)) << expected << "\n" << text;
  EXPECT_EQ(std::string::npos, text.find("notes.txt")) << text;
}

TEST(RollupTest, ExitCodeIsZeroOnlyWhenEveryWorkstationIsClean) {
  const struct {
    std::vector<SvVerdict> verdicts;
    bool listable;
    int exitCode;
  } cases[] = {
      {{SvVerdict::kClean, SvVerdict::kClean}, true, 0},
      {{SvVerdict::kClean, SvVerdict::kRestartPending}, true, 1},
      {{SvVerdict::kTracesRemain, SvVerdict::kRestartPending}, true, 2},
      {{}, true, 3},                      // nothing to sum up
      {{SvVerdict::kClean}, false, 3},    // the folder cannot be listed
  };
  for (const auto& c : cases) {
    MemoryFolder folder;
    folder.listable = c.listable;
    for (size_t i = 0; i < c.verdicts.size(); ++i)
      folder.files["ws" + std::to_string(i) + ".json"] = Document("WS", c.verdicts[i], {});
    CSvRollup rollup;
    EXPECT_EQ(c.listable, rollup.Read(folder));
    EXPECT_EQ(c.exitCode, rollup.ExitCode()) << rollup.Text();
  }
}

// Whatever a share holds: every cut of a document, a verdict that does not
// match its code, nesting no document has.
TEST(RollupTest, RefusesEveryDocumentThatIsNotWhole) {
  const std::string whole = Document("WS\xe9", SvVerdict::kTracesRemain, {kDll, kLine});
  SvVerifyResult r;
  std::string why;
  ASSERT_TRUE(SvReadVerifyDocument(whole, &r, &why)) << why;
  EXPECT_EQ("WS\xe9", r.computer);
  EXPECT_EQ(whole, r.Json());
  for (size_t cut = 0; cut + 2 < whole.size(); ++cut)
    EXPECT_FALSE(SvReadVerifyDocument(whole.substr(0, cut), &r, &why)) << cut;
  std::string mismatched = whole;
  mismatched.replace(mismatched.find("\"exit_code\": 2"), 14, "\"exit_code\": 0");
  EXPECT_FALSE(SvReadVerifyDocument(mismatched, &r, &why));
  EXPECT_FALSE(SvReadVerifyDocument(std::string(100000, '[') + std::string(100000, ']'), &r, &why));
}

}  // namespace
