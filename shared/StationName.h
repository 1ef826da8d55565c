#pragma once

// The name of this workstation together with the user the program runs
// under, in upper case: it names the station's section of the settings file.

#include <QByteArray>
#include <QString>

#include <functional>

// "COMPUTER_USER", the computer name alone without a user name, or
// "BRIX8_LOKAL" when the names cannot be read.
QString StationName();
// The same, from the given readers of the two names.
QString StationNameFrom(const std::function<QString()> &readComputerName, const std::function<QString()> &readUserName);

// The names as the system reports them; a name that cannot be read is empty.
QString GetComputerNameText();
QString GetUserNameText();

// Cuts the buffer before its first zero byte.
void TrimAtNull(QByteArray &buffer);
