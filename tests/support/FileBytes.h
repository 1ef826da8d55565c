#pragma once

// Whole files as bytes, for tests that look at what was written byte for byte.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString &path);
// Writes the bytes as the whole file; a failure fails the running test.
void writeBytes(const QString &path, const QByteArray &bytes);

// The file's inode; 0 when there is no such file.
ino_t inodeOf(const QString &path);
// The inode of a file made now beside the given one; the file system gives
// it an inode freed just before, if there is one (ext4 does).
ino_t inodeOfANewFileBeside(const QString &path);

} // namespace testsupport
