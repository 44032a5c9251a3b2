#include "editor/config_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "config/backup_store.h"
#include "config/config_file.h"
#include "scripted_prompt.h"
#include "temp_dir_fixture.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;
namespace text = document_text;
using testing::ScriptedPrompt;
using Kind = ScriptedPrompt::Kind;

/// Each test in a temporary folder, removed with everything in it.
class ConfigDocumentTest : public testing::TempDirTest {
 protected:
  static std::string BytesOf(const CConfigData& record) {
    std::ostringstream bytes;
    EXPECT_TRUE(WriteConfigFile(record, bytes));
    return bytes.str();
  }
  /// Writes `record` as a file of format `version`; returns its path.
  std::string WriteFile(const std::string& name, const CConfigData& record,
                        int32_t version = kConfigFormatVersion) {
    std::ostringstream bytes;
    EXPECT_TRUE(WriteConfigFile(record, bytes, version));
    WriteBytes(name, bytes.str());
    return Path(name);
  }
  void WriteBytes(const std::string& name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  /// A record that differs from the defaults in T, %AT and the connect text.
  static CConfigData Edited(int32_t txDelay) {
    CConfigData record;
    CConfigData::SetNumber(record.m_TxDelay, txDelay);
    CConfigData::SetNumber(record.m_AprsInterval, 600);
    CConfigData::SetText(record.m_ConnectText, "HELLO");
    return record;
  }
  /// Loads `path` through the open dialog.
  LoadOutcome Load(const std::string& path) {
    prompt.ChooseFile(path);
    return document.LoadFile(prompt);
  }
  /// Loads the older file `oldPath`, answers the conversion question and
  /// chooses `newPath` in the save dialog (nullopt: Cancel).
  LoadOutcome Convert(const std::string& oldPath, bool answerYes,
                      std::optional<std::string> newPath) {
    prompt.ChooseFile(oldPath);
    if (answerYes) {
      prompt.AnswerYes();
      prompt.ChooseFile(std::move(newPath));
    } else {
      prompt.AnswerNo();
    }
    return document.LoadFile(prompt);
  }

  ConfigDocument document;
  ScriptedPrompt prompt;
};

TEST_F(ConfigDocumentTest, LoadTakesTheFileAsBaselineAndCurrentFile) {
  const std::string path = WriteFile("a.vxg", Edited(40));
  EXPECT_EQ(Load(path), LoadOutcome::Loaded);
  EXPECT_TRUE(document.working().IsEqual(Edited(40), true));
  EXPECT_FALSE(document.IsChanged());
  EXPECT_TRUE(document.fileLoaded());
  EXPECT_EQ(document.currentFile(), path);

  EXPECT_EQ(document.loadStatus(), path);
  EXPECT_EQ(document.source(), RecordSource::File);

  ASSERT_EQ(prompt.shown().size(), 1u);
  const FileDialogRequest& request = prompt.shown()[0].request;
  // Older files show at first too, so that a folder of them does not look
  // empty.
  EXPECT_EQ(request.filters,
            (std::vector<std::string>{"DAV-OZI configuration files (*.vxg *.vxn *.vxr)",
                                      "VXG Files (*.vxg)", "VXN Files (*.vxn)",
                                      "VXR Files (*.vxr)"}));
  EXPECT_EQ(request.title, "Load configuration");
  EXPECT_EQ(request.defaultExtension, ".vxg");
}

TEST_F(ConfigDocumentTest, FailedLoadChangesNothing) {
  std::ostringstream whole;
  WriteConfigFile(Edited(40), whole);
  const std::string bytes = whole.str();
  struct Case {
    std::string what;
    std::string path;
    std::string message;
  };
  WriteBytes("empty.vxg", "");
  WriteBytes("header-only.vxg", bytes.substr(0, 12));
  WriteBytes("half.vxg", bytes.substr(0, bytes.size() / 2));
  WriteBytes("one-short.vxg", bytes.substr(0, bytes.size() - 1));
  WriteBytes("one-more.vxg", bytes + "\n");
  fs::create_directory(Path("folder.vxg"));
  const std::vector<Case> cases = {
      {"missing", Path("missing.vxg"), "Error opening file."},
      {"folder", Path("folder.vxg"), "Error opening file."},
      {"empty", Path("empty.vxg"), ""},
      {"header only", Path("header-only.vxg"), ""},
      {"half", Path("half.vxg"), ""},
      {"one byte short", Path("one-short.vxg"), ""},
      {"one byte more", Path("one-more.vxg"),
       Path("one-more.vxg") + " is not a configuration file: more bytes follow the last item "
                              "that its format version (65587) holds."},
  };
  // A loaded, then edited document: nothing of it may move.
  const std::string good = WriteFile("good.vxg", Edited(30));
  ASSERT_EQ(Load(good), LoadOutcome::Loaded);
  CConfigData::SetNumber(document.working().m_TxDelay, 31);
  const CConfigData working = document.working();
  const CConfigData baseline = document.baseline();

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    prompt.Clear();
    prompt.AnswerNo();  // the save question before the load
    EXPECT_EQ(Load(c.path), LoadOutcome::Failed);
    ASSERT_EQ(prompt.shown().size(), 3u);
    EXPECT_EQ(prompt.shown()[2].kind, Kind::Message);
    EXPECT_EQ(prompt.shown()[2].icon, MessageIcon::Error);
    if (!c.message.empty()) {
      EXPECT_EQ(prompt.shown()[2].text, c.message);
    } else {
      EXPECT_NE(prompt.shown()[2].text.find(c.path), std::string::npos) << prompt.shown()[2].text;
    }
    EXPECT_TRUE(document.working().IsEqual(working, true));
    EXPECT_TRUE(document.baseline().IsEqual(baseline, true));
    EXPECT_TRUE(document.fileLoaded());
    EXPECT_EQ(document.currentFile(), good);
  }
}

