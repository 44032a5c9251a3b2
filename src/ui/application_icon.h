#pragma once

#include <QIcon>
#include <QString>

namespace vextune::ui {

/// The program's icon in the resources, drawn from vector data.
inline const QString kApplicationIconPath = QStringLiteral(":/icons/vextune.svg");

/// The pixel sizes the icon is rendered at, for windows and task bars; the
/// installed hicolor theme icons have the same sizes.
inline constexpr int kApplicationIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

/// The program's icon for QApplication::setWindowIcon: the SVG rendered at
/// each of kApplicationIconSizes. Null when the resource cannot be read.
QIcon ApplicationIcon();

}  // namespace vextune::ui
