#pragma once

#include <QPushButton>
#include <QString>
#include <initializer_list>
#include <string>

class QAbstractButton;
class QDialog;
class QLayout;
class QRect;
class QScrollArea;

namespace vextune::ui {

/// The name message boxes show when they have no caption of their own.
inline constexpr const char* kApplicationName = "Vextune";

/// `text` as it is shown: the "&" that marks a shortcut letter removed, "&&"
/// read as one "&".
QString WithoutMnemonic(const QString& text);

/// Makes Tab reach a group of radio buttons at the checked one (the first
/// when none is), whichever that is now; the arrow keys move among them.
/// Without this, Tab keeps landing on whichever button had the focus first.
void TabToCheckedRadio(std::initializer_list<QAbstractButton*> buttons);

/// A scroll area that asks for the whole size of its content, so that a
/// window opens at full size where the screen has room for it.
QScrollArea* NewFittingScrollArea(QWidget* content, QWidget* parent);

/// Lays out `dialog` as `content` in a fitting scroll area with `buttons`
/// below it, outside what scrolls, and keeps it on its screen (see
/// KeepOnScreen). Returns the scroll area.
QScrollArea* SetScrolledLayout(QDialog* dialog, QLayout* content, QLayout* buttons);

/// Whenever `window` is shown, it is made as large as it wants but no
/// larger than its screen's available area (title bar and frame included)
/// and moved into that area; `area`, the part of it that scrolls, takes
/// what is cut off. A window without one (`area` null) is only moved.
void KeepOnScreen(QWidget* window, QScrollArea* area);

/// The fitting of KeepOnScreen, for the screen area `available`.
void FitToScreen(QWidget* window, QScrollArea* area, const QRect& available);

}  // namespace vextune::ui
