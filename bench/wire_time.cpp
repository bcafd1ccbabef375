#include "wire_time.h"

#include <acquisition/register_plan.h>

#include <cstdio>

namespace xk83t_bench {
namespace {

// Modbus RTU: a read request is address, function, start, count and CRC;
// its reply is address, function, byte count, the data and CRC. Frames are
// separated by at least 3.5 character times of silence. 8N1 sends 10 bits
// per character (start, 8 data, stop).
constexpr int kRequestBytes = 8;
constexpr int kReplyOverheadBytes = 5;
constexpr double kGapCharacters = 3.5;
constexpr double kBitsPerCharacter = 10;
constexpr double kBaud = 9600;

}  // namespace

int report_wire_time(std::ostream& out)
{
    int requests = 0;
    int registers = 0;
    int reply_bytes = 0;
    for (const xk83t::BlockRead& block : xk83t::kRegisterPlan) {
        ++requests;
        registers += block.count;
        reply_bytes += kReplyOverheadBytes + 2 * block.count;
    }
    const int request_bytes = requests * kRequestBytes;
    const double gaps = 2 * requests * kGapCharacters;
    const double characters = request_bytes + reply_bytes + gaps;
    const double seconds = characters * kBitsPerCharacter / kBaud;

    char text[512];
    std::snprintf(text, sizeof text,
                  "Wire time of one polling cycle at 9600 baud 8N1 (no device turnaround):\n"
                  "  requests: %d x %d bytes                      %7d characters\n"
                  "  replies: %d, %d registers, 5 + 2n bytes each %4d characters\n"
                  "  silence: %d frames x 3.5 characters          %7.1f characters\n"
                  "  %.1f characters x 10 bits / 9600 baud = %.4f s; 0.1%% of it = %.2f ms\n",
                  requests, kRequestBytes, request_bytes, requests, registers, reply_bytes, 2 * requests, gaps,
                  characters, seconds, seconds);
    out << text << std::flush;
    return 0;
}

}  // namespace xk83t_bench
