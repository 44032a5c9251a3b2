// The doctor's checks on fake /sys, /dev, /proc, /etc and /run trees.
#include "link/port_doctor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

/// A system below a scratch folder: serial devices in sys/ and dev/,
/// processes in proc/, groups in etc/group, udev's database in run/.
class FakeTree {
 public:
  SystemTree tree() const { return SystemTree{root_.string()}; }
  std::string Dev(const std::string& name) const { return (root_ / "dev" / name).string(); }

  /// A USB serial device with its node in dev/ and its device number.
  void AddUsb(const std::string& tty, const std::string& maker, const std::string& product,
              int minor) {
    const fs::path usb = root_ / "sys/devices" / ("usb-" + tty);
    Write(usb / "idVendor", "1d50");
    Write(usb / "manufacturer", maker);
    Write(usb / "product", product);
    const fs::path interface = usb / "1-1:1.0";
    Write(interface / "bInterfaceNumber", "00");
    fs::create_directories(root_ / "sys/drivers/cdc_acm");
    fs::create_directory_symlink(root_ / "sys/drivers/cdc_acm", interface / "driver");
    const fs::path entry = root_ / "sys/class/tty" / tty;
    fs::create_directories(entry);
    fs::create_directory_symlink(interface, entry / "device");
    Write(entry / "dev", "166:" + std::to_string(minor));
    Write(root_ / "dev" / tty, "");
  }
  /// A process with the given files open; `hidden` makes its open files
  /// unreadable, as another user's are.
  void AddProcess(int pid, const std::string& name, const std::vector<std::string>& open,
                  bool hidden = false) {
    const fs::path dir = root_ / "proc" / std::to_string(pid);
    Write(dir / "comm", name);
    if (hidden) {
      Write(dir / "fd", "");  // not a folder: cannot be listed
      return;
    }
    fs::create_directories(dir / "fd");
    int fd = 3;
    for (const std::string& target : open) {
      fs::create_symlink(target, dir / "fd" / std::to_string(fd++));
    }
  }
  void SetGroupFile(const std::string& text) { Write(root_ / "etc/group", text); }
  void SetUdevProperty(const std::string& number, const std::string& line) {
    Write(root_ / "run/udev/data" / ("c" + number), line);
  }
  void InstallProgram(const std::string& folder, const std::string& name) {
    Write(root_ / folder / name, "");
  }
  void AddPseudoTerminal(const std::string& link, int number) {
    Write(root_ / "dev/pts" / std::to_string(number), "");
    fs::create_symlink(root_ / "dev/pts" / std::to_string(number), root_ / link);
  }
  std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

 private:
  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << (text.empty() ? "" : "\n");
  }
  const testing::TempDir temp_{"vextune-doctor"};
  const fs::path& root_ = temp_.path();
};

/// Answers for the running system as a table says.
class FakeSystem final : public DoctorSystem {
 public:
  int AccessError(const std::string& path) override {
    return accessErrors.count(path) ? accessErrors[path] : 0;
  }
  std::optional<gid_t> OwnerGroup(const std::string&) override { return ownerGroup; }
  bool ProcessInGroup(gid_t gid) override { return processGroups.count(gid) > 0; }
  std::string UserName() override { return "alice"; }
  int ProcessId() override { return 4242; }
  Identification Identify(const std::string& path) override {
    identified.push_back(path);
    return identification;
  }

  std::map<std::string, int> accessErrors;
  std::optional<gid_t> ownerGroup = 20;
  std::set<gid_t> processGroups;
  Identification identification{Identification::Outcome::NormalFirmware, 38400, " V.1.4b", 0};
  std::vector<std::string> identified;
};

constexpr const char* kGroups = "root:x:0:\ndialout:x:20:bob\nplugdev:x:46:alice\n";

struct Scenario {
  const char* name;
  std::function<void(FakeTree&, FakeSystem&)> setUp;
  std::string port;  // --port; empty: discovery decides
  /// Per check in order: the status and a text its finding (found and fix)
  /// must hold.
  std::vector<std::pair<FindingStatus, std::string>> expected;
  int exitCode;
};

using S = FindingStatus;

void AddDavozi(FakeTree& t) {
  t.AddUsb("ttyACM0", "Olvane", "Ambrel", 0);
  t.AddUsb("ttyUSB0", "FTDI", "FT232R USB UART", 1);
  t.SetGroupFile(kGroups);
}

