// Arbitrary bytes as a settings file: reading never fails, a written key
// reads back, other keys keep their values, and writing the same value again
// leaves the file as it was.

#include "base/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The file lives in a folder of its own inside the build folder, removed when
// the fuzzer ends; one that found a fault keeps it for a look.
const QString &fileName()
{
    static const QTemporaryDir folder(QStringLiteral(FUZZ_WORK_DIR "/fuzz_profile_XXXXXX"));
    static const QString name = folder.isValid() ? folder.filePath(QStringLiteral("zelo.ini")) : QString();
    require(!name.isEmpty());
    return name;
}

QByteArray contents()
{
    QFile file(fileName());
    require(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    {
        QFile file(fileName());
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        require(file.write(reinterpret_cast<const char *>(bytes), static_cast<qint64>(size)) ==
                static_cast<qint64>(size));
    }
    platform::ProfileFile profile(fileName());
    const QString section = QStringLiteral("IBServer");
    const QString database = profile.readString(section, QStringLiteral("Database"), QStringLiteral("-"));
    const QString login = profile.readString(QStringLiteral("PC01_NOVAK_Login"), QStringLiteral("LastUziv"), {});
    profile.readInteger(section, QStringLiteral("SQLDialect"), 3);
    profile.readBool(section, QStringLiteral("Local"), true);

    const QString value = QStringLiteral("C:\\Data\\Účetnictví.fdb");
    profile.writeString(section, QStringLiteral("Fuzz"), value);
    require(profile.readString(section, QStringLiteral("fuzz"), {}) == value);
    require(profile.readString(section, QStringLiteral("Database"), QStringLiteral("-")) == database);
    require(profile.readString(QStringLiteral("PC01_NOVAK_Login"), QStringLiteral("LastUziv"), {}) == login);

    const QByteArray once = contents();
    profile.writeString(section, QStringLiteral("Fuzz"), value);
    require(contents() == once);
    return 0;
}
