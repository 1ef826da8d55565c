#pragma once

// The client's database parameter buffer of an attach, built from a
// connection's parameter lines.

#include "LoginPrompt.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// Each line "name=value" becomes the item of the client's connection-parameter
// list that it names (letter case ignored, "isc_dpb_" optional), its value
// written as that item wants it: text, a number, or nothing for a switch
// ("no_garbage_collect" or "no_garbage_collect="). Blank lines and an empty
// lc_ctype are left out. A login, when given, replaces the lines' user name
// and password. Text values go in UTF-8, and the buffer ends with the
// utf8_filename switch that says so (unless a line gave it). Raises EDatabaseError naming the line for a name outside
// the list or a value the item cannot take.
QByteArray databaseParameterBuffer(const QStringList &lines, const Login *login = nullptr);

} // namespace platform
