// KITPURGE.DAT reading: records, list orders, bad input, retry and version.
#include <string>
#include <vector>

#include "kit_test_support.h"
#include "textedit/textedit.h"

namespace {

using Strings = std::vector<std::string>;

class KitLoaderTest : public KitFixture {};

TEST_F(KitLoaderTest, ExampleFileGivesGroupWithDeleteFirstAndThreeLocations) {
  ASSERT_EQ(0u, Load("VERSION,0x1000048\r\n"
                     "; program files\r\n"
                     "COPY,a.dll,a.dll,{LDID_KITROOT}\\bin,{LDID_SV},G1,0,2048\r\n"
                     "DELETE,a.ini,{LDID_WIN},G1,0,0\r\n"));
  EXPECT_EQ(0x1000048u, kit_->GetVersion());
  EXPECT_EQ("C:\\KIT", kit_->GetKitDirectory());
  EXPECT_EQ("C:\\KIT", Macro("LDID_KITROOT"));
  ASSERT_EQ(1u, kit_->Groups().size());
  EXPECT_EQ((Strings{"a.ini", "a.dll"}), Files("G1"));

  Strings locations;
  for (CSvLocation* l : kit_->Locations()) locations.push_back(l->GetPath());
  EXPECT_EQ((Strings{"{LDID_SV}", "{LDID_KITROOT}\\bin", "{LDID_WIN}"}), locations);

  CSvFile* del = *kit_->FindGroup("G1")->begin();
  EXPECT_EQ("", del->GetDestName());
  EXPECT_EQ(nullptr, del->GetDestLocation());
  EXPECT_EQ(kit_->FindLocation("{LDID_WIN}"), del->GetSourceLocation());
  CSvFile* copy = *++kit_->FindGroup("G1")->begin();
  EXPECT_EQ(kit_->FindLocation("{LDID_SV}"), copy->GetDestLocation());
  EXPECT_EQ(kit_->FindLocation("{LDID_KITROOT}\\bin"), copy->GetSourceLocation());
  EXPECT_EQ(2048u, copy->GetSize());

  // Nothing is selected after a load.
  EXPECT_TRUE(kit_->SelectedFiles().empty());
  EXPECT_EQ(0u, kit_->FindGroup("G1")->GetSelectionCount());
  EXPECT_EQ("<absent>", Macro("G1_GROUP_COPIED"));
  EXPECT_EQ(1, platform_.ui().pumpCount());
  EXPECT_EQ(0, platform_.ui().waitCursorDepth());
  EXPECT_TRUE(platform_.ui().boxes().empty());
}

TEST_F(KitLoaderTest, ListOrdersOfEveryRecordKind) {
  ASSERT_EQ(0u, Load("DELETE,d1,L,G\n"
                     "COPY,c1,c1,S,D,G\n"
                     "DELETE,d2,L,G\n"
                     "COPY,c2,c2,S,D,G\n"
                     "DELETE,d3,L,G\n"
                     "SHORTCUT,,A,f,A1\n"
                     "SHORTCUT,,B,f,B1\n"
                     "SHORTCUT,,A,f,A2\n"
                     "SHORTCUT,,C,f,C1\n"
                     "SHORTCUT,,B,f,B2\n"
                     "SHORTCUT,,A,f,A3\n"
                     "TRANSPORT,T1\nTRANSPORT,T2\nTRANSPORT,T3\nTRANSPORT,T4\n"
                     "NETCPL,N1\nNETCPL,N2\n"
                     "TEXTEDIT,X1\nTEXTEDIT,X2\n"));
  EXPECT_EQ((Strings{"d3", "d2", "d1", "c1", "c2"}), Files("G"));

  Strings shortcuts, transports, nets, edits;
  for (CSvShortcut* s : kit_->Shortcuts()) shortcuts.push_back(s->GetLinkName());
  for (CSvComponent* c : kit_->TransportComponents()) transports.push_back(c->GetField(1));
  for (CSvNetComponent* n : kit_->NetComponents()) nets.push_back(n->GetOption());
  for (CSvTextEdit* e : kit_->TextEdits()) edits.push_back(e->GetCondition());
  EXPECT_EQ((Strings{"A3", "A2", "A1", "B2", "B1", "C1"}), shortcuts);
  EXPECT_EQ((Strings{"T1", "T4", "T3", "T2"}), transports);
  EXPECT_EQ((Strings{"N1", "N2"}), nets);
  EXPECT_EQ((Strings{"X1", "X2"}), edits);
}

TEST_F(KitLoaderTest, FieldStrippingRequiredFieldsAndNumbers) {
  ASSERT_EQ(0u, Load(" COPY , a.dll , b.dll , S , D , G ,010,0x10,extra\n"
                     "copy,x,x,S,D,LOWER\n"
                     "FROB,x,x,S,D,UNKNOWN\n"
                     "COPY,,n.dll,S,D,G,12abc,abc\n"
                     "COPY,x,,S2,D2,NODEST\n"
                     "COPY,x,x,,D3,NOSRC\n"
                     "COPY,x,x,S4,,NODIR\n"
                     "COPY,x,x,S5,D5,\n"
                     "COPY,big,big,S,D,G,99999999999,0XFFFFFFFF\n"
                     "DELETE,,L6,EMPTYNAME\n"
                     "DELETE,gone,,EMPTYDIR\n"
                     "DELETE, k.ini ,  L7 ,,7\n"
                     "SHORTCUT, c , k , f , l , p ,6,7,8,9\n"
                     "NETCPL,opt,oemnet.inf,Trellnet ;display name, cond, 5\n"
                     "NETCPL,o2,i2,n2,c2, 0x7\n"
                     "TEXTEDIT,c,{LDID_KITROOT}\\e.txt,A B,0x20\n"));
  // Only the groups of accepted COPY lines and of every DELETE line exist.
  Strings groups;
  for (CSvGroup* g : kit_->Groups()) groups.push_back(g->GetName());
  EXPECT_EQ((Strings{"G", "EMPTYNAME", "EMPTYDIR", ""}), groups);
  Strings locations;
  for (CSvLocation* l : kit_->Locations()) locations.push_back(l->GetPath());
  EXPECT_EQ((Strings{"D", "S", "L7"}), locations);

  EXPECT_EQ((Strings{"a.dll", "", "big"}), Files("G"));
  auto it = kit_->FindGroup("G")->begin();
  CSvFile* a = *it++;
  EXPECT_EQ("b.dll", a->GetDestName());
  EXPECT_EQ(8u, a->GetCopyFlags());
  EXPECT_EQ(16u, a->GetSize());
  CSvFile* n = *it++;
  EXPECT_EQ(12u, n->GetCopyFlags());
  EXPECT_EQ(0u, n->GetSize());
  CSvFile* big = *it;
  EXPECT_EQ(4294967295u, big->GetCopyFlags());
  EXPECT_EQ(4294967295u, big->GetSize());
  EXPECT_TRUE(Files("EMPTYNAME").empty());
  EXPECT_EQ((Strings{"k.ini"}), Files(""));
  EXPECT_EQ(7u, (*kit_->FindGroup("")->begin())->GetCopyFlags());

  ASSERT_EQ(1u, kit_->Shortcuts().size());
  const CSvShortcut* s = kit_->Shortcuts().front();
  EXPECT_EQ((Strings{" c ", " k ", " f ", " l ", " p ", "6", "7", "8"}),
            (Strings{s->GetCondition(), s->GetKey(), s->GetFolder(), s->GetLinkName(),
                     s->GetKeep(), s->GetField(6), s->GetField(7), s->GetField(8)}));
  EXPECT_EQ("", s->GetField(9));

  ASSERT_EQ(2u, kit_->NetComponents().size());
  const CSvNetComponent* net = kit_->NetComponents()[0];
  EXPECT_EQ("Trellnet", net->GetDisplayName());  // the line is trimmed after the cut
  EXPECT_EQ("", net->GetCondition());
  EXPECT_EQ(0u, net->GetFlags());
  EXPECT_EQ(7u, kit_->NetComponents()[1]->GetFlags());

  ASSERT_EQ(1u, kit_->TextEdits().size());
  const CSvTextEdit* edit = kit_->TextEdits()[0];
  EXPECT_EQ("{LDID_KITROOT}\\e.txt", edit->GetCommandFile());
  EXPECT_EQ("A B", edit->GetSections());
  EXPECT_EQ(0x20u, edit->GetFlags());
}

TEST_F(KitLoaderTest, TransportKeepsNineFieldsAndMarksPrintModuleOnServers) {
  const std::string lines =
      "TRANSPORT,t,SVPRINT.DLL,3,4,5,6,7,8,9,10\n"
      "TRANSPORT,u,svprint.dll ,3,4,5,6,7,8,9,10\n";
  platform_.registry().SetString(svp::kHKeyLocalMachine,
                                 "System\\CurrentControlSet\\Control\\ProductOptions",
                                 "ProductType", "LanmanNT");
  ASSERT_EQ(0u, Load(lines));
  const CSvComponent* t = kit_->TransportComponents().front();
  const CSvComponent* u = kit_->TransportComponents().back();
  Strings fields;
  for (int i = 1; i <= 10; ++i) fields.push_back(t->GetField(i));
  EXPECT_EQ((Strings{"t", "SVPRINT.DLL", "3", "", "5", "6", "7", "TRUE", "9", "10"}), fields);
  EXPECT_EQ("8", u->GetField(8));  // the blank makes it another module name

  platform_.registry().SetString(svp::kHKeyLocalMachine,
                                 "System\\CurrentControlSet\\Control\\ProductOptions",
                                 "ProductType", "WinNT");
  CSvKit workstation(nullptr, macros_.get(), switches_.get());
  ASSERT_EQ(0u, workstation.LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ("8", workstation.TransportComponents().front()->GetField(8));
}

TEST_F(KitLoaderTest, ServerProductNeedsExactProductType) {
  const char* key = "System\\CurrentControlSet\\Control\\ProductOptions";
  EXPECT_FALSE(IsServerProduct());
  for (const char* type : {"ServerNT", "LanmanNT"}) {
    platform_.registry().SetString(svp::kHKeyLocalMachine, key, "ProductType", type);
    EXPECT_TRUE(IsServerProduct()) << type;
  }
  for (const char* type : {"servernt", "WinNT", "ServerNT "}) {
    platform_.registry().SetString(svp::kHKeyLocalMachine, key, "ProductType", type);
    EXPECT_FALSE(IsServerProduct()) << type;
  }
}

TEST_F(KitLoaderTest, LongLinesStrayCarriageReturnsNulAndCtrlZ) {
  // 259 characters, then the same physical line goes on with a record.
  std::string first = "DELETE,long.dll,L,G,";
  first += std::string(259 - first.size(), '0');
  std::string text = first + "DELETE,tail.dll,L,G\n";
  text += "DELETE,cr.dll,L,G\r\r\n";       // CR before CR LF: trimmed away
  text += "DELETE,mid.dll,L,G\rX\n";       // CR inside a field stays
  text += std::string("DELETE,nul.dll,L,G\0,COPY,x,x,S,D,H\n", 35);
  text += "DELETE,after.dll,L,G\n\x1a" "DELETE,hidden.dll,L,G\n";
  ASSERT_EQ(0u, Load(text));
  EXPECT_EQ((Strings{"after.dll", "nul.dll", "cr.dll", "tail.dll", "long.dll"}), Files("G"));
  EXPECT_EQ((Strings{"mid.dll"}), Files("G\rX"));
  EXPECT_EQ(nullptr, kit_->FindGroup("H"));
  EXPECT_EQ(0u, (*kit_->FindGroup("G")->begin())->GetCopyFlags());
}

TEST_F(KitLoaderTest, OldVersionStopsTheLoadKeepingEarlierRecords) {
  ASSERT_EQ(1u, Load("DELETE,one,L,G\n"
                     "VERSION,16777288\n"
                     "VERSION,16777287\n"
                     "DELETE,two,L,G\n"));
  EXPECT_EQ(16777287u, kit_->GetVersion());
  EXPECT_EQ((Strings{"one"}), Files("G"));
  ASSERT_EQ(1u, platform_.ui().boxes().size());
  const std::string message =
      "The setup installation data file: C:\\KIT\\KITPURGE.DAT is out of date or corrupt.\n";
  EXPECT_EQ(message, platform_.ui().boxes()[0].text);
  EXPECT_EQ(0x30u, platform_.ui().boxes()[0].type);
  EXPECT_EQ(0, platform_.ui().waitCursorDepth());
  EXPECT_EQ("The setup installation data file: C:\\KIT\\KITPURGE.DAT is out of date or "
            "corrupt.\r\n",
            Log());
}

TEST_F(KitLoaderTest, VersionNotationsAndFilesWithoutRecords) {
  EXPECT_EQ(0u, Load("VERSION,0x1000048\n"));
  CSvKit second(nullptr, macros_.get(), switches_.get());
  platform_.files().WriteFile(kKitPath, "; only a comment\r\n\r\n   \t\r\nVERSION , 16777289 ;\n");
  EXPECT_EQ(0u, second.LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ(16777289u, second.GetVersion());
  CSvKit empty(nullptr, macros_.get(), switches_.get());
  platform_.files().WriteFile(kKitPath, "; nothing\n\n");
  EXPECT_EQ(0u, empty.LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ(0u, empty.GetVersion());
  EXPECT_TRUE(empty.Groups().empty() && empty.Locations().empty() && empty.Shortcuts().empty());
  EXPECT_TRUE(platform_.ui().boxes().empty());
  EXPECT_EQ("", Log());
}

TEST_F(KitLoaderTest, MissingFileNameTouchesNothing) {
  EXPECT_EQ(6u, kit_->LoadKitData(kKitDir, nullptr));
  EXPECT_EQ(6u, kit_->LoadKitData(kKitDir, ""));
  EXPECT_EQ("", kit_->GetKitDirectory());
  EXPECT_EQ("<absent>", Macro("LDID_KITROOT"));
  EXPECT_EQ("", Log());
}

TEST_F(KitLoaderTest, CancelOnBrowseQuestionGivesUpAfterOneLogLine) {
  platform_.ui().QueueAnswer(svp::kIdCancel);
  EXPECT_EQ(8u, kit_->LoadKitData(kKitDir, "KITPURGE.DAT"));
  ASSERT_EQ(1u, platform_.ui().boxes().size());
  EXPECT_EQ("Could not open kit data file C:\\KIT\\KITPURGE.DAT\r\nPress OK to browse for the "
            "SOLVANE for Windows NT kit location.",
            platform_.ui().boxes()[0].text);
  EXPECT_EQ(0x31u, platform_.ui().boxes()[0].type);
  EXPECT_TRUE(platform_.ui().openFileRequests().empty());
  EXPECT_EQ("<absent>", Macro("LDID_KITROOT"));
  EXPECT_EQ("Error loading kit data file C:\\KIT\\KITPURGE.DAT,  OS returned error 2\r\n", Log());
}

TEST_F(KitLoaderTest, BrowsingRetriesUntilTheKitIsFoundOrTheDialogIsCancelled) {
  // A directory where the file should be, then a wrong pick, then the kit.
  platform_.files().MakeDirectory(kKitPath);
  platform_.files().MakeDirectory("C:\\WRONG");
  platform_.files().MakeDirectory("C:\\OTHER");
  platform_.files().WriteFile("C:\\OTHER\\KITPURGE.DAT", "DELETE,x,L,G\n");
  platform_.ui().QueueAnswer(svp::kIdOk);
  platform_.ui().QueueOpenFileAnswer(true, "C:\\WRONG\\readme.txt");
  platform_.ui().QueueAnswer(svp::kIdOk);
  platform_.ui().QueueOpenFileAnswer(true, "C:\\OTHER\\anything.txt");
  ASSERT_EQ(0u, kit_->LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ("C:\\OTHER", kit_->GetKitDirectory());
  EXPECT_EQ("C:\\OTHER", Macro("LDID_KITROOT"));
  EXPECT_EQ((Strings{"x"}), Files("G"));
  ASSERT_EQ(2u, platform_.ui().openFileRequests().size());
  const svp::OpenFileRequest& request = platform_.ui().openFileRequests()[0];
  EXPECT_EQ(static_cast<uint32_t>(svp::kOfnHideReadOnly), request.flags);
  EXPECT_TRUE(request.filters.empty());
  EXPECT_EQ(1540u, request.templateId);
  EXPECT_TRUE(request.owned);
  EXPECT_EQ(1, platform_.ui().pumpCount());
  const std::string log = Log();
  EXPECT_EQ(0u, log.find("Error loading kit data file C:\\KIT\\KITPURGE.DAT,  OS returned error "));
  EXPECT_NE(std::string::npos,
            log.find("\r\nError loading kit data file C:\\WRONG\\KITPURGE.DAT,  OS returned "
                     "error 2\r\n"));

  CSvKit cancelled(nullptr, macros_.get(), switches_.get());
  platform_.ui().QueueAnswer(svp::kIdOk);
  platform_.ui().QueueOpenFileAnswer(false, "");
  EXPECT_EQ(8u, cancelled.LoadKitData("C:\\NONE", "KITPURGE.DAT"));
}

TEST_F(KitLoaderTest, DriveRootAndRelativeDirectories) {
  platform_.files().MakeDirectory("E:\\SUB");
  platform_.files().WriteFile("E:\\KITPURGE.DAT", "");
  // "E:" alone would mean the current directory of drive E.
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("E:\\SUB"));
  platform_.ui().QueueAnswer(svp::kIdOk);
  platform_.ui().QueueOpenFileAnswer(true, "E:\\setup.exe");
  ASSERT_EQ(0u, kit_->LoadKitData("C:\\NONE", "KITPURGE.DAT"));
  EXPECT_EQ("E:", Macro("LDID_KITROOT"));
  EXPECT_EQ(1u, platform_.ui().boxes().size());

  CSvMacroList macros(svp::kHKeyLocalMachine, "Software\\x");
  CSvKit relative(nullptr, &macros, nullptr);
  platform_.files().MakeDirectory("C:\\WORK\\SUB");
  platform_.files().WriteFile("C:\\WORK\\SUB\\KITPURGE.DAT", "");
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("C:\\WORK"));
  ASSERT_EQ(0u, relative.LoadKitData("SUB\\", "KITPURGE.DAT"));
  EXPECT_EQ("C:\\WORK\\SUB", relative.GetKitDirectory());
  std::string root;
  macros.GetMacroValue("LDID_KITROOT", root);
  EXPECT_EQ("C:\\WORK\\SUB", root);
}

}  // namespace
