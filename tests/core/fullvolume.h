#pragma once

#include <csignal>
#include <sys/resource.h>

// While alive, every write of this process to a regular file fails as on a full volume: the
// kernel lets no file grow (a file size limit of 0, its signal ignored). Pipes are not
// affected, so test output still flows. Needs no mount and no privileges.
class FullVolume
{
public:
    FullVolume()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit full = m_saved;
        full.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &full);
    }
    ~FullVolume() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    FullVolume(const FullVolume &) = delete;
    FullVolume &operator=(const FullVolume &) = delete;

private:
    rlimit m_saved{};
};
