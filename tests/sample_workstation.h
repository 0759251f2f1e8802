// The demo's sample workstation in the simulated platform: SOLVANE 32 as its
// installer left it (files, one of them in use, shortcuts, network
// components, Path and KSTA, AUTOEXEC.NT, the product's and the services'
// keys, the adapters' protocol addresses) and the kit of sample/ beside
// KITPURGE.EXE in C:\SVKIT.  For the fault sweep and the fuzz harnesses; and
// a capture of everything an uninstall could change on a simulated workstation.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/memory/memory_internal.h"
#include "platform/memory/memory_platform.h"

namespace sample {

constexpr const char* kProduct = "C:\\SV32";
constexpr const char* kSys = "C:\\WINNT\\system32";
constexpr const char* kWin = "C:\\WINNT";
constexpr const char* kPrograms = "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs";
constexpr const char* kDesktop = "C:\\WINNT\\Profiles\\All Users\\Desktop";
constexpr const char* kConfig =
    "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";
constexpr const char* kEnvironment =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kServices = "SYSTEM\\CurrentControlSet\\Services\\";

using State = std::map<std::string, std::string>;
using svp::Upper;

// Everything an uninstall could change, names folded as the workstation
// compares them: files with their bytes and
// attributes, keys, values, network components and restart operations.
inline void Walk(svp::MemoryFileSystem& fs, const std::string& dir, State* out) {
  for (const std::string& name : fs.List(dir)) {
    const std::string path = (dir.back() == '\\' ? dir : dir + "\\") + name;
    if (fs.IsDirectory(path)) {
      (*out)["D " + Upper(path)] = "";
      Walk(fs, path, out);
    } else {
      (*out)["F " + Upper(path)] =
          fs.ReadFile(path) + "|" + std::to_string(fs.GetFileAttributes(path));
    }
  }
}

inline void Walk(svp::MemoryRegistry& reg, svp::RegKey root, const std::string& name,
          const std::string& path, State* out) {
  const std::string here = name + (path.empty() ? "" : "\\" + path);
  (*out)["K " + Upper(here)] = "";
  for (const std::string& value : reg.ValueNames(root, path)) {
    std::string bytes;
    uint32_t type = 0;
    reg.GetRaw(root, path, value, &bytes, &type);
    (*out)["V " + Upper(here) + "|" + Upper(value)] = std::to_string(type) + ":" + bytes;
  }
  for (const std::string& sub : reg.SubKeys(root, path))
    Walk(reg, root, name, path.empty() ? sub : path + "\\" + sub, out);
}

inline State Capture(svp::MemoryPlatform& p) {
  State state;
  svp::FaultPlan saved = p.faults();
  p.faults() = svp::FaultPlan();  // looking is not part of the run
  Walk(p.files(), "C:\\", &state);
  for (const auto& [root, name] : {std::pair{svp::kHKeyLocalMachine, "HKLM"},
                                  {svp::kHKeyCurrentUser, "HKCU"}, {svp::kHKeyUsers, "HKU"}})
    Walk(p.registry(), root, name, "", &state);
  for (const char* option : {"TRELLNET", "SVRDR", "SVPRINT"})
    if (p.net().HasComponent(option)) state[std::string("N ") + option] = "";
  for (const auto& op : p.files().PendingOperations())
    state["P " + Upper(op.from) + ">" + Upper(op.to)] = "";
  p.faults() = saved;
  return state;
}

inline std::string ReadSource(const std::string& name) {
  static std::map<std::string, std::string> read;
  auto it = read.find(name);
  if (it != read.end()) return it->second;
  std::ifstream in(std::string(SV_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return read[name] = out.str();
}

// The user of an unattended run: OK, Yes to questions, Ignore and Cancel
// where asked to retry.
inline int Answer(const svp::MemoryUserInterface::ShownBox& box) {
  switch (box.type & 0xF) {
    case svp::kMbOk: return svp::kIdOk;
    case svp::kMbAbortRetryIgnore: return svp::kIdIgnore;
    case svp::kMbYesNo: case 3: return svp::kIdYes;  // 3: Yes, No and Cancel
    default: return svp::kIdCancel;
  }
}

inline void Stage(svp::MemoryPlatform& p) {
  using svp::kHKeyCurrentUser;
  using svp::kHKeyLocalMachine;
  svp::MemoryFileSystem& fs = p.files();
  svp::MemoryRegistry& reg = p.registry();
  const std::string product = kProduct, sys = kSys, win = kWin;

  for (const char* name : {"KITPURGE.DAT", "KITPURGE.TXT", "SVTEXT.CMD"})
    fs.WriteFile(std::string("C:\\SVKIT\\") + name, ReadSource(std::string("sample/") + name));
  fs.WriteFile("C:\\SVKIT\\KITPURGE.EXE", "MZ");
  fs.SetModuleFileName("C:\\SVKIT\\KITPURGE.EXE");

  for (const char* name : {"SVREMOTE.EXE", "NXFT.EXE", "EVTVIEW.EXE", "SVAGENT.EXE", "SVCORE.DLL",
                           "SVSETUP.HLP", "README.TXT", "SOLVANE.INI"})
    fs.WriteFile(product + "\\" + name, std::string("SOLVANE 32 7.3.026 ") + name + "\r\n");
  fs.WriteFile(product + "\\PROTOCOL\\TRELLNET\\TRELLNET.INI", "[TRELLNET]\r\n");
  fs.WriteFile(product + "\\PROTOCOL\\TRELLNET\\TRLCFG.DAT", "cfg");
  fs.WriteFile(product + "\\PROTOCOL\\PROTOCOL.INI", "[protocol manager]\r\n");
  for (const char* name : {"SVNETLIB.DLL", "SVPRINT.DLL", "SVWSOCK.DLL", "TNP16.EXE",
                           "OEMNXPTL.INF", "OEMNXRDR.INF", "OEMNXPRT.INF"})
    fs.WriteFile(sys + "\\" + name, name);
  for (const char* name : {"RIZUDAV.SYS", "TRLLAT.SYS", "RAVEDOZ.SYS"})
    fs.WriteFile(sys + "\\drivers\\" + name, name);
  // The product's agent keeps its library loaded.
  fs.SetInUse(product + "\\SVCORE.DLL", true);

  const std::string group = std::string(kPrograms) + "\\Solvane 32\\";
  for (const char* name : {"SOLVANE 32 Remote.lnk", "NXFT File Transfer.lnk",
                           "NXFT File Transfer.pif", "Event Log Viewer.lnk", "Read Me.lnk"})
    fs.WriteFile(group + name, "[InternetShortcut]\r\n");
  fs.WriteFile(std::string(kDesktop) + "\\SOLVANE 32 Remote.lnk", "[InternetShortcut]\r\n");
  fs.WriteFile(std::string(kPrograms) + "\\Administrative Tools\\VUDU Monitor.lnk", "lnk");

  fs.WriteFile(win + "\\PROTOCOL.INI",
               "[protocol manager]\r\nDriverName=PROTMAN$\r\n\r\n[TRELLNET]\r\nDriverName=TRLLAT$\r\n");
  fs.WriteFile(win + "\\PROTOCOL.SAV", "[protocol manager]\r\nDriverName=PROTMAN$\r\n");
  fs.WriteFile(win + "\\SYSTEM.INI",
               "[386Enh]\r\ndevice=C:\\WINNT\\system32\\tnp16.386\r\ndevice=vdd.386\r\n\r\n"
               "[Trellnet]\r\nFrames=16\r\n\r\n[drivers]\r\nwave=mmdrv.dll\r\n");
  fs.WriteFile(sys + "\\AUTOEXEC.NT",
               "@echo off\r\nREM AUTOEXEC.NT is used to initialize the MS-DOS environment.\r\n"
               "lh %SystemRoot%\\system32\\mscdexnt.exe\r\nlh %SystemRoot%\\system32\\redir\r\n"
               "SET KSTA=C:\\SV32\r\nlh C:\\SV32\\TNP16.EXE /I:TRELLNET\r\n"
               "lh %SystemRoot%\\system32\\dosx\r\nSET TEMP=C:\\TEMP\r\n");

  for (const auto& [name, value] :
       {std::pair<const char*, const char*>{"LDID_SV", "C:\\SV32"},
        {"LDID_SV_LONG", "C:\\SV32"}, {"InstallMode", "Typical"}, {"Reinstall", "FALSE"},
        {"TRLCORE_Installed", "TRUE"}, {"VUDU_Installed", "TRUE"}, {"StartNetwork", "TRUE"}})
    reg.SetString(kHKeyLocalMachine, kConfig, name, value);
  const std::string solvane = "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\";
  reg.SetString(kHKeyLocalMachine, solvane + "Event Logger", "LogFile", "C:\\SV32\\EVENTS.LOG");
  reg.SetString(kHKeyCurrentUser, solvane + "NXFT\\RemoteHostList", "Host1", "trellhost1");
  reg.SetString(kHKeyCurrentUser, solvane + "Event Log Viewer", "Columns", "Time,Source,Event");
  reg.SetString(kHKeyCurrentUser, solvane + "SVRemote\\Ini", "Window", "0,0,640,480");
  const std::string services = kServices;
  reg.SetDword(kHKeyLocalMachine, services + "RIZUDAV\\Parameters", "Frames", 16);
  reg.SetString(kHKeyLocalMachine, services + "TRLLAT\\Linkage", "Bind", "\\Device\\E100B1");
  reg.SetString(kHKeyLocalMachine, services + "RAVEDOZERUZU\\Parameters\\Bindings", "Adapter",
                "E100B1");
  reg.SetString(kHKeyLocalMachine, kEnvironment, "Path",
                "%SystemRoot%\\system32;%SystemRoot%;C:\\SV32", svp::kRegExpandSz);
  reg.SetString(kHKeyLocalMachine, kEnvironment, "KSTA", "C:\\SV32");
  const std::string cards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
  reg.SetString(kHKeyLocalMachine, cards + "1", "ServiceName", "E100B1");
  reg.SetString(kHKeyLocalMachine, cards + "2", "ServiceName", "NE20002");
  reg.SetString(kHKeyLocalMachine, services + "E100B1\\Parameters", "NetworkAddress",
                "AA0004001C08");
  reg.SetString(kHKeyLocalMachine, services + "NE20002\\Parameters", "NetworkAddress",
                "02608C123456");

  p.net().AddComponent("TRELLNET", "oemnxptl.inf");
  p.net().AddComponent("SVRDR", "oemnxrdr.inf");
  p.net().AddComponent("SVPRINT", "oemnxprt.inf");
}

}  // namespace sample
