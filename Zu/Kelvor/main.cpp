#include "KelvorApp.h"
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The whole life of the program is InitInstance; it asks for no message loop.
    return theApp.InitInstance() ? QApplication::exec() : 0;
}
