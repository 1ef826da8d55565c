#pragma once

// Whole files as bytes, for tests that look at what was written byte for byte.

#include <QByteArray>
#include <QString>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString &path);
// Writes the bytes as the whole file; a failure fails the running test.
void writeBytes(const QString &path, const QByteArray &bytes);

} // namespace testsupport
