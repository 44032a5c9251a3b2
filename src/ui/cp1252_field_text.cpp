#include "ui/cp1252_field_text.h"

#include <optional>

#include "common/text_codec.h"
#include "editor/field_rules.h"

namespace vextune::ui {
namespace {

std::optional<char> Cp1252Byte(QChar c) {
  if (c.unicode() < 0x80) return static_cast<char>(c.unicode());
  if (c.isSurrogate()) return std::nullopt;
  const std::optional<std::string> byte = Utf8ToCp1252(QString(c).toStdString());
  if (!byte || byte->size() != 1) return std::nullopt;
  return byte->front();
}

}  // namespace

std::string FieldTextToCp1252(const QString& text, char replacement) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (QChar c : text) out += Cp1252Byte(c).value_or(replacement);
  return out;
}

bool FitsCp1252(const QString& text) {
  for (QChar c : text) {
    if (!Cp1252Byte(c)) return false;
  }
  return true;
}

bool FieldMayHoldText(const QString& text, int maxChars) {
  return FitsCp1252(text) && FieldMayHold(FieldTextToCp1252(text), maxChars);
}

Cp1252Validator::Cp1252Validator(int maxChars, QObject* parent)
    : QValidator(parent), max_chars_(maxChars) {}

QValidator::State Cp1252Validator::validate(QString& input, int& /*position*/) const {
  return FieldMayHoldText(input, max_chars_) ? Acceptable : Invalid;
}

QString Cp1252ToFieldText(std::string_view text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

}  // namespace vextune::ui
