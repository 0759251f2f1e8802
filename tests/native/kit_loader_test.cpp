// KITPURGE.DAT reading: records, list orders, bad input, retry and version.
#include <string>
#include <vector>

#include "kit_test_support.h"
#include "textedit/textedit.h"

namespace {

using KitLoaderTest = KitFixture;

const char kProductOptions[] = "System\\CurrentControlSet\\Control\\ProductOptions";

TEST_F(KitLoaderTest, ListOrdersOfEveryRecordKind) {
  ASSERT_EQ(0u, Load("DELETE,d1,L,G\nCOPY,c1,c1,S,D,G\nDELETE,d2,L,G\nCOPY,c2,c2,S,D,G\n"
                     "DELETE,d3,L,G\n"
                     "SHORTCUT,,A,f,A1\nSHORTCUT,,B,f,B1\nSHORTCUT,,A,f,A2\n"
                     "SHORTCUT,,C,f,C1\nSHORTCUT,,B,f,B2\nSHORTCUT,,A,f,A3\n"
                     "TRANSPORT,T1\nTRANSPORT,T2\nTRANSPORT,T3\nTRANSPORT,T4\n"
                     "NETCPL,N1\nNETCPL,N2\nTEXTEDIT,X1\nTEXTEDIT,X2\n"));
  EXPECT_EQ((Strings{"d3", "d2", "d1", "c1", "c2"}), Files("G"));
  EXPECT_EQ((Strings{"A3", "A2", "A1", "B2", "B1", "C1"}),
            Names(kit_->Shortcuts(), &CSvShortcut::GetLinkName));
  EXPECT_EQ((Strings{"T1", "T4", "T3", "T2"}),
            Names(kit_->TransportComponents(), [](CSvComponent* c) { return c->GetField(1); }));
  EXPECT_EQ((Strings{"N1", "N2"}), Names(kit_->NetComponents(), &CSvNetComponent::GetOption));
  EXPECT_EQ((Strings{"X1", "X2"}), Names(kit_->TextEdits(), &CSvTextEdit::GetCondition));
  // Nothing is selected after a load, and the cursor is back.
  EXPECT_TRUE(kit_->SelectedFiles().empty());
  EXPECT_EQ(0u, kit_->FindGroup("G")->GetSelectionCount());
  EXPECT_EQ("<absent>", Macro("G_GROUP_COPIED"));
  EXPECT_EQ(0, ui().waitCursorDepth());
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
  EXPECT_EQ((Strings{"G", "EMPTYNAME", "EMPTYDIR", ""}), Names(kit_->Groups(), &CSvGroup::GetName));
  EXPECT_EQ((Strings{"D", "S", "L7"}), Names(kit_->Locations(), &CSvLocation::GetPath));
  EXPECT_EQ((Strings{"a.dll S > b.dll D 8 16", " S > n.dll D 12 0",
                     "big S > big D 4294967295 4294967295"}),
            Describe("G"));
  EXPECT_TRUE(Files("EMPTYNAME").empty());
  EXPECT_EQ((Strings{"k.ini L7 >  - 7 0"}), Describe(""));
  ASSERT_EQ(1u, kit_->Shortcuts().size());
  const CSvShortcut* s = kit_->Shortcuts().front();
  EXPECT_EQ((Strings{" c ", " k ", " f ", " l ", " p ", "6", "7", "8", ""}),
            (Strings{s->GetCondition(), s->GetKey(), s->GetFolder(), s->GetLinkName(), s->GetKeep(),
                     s->GetField(6), s->GetField(7), s->GetField(8), s->GetField(9)}));
  const auto net = [](CSvNetComponent* n) {
    return n->GetOption() + "|" + n->GetInfFile() + "|" + n->GetDisplayName() + "|" +
           n->GetCondition() + "|" + std::to_string(n->GetFlags());
  };
  // The line is trimmed after the comment is cut.
  EXPECT_EQ((Strings{"opt|oemnet.inf|Trellnet||0", "o2|i2|n2|c2|7"}),
            Names(kit_->NetComponents(), net));
  EXPECT_EQ((Strings{"c|{LDID_KITROOT}\\e.txt|A B|32"}),
            Names(kit_->TextEdits(), [](CSvTextEdit* e) {
              return e->GetCondition() + "|" + e->GetCommandFile() + "|" + e->GetSections() + "|" +
                     std::to_string(e->GetFlags());
            }));
}

TEST_F(KitLoaderTest, TransportKeepsNineFieldsAndMarksPrintModuleOnServersOnly) {
  const auto productType = [&](const char* type) {
    registry().SetString(svp::kHKeyLocalMachine, kProductOptions, "ProductType", type);
  };
  EXPECT_FALSE(IsServerProduct());
  for (const auto& [type, server] : {std::pair{"ServerNT", true},
                                     {"LanmanNT", true},
                                     {"servernt", false},
                                     {"ServerNT ", false},
                                     {"WinNT", false}}) {
    productType(type);
    EXPECT_EQ(server, IsServerProduct()) << type;
  }
  const std::string lines =
      "TRANSPORT,t,SVPRINT.DLL,3,4,5,6,7,8,9,10\n"
      "TRANSPORT,u,svprint.dll ,3,4,5,6,7,8,9,10\n";
  ASSERT_EQ(0u, Load(lines));
  EXPECT_EQ("8", kit_->TransportComponents().front()->GetField(8));
  productType("LanmanNT");
  ASSERT_EQ(0u, Load(lines));
  Strings fields;
  for (int i = 1; i <= 10; ++i) fields.push_back(kit_->TransportComponents().front()->GetField(i));
  EXPECT_EQ((Strings{"t", "SVPRINT.DLL", "3", "", "5", "6", "7", "TRUE", "9", "10"}), fields);
  EXPECT_EQ("8", kit_->TransportComponents().back()->GetField(8));  // another module name
}

TEST_F(KitLoaderTest, LongLinesStrayCarriageReturnsNulAndCtrlZ) {
  // 259 characters, then the same physical line goes on with a record.
  std::string first = "DELETE,long.dll,L,G,";
  first += std::string(259 - first.size(), '0');
  std::string text = first + "DELETE,tail.dll,L,G\n";
  text += "DELETE,cr.dll,L,G\r\r\n";  // CR before CR LF: trimmed away
  text += "DELETE,mid.dll,L,G\rX\n";  // CR inside a field stays
  text += std::string("DELETE,nul.dll,L,G\0,COPY,x,x,S,D,H\n", 35);
  text +=
      "DELETE,after.dll,L,G\n\x1a"
      "DELETE,hidden.dll,L,G\n";
  ASSERT_EQ(0u, Load(text));
  EXPECT_EQ((Strings{"after.dll", "nul.dll", "cr.dll", "tail.dll", "long.dll"}), Files("G"));
  EXPECT_EQ((Strings{"mid.dll"}), Files("G\rX"));
  EXPECT_EQ(nullptr, kit_->FindGroup("H"));
  EXPECT_EQ(0u, (*kit_->FindGroup("G")->begin())->GetCopyFlags());
}

TEST_F(KitLoaderTest, VersionsFilesWithoutRecordsAndNoFileName) {
  EXPECT_EQ(6u, kit_->LoadKitData(kKitDir, nullptr));
  EXPECT_EQ(6u, kit_->LoadKitData(kKitDir, ""));
  EXPECT_EQ("", kit_->GetKitDirectory());
  EXPECT_EQ("<absent>", Macro("LDID_KITROOT"));
  EXPECT_EQ(0u, Load("; only a comment\r\n\r\n   \t\r\nVERSION , 16777289 ;\n"));
  EXPECT_EQ(16777289u, kit_->GetVersion());
  EXPECT_EQ(0u, Load("; nothing\n\n"));
  EXPECT_EQ(0u, kit_->GetVersion());
  EXPECT_TRUE(kit_->Groups().empty() && kit_->Locations().empty() && kit_->Shortcuts().empty());
  EXPECT_TRUE(Boxes().empty());

  // Too old: the load stops there, keeping the records before it.
  ASSERT_EQ(1u, Load("DELETE,one,L,G\nVERSION,16777288\nVERSION,16777287\nDELETE,two,L,G\n"));
  EXPECT_EQ(16777287u, kit_->GetVersion());
  EXPECT_EQ((Strings{"one"}), Files("G"));
  const std::string message =
      "The setup installation data file: C:\\KIT\\KITPURGE.DAT is out of date or corrupt.";
  EXPECT_EQ((Strings{"30 " + message + "\n"}), Boxes());
  EXPECT_EQ(0, ui().waitCursorDepth());
  EXPECT_EQ(message + "\r\n", Log());
}

TEST_F(KitLoaderTest, CancelOnTheBrowseQuestionOrInTheDialogGivesUp) {
  ui().QueueAnswer(svp::kIdCancel);
  EXPECT_EQ(8u, kit_->LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ((Strings{"31 " + SvFormat(Text(10004), {kKitPath})}), Boxes());
  EXPECT_TRUE(ui().openFileRequests().empty());
  EXPECT_EQ("<absent>", Macro("LDID_KITROOT"));
  EXPECT_EQ("Error loading kit data file C:\\KIT\\KITPURGE.DAT,  OS returned error 2\r\n", Log());
  ui().QueueAnswer(svp::kIdOk);
  ui().QueueOpenFileAnswer(false, "");
  EXPECT_EQ(8u, kit_->LoadKitData(kKitDir, "KITPURGE.DAT"));
}

TEST_F(KitLoaderTest, BrowsingRetriesUntilTheKitIsFoundOrTheDialogIsCancelled) {
  // A directory where the file should be, then a wrong pick, then the kit.
  files().MakeDirectory(kKitPath);
  files().MakeDirectory("C:\\WRONG");
  files().WriteFile("C:\\OTHER\\KITPURGE.DAT", "DELETE,x,L,G\n");
  ui().QueueAnswer(svp::kIdOk);
  ui().QueueOpenFileAnswer(true, "C:\\WRONG\\readme.txt");
  ui().QueueAnswer(svp::kIdOk);
  ui().QueueOpenFileAnswer(true, "C:\\OTHER\\anything.txt");
  ASSERT_EQ(0u, kit_->LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ("C:\\OTHER", kit_->GetKitDirectory());
  EXPECT_EQ("C:\\OTHER", Macro("LDID_KITROOT"));
  EXPECT_EQ((Strings{"x"}), Files("G"));
  ASSERT_EQ(2u, ui().openFileRequests().size());
  const svp::OpenFileRequest& request = ui().openFileRequests()[0];
  EXPECT_EQ(static_cast<uint32_t>(svp::kOfnHideReadOnly), request.flags);
  EXPECT_TRUE(request.filters.empty());
  EXPECT_EQ(1540u, request.templateId);
  EXPECT_TRUE(request.owned);
  EXPECT_EQ(1, ui().pumpCount());
  const std::string log = Log();
  EXPECT_EQ(0u, log.find("Error loading kit data file C:\\KIT\\KITPURGE.DAT,  OS returned error "));
  EXPECT_NE(std::string::npos,
            log.find("\r\nError loading kit data file C:\\WRONG\\KITPURGE.DAT,  OS returned "
                     "error 2\r\n"));
}

TEST_F(KitLoaderTest, DriveRootAndRelativeDirectories) {
  files().MakeDirectory("E:\\SUB");
  files().WriteFile("E:\\KITPURGE.DAT", "");
  // "E:" alone would mean the current directory of drive E.
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("E:\\SUB"));
  ui().QueueAnswer(svp::kIdOk);
  ui().QueueOpenFileAnswer(true, "E:\\setup.exe");
  ASSERT_EQ(0u, kit_->LoadKitData("C:\\NONE", "KITPURGE.DAT"));
  EXPECT_EQ("E:", Macro("LDID_KITROOT"));
  EXPECT_EQ(1u, Boxes().size());

  // Relative to the current directory; a kit may have no switch list.
  kit_.reset();
  macros_ = std::make_unique<CSvMacroList>(svp::kHKeyLocalMachine, "Software\\x");
  CSvKit relative(nullptr, macros_.get(), nullptr);
  files().WriteFile("C:\\WORK\\SUB\\KITPURGE.DAT", "");
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("C:\\WORK"));
  ASSERT_EQ(0u, relative.LoadKitData("SUB\\", "KITPURGE.DAT"));
  EXPECT_EQ("C:\\WORK\\SUB", relative.GetKitDirectory());
  EXPECT_EQ("C:\\WORK\\SUB", Macro("LDID_KITROOT"));
}

}  // namespace