TEST(Doctor, ChecksInOrderAndNamesTheFix) {
  const std::string acm = "dev/ttyACM0";
  const Scenario scenarios[] = {
      {"everything works",
       [](FakeTree& t, FakeSystem&) {
         AddDavozi(t);
         t.AddProcess(1, "systemd", {"/dev/null"});
       },
       "",
       {{S::Ok, "DAV-OZI found on "},
        {S::Ok, "You may read and write "},
        {S::Ok, "No other program has "},
        {S::Ok, "ModemManager is not running."},
        {S::Ok, "brltty is not installed."},
        {S::Ok, "at 38400 Bd, firmware V.1.4b."}},
       0},
      {"not in the group",
       [](FakeTree& t, FakeSystem& s) {
         AddDavozi(t);
         s.accessErrors[t.Dev("ttyACM0")] = EACCES;
       },
       "",
       {{S::Ok, "DAV-OZI found on "},
        {S::Failed,
         "belongs to group dialout, and alice is not in it.\nsudo usermod -aG dialout "
         "$USER\nthen log out and log in again."},
        {S::Ok, "ModemManager"},
        {S::Ok, "brltty"},
        {S::Skipped, "first the port must be usable"}},
       1},
      {"joined the group after logging in",
       [](FakeTree& t, FakeSystem& s) {
         AddDavozi(t);
         t.SetGroupFile("dialout:x:20:bob,alice\n");
         s.accessErrors[t.Dev("ttyACM0")] = EACCES;
       },
       "",
       {{S::Ok, "DAV-OZI"},
        {S::Failed,
         "alice is in it, but this login began before the user joined it.\nLog out and "
         "log in again (or, for one terminal: newgrp dialout)."},
        {S::Ok, "ModemManager"},
        {S::Ok, "brltty"},
        {S::Skipped, ""}},
       1},
      {"group without read and write",
       [](FakeTree& t, FakeSystem& s) {
         AddDavozi(t);
         s.accessErrors[t.Dev("ttyACM0")] = EACCES;
         s.processGroups = {20};
       },
       "",
       {{S::Ok, ""}, {S::Failed, "sudo chmod g+rw "}, {S::Ok, ""}, {S::Ok, ""}, {S::Skipped, ""}},
       1},
      {"another program holds the port, and ModemManager probes it",
       [acm](FakeTree& t, FakeSystem&) {
         AddDavozi(t);
         t.AddProcess(812, "ModemManager", {t.Path(acm)});
         t.AddProcess(900, "minicom", {"/dev/pts/1", t.Path(acm)});
         t.AddProcess(4242, "vextune-cli", {t.Path(acm)});  // the doctor itself
       },
       "",
       {{S::Ok, "DAV-OZI"},
        {S::Ok, "You may"},
        {S::Failed,
         "is open in ModemManager (process 812), minicom (process 900).\nsudo systemctl "
         "stop ModemManager"},
        {S::Warning, "is not told to leave"},
        {S::Ok, "brltty"},
        {S::Skipped, ""}},
       1},
      {"ModemManager told to leave the device alone; another user's process hidden",
       [](FakeTree& t, FakeSystem&) {
         AddDavozi(t);
         t.AddProcess(812, "ModemManager", {});
         t.AddProcess(700, "gpsd", {}, /*hidden=*/true);
         t.SetUdevProperty("166:0", "E:ID_VENDOR=Olvane\nE:ID_MM_DEVICE_IGNORE=1");
       },
       "",
       {{S::Ok, "DAV-OZI"},
        {S::Ok, "You may"},
        {S::Ok, "(other users' programs are hidden; sudo shows them)."},
        {S::Ok, "ModemManager is running and leaves "},
        {S::Ok, "brltty"},
        {S::Ok, "answers"}},
       0},
      {"no device, and brltty installed",
       [](FakeTree& t, FakeSystem&) {
         t.AddUsb("ttyUSB0", "FTDI", "FT232R USB UART", 1);
         t.InstallProgram("usr/bin", "brltty");
       },
       "",
       {{S::Failed, "No DAV-OZI among the 1 serial port of this system.\nConnect the DAV-OZI"},
        {S::Ok, "ModemManager is not running."},
        {S::Warning, "brltty is installed (/usr/bin/brltty)"},
        {S::Skipped, ""}},
       1},
      {"two devices",
       [](FakeTree& t, FakeSystem&) {
         t.AddUsb("ttyACM0", "Olvane", "Ambrel", 0);
         t.AddUsb("ttyACM1", "Olvane", "Ambrel", 1);
       },
       "",
       {{S::Failed, "Several DAV-OZI found: "}, {S::Ok, ""}, {S::Ok, ""}, {S::Skipped, ""}},
       1},
      {"--port names another adapter that answers in BIOS mode",
       [](FakeTree& t, FakeSystem& s) {
         AddDavozi(t);
         s.identification = {Identification::Outcome::BiosMode, 115200, "", 0};
       },
       "ttyUSB0",
       {{S::Warning, "does not describe itself as a DAV-OZI: \"FTDI FT232R USB UART\"."},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Warning, "at 115200 Bd in BIOS mode"}},
       0},
      {"--port names a missing node",
       [](FakeTree& t, FakeSystem&) { AddDavozi(t); },
       "ttyACM7",
       {{S::Warning, "is not among the serial ports"},
        {S::Failed, "does not exist."},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Skipped, ""}},
       1},
      {"the device does not answer",
       [](FakeTree& t, FakeSystem& s) {
         AddDavozi(t);
         s.identification = {Identification::Outcome::NoAnswer, 115200, "", 0};
       },
       "",
       {{S::Ok, ""},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Failed, "at 38400 or 115200 Bd.\nSwitch the DAV-OZI on"}},
       1},
      {"a simulator's pseudo-terminal is held by the simulator",
       [](FakeTree& t, FakeSystem&) {
         t.AddPseudoTerminal("dav", 5);
         t.AddProcess(300, "davozi-sim", {t.Path("dev/pts/5")});
       },
       "",  // given below as a path
       {{S::Warning, "is not among the serial ports"},
        {S::Ok, ""},
        {S::Ok, "is a pseudo-terminal served by davozi-sim (process 300)."},
        {S::Ok, ""},
        {S::Ok, ""},
        {S::Ok, "answers"}},
       0},
  };
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    FakeTree tree;
    FakeSystem system;
    scenario.setUp(tree, system);
    std::string port = scenario.port;
    if (std::string(scenario.name).starts_with("a simulator")) port = tree.Path("dav");
    const std::vector<Finding> findings = RunDoctor(tree.tree(), port, system);
    ASSERT_EQ(findings.size(), scenario.expected.size()) << FormatFindings(findings);
    for (size_t i = 0; i < findings.size(); ++i) {
      EXPECT_EQ(findings[i].status, scenario.expected[i].first) << FormatFindings(findings);
      const std::string text = findings[i].found + "\n" + findings[i].fix;
      EXPECT_NE(text.find(scenario.expected[i].second), std::string::npos) << text;
    }
    EXPECT_EQ(DoctorExitCode(findings), scenario.exitCode);
    // The device is asked only over a port that can be used.
    const bool asked = scenario.expected.back().first != S::Skipped;
    EXPECT_EQ(system.identified.size(), asked ? 1u : 0u);
  }
}

