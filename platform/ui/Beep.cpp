#include "Beep.h"

#include <QApplication>

namespace platform {

namespace {
std::function<void()> &installedHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void simpleBeep()
{
    if (installedHandler())
        installedHandler()();
    else
        QApplication::beep();
}

void setBeepHandler(std::function<void()> handler)
{
    installedHandler() = std::move(handler);
}

} // namespace platform
