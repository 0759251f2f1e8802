// The kit lint on crafted kits: what it reports, on which line, and its
// exit code.
#include <string>

#include "kit_test_support.h"
#include "plan/kitlint.h"

namespace {

class KitLintTest : public KitFixture {
 protected:
  // "<line> E|W <text>" for each finding.
  Strings Lint(const std::string& text, int expectedCode) {
    files().WriteFile(kKitPath, text);
    CSvKitLint lint;
    EXPECT_EQ(expectedCode, lint.Check(kKitPath));
    Strings out;
    for (const auto& f : lint.Findings())
      out.push_back(std::to_string(f.line) + (f.error ? " E " : " W ") + f.text);
    return out;
  }
};

TEST_F(KitLintTest, CleanKitsAndWarnings) {
  EXPECT_EQ(Strings{}, Lint("VERSION,0x1000048\n; comment\n\n"
                            "DELETE,a.dll,{LDID_SV}\\BIN,_REQUIRED,0,0\n"
                            "COPY,b.sav,b.ini,{LDID_WIN},{LDID_WIN},_REQUIRED,0,0\n"
                            "SHORTCUT,!TRLCORE_Installed,k,f,l,,,,\n"
                            "NETCPL,OPT,oemx.inf,Name,_REQUIRED_GROUP_COPIED,1\n"
                            "TEXTEDIT,VUDU_Installed,{LDID_KITROOT}\\T.CMD,A B,0\n",
                            kSvLintClean));
  EXPECT_EQ((Strings{"2 W unknown keyword \"FROB\": the line is ignored",
                     "3 W DELETE record has 2 of its 5 fields; the others read as empty",
                     "3 W group \"\" is never selected by the uninstall: its 1 file record(s) "
                     "do nothing",
                     "4 W group \"OTHER\" is never selected by the uninstall: its 1 file record(s) "
                     "do nothing",
                     "5 W duplicate of the DELETE record of line 1",
                     "6 W condition macro IPX_Installed is defined by no table of the program: it is "
                     "false unless the product's configuration key holds it",
                     "7 W condition MISSING_GROUP_COPIED names group \"MISSING\", which no record "
                     "creates"}),
            Lint("DELETE,a.dll,{LDID_SYS},_REQUIRED,0,0\nFROB,x\nDELETE,b,{LDID_SYS}\n"
                 "COPY,s,d,{LDID_WIN},{LDID_SV},OTHER,0,0\n"
                 "DELETE, a.dll ,{LDID_SYS},_REQUIRED,0,0\n"
                 "NETCPL,O,i.inf,N,IPX_Installed,0\nSHORTCUT,MISSING_GROUP_COPIED,k,f,l,,,,\n",
                 kSvLintWarnings));
}

TEST_F(KitLintTest, ErrorsAndTheLineNumbersAfterThem) {
  const std::string longLine =
      "DELETE,a.dll,{LDID_SV},_REQUIRED,0,0 ;" + std::string(250, ' ') + "x.y,z\n";
  EXPECT_EQ((Strings{"2 E line of 293 characters is read as 2 lines of at most 259",
                     "2 W unknown keyword \"x.y\": the line is ignored",
                     "3 E COPY record dropped: its destination directory is empty",
                     "4 E keyword \"copy\" is not upper case: the line is ignored",
                     "5 E DELETE record dropped: its directory is empty",
                     "6 E macro {LDID_NOPE} is defined by no table of the program",
                     "7 E VERSION 0x1000047 is older than 0x1000048: loading stops at this line"}),
            Lint("VERSION,16777288\n" + longLine +
                     "COPY,s,d,{LDID_WIN},,_REQUIRED\r\n"
                     "copy,s,d,{LDID_WIN},{LDID_SV},_REQUIRED,0,0\n"
                     "DELETE,f,,_REQUIRED,0,0\n"
                     "DELETE,f,{LDID_NOPE}\\X,_REQUIRED,0,0\n"
                     "VERSION,0x1000047\nFROB\n",
                 kSvLintErrors));
  // A line of exactly 259 characters is whole.
  EXPECT_EQ(Strings{}, Lint("DELETE,a,{LDID_SV},_REQUIRED,0,0;" + std::string(226, 'c') + "\n",
                            kSvLintClean));
  CSvKitLint missing;
  EXPECT_EQ(kSvLintErrors, missing.Check("C:\\KIT\\NONE.DAT"));
  EXPECT_EQ("C:\\KIT\\NONE.DAT: error: cannot be opened (error 2)\n1 error(s), 0 warning(s)\n",
            missing.Report());
  EXPECT_EQ(Strings{}, Boxes());
}

}  // namespace
