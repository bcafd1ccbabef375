#pragma once

// Where a command's output goes: the view (or, with --json, the documents)
// on standard output, notes beside it or on standard error, the plug-in's
// console lines marked, progress on standard error.

#include "console.h"

#include <iostream>
#include <ostream>

namespace xk83t_host {

class Terminal {
public:
    Terminal(bool json, bool show_plugin_console);

    std::ostream& out() { return out_; }
    std::ostream& notes() { return json_ ? std::cerr : out_; }
    ProgressLine& progress() { return progress_; }
    bool json() const { return json_; }

private:
    bool json_;
    std::ostream out_;  // on standard output's own buffer, taken before the plug-in console
    ProgressLine progress_;
    PluginConsole console_;
};

}  // namespace xk83t_host