TEST_F(ConfigDocumentTest, LoadListsTheValuesTheParametersRefused) {
  std::string bytes = BytesOf(Edited(40));
  // The T text "40" becomes "400", beyond its range.
  const std::string tx = std::string(1, '\x02') + "40";
  ASSERT_NE(bytes.find(tx), std::string::npos);
  bytes.replace(bytes.find(tx), tx.size(), std::string(1, '\x03') + "400");
  WriteBytes("refused.vxg", bytes);

  EXPECT_EQ(Load(Path("refused.vxg")), LoadOutcome::Loaded);
  ASSERT_EQ(prompt.shown().size(), 2u);
  EXPECT_EQ(prompt.shown()[1].kind, Kind::Message);
  EXPECT_EQ(prompt.shown()[1].icon, MessageIcon::Warning);
  EXPECT_EQ(prompt.shown()[1].text,
            Path("refused.vxg") +
                " holds values that their parameters refuse:\nm_TxDelay (T): the file holds 400, "
                "which is refused; it keeps 25");
  // Loaded all the same, with the default in place of the refused value.
  EXPECT_EQ(document.working().m_TxDelay.value, 25);
  EXPECT_TRUE(document.fileLoaded());

  // Texts are quoted, control characters spelt out.
  RefusedFileValue comment{CConfigData::FindParam("m_AprsComment"), "a\tb\xB0", ""};
  EXPECT_EQ(RefusedValuesMessage("x.vxg", {comment}),
            "x.vxg holds values that their parameters refuse:\nm_AprsComment (%AC): the file "
            "holds \"a\\x09b\xC2\xB0\", which is refused; it keeps \"\"");
}

TEST_F(ConfigDocumentTest, OlderFormatKeepsWhatItLacks) {
  // Format 65560 has no %AL; the working record's 2 stays.
  CConfigData::SetNumber(document.working().m_AprsAutoSpeed, 2);
  CConfigData file = Edited(40);
  CConfigData::SetNumber(file.m_AprsAutoSpeed, 0);
  EXPECT_EQ(Load(WriteFile("old.vxg", file, 65560)), LoadOutcome::Loaded);
  EXPECT_EQ(document.working().m_AprsAutoSpeed.value, 2);
  EXPECT_EQ(document.working().m_TxDelay.value, 40);
}

