#pragma once

// The title-bar buttons a window asks the window manager for.

class QWidget;

namespace platform {

enum class TitleButtons {
    None,      // caption only
    CloseOnly, // caption and the close box
};

// Asks for a caption without minimise and maximise, and with the close box
// only where given. Call it when the window is shown (its native window
// exists, not yet mapped). Only X11 needs this (Qt's flags leave the window
// manager its own buttons there); elsewhere it does nothing.
void setTitleButtons(QWidget *window, TitleButtons buttons);

} // namespace platform
