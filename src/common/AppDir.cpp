#include "common/AppDir.h"

#include <QFile>

#include <climits>
#include <unistd.h>

QString GetAppDir()
{
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n <= 0)
        return QStringLiteral("./");
    const QString exe = QFile::decodeName(QByteArray(buffer, n));
    return exe.left(exe.lastIndexOf(u'/') + 1);
}