TEST_F(ConfigDocumentTest, SaveQuestionOnlyForALoadedChangedFile) {
  struct Case {
    std::string what;
    bool load;
    bool edit;
    bool answerYes;
    bool asked;
    bool written;
  };
  const std::vector<Case> cases = {
      {"loaded and edited, Yes", true, true, true, true, true},
      {"loaded and edited, No", true, true, false, true, false},
      {"loaded, unchanged", true, false, true, false, false},
      {"saved, not loaded, edited", false, true, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigDocument doc;
    ScriptedPrompt p;
    const std::string path = WriteFile("offer.vxg", Edited(40));
    if (c.load) {
      p.ChooseFile(path);
      ASSERT_EQ(doc.LoadFile(p), LoadOutcome::Loaded);
    } else {
      p.ChooseFile(path);
      ASSERT_TRUE(doc.SaveFile(p));
    }
    if (c.edit) CConfigData::SetNumber(doc.working().m_TxDelay, 77);
    p.Clear();
    if (c.answerYes) {
      p.AnswerYes();
    } else {
      p.AnswerNo();
    }
    doc.OfferSaveChanges(p);

    const bool asked = !p.shown().empty();
    EXPECT_EQ(asked, c.asked);
    if (asked) {
      EXPECT_EQ(p.shown()[0].text, "User Config File was changed.\nSave changes to " + path + " ?");
    }
    CConfigData onDisk;
    ASSERT_TRUE(LoadConfigFile(path, onDisk, nullptr, nullptr));
    EXPECT_EQ(onDisk.m_TxDelay.value,
              c.written ? 77 : (c.load ? 40 : doc.baseline().m_TxDelay.value));
    // The baseline is not touched by the offer.
    EXPECT_EQ(doc.IsChanged(), c.edit);
  }
}

TEST_F(ConfigDocumentTest, ConversionWritesTheNewFileThenMovesTheOldIntoTheBackups) {
  const fs::path backups = Path("data/backups");
  document.SetBackupFolder(backups);
  for (const std::string ext : {"vxr", "vxn"}) {
    SCOPED_TRACE(ext);
    const std::string oldPath = WriteFile("A." + ext, Edited(40), 65549);
    const std::string oldBytes = ReadBytes(oldPath);
    prompt.Clear();
    EXPECT_EQ(Convert(oldPath, true, Path("A.vxg")), LoadOutcome::Converted);

    ASSERT_EQ(prompt.shown().size(), 3u);
    EXPECT_EQ(prompt.shown()[1].text, std::string(text::kConvertQuestion) +
                                          "\n\nThe original file is kept in " +
                                          backups.string() + ".");
    const FileDialogRequest& save = prompt.shown()[2].request;
    EXPECT_EQ(prompt.shown()[2].kind, Kind::SaveFile);
    EXPECT_EQ(save.title, "Save configuration");
    EXPECT_EQ(save.proposedName, Path("A.vxg"));
    EXPECT_EQ(save.filters, std::vector<std::string>{"VXG Files (*.vxg)"});
    EXPECT_TRUE(save.confirmOverwrite);

    EXPECT_FALSE(fs::exists(oldPath));
    EXPECT_EQ(ReadBytes((backups / ("A." + ext)).string()), oldBytes);
    EXPECT_EQ(document.loadStatus(), "A." + ext + " was converted to A.vxg; the original is kept in " +
                                         backups.string());
    CConfigData onDisk;
    int32_t version = 0;
    ASSERT_TRUE(LoadConfigFile(Path("A.vxg"), onDisk, &version, nullptr));
    EXPECT_EQ(version, kConfigFormatVersion);
    EXPECT_TRUE(onDisk.IsEqual(document.working(), true));
    EXPECT_EQ(document.working().m_TxDelay.value, 40);
    EXPECT_TRUE(document.fileLoaded());
    EXPECT_FALSE(document.IsChanged());
    EXPECT_EQ(document.currentFile(), Path("A.vxg"));
    fs::remove(Path("A.vxg"));
    document.ClearFileLoaded();
  }
}

TEST_F(ConfigDocumentTest, ConversionWritesWhatTheOldFormatLacksFromTheWorkingRecord) {
  CConfigData::SetNumber(document.working().m_AprsAutoSpeed, 2);
  const std::string oldPath = WriteFile("B.vxr", Edited(40), 65560);
  ASSERT_EQ(Convert(oldPath, true, Path("B.vxg")), LoadOutcome::Converted);
  CConfigData onDisk;
  ASSERT_TRUE(LoadConfigFile(Path("B.vxg"), onDisk, nullptr, nullptr));
  EXPECT_EQ(onDisk.m_AprsAutoSpeed.value, 2);
}

TEST_F(ConfigDocumentTest, FailedOrRefusedConversionKeepsTheOldFile) {
  std::ostringstream whole;
  WriteConfigFile(Edited(40), whole, 65549);
  struct Case {
    std::string what;
    std::string oldBytes;
    bool answerYes;
    std::optional<std::string> newPath;  // nullopt: the save dialog is cancelled
    LoadOutcome outcome;
  };
  const std::string full = whole.str();
  const std::vector<Case> cases = {
      {"question answered No", full, false, Path("C.vxg"), LoadOutcome::Cancelled},
      {"save dialog cancelled", full, true, std::nullopt, LoadOutcome::Cancelled},
      {"old file breaks off", full.substr(0, full.size() / 2), true, Path("C.vxg"),
       LoadOutcome::Failed},
      {"new file in a missing folder", full, true, Path("no/such/C.vxg"), LoadOutcome::Failed},
  };
  const CConfigData before = document.working();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes("C.vxr", c.oldBytes);
    prompt.Clear();
    EXPECT_EQ(Convert(Path("C.vxr"), c.answerYes, c.newPath), c.outcome);
    EXPECT_EQ(ReadBytes(Path("C.vxr")), c.oldBytes);
    EXPECT_FALSE(fs::exists(Path("C.vxg")));
    EXPECT_TRUE(document.working().IsEqual(before, true));
    EXPECT_FALSE(document.fileLoaded());
    EXPECT_EQ(document.currentFile(), "");
    EXPECT_TRUE(prompt.AllAnswersUsed());
  }
}

