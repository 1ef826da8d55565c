#pragma once

// A settings file of sections and key=value lines, read and written the way
// the Windows profile functions do it: the file is read at every access (no
// cache), section and key names compare without regard to case, a missing
// file, section or key gives the default, and a write changes only its own
// key's line, keeping every other line, comment and section as it was. The
// file's text is Windows-1250.

#include <QString>

namespace platform {

class ProfileFile {
public:
    explicit ProfileFile(QString fileName);

    const QString &fileName() const { return fileName_; }

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal, or hexadecimal after 0x or 0X; anything else gives the default.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // An integer other than 0 is true.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;

    // Creates the file and the section as needed. A file that cannot be
    // written raises EInOutError naming the path.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);

private:
    QString fileName_;
};

} // namespace platform
