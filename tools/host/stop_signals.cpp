#include "commands.h"

#include <csignal>

namespace xk83t_host {

std::atomic<bool> stop_requested{false};

namespace {

void on_stop(int)
{
    stop_requested.store(true);
}

}  // namespace

void install_stop_handlers()
{
    std::signal(SIGINT, on_stop);
    std::signal(SIGTERM, on_stop);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace xk83t_host