TEST_F(ConfigDocumentTest, OriginalThatCannotBeKeptIsNotDeleted) {
  // A file where the backup folder should be.
  WriteBytes("blocked", "");
  struct Case {
    std::string what;
    fs::path backups;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"no backup folder known", "", std::string(kNoBackupFolderText)},
      {"backup folder cannot be made", Path("blocked/backups"), "Cannot create the folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigDocument doc;
    doc.SetBackupFolder(c.backups);
    ScriptedPrompt p;
    const std::string oldPath = WriteFile("K.vxn", Edited(40), 65549);
    const std::string oldBytes = ReadBytes(oldPath);
    p.ChooseFile(oldPath);
    p.AnswerYes();
    p.ChooseFile(Path("K.vxg"));
    ASSERT_EQ(doc.LoadFile(p), LoadOutcome::Converted);
    EXPECT_EQ(ReadBytes(oldPath), oldBytes);
    EXPECT_EQ(doc.working().m_TxDelay.value, 40);
    ASSERT_EQ(p.shown().size(), 4u);
    EXPECT_EQ(p.shown()[3].icon, MessageIcon::Warning);
    EXPECT_NE(p.shown()[3].text.find("The old file " + oldPath + " was not deleted"),
              std::string::npos);
    EXPECT_NE(p.shown()[3].text.find(c.reason), std::string::npos) << p.shown()[3].text;
    EXPECT_EQ(doc.loadStatus(), "K.vxn was converted to K.vxg; the original stays where it was");
    fs::remove(Path("K.vxg"));
  }
}

