#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "temp_dir.h"

namespace vextune::test {

/// A fake system tree: sys/ with tty class entries and the device folders
/// behind them, and dev/ with the device nodes (plain files here).
class FakeSysfs {
 public:
  FakeSysfs() {
    std::filesystem::create_directories(sys() / "class" / "tty");
    std::filesystem::create_directories(dev());
  }
  FakeSysfs(const FakeSysfs&) = delete;
  FakeSysfs& operator=(const FakeSysfs&) = delete;

  /// The folder that stands for "/".
  std::string top() const { return root_.string(); }
  /// Its sys/ and dev/.
  std::string root() const { return sys().string(); }
  std::string devRoot() const { return dev().string(); }

  /// A USB device (empty strings are left out); `viaPort` puts a usb-serial
  /// port directory between the interface and the tty, as serial adapters have.
  void AddUsb(const std::string& tty, const std::string& maker, const std::string& product,
              const std::string& interfaceName = "", bool viaPort = false) {
    const std::filesystem::path usb = sys() / "devices" / ("usb-" + tty);
    Write(usb / "idVendor", "1d50");
    if (!maker.empty()) Write(usb / "manufacturer", maker);
    if (!product.empty()) Write(usb / "product", product);
    const std::filesystem::path interface = usb / "1-1:1.0";
    Write(interface / "bInterfaceNumber", "00");
    if (!interfaceName.empty()) Write(interface / "interface", interfaceName);
    AddTty(tty, viaPort ? interface / tty : interface, viaPort ? "ftdi_sio" : "cdc_acm");
  }
  /// An on-board UART, no USB parent; type 0 means the slot has no hardware.
  void AddUart(const std::string& tty, const std::string& type) {
    AddTty(tty, sys() / "devices" / "pnp" / tty, "serial8250");
    Write(sys() / "class" / "tty" / tty / "type", type);
  }
  /// A tty without hardware (console, pty): no device link.
  void AddVirtual(const std::string& tty) {
    std::filesystem::create_directories(sys() / "class" / "tty" / tty);
  }
  /// A USB device plugged in as the kernel makes it: the sysfs entries
  /// first, the device node last.
  void PlugIn(const std::string& tty, const std::string& maker, const std::string& product) {
    AddUsb(tty, maker, product);
    Write(dev() / tty, "");
  }
  /// The device of `tty` unplugged: its node, its entry and its device gone.
  void Unplug(const std::string& tty) {
    std::error_code ec;
    std::filesystem::remove(dev() / tty, ec);
    std::filesystem::remove_all(sys() / "class" / "tty" / tty, ec);
    std::filesystem::remove_all(sys() / "devices" / ("usb-" + tty), ec);
  }

 private:
  std::filesystem::path sys() const { return root_ / "sys"; }
  std::filesystem::path dev() const { return root_ / "dev"; }
  void AddTty(const std::string& tty, const std::filesystem::path& device,
              const std::string& driver) {
    std::filesystem::create_directories(device);
    std::filesystem::create_directories(sys() / "drivers" / driver);
    std::filesystem::create_directory_symlink(sys() / "drivers" / driver, device / "driver");
    const std::filesystem::path entry = sys() / "class" / "tty" / tty;
    std::filesystem::create_directories(entry);
    std::filesystem::create_directory_symlink(device, entry / "device");
  }
  static void Write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
  }
  const vextune::testing::TempDir temp_{"vextune-sysfs"};
  const std::filesystem::path& root_ = temp_.path();
};

}  // namespace vextune::test
