#!/bin/sh
# Brings the translation catalogues up to date with the texts in the code:
# every TRAWLSCOPE_TEXT (the engine's and the dialogs' texts) and every tr()
# of the windows. New texts arrive unfinished, for Qt Linguist or an editor;
# texts gone from the code are dropped. The build compiles the result.
#   tools/update-translations.sh                 every resources/translations/*.ts
#   tools/update-translations.sh OTHER.ts...     those files instead (a new language, a check)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
if [ $# -eq 0 ]; then set -- "$root"/resources/translations/*.ts; fi
# Line numbers are left out of the files so that moving code does not
# change them; the source text and its context are the key. lupdate reads
# the includes from the top folder, as the compiler does, so that a tr()
# context is the class's full name (trawlscope::SearchDialogWidget), the
# one Qt looks up at run time.
cd "$root"
"$lupdate" -silent -extensions cpp,h -locations none -no-obsolete -I "$root" \
  -tr-function-alias QT_TRANSLATE_NOOP+=TRAWLSCOPE_TEXT \
  app search results platform gui tools -ts "$@"
