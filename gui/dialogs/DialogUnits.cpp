#include "gui/dialogs/DialogUnits.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace trawlscope {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width of the 52 Latin letters: the unit the layouts are written in.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
  baseY_ = metrics.height();
}

int DialogUnits::X(int units) const { return (units * baseX_ + 2) / 4; }
int DialogUnits::Y(int units) const { return (units * baseY_ + 4) / 8; }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return QRect(X(x), Y(y), X(width), Y(height));
}

QFont SyntaxFont(const QFont& base, bool monospace) {
  QFont font = base;
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  families.prepend(monospace ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
  font.setFamilies(families);
  if (monospace) font.setStyleHint(QFont::TypeWriter);
  return font;
}

QFont DialogFont(double points) {
  QFont font = QApplication::font();
  const QStringList japanese = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"),
                                QStringLiteral("IPAPGothic"), QStringLiteral("TakaoPGothic"),
                                QStringLiteral("VL PGothic")};
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : japanese) {
    if (installed.contains(family)) {
      font.setFamilies({font.family(), family});
      break;
    }
  }
  font.setPointSizeF(points);
  return font;
}

}  // namespace trawlscope
