#pragma once

#include <optional>
#include <vector>
#include <string>

namespace vextune {

/// What a file dialog is asked to show.
struct FileDialogRequest {
  /// What the dialog does ("Load configuration"); empty: the application's
  /// name.
  std::string title;
  /// Filter entries, one per line pair of description and pattern:
  /// {"VXG Files (*.vxg)", "VXN Files (*.vxn)"}; the first one is preselected.
  std::vector<std::string> filters;
  /// Appended (with its dot) to a chosen name that has no extension: ".vxg".
  std::string defaultExtension;
  /// The file name or full path proposed to the user; may be empty.
  std::string proposedName;
  /// Save dialogs only: ask before an existing file is replaced.
  bool confirmOverwrite = false;
};

/// File-open and file-save dialogs. The GUI shows the desktop's dialogs,
/// tests script the chosen paths. An empty result means the user cancelled.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  virtual std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) = 0;
};

}  // namespace vextune