TEST_F(ConfigDocumentTest, OriginalsOfTheSameNameAreAllKept) {
  const fs::path backups = Path("backups");
  document.SetBackupFolder(backups);
  std::vector<std::string> originals;
  for (int txDelay : {40, 41, 42}) {
    const std::string oldPath = WriteFile("L.vxr", Edited(txDelay), 65549);
    originals.push_back(ReadBytes(oldPath));
    ASSERT_EQ(Convert(oldPath, true, Path("L.vxg")), LoadOutcome::Converted);
  }
  EXPECT_EQ(ReadBytes((backups / "L.vxr").string()), originals[0]);
  EXPECT_EQ(ReadBytes((backups / "L.2.vxr").string()), originals[1]);
  EXPECT_EQ(ReadBytes((backups / "L.3.vxr").string()), originals[2]);
}

TEST_F(ConfigDocumentTest, ConversionOntoTheOldNameKeepsTheOriginalFirst) {
  // Without a folder to keep the original in, writing over it is refused.
  const std::string oldPath = WriteFile("D.vxr", Edited(40), 65549);
  const std::string oldBytes = ReadBytes(oldPath);
  EXPECT_EQ(Convert(oldPath, true, oldPath), LoadOutcome::Failed);
  EXPECT_EQ(ReadBytes(oldPath), oldBytes);
  EXPECT_FALSE(document.fileLoaded());

  document.SetBackupFolder(Path("backups"));
  ASSERT_EQ(Convert(oldPath, true, oldPath), LoadOutcome::Converted);
  EXPECT_EQ(ReadBytes(Path("backups/D.vxr")), oldBytes);
  CConfigData onDisk;
  int32_t version = 0;
  ASSERT_TRUE(LoadConfigFile(oldPath, onDisk, &version, nullptr));
  EXPECT_EQ(version, kConfigFormatVersion);
  EXPECT_EQ(onDisk.m_TxDelay.value, 40);
}

TEST_F(ConfigDocumentTest, ExtensionInCapitalsIsReadDirectly) {
  const std::string path = WriteFile("E.VXR", Edited(40), 65549);
  EXPECT_EQ(Load(path), LoadOutcome::Loaded);
  EXPECT_EQ(prompt.shown().size(), 1u);  // no conversion question
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(document.working().m_TxDelay.value, 40);
}

TEST(ConvertedName, ReplacesOnlyTheExtension) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"A.vxr", "A.vxg"},
      {"/home/u/A.vxn", "/home/u/A.vxg"},
      {"/d.vxr/A.vxr", "/d.vxr/A.vxg"},
      {"/d/A.vxr.vxr", "/d/A.vxr.vxg"},
      {"/d/A.VXR", "/d/A.VXR"},
  };
  for (const auto& [old, proposed] : cases) EXPECT_EQ(ProposedConvertedName(old), proposed) << old;
}

TEST_F(ConfigDocumentTest, SaveWritesAndTakesTheBaseline) {
  CConfigData::SetNumber(document.working().m_TxDelay, 55);
  prompt.ChooseFile(Path("s.vxg"));
  EXPECT_TRUE(document.SaveFile(prompt));
  EXPECT_FALSE(document.IsChanged());
  EXPECT_FALSE(document.fileLoaded());
  EXPECT_EQ(document.currentFile(), Path("s.vxg"));
  EXPECT_TRUE(prompt.shown()[0].request.proposedName.empty());
  EXPECT_EQ(prompt.shown()[0].request.title, "Save configuration");
  CConfigData onDisk;
  ASSERT_TRUE(LoadConfigFile(Path("s.vxg"), onDisk, nullptr, nullptr));
  EXPECT_EQ(onDisk.m_TxDelay.value, 55);

  // A file that cannot be written changes nothing.
  CConfigData::SetNumber(document.working().m_TxDelay, 56);
  prompt.Clear();
  prompt.ChooseFile(Path("missing/s.vxg"));
  EXPECT_FALSE(document.SaveFile(prompt));
  EXPECT_EQ(prompt.shown().back().icon, MessageIcon::Error);
  EXPECT_TRUE(document.IsChanged());
  EXPECT_EQ(document.currentFile(), Path("s.vxg"));
}

