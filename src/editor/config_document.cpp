#include "editor/config_document.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "common/text_codec.h"
#include "config/atomic_file.h"
#include "config/backup_store.h"
#include "config/config_file.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;
namespace text = document_text;

/// Messages and questions of the document have no caption of their own: the
/// prompt shows the application's name.
constexpr const char* kAppCaption = "";

/// Opens `path` for reading; false for a folder or a file that cannot be
/// opened.
bool OpenForReading(const std::string& path, std::ifstream& in) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  in.open(path, std::ios::binary);
  return static_cast<bool>(in);
}

/// A parameter's text in a message: UTF-8, texts in quotes, control
/// characters as \xNN so that file content cannot break the lines.
std::string ShownValue(const ParamInfo& info, std::string_view cp1252) {
  std::string shown;
  for (char c : cp1252) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    } else {
      shown += c;
    }
  }
  shown = Cp1252ToUtf8(shown);
  return info.IsText() ? "\"" + shown + "\"" : shown;
}

/// Reads an opened file into `record`; shows the reason on failure and the
/// values the parameters refused after a read that succeeded.
bool ReadInto(CConfigData& record, std::istream& in, const std::string& path,
              DialogPrompt& prompt) {
  const ConfigReadResult result = ReadConfigFile(record, in, path);
  if (!result.ok) {
    prompt.ShowMessage(kAppCaption, result.error, MessageIcon::Error);
    return false;
  }
  if (!result.refused.empty()) {
    prompt.ShowMessage(kAppCaption, RefusedValuesMessage(path, result.refused),
                       MessageIcon::Warning);
  }
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return a == b || fs::equivalent(a, b, ec);
}

FileDialogRequest SaveRequest(const std::string& proposed) {
  FileDialogRequest request;
  request.title = text::kSaveTitle;
  request.filters = {std::string(text::kVxgFilter)};
  request.defaultExtension = text::kVxgExtension;
  request.proposedName = proposed;
  // Replacing an existing file is asked first, so a slip of the mouse loses
  // no configuration.
  request.confirmOverwrite = true;
  return request;
}

/// `stem.N.ext` for the first N from 2 that names no file in `folder`.
fs::path FreeName(const fs::path& folder, const fs::path& name) {
  std::error_code ec;
  fs::path candidate = folder / name;
  for (int n = 2; fs::exists(candidate, ec); ++n) {
    candidate = folder / (name.stem().string() + "." + std::to_string(n) + name.extension().string());
  }
  return candidate;
}

}  // namespace

std::string RefusedValuesMessage(std::string_view path,
                                 const std::vector<RefusedFileValue>& refused) {
  std::string text = std::string(path) + " holds values that their parameters refuse:";
  for (const RefusedFileValue& r : refused) text += "\n" + DescribeRefusedValue(r, ShownValue);
  return text;
}

std::string SaveChangesQuestion(std::string_view currentFile) {
  return "User Config File was changed.\nSave changes to " + std::string(currentFile) + " ?";
}

std::string ProposedConvertedName(std::string_view oldPath) {
  fs::path path{std::string(oldPath)};
  if (NeedsConversion(oldPath)) path.replace_extension(text::kVxgExtension);
  return path.string();
}

bool NeedsConversion(std::string_view path) {
  const fs::path extension = fs::path(std::string(path)).extension();
  return extension == ".vxr" || extension == ".vxn";
}

std::string ConvertedStatus(const std::string& oldPath, const std::string& newPath,
                            const std::string& keptIn) {
  std::string status = fs::path(oldPath).filename().string() + " was converted to " +
                       fs::path(newPath).filename().string();
  return status + (keptIn.empty() ? "; the original stays where it was"
                                  : "; the original is kept in " + keptIn);
}

bool ConfigDocument::IsChanged() const {
  return !working_.IsEqual(baseline_, /*includeSyncClock=*/true);
}

