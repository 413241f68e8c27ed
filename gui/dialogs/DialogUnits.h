#pragma once
// The dialogs are laid out in dialog units, as their templates give them:
// a quarter of the font's average character width across, an eighth of its
// height down, so that the layout follows the desktop's font.
#include <QFont>
#include <QRect>

namespace trawlscope {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  QRect ToPixels(int x, int y, int width, int height) const;
  int X(int units) const;
  int Y(int units) const;

 private:
  int baseX_;
  int baseY_;
};

// The desktop's UI font at `points`, a Japanese-capable family preferred when one is installed.
QFont DialogFont(double points);

// `base` for text whose backslashes are syntax (an expression, its error):
// the Japanese fonts a Japanese desktop picks draw "\" as a yen sign, so a
// font that draws it as it is comes first, the CJK ones after it.
QFont SyntaxFont(const QFont& base, bool monospace = false);

}  // namespace trawlscope
