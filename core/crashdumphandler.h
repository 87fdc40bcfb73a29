#pragma once

#include <QDateTime>
#include <QString>

// Writes a crash report "<uuid>.dmp" into the dump folder when the process dies of a fatal
// signal or an uncaught exception, and removes reports older than a week at start-up.
class CrashDumpHandler
{
public:
    static CrashDumpHandler &instance();

    // Creates the dump folder, deletes dumps older than 7 days and installs the handler
    // (once per process; later calls only clean up).
    void init(const QString &dumpPath);

    // Deletes every file of `dumpPath` last modified more than 7 days before `now`.
    // Returns the number of files deleted.
    static int removeOldDumps(const QString &dumpPath, const QDateTime &now);

    bool isInstalled() const { return m_installed; }

private:
    CrashDumpHandler() = default;
    bool m_installed = false;
};
