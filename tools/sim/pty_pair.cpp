#include "pty_pair.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace xk83t_sim {

namespace {

[[noreturn]] void fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

PtyPair::PtyPair()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        close(master_);
        fail("unlockpt");
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        fail("ptsname");
    }
    slave_path_ = name;
    slave_keeper_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_keeper_ < 0) {
        close(master_);
        fail("open pseudo-terminal");
    }
    // Raw from the start: a canonical line with echo would send the
    // master's requests straight back before it sets the line up itself.
    termios tio{};
    if (tcgetattr(slave_keeper_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave_keeper_, TCSANOW, &tio);
    }
}

PtyPair::~PtyPair()
{
    if (slave_keeper_ >= 0)
        close(slave_keeper_);
    if (master_ >= 0)
        close(master_);
}

}  // namespace xk83t_sim
