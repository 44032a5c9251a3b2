#include "editor/config_document.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/text_codec.h"
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
bool ReadInto(CConfigData& record, std::ifstream& in, const std::string& path,
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

bool ConfigDocument::IsChanged() const {
  return !working_.IsEqual(baseline_, /*includeSyncClock=*/true);
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
  request.filters = {std::string(text::kVxgFilter), std::string(text::kVxnFilter),
                     std::string(text::kVxrFilter)};
  request.defaultExtension = text::kVxgExtension;
  const std::optional<std::string> path = prompt.ChooseFileToOpen(request);
  if (!path) return LoadOutcome::Cancelled;
  if (NeedsConversion(*path)) return Convert(*path, prompt);

  std::ifstream in;
  if (!OpenForReading(*path, in)) {
    prompt.ShowMessage(kAppCaption, std::string(text::kOpenError), MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  // Read over a copy: what an older format lacks keeps the working record's
  // value, and a file that breaks off changes nothing.
  CConfigData loaded = working_;
  if (!ReadInto(loaded, in, *path, prompt)) return LoadOutcome::Failed;
  working_ = loaded;
  file_loaded_ = true;
  TakeBaseline();
  current_file_ = *path;
  return LoadOutcome::Loaded;
}

LoadOutcome ConfigDocument::Convert(const std::string& oldPath, DialogPrompt& prompt) {
  if (!prompt.AskYesNo(kAppCaption, std::string(text::kConvertQuestion)))
    return LoadOutcome::Cancelled;
  std::ifstream old;
  if (!OpenForReading(oldPath, old)) {
    prompt.ShowMessage(kAppCaption, std::string(text::kOpenError), MessageIcon::Error);
    return LoadOutcome::Failed;
  }
  FileDialogRequest request;
  request.filters = {std::string(text::kVxgFilter)};
  request.defaultExtension = text::kVxgExtension;
  request.proposedName = ProposedConvertedName(oldPath);
  request.confirmOverwrite = true;
  const std::optional<std::string> newPath = prompt.ChooseFileToSave(request);
  if (!newPath) return LoadOutcome::Cancelled;

  CConfigData converted = working_;
  if (!ReadInto(converted, old, oldPath, prompt)) return LoadOutcome::Failed;
  old.close();
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
  // The old file goes last, and never when the user chose to write the new
  // format over it.
  if (!SameFile(oldPath, *newPath)) {
    std::error_code ec;
    fs::remove(oldPath, ec);
    if (ec) {
      prompt.ShowMessage(kAppCaption,
                         "The old file " + oldPath + " could not be deleted: " + ec.message() + ".",
                         MessageIcon::Warning);
    }
  }
  return LoadOutcome::Converted;
}

std::optional<std::string> ConfigDocument::AskSaveName(DialogPrompt& prompt,
                                                       const std::string& proposed) {
  FileDialogRequest request;
  request.filters = {std::string(text::kVxgFilter)};
  request.defaultExtension = text::kVxgExtension;
  request.proposedName = proposed;
  // Replacing an existing file is asked first, so a slip of the mouse loses
  // no configuration.
  request.confirmOverwrite = true;
  return prompt.ChooseFileToSave(request);
}

bool ConfigDocument::SaveFile(DialogPrompt& prompt) {
  const std::optional<std::string> path = AskSaveName(prompt, "");
  if (!path || !WriteTo(*path, prompt)) return false;
  current_file_ = *path;
  TakeBaseline();
  return true;
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
}

LeaveAction ConfigDocument::LeaveWithOk(DialogPrompt& prompt, bool fileOnly) {
  const bool changed = IsChanged();
  LeaveAction action = LeaveAction::Close;
  if (file_loaded_ || changed) {
    if (!fileOnly) {
      const std::string_view question = changed ? text::kSendChangesQuestion : text::kSendQuestion;
      if (prompt.AskYesNo(kAppCaption, std::string(question))) action = LeaveAction::SendThenClose;
    } else if (changed && prompt.AskYesNo(kAppCaption, std::string(text::kSaveToFileQuestion))) {
      // After a reset the current file is a note, not a name to propose.
      const std::string proposed = current_file_ == text::kDefaultsLoaded ? "" : current_file_;
      const std::optional<std::string> path = AskSaveName(prompt, proposed);
      if (path && WriteTo(*path, prompt)) {
        current_file_ = *path;
        TakeBaseline();
      }
    }
  }
  file_loaded_ = false;
  return action;
}

}  // namespace vextune
