// The desktop program's entry point only wires the pieces together; the
// search dialog arrives with the desktop issue, so for now this says so.
#include <QApplication>
#include <QMessageBox>

#include "platform/ProcessLocale.h"

int main(int argc, char** argv) {
  trawlscope::SetProcessLocale();
  QApplication application(argc, argv);
  QMessageBox::information(nullptr, QStringLiteral("Trawlscope 1.3"),
                           QStringLiteral("The search dialog is not built yet."));
  return 0;
}