TEST_F(ConfigDocumentTest, DefaultsKeepTheConnectTextAndThePosition) {
  const std::string path = WriteFile("f.vxg", Edited(40));
  ASSERT_EQ(Load(path), LoadOutcome::Loaded);
  const char* position = "4807.38N 01131.00E";
  ASSERT_EQ(CConfigData::SetText(document.working().m_AprsPosition, position), 0);
  prompt.Clear();
  prompt.AnswerNo();
  document.LoadDefaults(prompt);

  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{SaveChangesQuestion(path)});
  CConfigData expected;
  CConfigData::SetText(expected.m_ConnectText, "HELLO");
  CConfigData::SetText(expected.m_AprsPosition, position);
  EXPECT_TRUE(document.working().IsEqual(expected, true));
  EXPECT_EQ(document.working().m_ConnectText.text, "HELLO");
  EXPECT_FALSE(document.IsChanged());
  EXPECT_FALSE(document.fileLoaded());
  EXPECT_EQ(document.currentFile(), "Default configuration loaded...");
}

TEST_F(ConfigDocumentTest, LeaveWithOkAsksByModeFileAndChange) {
  struct Case {
    std::string what;
    bool fileOnly;
    bool load;
    bool edit;
    std::vector<std::string> questions;
    LeaveAction action;  // with every question answered Yes
  };
  const std::vector<Case> cases = {
      {"device, nothing", false, false, false, {}, LeaveAction::Close},
      {"device, loaded",
       false,
       true,
       false,
       {"Send config to DAV-OZI?"},
       LeaveAction::SendThenClose},
      {"device, edited",
       false,
       false,
       true,
       {"Send configuration changes to DAV-OZI?"},
       LeaveAction::SendThenClose},
      {"device, loaded and edited",
       false,
       true,
       true,
       {"Send configuration changes to DAV-OZI?"},
       LeaveAction::SendThenClose},
      {"file only, loaded", true, true, false, {}, LeaveAction::Close},
      {"file only, edited",
       true,
       true,
       true,
       {"Do You want to save configuration changes to file?", ""},
       LeaveAction::Close},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigDocument doc;
    ScriptedPrompt p;
    const std::string path = WriteFile("leave.vxg", Edited(40));
    if (c.load) {
      p.ChooseFile(path);
      ASSERT_EQ(doc.LoadFile(p), LoadOutcome::Loaded);
    }
    if (c.edit) CConfigData::SetNumber(doc.working().m_TxDelay, 99);
    p.Clear();
    p.AnswerYes();
    p.ChooseFile(path);
    EXPECT_EQ(doc.LeaveWithOk(p, c.fileOnly), c.action);
    EXPECT_EQ(p.Texts(), c.questions);
    EXPECT_FALSE(doc.fileLoaded());
    if (c.fileOnly && c.edit) {
      EXPECT_EQ(p.shown()[1].request.proposedName, path);
      CConfigData onDisk;
      ASSERT_TRUE(LoadConfigFile(path, onDisk, nullptr, nullptr));
      EXPECT_EQ(onDisk.m_TxDelay.value, 99);
      EXPECT_FALSE(doc.IsChanged());
    }
  }
}

TEST_F(ConfigDocumentTest, LeaveInFileOnlyModeAfterDefaultsProposesNoName) {
  document.LoadDefaults(prompt);
  CConfigData::SetNumber(document.working().m_TxDelay, 99);
  prompt.Clear();
  prompt.AnswerYes();
  prompt.ChooseFile(std::nullopt);
  EXPECT_EQ(document.LeaveWithOk(prompt, /*fileOnly=*/true), LeaveAction::Close);
  ASSERT_EQ(prompt.shown().size(), 2u);
  EXPECT_EQ(prompt.shown()[1].request.proposedName, "");
  EXPECT_TRUE(document.IsChanged());  // cancelled: nothing written, nothing taken
}

