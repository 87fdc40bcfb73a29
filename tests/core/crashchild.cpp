// Child process for the crash handler test: installs the handler over the folder given
// as the second argument, opens the log given as the third, then dies as the first
// argument says ("segv" or "throw").
#include "crashdumphandler.h"
#include "filelogger.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {

// `address` lies in the never-mapped first page. It is computed at run time, so the compiler
// must really store, and it is not null, so the sanitizers let the fault happen.
[[gnu::noinline]] void crashBySegv(uintptr_t address)
{
    *reinterpret_cast<volatile int *>(address) = 42;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4)
        return 2;
    QCoreApplication app(argc, argv);
    FileLogger::instance().init(QString::fromLocal8Bit(argv[3]));
    CrashDumpHandler::instance().init(QString::fromLocal8Bit(argv[2]));
    if (std::strcmp(argv[1], "segv") == 0)
        crashBySegv(std::strlen(argv[1]) * 4);
    if (std::strcmp(argv[1], "throw") == 0)
        throw std::runtime_error("measurement table exploded");
    return 0;
}
