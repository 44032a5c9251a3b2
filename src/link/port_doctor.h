#pragma once

#include <sys/types.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "link/port_diagnosis.h"
#include "link/port_discovery.h"

namespace vextune {

/// How one check of the doctor came out.
enum class FindingStatus {
  Ok,
  Warning,  ///< may get in the way; does not stop the device from working
  Failed,   ///< the device cannot be used until it is fixed
  Skipped,  ///< an earlier check failed, so this one cannot run
};

/// The doctor's checks, in the order it runs them.
enum class DoctorCheck { Discovery, Access, Holders, ModemManager, Brltty, Answer };

/// What one check found and, when something is wrong, what fixes it.
struct Finding {
  FindingStatus status = FindingStatus::Ok;
  std::string found;
  /// The commands or steps that fix it, one per line; empty when all is well.
  std::string fix;
  DoctorCheck check = DoctorCheck::Discovery;
};

/// What the device said when the doctor asked it to identify itself.
struct Identification {
  enum class Outcome { NormalFirmware, BiosMode, NoAnswer, OpenFailed };
  Outcome outcome = Outcome::NoAnswer;
  uint32_t baudRate = 0;
  std::string firmware;  ///< " V.1.4b" with normal firmware
  int openError = 0;     ///< the system's error code when it could not be opened
};

/// What the doctor asks the running system beyond its file trees, so that
/// tests can answer for it.
class DoctorSystem {
 public:
  virtual ~DoctorSystem() = default;
  /// 0 when this user may read and write `path`; else access()'s error code.
  virtual int AccessError(const std::string& path) = 0;
  /// The group that owns `path`; nothing when it cannot be read.
  virtual std::optional<gid_t> OwnerGroup(const std::string& path) = 0;
  /// True when the running process has `gid` among its groups.
  virtual bool ProcessInGroup(gid_t gid) = 0;
  virtual std::string UserName() = 0;
  virtual int ProcessId() = 0;
  /// Opens `path` at 38400 Bd (115200 as the fallback) and asks the device
  /// to identify itself.
  virtual Identification Identify(const std::string& path) = 0;
};

/// The running system's answers. With `known` set, Identify returns it and
/// sends nothing: for a caller that has just asked the device itself.
class LiveDoctorSystem final : public DoctorSystem {
 public:
  explicit LiveDoctorSystem(std::optional<Identification> known = std::nullopt)
      : known_(std::move(known)) {}
  int AccessError(const std::string& path) override;
  std::optional<gid_t> OwnerGroup(const std::string& path) override;
  bool ProcessInGroup(gid_t gid) override;
  std::string UserName() override;
  int ProcessId() override;
  Identification Identify(const std::string& path) override;

 private:
  std::optional<Identification> known_;
};

/// Runs the checks in order: the device found by discovery (or --port),
/// read and write access to its port, processes holding the port,
/// ModemManager, brltty, and the device answering on the port.
/// `port` is --port ("ttyACM0" or a path); empty means discovery decides.
std::vector<Finding> RunDoctor(const SystemTree& tree, const std::string& port,
                               DoctorSystem& system);

/// The findings for the terminal, one block each: "ok", "warn", "FAIL" or
/// "skip", what was found, and the fix below it.
std::string FormatFindings(const std::vector<Finding>& findings);

/// 0 when nothing failed, 1 otherwise.
int DoctorExitCode(const std::vector<Finding>& findings);

/// The finding among those of `checks` whose fix the user should try first:
/// the first failure, else the first warning, that names a fix. Null when
/// none does.
const Finding* FirstFix(const std::vector<Finding>& findings,
                        std::initializer_list<DoctorCheck> checks);

/// What the desktop program adds when the device on `port` answered at
/// neither rate: the port and the rates tried, then what the doctor's checks
/// (`findings`, run on that port) name first and its fix.
std::string NoAnswerAdvice(const std::string& port, const std::vector<Finding>& findings);

/// What the desktop program adds when discovery found no DAV-OZI: the serial
/// ports it looked at, then the first fix of the doctor's checks
/// (`findings`, run without a port) that explains a missing device.
std::string NoDeviceAdvice(const std::vector<SerialDevice>& devices,
                           const std::vector<Finding>& findings);

}  // namespace vextune