TEST(Doctor, PrintsWhatItFoundAndTheFixBelow) {
  const std::vector<Finding> findings = {
      {S::Ok, "DAV-OZI found on /dev/ttyACM0 (Olvane Ambrel)", ""},
      {S::Failed, "/dev/ttyACM0 belongs to group dialout, and alice is not in it.",
       "sudo usermod -aG dialout $USER\nthen log out and log in again."},
      {S::Warning, "brltty is installed.", "sudo apt remove brltty"},
      {S::Skipped, "Whether the DAV-OZI answers.", ""},
  };
  EXPECT_EQ(FormatFindings(findings),
            "ok    DAV-OZI found on /dev/ttyACM0 (Olvane Ambrel)\n"
            "FAIL  /dev/ttyACM0 belongs to group dialout, and alice is not in it.\n"
            "      fix: sudo usermod -aG dialout $USER\n"
            "           then log out and log in again.\n"
            "warn  brltty is installed.\n"
            "      fix: sudo apt remove brltty\n"
            "skip  Whether the DAV-OZI answers.\n");
}

TEST(Doctor, TheDesktopProgramsAdviceNamesTheFirstFix) {
  const std::string acm = "dev/ttyACM0";
  const std::string silent =
      "What to do: Switch the DAV-OZI on and check the cable; then switch it off and on once "
      "more.";
  struct Case {
    const char* name;
    std::function<void(FakeTree&, FakeSystem&)> setUp;
    std::string advice;  ///< after "No answer on PORT at 38400 or 115200 Bd.\n"
  };
  const Case cases[] = {
      {"nothing else wrong", [](FakeTree& t, FakeSystem&) { AddDavozi(t); }, silent},
      {"not in the group",
       [](FakeTree& t, FakeSystem& s) {
         AddDavozi(t);
         s.accessErrors[t.Dev("ttyACM0")] = EACCES;
       },
       "PORT belongs to group dialout, and alice is not in it.\nWhat to do: sudo usermod -aG "
       "dialout $USER\nthen log out and log in again."},
      {"a program holds the port",
       [acm](FakeTree& t, FakeSystem&) {
         AddDavozi(t);
         t.AddProcess(900, "minicom", {t.Path(acm)});
       },
       "PORT is open in minicom (process 900).\nWhat to do: Quit minicom, or end it: kill 900"},
      {"ModemManager holds the port",
       [acm](FakeTree& t, FakeSystem&) {
         AddDavozi(t);
         t.AddProcess(812, "ModemManager", {t.Path(acm)});
       },
       "PORT is open in ModemManager (process 812).\nWhat to do: sudo systemctl stop "
       "ModemManager   (for good: the udev rule 60-davozi.rules, see below)"},
      // Warnings give way to what fails.
      {"ModemManager and brltty only may get in the way",
       [](FakeTree& t, FakeSystem&) {
         AddDavozi(t);
         t.AddProcess(812, "ModemManager", {});
         t.InstallProgram("usr/bin", "brltty");
       },
       silent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTree tree;
    FakeSystem system;
    system.identification = {Identification::Outcome::NoAnswer, 115200, "", 0};
    c.setUp(tree, system);
    const std::string port = tree.Dev("ttyACM0");
    std::string expected = "No answer on PORT at 38400 or 115200 Bd.\n" + c.advice;
    for (size_t at; (at = expected.find("PORT")) != std::string::npos;) {
      expected.replace(at, 4, port);
    }
    EXPECT_EQ(NoAnswerAdvice(port, RunDoctor(tree.tree(), port, system)), expected);
  }

  // No DAV-OZI among the ports: what was looked at, and what takes a port away.
  const std::vector<SerialDevice> six = {{"/dev/ttyS0", "serial8250"}, {"/dev/ttyS1", "serial8250"},
                                         {"/dev/ttyUSB0", "FTDI"},     {"/dev/ttyUSB1", "FTDI"},
                                         {"/dev/ttyUSB2", "FTDI"},     {"/dev/ttyUSB3", "FTDI"}};
  FakeTree plain;
  FakeSystem none;
  EXPECT_EQ(NoDeviceAdvice({}, RunDoctor(plain.tree(), "", none)),
            "The system lists no serial port.\nWhat to do: Connect the DAV-OZI by USB and switch "
            "it on.");
  FakeTree braille;
  braille.InstallProgram("usr/sbin", "brltty");
  FakeSystem system;
  EXPECT_EQ(NoDeviceAdvice(six, RunDoctor(braille.tree(), "", system)),
            "Serial ports looked at: /dev/ttyS0, /dev/ttyS1, /dev/ttyUSB0, /dev/ttyUSB1 and 2 "
            "more; none describes itself as a DAV-OZI.\nWhat to do: sudo apt remove brltty   "
            "(when no braille display is used)");
  EXPECT_TRUE(system.identified.empty());
}

TEST(PortDiagnosis, GroupsUdevPropertiesAndPrograms) {
  FakeTree t;
  t.SetGroupFile("root:x:0:\ndialout:x:20:bob,alice\nplugdev:x:46:\nbroken line\n");
  t.SetUdevProperty("188:0", "S:serial/by-id/x\nE:ID_MM_DEVICE_IGNORE=1\n");
  t.InstallProgram("sbin", "brltty");
  const SystemTree tree = t.tree();
  EXPECT_EQ(GroupName(tree, 20), "dialout");
  EXPECT_EQ(GroupName(tree, 99), "");
  EXPECT_TRUE(GroupListsUser(tree, "dialout", "alice"));
  EXPECT_FALSE(GroupListsUser(tree, "dialout", "ali"));
  EXPECT_FALSE(GroupListsUser(tree, "plugdev", "alice"));
  EXPECT_EQ(UdevProperty(tree, "188:0", "ID_MM_DEVICE_IGNORE"), "1");
  EXPECT_EQ(UdevProperty(tree, "188:0", "ID_MM"), "");
  EXPECT_EQ(UdevProperty(tree, "188:1", "ID_MM_DEVICE_IGNORE"), "");
  EXPECT_EQ(UdevProperty(tree, "", "ID_MM_DEVICE_IGNORE"), "");
  EXPECT_EQ(InstalledProgram(tree, "brltty"), "/sbin/brltty");
  EXPECT_EQ(InstalledProgram(tree, "ModemManager"), "");
  // Nothing of this in an empty tree.
  FakeTree empty;
  EXPECT_EQ(GroupName(empty.tree(), 0), "");
  EXPECT_FALSE(ProcessRunning(empty.tree(), "ModemManager"));
  EXPECT_TRUE(FindPortHolders(empty.tree(), "/dev/ttyACM0", 1).processes.empty());
}

}  // namespace
}  // namespace vextune
