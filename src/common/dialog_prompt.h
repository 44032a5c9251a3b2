#pragma once

#include "common/file_chooser.h"
#include "common/operation.h"

namespace vextune {

/// Everything the desktop program asks of its user: message boxes,
/// questions and file dialogs. One implementation shows Qt's dialogs (the
/// only place that does), tests script the answers.
class DialogPrompt : public UserPrompt, public FileChooser {};

}  // namespace vextune
