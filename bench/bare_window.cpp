// The toolkit's floor for the window's start and memory: bench/start_vs_bare.sh
// starts it beside the program.
#include <QApplication>

#include "bench/BareWindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BareWindow bare;
    bare.window.show();
    return QApplication::exec();
}
