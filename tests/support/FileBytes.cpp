#include "FileBytes.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace testsupport {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

ino_t inodeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

ino_t inodeOfANewFileBeside(const QString &path)
{
    const QString next = path + QStringLiteral(".next");
    writeBytes(next, "next");
    return inodeOf(next);
}

} // namespace testsupport
