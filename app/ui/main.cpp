#include <QApplication>

#include "app/ui/AppWindows.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vintor-1"));
  vintor::AppWindows windows;
  windows.Main().show();
  return QApplication::exec();
}
