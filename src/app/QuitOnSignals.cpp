#include "app/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_pipe[1], &c, 1);
}

} // namespace

QuitOnSignals::QuitOnSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_pipe[0], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

QuitOnSignals::~QuitOnSignals() {
    for (int s : kSignals)
        std::signal(s, SIG_DFL);
}

#else

QuitOnSignals::QuitOnSignals(QObject* parent) : QObject(parent) {}
QuitOnSignals::~QuitOnSignals() = default;

#endif