bool ConfigDocument::ShowsDeviceOrFile(const std::string& port) const {
  return source_ == RecordSource::File ||
         (source_ == RecordSource::Device && device_port_ == port);
}

void ConfigDocument::TakeBaseline() {
  working_.CopyTo(baseline_);
}

bool ConfigDocument::WriteTo(const std::string& path, DialogPrompt& prompt) {
  std::string error;
  if (SaveConfigFile(path, working_, &error)) return true;
  prompt.ShowMessage(kAppCaption, error, MessageIcon::Error);
  return false;
}

void ConfigDocument::OfferSaveChanges(DialogPrompt& prompt) {
  if (!file_loaded_ || !IsChanged()) return;
  if (prompt.AskYesNo(kAppCaption, SaveChangesQuestion(current_file_)))
    WriteTo(current_file_, prompt);
}

LoadOutcome ConfigDocument::LoadFile(DialogPrompt& prompt) {
  OfferSaveChanges(prompt);
  FileDialogRequest request;
  request.title = text::kLoadTitle;
  request.filters = {std::string(text::kAnyConfigFilter), std::string(text::kVxgFilter),
                     std::string(text::kVxnFilter), std::string(text::kVxrFilter)};
  request.defaultExtension = text::kVxgExtension;
  const std::optional<std::string> path = prompt.ChooseFileToOpen(request);
  if (!path) return LoadOutcome::Cancelled;
  return LoadFromPath(*path, prompt);
}

