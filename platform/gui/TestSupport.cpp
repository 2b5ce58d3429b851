#include "platform/gui/TestSupport.h"

#include <QApplication>
#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<QApplication> g_app;
}

void InitTestApplication(int& argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    g_app = std::make_unique<QApplication>(argc, argv);
}

void DoneTestApplication()
{
    g_app.reset();
}