TEST_F(ConfigDocumentTest, SendAsksUnlessTheValuesCameFromThisDeviceOrAFile) {
  const std::string port = "/dev/ttyACM0";
  const std::string file = WriteFile("g.vxg", Edited(40));
  CConfigData read = Edited(41);
  struct Case {
    std::string what;
    std::function<void(ConfigDocument&, ScriptedPrompt&)> fill;
    RecordSource source;
    bool fromDeviceOrFile;
  };
  const std::vector<Case> cases = {
      {"nothing", [](ConfigDocument&, ScriptedPrompt&) {}, RecordSource::Nothing, false},
      {"read of this device",
       [&](ConfigDocument& d, ScriptedPrompt&) { d.TakeDeviceRead(read, port); },
       RecordSource::Device, true},
      {"read of another device",
       [&](ConfigDocument& d, ScriptedPrompt&) { d.TakeDeviceRead(read, "/dev/ttyUSB0"); },
       RecordSource::Device, false},
      {"sent to this device and verified",
       [&](ConfigDocument& d, ScriptedPrompt&) { d.TakeVerifiedSend(port); },
       RecordSource::Device, true},
      {"loaded file",
       [&](ConfigDocument& d, ScriptedPrompt& p) {
         p.ChooseFile(file);
         d.LoadFile(p);
       },
       RecordSource::File, true},
      {"defaults",
       [](ConfigDocument& d, ScriptedPrompt& p) { d.LoadDefaults(p); },
       RecordSource::Defaults, false},
      {"read of this device, then defaults",
       [&](ConfigDocument& d, ScriptedPrompt& p) {
         d.TakeDeviceRead(read, port);
         d.LoadDefaults(p);
       },
       RecordSource::Defaults, false},
      {"loaded file, edited and saved elsewhere",
       [&](ConfigDocument& d, ScriptedPrompt& p) {
         p.ChooseFile(file);
         d.LoadFile(p);
         CConfigData::SetNumber(d.working().m_TxDelay, 44);
         p.ChooseFile(Path("h.vxg"));
         d.SaveFile(p);
       },
       RecordSource::File, true},
  };
  for (const Case& c : cases) {
    for (bool answer : {false, true}) {
      SCOPED_TRACE(c.what + (answer ? ", Yes" : ", No"));
      ConfigDocument doc;
      ScriptedPrompt p;
      c.fill(doc, p);
      EXPECT_EQ(doc.source(), c.source);
      EXPECT_EQ(doc.ShowsDeviceOrFile(port), c.fromDeviceOrFile);
      EXPECT_EQ(doc.StatusAfterIncompleteRead(port),
                c.fromDeviceOrFile ? std::nullopt
                                   : std::optional<std::string>(
                                         "The configuration shown was not read from the DAV-OZI."));
      p.Clear();
      if (answer) {
        p.AnswerYes();
      } else {
        p.AnswerNo();
      }
      EXPECT_EQ(doc.ConfirmSend(p, port), c.fromDeviceOrFile || answer);
      if (c.fromDeviceOrFile) {
        EXPECT_TRUE(p.shown().empty());
      } else {
        ASSERT_EQ(p.shown().size(), 1u);
        EXPECT_EQ(p.shown()[0].text,
                  "The values to be sent were not read from this DAV-OZI: they replace its whole "
                  "configuration. Send them?");
        EXPECT_TRUE(p.shown()[0].defaultNo);
      }
    }
  }
}

TEST_F(ConfigDocumentTest, OnlyACompleteReadOrAVerifiedSendTakesTheBaseline) {
  CConfigData::SetNumber(document.working().m_TxDelay, 33);
  // A read that did not complete leaves the edit changed.
  EXPECT_TRUE(document.IsChanged());
  prompt.AnswerNo();
  EXPECT_FALSE(document.ConfirmReadOverChanges(prompt));
  prompt.AnswerYes();
  EXPECT_TRUE(document.ConfirmReadOverChanges(prompt));
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>(2, "Read the configuration from the DAV-OZI? Your changes "
                                        "that were not sent will be lost."));

  document.TakeDeviceRead(Edited(41), "/dev/ttyACM0");
  EXPECT_EQ(document.working().m_TxDelay.value, 41);
  EXPECT_FALSE(document.IsChanged());
  prompt.Clear();
  EXPECT_TRUE(document.ConfirmReadOverChanges(prompt));
  EXPECT_TRUE(prompt.shown().empty());

  const std::string path = WriteFile("v.vxg", Edited(40));
  ASSERT_EQ(Load(path), LoadOutcome::Loaded);
  CConfigData::SetNumber(document.working().m_TxDelay, 34);
  document.TakeVerifiedSend("/dev/ttyACM0");
  EXPECT_FALSE(document.IsChanged());
  EXPECT_FALSE(document.fileLoaded());
}