LoadOutcome ConfigDocument::LoadFromPath(const std::string& path, DialogPrompt& prompt) {
  if (NeedsConversion(path)) return Convert(path, prompt);

  std::ifstream in;
  if (!OpenForReading(path, in)) {
    prompt.ShowMessage(kAppCaption, std::string(text::kOpenError), MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  // Read over a copy: what an older format lacks keeps the working record's
  // value, and a file that breaks off changes nothing.
  CConfigData loaded = working_;
  if (!ReadInto(loaded, in, path, prompt)) return LoadOutcome::Failed;
  working_ = loaded;
  file_loaded_ = true;
  TakeBaseline();
  current_file_ = path;
  load_status_ = current_file_;
  source_ = RecordSource::File;
  return LoadOutcome::Loaded;
}

LoadOutcome ConfigDocument::Convert(const std::string& oldPath, DialogPrompt& prompt) {
  const std::string keptNote =
      backup_folder_.empty()
          ? std::string(kNoBackupFolderText) + " The original file stays where it is."
          : "The original file is kept in " + backup_folder_.string() + ".";
  if (!prompt.AskYesNo(kAppCaption, std::string(text::kConvertQuestion) + "\n\n" + keptNote))
    return LoadOutcome::Cancelled;
  std::ifstream old;
  if (!OpenForReading(oldPath, old)) {
    prompt.ShowMessage(kAppCaption, std::string(text::kOpenError), MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  // The original's bytes are what goes into the backup folder.
  const std::string oldBytes{std::istreambuf_iterator<char>(old), {}};
  if (old.bad()) {
    prompt.ShowMessage(kAppCaption, std::string(text::kOpenError), MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  old.close();
  const std::optional<std::string> newPath =
      prompt.ChooseFileToSave(SaveRequest(ProposedConvertedName(oldPath)));
  if (!newPath) return LoadOutcome::Cancelled;

  CConfigData converted = working_;
  std::istringstream oldContent(oldBytes);
  if (!ReadInto(converted, oldContent, oldPath, prompt)) return LoadOutcome::Failed;
  // Kept before the new file is written, which may replace the old one.
  std::string keepError;
  const std::optional<fs::path> kept =
      backup_folder_.empty() ? std::nullopt : KeepOriginal(oldPath, oldBytes, &keepError);
  const bool sameFile = SameFile(oldPath, *newPath);
  if (!kept && sameFile) {
    prompt.ShowMessage(kAppCaption,
                       "Nothing was converted: " + oldPath +
                           " would be replaced, but it could not be kept first. " +
                           (backup_folder_.empty() ? std::string(kNoBackupFolderText) : keepError),
                       MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  std::string error;
  if (!SaveConfigFile(*newPath, converted, &error)) {
    prompt.ShowMessage(kAppCaption, error, MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  // What is taken over is what the new file gives back.
  std::ifstream written;
  if (!OpenForReading(*newPath, written)) {
    prompt.ShowMessage(kAppCaption, std::string(text::kOpenError), MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  CConfigData readBack = working_;
  if (!ReadInto(readBack, written, *newPath, prompt)) return LoadOutcome::Failed;
  written.close();

  working_ = readBack;
  TakeBaseline();
  file_loaded_ = true;
  current_file_ = *newPath;
  source_ = RecordSource::File;
  load_status_ = ConvertedStatus(oldPath, *newPath, kept ? backup_folder_.string() : "");
  // The old file goes last, only when a copy is kept, and never when the
  // user chose to write the new format over it.
  if (!kept) {
    prompt.ShowMessage(kAppCaption,
                       "The old file " + oldPath + " was not deleted: it could not be kept. " +
                           (backup_folder_.empty() ? std::string(kNoBackupFolderText) : keepError),
                       MessageIcon::Warning);
  } else if (!sameFile) {
    std::error_code ec;
    fs::remove(oldPath, ec);
    if (ec) {
      load_status_ = ConvertedStatus(oldPath, *newPath, "");
      prompt.ShowMessage(kAppCaption,
                         "The old file " + oldPath + " could not be deleted: " + ec.message() + ".",
                         MessageIcon::Warning);
    }
  }
  return LoadOutcome::Converted;
}

std::optional<fs::path> ConfigDocument::KeepOriginal(const std::string& oldPath,
                                                     const std::string& bytes,
                                                     std::string* error) {
  if (!CreateFolder(backup_folder_, "the folder", error)) return std::nullopt;
  const fs::path target = FreeName(backup_folder_, fs::path(oldPath).filename());
  if (!WriteFileAtomically(target, bytes, error)) return std::nullopt;
  return target;
}

bool ConfigDocument::SaveAs(DialogPrompt& prompt, const std::string& proposed) {
  const std::optional<std::string> path = prompt.ChooseFileToSave(SaveRequest(proposed));
  if (!path || !WriteTo(*path, prompt)) return false;
  current_file_ = *path;
  TakeBaseline();
  return true;
}

std::string ConfigDocument::ProposedSaveName() const {
  // After a reset the current file is a note, not a name to propose.
  return current_file_ == text::kDefaultsLoaded ? "" : current_file_;
}

bool ConfigDocument::SaveFile(DialogPrompt& prompt) {
  return SaveAs(prompt, "");
}

void ConfigDocument::LoadDefaults(DialogPrompt& prompt) {
  OfferSaveChanges(prompt);
  file_loaded_ = false;
  const std::string connectText = working_.m_ConnectText.text;
  const std::string position = working_.m_AprsPosition.text;
  working_.SetDefaults();
  CConfigData::SetText(working_.m_ConnectText, connectText);
  CConfigData::SetText(working_.m_AprsPosition, position);
  TakeBaseline();
  current_file_ = text::kDefaultsLoaded;
  source_ = RecordSource::Defaults;
}

LeaveAction ConfigDocument::LeaveWithOk(DialogPrompt& prompt, bool fileOnly) {
  const bool changed = IsChanged();
  LeaveAction action = LeaveAction::Close;
  if (file_loaded_ || changed) {
    if (!fileOnly) {
      const std::string_view question = changed ? text::kSendChangesQuestion : text::kSendQuestion;
      if (prompt.AskYesNo(kAppCaption, std::string(question))) action = LeaveAction::SendThenClose;
    } else if (changed && prompt.AskYesNo(kAppCaption, std::string(text::kSaveToFileQuestion))) {
      SaveAs(prompt, ProposedSaveName());
    }
  }
  file_loaded_ = false;
  return action;
}

LeaveAction ConfigDocument::LeaveWithCancel(DialogPrompt& prompt, bool fileOnly) {
  if (IsChanged()) {
    ChoiceQuestion question;
    question.caption = kAppCaption;
    question.text = text::kUnkeptChangesQuestion;
    if (!fileOnly) question.choices.emplace_back(text::kSendChoice);
    question.choices.emplace_back(text::kSaveChoice);
    question.choices.emplace_back(text::kDiscardChoice);
    question.choices.emplace_back(text::kCancelChoice);
    // Enter and Escape both keep the dialog and the changes.
    question.defaultChoice = question.escapeChoice = question.choices.size() - 1;
    const std::string& choice = question.choices.at(prompt.AskChoice(question));
    if (choice == text::kSendChoice) return LeaveAction::SendThenClose;
    if (choice == text::kSaveChoice) {
      if (!SaveAs(prompt, ProposedSaveName())) return LeaveAction::Stay;
    } else if (choice == text::kDiscardChoice) {
      baseline_.CopyTo(working_);
    } else {
      return LeaveAction::Stay;
    }
  }
  file_loaded_ = false;
  return LeaveAction::Close;
}

bool ConfigDocument::ConfirmReadOverChanges(DialogPrompt& prompt) {
  return !IsChanged() || prompt.AskYesNo(kAppCaption, std::string(text::kReadOverChangesQuestion));
}

void ConfigDocument::TakeDeviceRead(const CConfigData& read, const std::string& port,
                                    uint64_t atMs, const std::string& backupFile) {
  read.CopyTo(working_);
  TakeBaseline();
  source_ = RecordSource::Device;
  device_port_ = port;
  NoteDeviceRead(read, port, atMs, backupFile);
}

void ConfigDocument::NoteDeviceRead(const CConfigData& read, const std::string& port,
                                    uint64_t atMs, const std::string& backupFile) {
  device_record_ = DeviceRecord{read, port, atMs, backupFile, true};
}

void ConfigDocument::DeviceMayHaveChanged() {
  if (device_record_) device_record_->current = false;
}

const DeviceRecord* ConfigDocument::DeviceRecordOf(const std::string& port) const {
  if (!device_record_ || device_record_->port != port) return nullptr;
  return &*device_record_;
}

const DeviceRecord* ConfigDocument::TrustedDeviceRecord(const std::string& port, uint64_t nowMs,
                                                        bool needsBackup) const {
  const DeviceRecord* record = DeviceRecordOf(port);
  if (record == nullptr || !record->current) return nullptr;
  // A clock that went backwards says nothing about the age: read again.
  if (nowMs < record->atMs || nowMs - record->atMs > kTrustDeviceRecordMs) return nullptr;
  if (needsBackup && record->backupFile.empty()) return nullptr;
  return record;
}

std::optional<std::string> ConfigDocument::StatusAfterIncompleteRead(
    const std::string& port) const {
  if (ShowsDeviceOrFile(port)) return std::nullopt;
  return std::string(text::kNotReadStatus);
}

bool ConfigDocument::ConfirmSend(DialogPrompt& prompt, const std::string& port) {
  return ShowsDeviceOrFile(port) ||
         prompt.AskYesNoDefaultNo(kAppCaption, std::string(text::kSendUnreadQuestion));
}

void ConfigDocument::TakeVerifiedSend(const std::string& port, uint64_t atMs) {
  TakeBaseline();
  file_loaded_ = false;
  source_ = RecordSource::Device;
  device_port_ = port;
  // The read-back equalled the working record, so that stands for it.
  device_record_ = DeviceRecord{working_, port, atMs, {}, true};
}

}  // namespace vextune
