// The telnet state machine over bytes from the network. The first input byte cuts the rest into
// two calls, so state carried across calls is exercised.
#include "comms/telnet_filter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t cut = std::min<std::size_t>(data[0], size - 1);
    korval::TTelnetFilter filter;
    // What the log is told was sent accounts for every byte of the answers.
    std::size_t noted = 0;
    filter.SetNotes([&](bool sent, std::uint8_t cmd, std::uint8_t, const std::string& text) {
        if (sent)
            noted += cmd == korval::tnSB ? 6 + text.size() : 3;
        else if (cmd < korval::tnWILL || cmd > korval::tnDONT)
            std::abort();
    });
    std::string out, replies;
    filter.Receive(data + 1, cut, out, replies);
    filter.Receive(data + 1 + cut, size - 1 - cut, out, replies);
    // Telnet never lengthens the data, and every answer is a whole command.
    if (out.size() > size - 1)
        std::abort();
    if (!replies.empty() && static_cast<std::uint8_t>(replies[0]) != korval::tnIAC)
        std::abort();
    if (noted != replies.size())
        std::abort();
    std::string encoded;
    korval::TTelnetFilter::Encode(data, size, false, encoded);
    if (encoded.size() > 2 * size)
        std::abort();
    return 0;
}
