// ctaudit: energy audit of wet (direct-contact) cooling towers.

#include "common/desktop.h"
#include "shell/windows.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QtDesktop desktop;
    Windows windows(desktop);
    windows.start();
    return QApplication::exec();
}
