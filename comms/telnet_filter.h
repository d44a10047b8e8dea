#pragma once
// Telnet on a TCP port: received bytes are freed of commands and option negotiation, which is
// answered as RFC 1143 says (only a change of state is answered, so two programs that both answer
// every request cannot loop), and outgoing bytes are escaped. A pure state machine over bytes:
// nothing here touches a socket, which is what lets it be fuzzed.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace korval {

inline constexpr std::uint8_t tnIAC = 255, tnDONT = 254, tnDO = 253, tnWONT = 252, tnWILL = 251,
                              tnSB = 250, tnSE = 240;
inline constexpr std::uint8_t toBinary = 0, toEcho = 1, toSuppressGoAhead = 3, toTerminalType = 24;

class TTelnetFilter {
public:
    // A subnegotiation longer than this is abandoned, so a peer that never ends one cannot
    // swallow the rest of the stream.
    static constexpr std::size_t kMaxSubnegotiation = 512;
    enum class TOpt : std::uint8_t { No, Yes, WantNo, WantYes };

    explicit TTelnetFilter(std::string terminalType = "vt100") : terminalType_(std::move(terminalType)) {}

    // Appends the data bytes of `in` to `data` and the answers to send to `replies`.
    void Receive(const std::uint8_t* in, std::size_t n, std::string& data, std::string& replies);
    // Appends `in` escaped for sending: IAC doubled, and while binary is off a CR not followed by
    // LF is followed by NUL.
    // `binary`: we send in binary mode (Us(toBinary) is Yes).
    static void Encode(const std::uint8_t* in, std::size_t n, bool binary, std::string& out);

    // Told of each option command received and sent (sent, command, option) and of the terminal
    // type sent (true, SB, 24, the type); the port's log takes them.
    using TNotes = std::function<void(bool sent, std::uint8_t cmd, std::uint8_t option, const std::string& text)>;
    void SetNotes(TNotes notes) { notes_ = std::move(notes); }

    TOpt Us(std::uint8_t option) const { return us_[option]; }
    TOpt Him(std::uint8_t option) const { return him_[option]; }

private:
    enum class TState : std::uint8_t { Data, Iac, Option, SbOption, Sb, SbIac };
    void Command(std::uint8_t b, std::string& data);
    void Negotiate(std::uint8_t cmd, std::uint8_t option, std::string& replies);
    void EndSubnegotiation(std::string& replies);
    void Reply(std::string& replies, std::uint8_t cmd, std::uint8_t option);
    void Note(bool sent, std::uint8_t cmd, std::uint8_t option, const std::string& text = {});

    std::string terminalType_;
    TNotes notes_;
    TState state_ = TState::Data;
    std::uint8_t cmd_ = 0;
    std::uint8_t sbOption_ = 0;
    std::string sb_;
    bool crPending_ = false;
    std::array<TOpt, 256> us_ {};  // options we perform
    std::array<TOpt, 256> him_ {}; // options the peer performs
};

} // namespace korval
