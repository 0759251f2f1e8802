// Group selection, the selected-files list, location totals and paths.
#include <string>
#include <tuple>

#include "kit_test_support.h"

namespace {

class KitModelTest : public KitFixture {
 protected:
  void SetUp() override {
    KitFixture::SetUp();
    ASSERT_EQ(0u, Load("COPY,a1,a1,SRC,DST,A,0,100\nDELETE,ad,OLD,A\nCOPY,a2,a2,SRC,DST,A,0,20\n"
                       "COPY,b1,b1,SRC,DST2,B,0,5\nDELETE,c1,OLD,C\nDELETE,c2,OLD,C\n"));
  }
  // "<selection count of A> <its macro> <files>/<bytes of DST>".
  std::string StateOfA() {
    CSvLocation* dst = kit_->FindLocation("DST");
    return std::to_string(kit_->FindGroup("A")->GetSelectionCount()) + " " +
           Macro("A_GROUP_COPIED") + " " + std::to_string(dst->GetFileCount()) + "/" +
           std::to_string(dst->GetBytes());
  }
};

TEST_F(KitModelTest, SelectionIsCountedPerGroupWithItsMacro) {
  EXPECT_EQ(5u, kit_->SelectGroup("NOSUCH"));
  EXPECT_EQ(5u, kit_->DeselectGroup("NOSUCH"));
  EXPECT_EQ("<absent>", Macro("NOSUCH_GROUP_COPIED"));

  ASSERT_EQ(0u, kit_->SelectGroup("A"));
  EXPECT_EQ("1 TRUE 2/120", StateOfA());
  EXPECT_EQ((Strings{"ad", "a1", "a2"}), Selected());
  // A second selection counts files, not totals, and leaves the macro alone.
  macros_->SetMacroValue("A_GROUP_COPIED", "changed");
  ASSERT_EQ(0u, kit_->SelectGroup("A"));
  EXPECT_EQ("2 changed 2/120", StateOfA());
  for (CSvFile* file : *kit_->FindGroup("A")) EXPECT_EQ(2u, file->GetSelectionCount());
  ASSERT_EQ(0u, kit_->DeselectGroup("A"));
  EXPECT_EQ("1 changed 2/120", StateOfA());
  EXPECT_EQ((Strings{"ad", "a1", "a2"}), Selected());
  ASSERT_EQ(0u, kit_->DeselectGroup("A"));
  EXPECT_EQ("0 FALSE 0/0", StateOfA());
  EXPECT_TRUE(Selected().empty());
  // Deselecting at zero sets FALSE again and changes nothing else.
  macros_->SetMacroValue("A_GROUP_COPIED", "again");
  ASSERT_EQ(0u, kit_->DeselectGroup("A"));
  EXPECT_EQ("0 FALSE 0/0", StateOfA());
}

TEST_F(KitModelTest, SelectedListKeepsOrderAcrossGroupsAndRemovals) {
  kit_->SelectGroup("C");
  kit_->SelectGroup("A");
  kit_->SelectGroup("B");
  EXPECT_EQ((Strings{"c2", "c1", "ad", "a1", "a2", "b1"}), Selected());
  kit_->DeselectGroup("A");
  EXPECT_EQ((Strings{"c2", "c1", "b1"}), Selected());
  kit_->DeselectGroup("C");
  kit_->SelectGroup("A");
  EXPECT_EQ((Strings{"b1", "ad", "a1", "a2"}), Selected());
  // Only the destinations of COPY records are counted.
  for (const auto& [path, files] : {std::pair{"OLD", 0u}, {"SRC", 0u}, {"DST2", 1u}})
    EXPECT_EQ(files, kit_->FindLocation(path)->GetFileCount()) << path;
  EXPECT_EQ(5u, kit_->FindLocation("DST2")->GetBytes());
}

TEST_F(KitModelTest, AddAndRemoveSelectedFileCodes) {
  CSvFile* a1 = *++kit_->FindGroup("A")->begin();
  CSvFile* b1 = *kit_->FindGroup("B")->begin();
  EXPECT_EQ(5u, kit_->RemoveSelectedFile(a1));
  EXPECT_EQ(0u, kit_->AddSelectedFile(a1));
  EXPECT_EQ(0u, kit_->AddSelectedFile(b1));
  EXPECT_EQ(4u, kit_->AddSelectedFile(a1));
  EXPECT_EQ(2u, a1->GetSelectionCount());
  EXPECT_EQ((Strings{"a1", "b1"}), Selected());
  EXPECT_EQ("0 <absent> 1/100", StateOfA());
  EXPECT_EQ(0u, kit_->RemoveSelectedFile(a1));
  EXPECT_EQ((Strings{"a1", "b1"}), Selected());
  EXPECT_EQ(0u, kit_->RemoveSelectedFile(a1));
  EXPECT_EQ((Strings{"b1"}), Selected());
  EXPECT_EQ("0 <absent> 0/0", StateOfA());
  EXPECT_EQ(5u, kit_->RemoveSelectedFile(a1));
  EXPECT_EQ(0u, kit_->RemoveSelectedFile(b1));
  EXPECT_TRUE(kit_->SelectedFiles().empty());
  // A location's count stops at 0; its byte total is plain unsigned arithmetic.
  CSvLocation spare("X");
  spare.RemoveFile(a1);
  EXPECT_EQ(0u, spare.GetFileCount());
  EXPECT_EQ(0u - 100u, spare.GetBytes());
  // The kit is destroyed by the fixture with a file still counted twice in a
  // group: the sanitizers catch any double delete or leak there.
  kit_->SelectGroup("A");
  kit_->SelectGroup("A");
}

TEST_F(KitModelTest, ExpandAndMapPaths) {
  macros_->AddMacro("LDID_SV", "C:\\SV", 1);
  CSvLocation location("{LDID_SV}\\bin{NOSUCH}");
  EXPECT_EQ(0, location.ExpandPath(nullptr));
  EXPECT_EQ("{LDID_SV}\\bin{NOSUCH}", location.GetPath());
  EXPECT_EQ(1, location.ExpandPath(macros_.get()));
  EXPECT_EQ("C:\\SV\\bin", location.GetPath());
  CSvLocation open("x{LDID_SV");
  EXPECT_EQ(1, open.ExpandPath(macros_.get()));
  EXPECT_EQ("x", open.GetPath());
  EXPECT_EQ(1, open.SetPath("y"));
  EXPECT_EQ("y", open.GetPath());

  // UNC paths become the first drive connected to their share (any case).
  files().MapNetworkDrive('D', "\\\\other\\share");
  files().MapNetworkDrive('F', "\\\\SRV\\Apps");
  files().MapNetworkDrive('G', "\\\\srv\\apps");
  const std::tuple<const char*, int, const char*> cases[] = {
      {"\\\\srv\\apps\\sv\\bin", 1, "F:\\sv\\bin"},
      {"\\\\srv\\other\\x", 0, "\\\\srv\\other\\x"},
      {"\\\\srv\\apps", 0, "\\\\srv\\apps"},  // no directory after the share
      {"C:\\SV", 1, "C:\\SV"},
      {"\\\\", 1, "\\\\"},
      {"\\x\\y", 1, "\\x\\y"}};
  for (const auto& [path, result, mapped] : cases) {
    CSvLocation location(path);
    EXPECT_EQ(result, location.MapUncPath()) << path;
    EXPECT_EQ(mapped, location.GetPath()) << path;
  }
  EXPECT_EQ(
      "Found UNC Path, Share is \\\\srv\\apps\r\r\n"
      "Found UNC Path, Share is \\\\srv\\other\r\r\n"
      "Found UNC Path, Share is \\\\srv\\app\r\r\n",
      Log());
}

}  // namespace
