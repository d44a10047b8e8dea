#include "comms/telnet_filter.h"

namespace korval {

namespace {
bool HimMay(std::uint8_t option)
{
    return option == toBinary || option == toEcho || option == toSuppressGoAhead;
}

bool WeMay(std::uint8_t option)
{
    return option == toBinary || option == toTerminalType;
}
} // namespace

void TTelnetFilter::Reply(std::string& replies, std::uint8_t cmd, std::uint8_t option)
{
    replies += static_cast<char>(tnIAC);
    replies += static_cast<char>(cmd);
    replies += static_cast<char>(option);
    Note(true, cmd, option);
}

void TTelnetFilter::Note(bool sent, std::uint8_t cmd, std::uint8_t option, const std::string& text)
{
    if (notes_)
        notes_(sent, cmd, option, text);
}

void TTelnetFilter::Receive(const std::uint8_t* in, std::size_t n, std::string& data, std::string& replies)
{
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = in[i];
        switch (state_) {
        case TState::Data:
            if (b == tnIAC) {
                state_ = TState::Iac;
                break;
            }
            // CR NUL stands for a bare CR while binary is off.
            if (crPending_ && b == 0 && him_[toBinary] != TOpt::Yes) {
                crPending_ = false;
                break;
            }
            crPending_ = b == '\r';
            data += static_cast<char>(b);
            break;
        case TState::Iac:
            Command(b, data);
            break;
        case TState::Option:
            Negotiate(cmd_, b, replies);
            state_ = TState::Data;
            break;
        case TState::SbOption:
            sbOption_ = b;
            sb_.clear();
            state_ = TState::Sb;
            break;
        case TState::Sb:
            if (b == tnIAC)
                state_ = TState::SbIac;
            else if (sb_.size() >= kMaxSubnegotiation)
                state_ = TState::Data; // never ended: drop it and read on
            else
                sb_ += static_cast<char>(b);
            break;
        case TState::SbIac:
            if (b == tnSE) {
                EndSubnegotiation(replies);
                state_ = TState::Data;
            } else if (b == tnIAC) {
                sb_ += static_cast<char>(tnIAC);
                state_ = sb_.size() > kMaxSubnegotiation ? TState::Data : TState::Sb;
            } else {
                // A command inside a subnegotiation ends it.
                Command(b, data);
            }
            break;
        }
    }
}

void TTelnetFilter::Command(std::uint8_t b, std::string& data)
{
    crPending_ = false;
    if (b == tnIAC) {
        data += static_cast<char>(tnIAC);
        state_ = TState::Data;
    } else if (b == tnWILL || b == tnWONT || b == tnDO || b == tnDONT) {
        cmd_ = b;
        state_ = TState::Option;
    } else if (b == tnSB) {
        state_ = TState::SbOption;
    } else {
        state_ = TState::Data; // NOP, GA, AYT and the like: nothing to do
    }
}

void TTelnetFilter::Negotiate(std::uint8_t cmd, std::uint8_t option, std::string& replies)
{
    Note(false, cmd, option);
    const bool peerSide = cmd == tnWILL || cmd == tnWONT;
    const bool enable = cmd == tnWILL || cmd == tnDO;
    TOpt& q = peerSide ? him_[option] : us_[option];
    const std::uint8_t yes = peerSide ? tnDO : tnWILL;
    const std::uint8_t no = peerSide ? tnDONT : tnWONT;
    if (enable) {
        switch (q) {
        case TOpt::No:
            if (peerSide ? HimMay(option) : WeMay(option)) {
                q = TOpt::Yes;
                Reply(replies, yes, option);
            } else {
                Reply(replies, no, option);
            }
            break;
        case TOpt::Yes: break;
        case TOpt::WantNo: q = TOpt::No; break;
        case TOpt::WantYes: q = TOpt::Yes; break;
        }
    } else {
        switch (q) {
        case TOpt::No: break;
        case TOpt::Yes:
            q = TOpt::No;
            Reply(replies, no, option);
            break;
        case TOpt::WantNo:
        case TOpt::WantYes: q = TOpt::No; break;
        }
    }
}

void TTelnetFilter::EndSubnegotiation(std::string& replies)
{
    // TERMINAL-TYPE SEND (1) asks for our terminal type; answer IS (0) with it.
    if (sbOption_ == toTerminalType && (sb_.empty() || sb_[0] == 1)) {
        replies += static_cast<char>(tnIAC);
        replies += static_cast<char>(tnSB);
        replies += static_cast<char>(toTerminalType);
        replies += '\0';
        replies += terminalType_;
        replies += static_cast<char>(tnIAC);
        replies += static_cast<char>(tnSE);
        Note(true, tnSB, toTerminalType, terminalType_);
    }
    sb_.clear();
}

void TTelnetFilter::Encode(const std::uint8_t* in, std::size_t n, bool binary, std::string& out)
{
    for (std::size_t i = 0; i < n; ++i) {
        out += static_cast<char>(in[i]);
        if (in[i] == tnIAC)
            out += static_cast<char>(tnIAC);
        else if (in[i] == '\r' && !binary && (i + 1 == n || in[i + 1] != '\n'))
            out += '\0';
    }
}

} // namespace korval
