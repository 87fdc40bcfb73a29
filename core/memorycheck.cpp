#include "memorycheck.h"

#include <QDebug>
#include <QFile>

namespace {

qint64 meminfoField(const QByteArray &meminfo, const QByteArray &name)
{
    for (const QByteArray &line : meminfo.split('\n')) {
        if (!line.startsWith(name + ':'))
            continue;
        const QList<QByteArray> parts = line.mid(name.size() + 1).simplified().split(' ');
        bool ok = false;
        const qint64 value = parts.value(0).toLongLong(&ok);
        return ok ? value : -1;
    }
    return -1;
}

QByteArray readProcFile(const char *path)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll(); // proc files report size 0, so read until the end
}

} // namespace

int memoryLoadFromMeminfo(const QByteArray &meminfo)
{
    const qint64 total = meminfoField(meminfo, "MemTotal");
    const qint64 available = meminfoField(meminfo, "MemAvailable");
    if (total <= 0 || available < 0 || available > total)
        return -1;
    return int((total - available) * 100 / total);
}

bool checkMemory()
{
    // The process counters are read only to show that the query works.
    readProcFile("/proc/self/statm");
    qDebug() << "64-bit application";
    qDebug() << "64-bit application";

    return checkMemoryLoad(readProcFile("/proc/meminfo"));
}

bool checkMemoryLoad(const QByteArray &meminfo)
{
    const int load = memoryLoadFromMeminfo(meminfo);
    if (load < 0) {
        qDebug() << "Failed to retrieve memory status.";
        return false;
    }
    qDebug() << "Memory in use (%):" << load;
    return load < kMaxMemoryLoadPercent;
}
