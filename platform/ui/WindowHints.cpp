#include "WindowHints.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef ZELO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace platform {

#ifdef ZELO_HAVE_XCB

namespace {

// The Motif hints: flags, functions, decorations, input mode, status.
constexpr quint32 kHintFunctions = 1;
constexpr quint32 kHintDecorations = 2;
constexpr quint32 kFunctionMove = 4;
constexpr quint32 kFunctionClose = 32;
constexpr quint32 kDecorBorder = 2;
constexpr quint32 kDecorTitle = 8;
constexpr quint32 kDecorMenu = 16;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

void setTitleButtons(QWidget *window, TitleButtons buttons)
{
    // The offscreen platform answers as X11 too, without a connection of its own.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb") || !window->windowHandle())
        return;
    xcb_connection_t *connection = x11->connection();
    if (!connection)
        return;
    const auto id = xcb_window_t(window->winId());

    const bool close = buttons == TitleButtons::CloseOnly;
    const quint32 hints[5] = {kHintFunctions | kHintDecorations, kFunctionMove | (close ? kFunctionClose : 0),
                              kDecorBorder | kDecorTitle | (close ? kDecorMenu : 0), 0, 0};
    const xcb_atom_t motifHints = internAtom(connection, "_MOTIF_WM_HINTS");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motifHints, motifHints, 32, 5, hints);

    // Window managers that take the buttons from the window type alone
    // (openbox) give a toolbar window neither minimise nor maximise; the
    // dialog type follows for those that do not know it.
    const xcb_atom_t types[2] = {internAtom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                 internAtom(connection, "_NET_WM_WINDOW_TYPE_DIALOG")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, internAtom(connection, "_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 2, types);
    xcb_flush(connection);
}

#else

void setTitleButtons(QWidget *, TitleButtons) {}

#endif

} // namespace platform
