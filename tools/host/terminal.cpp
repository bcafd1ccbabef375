#include "terminal.h"

#include <unistd.h>

namespace xk83t_host {

namespace {

std::streambuf* console_target(bool json, bool show, std::ostream& out)
{
    if (!show)
        return nullptr;
    return json ? std::cerr.rdbuf() : out.rdbuf();
}

}  // namespace

Terminal::Terminal(bool json, bool show_plugin_console)
    : json_(json),
      out_(std::cout.rdbuf()),
      progress_(std::cerr, isatty(STDERR_FILENO) != 0),
      console_(console_target(json, show_plugin_console, out_), "  xk83t| ")
{
    console_.before_line = [this] { progress_.clear(); };
}

}  // namespace xk83t_host