TEST_F(ConfigDocumentTest, LeavingWithChangesAsksSendSaveDiscardOrCancel) {
  struct Case {
    std::string what;
    bool fileOnly;
    bool edit;
    std::string choice;           // "" : nothing asked
    std::optional<std::string> saveAs;  // the save dialog's answer
    LeaveAction action;
    int txDelayAfter;
    bool changedAfter;
  };
  const std::string saved = Path("leave.vxg");
  const std::vector<Case> cases = {
      {"no change", false, false, "", std::nullopt, LeaveAction::Close, 40, false},
      {"Send", false, true, "Send", std::nullopt, LeaveAction::SendThenClose, 99, true},
      {"Save", false, true, "Save", saved, LeaveAction::Close, 99, false},
      {"Save, dialog cancelled", false, true, "Save", std::nullopt, LeaveAction::Stay, 99, true},
      {"Save into a missing folder", false, true, "Save", Path("no/leave.vxg"), LeaveAction::Stay,
       99, true},
      {"Discard", false, true, "Discard", std::nullopt, LeaveAction::Close, 40, false},
      {"Cancel", false, true, "Cancel", std::nullopt, LeaveAction::Stay, 99, true},
      {"file only, Save", true, true, "Save", saved, LeaveAction::Close, 99, false},
      {"file only, Discard", true, true, "Discard", std::nullopt, LeaveAction::Close, 40, false},
  };
  const std::string loaded = WriteFile("loaded.vxg", Edited(40));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(saved);
    ConfigDocument doc;
    ScriptedPrompt p;
    p.ChooseFile(loaded);
    ASSERT_EQ(doc.LoadFile(p), LoadOutcome::Loaded);
    if (c.edit) CConfigData::SetNumber(doc.working().m_TxDelay, 99);
    p.Clear();
    if (!c.choice.empty()) p.AnswerChoice(c.choice);
    if (c.choice == "Save") p.ChooseFile(c.saveAs);
    EXPECT_EQ(doc.LeaveWithCancel(p, c.fileOnly), c.action);
    EXPECT_TRUE(p.AllAnswersUsed());
    EXPECT_EQ(p.unscripted(), 0);
    EXPECT_EQ(doc.working().m_TxDelay.value, c.txDelayAfter);
    EXPECT_EQ(doc.IsChanged(), c.changedAfter);
    // The file stays loaded while the dialog stays open.
    EXPECT_EQ(doc.fileLoaded(), c.action != LeaveAction::Close);
    if (c.choice.empty()) {
      EXPECT_TRUE(p.shown().empty());
      continue;
    }
    const ChoiceQuestion& question = p.shown()[0].choice;
    EXPECT_EQ(question.text,
              "The configuration was changed, and the changes were neither sent nor saved.");
    const std::vector<std::string> choices =
        c.fileOnly ? std::vector<std::string>{"Save", "Discard", "Cancel"}
                   : std::vector<std::string>{"Send", "Save", "Discard", "Cancel"};
    EXPECT_EQ(question.choices, choices);
    EXPECT_EQ(question.choices[question.escapeChoice], "Cancel");
    EXPECT_EQ(question.choices[question.defaultChoice], "Cancel");
    if (c.choice == "Save") {
      EXPECT_EQ(p.shown()[1].request.proposedName, loaded);
    }
    if (c.action == LeaveAction::Close && c.choice == "Save") {
      CConfigData onDisk;
      ASSERT_TRUE(LoadConfigFile(saved, onDisk, nullptr, nullptr));
      EXPECT_EQ(onDisk.m_TxDelay.value, 99);
      EXPECT_EQ(doc.currentFile(), saved);
    }
  }
}

}  // namespace
}  // namespace vextune
