// Renders the APRS symbol tables as one contact sheet PNG: every entry's
// picture at 1x and enlarged, with its index, symbol code and name, so that
// all pictures can be looked at together.
//
//   render_symbol_sheet OUT.png [--scale N] [--table primary|alternate|both]
//                               [--first I] [--last I] [--columns C]

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "config/aprs_symbols.h"
#include "ui/aprs_symbol_icons.h"

namespace {

using vextune::SymbolTable;

struct SheetOptions {
  QString output;
  int scale = 2;
  QList<SymbolTable> tables;
  int first = 0;
  int last = vextune::kSymbolCount - 1;
  int columns = 6;
};

constexpr int kMargin = 16;
constexpr int kHeaderHeight = 36;
constexpr int kTextWidth = 190;

QSize CellSize(const SheetOptions& options) {
  const int iconWidth = vextune::ui::kSymbolIconWidth * (options.scale + 1);
  const int height = vextune::ui::kSymbolIconHeight * options.scale + 12;
  return QSize(iconWidth + 24 + kTextWidth, std::max(height, 44));
}

// Draws `icon` at exactly `scale` device pixels per unit.
void DrawIconAt(QPainter& painter, const QIcon& icon, QPoint at, int scale) {
  QPixmap picture =
      icon.pixmap(QSize(vextune::ui::kSymbolIconWidth, vextune::ui::kSymbolIconHeight), scale);
  picture.setDevicePixelRatio(1.0);
  painter.drawPixmap(at, picture);
}

void DrawCell(QPainter& painter, const SheetOptions& options, SymbolTable table, int index,
              QRect cell) {
  const QIcon icon = vextune::ui::AprsSymbolIcon(table, index);
  const int bigHeight = vextune::ui::kSymbolIconHeight * options.scale;
  const int top = cell.top() + (cell.height() - bigHeight) / 2;
  DrawIconAt(painter, icon, QPoint(cell.left() + 4, top + (bigHeight - 19) / 2), 1);
  const int bigLeft = cell.left() + 4 + vextune::ui::kSymbolIconWidth + 8;
  painter.fillRect(
      QRect(bigLeft - 2, top - 2, vextune::ui::kSymbolIconWidth * options.scale + 4, bigHeight + 4),
      QColor(0xf0, 0xf0, 0xf0));
  DrawIconAt(painter, icon, QPoint(bigLeft, top), options.scale);

  const int textLeft = bigLeft + vextune::ui::kSymbolIconWidth * options.scale + 10;
  const QRect textRect(textLeft, cell.top(), cell.right() - textLeft, cell.height());
  const std::string_view name = vextune::SymbolName(table, index);
  const QString label =
      QStringLiteral("%1  %2  ").arg(index, 2).arg(QChar::fromLatin1(vextune::SymbolCode(index)));
  painter.setPen(Qt::darkGray);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, label);
  const int labelWidth = painter.fontMetrics().horizontalAdvance(label);
  const QRect nameRect = textRect.adjusted(labelWidth, 0, 0, 0);
  if (name.empty()) {
    painter.setPen(Qt::gray);
    painter.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("(no name)"));
  } else {
    painter.setPen(Qt::black);
    painter.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                     QString::fromLatin1(name.data(), static_cast<int>(name.size())));
  }
}

bool ParseOptions(const QStringList& arguments, SheetOptions* options, QString* error) {
  QCommandLineParser parser;
  parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("PNG file to write"));
  const QCommandLineOption scale(QStringLiteral("scale"), QStringLiteral("Enlargement (1..16)"),
                                 QStringLiteral("N"), QStringLiteral("2"));
  const QCommandLineOption table(QStringLiteral("table"),
                                 QStringLiteral("primary, alternate or both"), QStringLiteral("T"),
                                 QStringLiteral("both"));
  const QCommandLineOption first(QStringLiteral("first"), QStringLiteral("First index"),
                                 QStringLiteral("I"), QStringLiteral("0"));
  const QCommandLineOption last(QStringLiteral("last"), QStringLiteral("Last index"),
                                QStringLiteral("I"), QStringLiteral("93"));
  const QCommandLineOption columns(QStringLiteral("columns"), QStringLiteral("Cells per row"),
                                   QStringLiteral("C"), QStringLiteral("6"));
  parser.addOptions({scale, table, first, last, columns});
  parser.addHelpOption();
  if (!parser.parse(arguments)) {
    *error = parser.errorText();
    return false;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    *error = parser.helpText();
    return false;
  }
  if (parser.positionalArguments().size() != 1) {
    *error = QStringLiteral("Give exactly one output file.\n") + parser.helpText();
    return false;
  }
  options->output = parser.positionalArguments().front();
  bool ok = true, allOk = true;
  options->scale = parser.value(scale).toInt(&ok);
  allOk &= ok && options->scale >= 1 && options->scale <= 16;
  options->first = parser.value(first).toInt(&ok);
  allOk &= ok;
  options->last = parser.value(last).toInt(&ok);
  allOk &= ok;
  options->columns = parser.value(columns).toInt(&ok);
  allOk &= ok && options->columns >= 1 && options->columns <= 20;
  allOk &= options->first >= 0 && options->first <= options->last &&
           options->last < vextune::kSymbolCount;
  const QString tables = parser.value(table);
  if (tables == QLatin1String("primary") || tables == QLatin1String("both")) {
    options->tables.append(SymbolTable::Primary);
  }
  if (tables == QLatin1String("alternate") || tables == QLatin1String("both")) {
    options->tables.append(SymbolTable::Alternate);
  }
  allOk &= !options->tables.isEmpty();
  if (!allOk) *error = QStringLiteral("Invalid option value.\n") + parser.helpText();
  return allOk;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  SheetOptions options;
  QString error;
  if (!ParseOptions(application.arguments(), &options, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 2;
  }
  const int count = options.last - options.first + 1;
  const int rows = (count + options.columns - 1) / options.columns;
  const QSize cell = CellSize(options);
  const int sectionHeight = kHeaderHeight + rows * cell.height() + kMargin;
  QImage sheet(2 * kMargin + options.columns * cell.width(),
               kMargin + static_cast<int>(options.tables.size()) * sectionHeight,
               QImage::Format_ARGB32_Premultiplied);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  painter.setFont(font);
  int y = kMargin;
  for (SymbolTable table : options.tables) {
    QFont header = font;
    header.setPixelSize(18);
    header.setBold(true);
    painter.setFont(header);
    painter.setPen(Qt::black);
    painter.drawText(QRect(kMargin, y, sheet.width(), kHeaderHeight), Qt::AlignVCenter,
                     table == SymbolTable::Primary ? QStringLiteral("Primary table")
                                                   : QStringLiteral("Alternate table"));
    painter.setFont(font);
    for (int i = 0; i < count; ++i) {
      const QRect place(kMargin + (i % options.columns) * cell.width(),
                        y + kHeaderHeight + (i / options.columns) * cell.height(), cell.width(),
                        cell.height());
      DrawCell(painter, options, table, options.first + i, place);
    }
    y += sectionHeight;
  }
  painter.end();
  if (!sheet.save(options.output, "PNG")) {
    std::fprintf(stderr, "Cannot write %s\n", qPrintable(options.output));
    return 1;
  }
  return 0;
}
