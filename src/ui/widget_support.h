#pragma once

#include <QPushButton>
#include <QString>
#include <string>

namespace vextune::ui {

/// The name message boxes show when they have no caption of their own.
inline constexpr const char* kApplicationName = "Vextune";

/// A push button with its object name, for tests and UI drivers.
QPushButton* NewButton(const QString& text, const char* objectName, QWidget* parent);

/// A record or device text (Windows-1252) for a widget.
QString FromRecordText(const std::string& cp1252);

}  // namespace vextune::ui
