#pragma once

// A host that accepts every call and prints nothing, and a silenced
// std::cout, so a fuzz run spends its time in the plug-in.

#include <host/host_services.h>

#include <iostream>
#include <streambuf>

namespace xk83t_fuzz {

class NullBuf : public std::streambuf {
protected:
    int overflow(int ch) override { return traits_type::not_eof(ch); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

inline void quiet_process()
{
    // Never destroyed: std::cout is flushed after static objects are gone.
    static NullBuf* const sink = new NullBuf;
    static HostServices host;
    std::cout.rdbuf(sink);
    set_host_services(&host);
}

}  // namespace xk83t_fuzz
