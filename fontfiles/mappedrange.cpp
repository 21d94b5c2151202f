#include "mappedrange.h"

#ifdef Q_OS_UNIX

#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// What the signal handler reads: plain atomics, set before the range is
// touched and cleared after it is no longer.
std::atomic<std::uintptr_t> g_begin{0};
std::atomic<std::uintptr_t> g_end{0};
std::atomic<bool> g_cut{false};
std::atomic<bool> g_inUse{false};
std::uintptr_t g_pageSize = 4096;
struct sigaction g_previous;

void onBusError(int signal, siginfo_t *info, void *context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (address >= g_begin.load() && address < g_end.load()) {
        // The page past the file's new end reads as zeros from now on.
        void *page = reinterpret_cast<void *>(address & ~(g_pageSize - 1));
        if (mmap(page, g_pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            g_cut = true;
            return;
        }
    }
    // Not ours: as it would have been without this handler.
    if (g_previous.sa_flags & SA_SIGINFO) {
        g_previous.sa_sigaction(signal, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
    } else {
        // Returning runs the faulting instruction again, now under the
        // default action.
        sigaction(SIGBUS, &g_previous, nullptr);
    }
}

bool installHandler()
{
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] {
        g_pageSize = std::uintptr_t(sysconf(_SC_PAGESIZE));
        struct sigaction action = {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        installed = sigaction(SIGBUS, &action, &g_previous) == 0;
    });
    return installed;
}

} // namespace

MappedRange::MappedRange(const void *data, qint64 size)
{
    if (!data || size <= 0 || !installHandler() || g_inUse.exchange(true))
        return;
    m_active = true;
    g_cut = false;
    g_begin = reinterpret_cast<std::uintptr_t>(data);
    g_end = reinterpret_cast<std::uintptr_t>(data) + std::uintptr_t(size);
}

MappedRange::~MappedRange()
{
    if (!m_active)
        return;
    g_begin = 0;
    g_end = 0;
    g_inUse = false;
}

bool MappedRange::wasCut() const
{
    return m_active && g_cut;
}

#else

// Elsewhere a mapped file cannot be cut short (Windows refuses to), or the
// file is simply read.
MappedRange::MappedRange(const void *, qint64)
#ifdef Q_OS_WIN
    : m_active(true)
#endif
{
}

MappedRange::~MappedRange() = default;

bool MappedRange::wasCut() const
{
    return false;
}

#endif
