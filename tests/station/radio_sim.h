#pragma once
// Simulated radios on the master side of a pseudo-terminal, written from the manufacturers'
// published command sets: an Icom CI-V bus radio (every command echoes on the bus, set commands
// are acknowledged with FB), a Yaesu 5-byte radio (opcode last, BCD in 10 Hz units, no reply to
// set commands) and a Kenwood/Elecraft ASCII radio (commands end in ';').
#include "tests/comms/comms_fixture.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

namespace korval::test {

class TSimRadio {
public:
    explicit TSimRadio(int fd) : fd_(fd) {}
    virtual ~TSimRadio() { Stop(); }
    void Start() { thread_ = std::thread([this] { Run(); }); }
    void Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    // Everything the radio received so far.
    std::string Received()
    {
        std::lock_guard<std::mutex> g(lock_);
        return log_;
    }
    void ClearReceived()
    {
        std::lock_guard<std::mutex> g(lock_);
        log_.clear();
    }

    std::atomic<long> freqHz {14250000};
    std::atomic<long> freqBHz {14250000};
    std::atomic<int> modeCode {1};
    std::atomic<bool> split {false};
    std::atomic<int> dropCommands {0};  // the next n commands go unanswered
    std::atomic<bool> silent {false};
    std::atomic<int> replyDelayMs {0};

protected:
    // Takes the complete commands off the front of `pending` and answers them.
    virtual void Handle(std::string& pending) = 0;
    void Reply(const std::string& bytes)
    {
        if (replyDelayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(replyDelayMs.load()));
        ssize_t w = ::write(fd_, bytes.data(), bytes.size());
        (void)w;
    }
    // True when this command is to be dropped.
    bool Drop()
    {
        if (silent)
            return true;
        if (dropCommands > 0) {
            --dropCommands;
            return true;
        }
        return false;
    }

private:
    void Run()
    {
        std::string pending;
        while (!stop_) {
            pollfd p {fd_, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0)
                continue;
            char buf[512];
            ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0)
                continue;
            {
                std::lock_guard<std::mutex> g(lock_);
                log_.append(buf, static_cast<std::size_t>(n));
            }
            pending.append(buf, static_cast<std::size_t>(n));
            Handle(pending);
        }
    }
    int fd_;
    std::atomic<bool> stop_ {false};
    std::thread thread_;
    std::mutex lock_;
    std::string log_;
};

// CI-V: FE FE <to> <from> cmd [data] FD; this radio answers at address 94h.
class TIcomSim : public TSimRadio {
public:
    using TSimRadio::TSimRadio;
    std::uint8_t address = 0x94;

protected:
    void Handle(std::string& pending) override
    {
        for (std::size_t end; (end = pending.find('\xFD')) != std::string::npos;) {
            const std::string cmd = pending.substr(0, end + 1);
            pending.erase(0, end + 1);
            if (cmd.size() < 6 || static_cast<std::uint8_t>(cmd[2]) != address || Drop())
                continue;
            std::string out = cmd;  // the bus echo
            const std::string head = std::string("\xFE\xFE\xE0", 3) + static_cast<char>(address);
            const auto op = static_cast<std::uint8_t>(cmd[4]);
            if (op == 0x03) {
                std::string bcd;
                long v = freqHz;
                for (int i = 0; i < 5; ++i, v /= 100)
                    bcd += static_cast<char>((v % 10) | ((v / 10 % 10) << 4));
                out += head + '\x03' + bcd + '\xFD';
            } else if (op == 0x04) {
                out += head + '\x04' + static_cast<char>(modeCode.load()) + '\x01' + '\xFD';
            } else if (op == 0x0F && cmd.size() == 6) {
                out += head + '\x0F' + static_cast<char>(split ? 1 : 0) + '\xFD';
            } else {
                if (op == 0x05) {
                    long v = 0;
                    for (int i = 9; i >= 5; --i) {
                        const auto b = static_cast<std::uint8_t>(cmd[static_cast<std::size_t>(i)]);
                        v = v * 100 + (b >> 4) * 10 + (b & 15);
                    }
                    freqHz = v;
                } else if (op == 0x06) {
                    modeCode = static_cast<std::uint8_t>(cmd[5]);
                }
                out += head + "\xFB\xFD";
            }
            Reply(out);
        }
    }
};

// Yaesu: P1 P2 P3 P4 opcode.
class TYaesuSim : public TSimRadio {
public:
    using TSimRadio::TSimRadio;

protected:
    void Handle(std::string& pending) override
    {
        while (pending.size() >= 5) {
            const std::string cmd = pending.substr(0, 5);
            pending.erase(0, 5);
            if (Drop())
                continue;
            const auto op = static_cast<std::uint8_t>(cmd[4]);
            if (op == 0x03) {
                std::string out;
                long v = freqHz / 10;
                for (int i = 0; i < 4; ++i, v /= 100)
                    out.insert(out.begin(), static_cast<char>((v % 10) | ((v / 10 % 10) << 4)));
                Reply(out + static_cast<char>(modeCode.load()));
            } else if (op == 0x01) {
                long v = 0;
                for (int i = 0; i < 4; ++i) {
                    const auto b = static_cast<std::uint8_t>(cmd[static_cast<std::size_t>(i)]);
                    v = v * 100 + (b >> 4) * 10 + (b & 15);
                }
                freqHz = v * 10;
            } else if (op == 0x07) {
                modeCode = static_cast<std::uint8_t>(cmd[0]);
            } else if (op == 0xE7) {
                Reply(std::string(1, '\x09'));
            }
        }
    }
};

// Kenwood/Elecraft: text commands ending in ';'.
class TKenwoodSim : public TSimRadio {
public:
    using TSimRadio::TSimRadio;
    std::atomic<int> ritHz {0};
    std::atomic<bool> rit {false}, xit {false}, vfoB {false};
    std::atomic<bool> garbled {false};  // the next FA answer is not a number
    std::atomic<int> sMeter {15};  // raw reading, 0..30 (S9 at 15)

protected:
    void Handle(std::string& pending) override
    {
        for (std::size_t end; (end = pending.find(';')) != std::string::npos;) {
            const std::string cmd = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (Drop())
                continue;
            char buf[64];
            if (cmd == "FA" || cmd == "FB") {
                if (cmd == "FA" && garbled.exchange(false)) {
                    Reply("FA000142x0000;");
                    continue;
                }
                std::snprintf(buf, sizeof buf, "%s%011ld;", cmd.c_str(), cmd == "FA" ? freqHz.load() : freqBHz.load());
                Reply(buf);
            } else if (cmd == "MD") {
                Reply("MD" + std::to_string(modeCode.load()) + ";");
            } else if (cmd == "IF") {
                std::snprintf(buf, sizeof buf, "IF%011ld     %+05d%d%d0000%d%d0%d0000;", freqHz.load(), ritHz.load(),
                              rit ? 1 : 0, xit ? 1 : 0, modeCode.load(), vfoB ? 1 : 0, split ? 1 : 0);
                Reply(buf);
            } else if (cmd == "SM0") {
                std::snprintf(buf, sizeof buf, "SM0%04d;", sMeter.load());
                Reply(buf);
            } else if (cmd.rfind("FA", 0) == 0 && cmd.size() == 13) {
                freqHz = std::stol(cmd.substr(2));
            } else if (cmd.rfind("FB", 0) == 0 && cmd.size() == 13) {
                freqBHz = std::stol(cmd.substr(2));
            } else if (cmd.rfind("MD", 0) == 0 && cmd.size() == 3) {
                modeCode = cmd[2] - '0';
            }
        }
    }
};

} // namespace korval::test
