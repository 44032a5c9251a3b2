#pragma once

// Every dialog of the desktop program, built as it opens with a default
// record, for the tests that look at all of them alike (names, screen fit).

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "config/config_data.h"
#include "editor/aprs_settings_record.h"
#include "editor/general_settings_record.h"
#include "editor/misc_settings_record.h"
#include "link/device_state.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "ui/about_dlg.h"
#include "ui/application_state.h"
#include "ui/aprs_settings_dlg.h"
#include "ui/backups_dlg.h"
#include "ui/choose_davozi_dlg.h"
#include "ui/com_port_einstellung.h"
#include "ui/configuration_main_dlg.h"
#include "ui/general_settings_dlg.h"
#include "ui/main_selection_dlg.h"
#include "ui/misc_settings_dlg.h"
#include "ui/update_dlg.h"

namespace vextune::testing {

/// Makes the dialogs; it outlives every dialog it made.
class EveryDialog {
 public:
  struct Maker {
    QString name;
    std::function<std::unique_ptr<QDialog>()> make;
  };

  EveryDialog() {
    // One device on a port that is never opened: nothing is asked at start.
    main_state_.presetPort = "/dev/null";
    file_state_.device.state().fileOnly = true;
    device_.firmwareVersion = -1;
  }

  std::vector<Maker> Makers() {
    const CConfigData record;
    return {
        {"mainSelection",
         [this] {
           return std::make_unique<ui::CMainSelectionDlg>(main_state_, prompt,
                                                          ui::SettingsDialogRunners{});
         }},
        {"configurationMain",
         [this] {
           return std::make_unique<ui::CConfigurationMainDlg>(
               file_state_, prompt, ui::SettingsDialogRunners{&editor_, &editor_, &editor_});
         }},
        {"update", [this] { return std::make_unique<ui::CUpdateDlg>(main_state_, prompt); }},
        {"comPort",
         [] {
           return std::make_unique<ui::CComPortEinstellung>(
               std::vector<SerialDevice>{{"/dev/ttyS0", "serial8250"}}, "", nullptr);
         }},
        {"chooseDavozi",
         [] {
           return std::make_unique<ui::CChooseDAVOZIDlg>(
               std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyACM1"});
         }},
        {"about", [] { return std::make_unique<ui::CAboutDlg>(); }},
        {"backups", [] { return std::make_unique<ui::CBackupsDlg>(SampleBackups()); }},
        {"generalSettings",
         [this, record] {
           return std::make_unique<ui::CGeneralSettings>(GeneralSettingsFromRecord(record), device_,
                                                         prompt);
         }},
        {"aprsSettings",
         [this, record] {
           return std::make_unique<ui::CAprsSettings>(AprsSettingsFromRecord(record), device_,
                                                      prompt);
         }},
        {"miscSettings",
         [this, record] {
           return std::make_unique<ui::CMiscSettings>(MiscSettingsFromRecord(record), device_,
                                                      prompt);
         }},
    };
  }

  ScriptedPrompt prompt;

 private:
  /// A backup with a change against the defaults, and one that cannot be read.
  static BackupListing SampleBackups() {
    CConfigData changed;
    CConfigData::SetNumber(changed.m_TxDelay, 40);
    BackupChoice good{"/b/a.vxg", "2026-12-09 10:15:00",
                      "V.1.4b",   "changed",
                      "1 change", true,
                      "",         ChangeList(CConfigData{}, changed, false)};
    BackupChoice bad{"/b/b.vxg", "2026-12-09 09:15:00",  "V.1.4b", "oldest kept", "unreadable",
                     false,      "The file ends early.", {}};
    return BackupListing{"2 backups in /b, newest first.", {good, bad}};
  }

  ui::ApplicationState main_state_{nullptr};
  ui::ApplicationState file_state_{nullptr};
  FakeSettingsRunner editor_;
  DeviceState device_;
};

}  // namespace vextune::testing
