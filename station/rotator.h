#pragma once
// The antenna rotator: four controller kinds, each with its own line settings and command
// bytes, turned to a bearing by the band's rule (normal, with the extra offset, reversed, or
// not at all). Status texts go to the host; those beginning with '!' are warnings.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace korval {

class TApdComPort;

enum TRotatorRule : std::uint8_t { rrDisabled, rrNormal, rrWithOffset, rrReverse };

struct TRotatorSettings {
    std::uint8_t type = 0;   // 0 and 1: no rotator; 2..5: kind 1..4
    int comPort = 1;
    std::int32_t extraOffset = 0;  // degrees, for "With Offset"
    std::int32_t correction = 0;   // degrees, added to every bearing
    std::array<std::uint8_t, 16> rules {};  // by band 0..15
};

class TRotatorHost {
public:
    virtual ~TRotatorHost() = default;
    // The band selected in the QSO window; 0 when none.
    virtual int SelectedBand() const = 0;
    virtual void ReportRotator(const std::string& text) = 0;
    virtual void OpenFailed() {}  // "Rotator COM port failed to open"
    virtual void EnableRotatorMenu(bool on) { (void)on; }
};

inline constexpr const char* RotatorOpenFailedText = "Rotator COM port failed to open";
inline constexpr const char* RotatorNotConnectedText = "!Rotator is not connected";

class TRotator {
public:
    // Where the bytes go; by default the rotator's serial port.
    using TSender = std::function<void(const std::string& bytes)>;

    TRotator(TRotatorSettings& settings, TRotatorHost& host);
    ~TRotator();
    TRotator(const TRotator&) = delete;
    TRotator& operator=(const TRotator&) = delete;

    void OpenRotator();
    void CloseRotator();
    // Turns by the selected band's rule; nothing is sent (and the text says so) while closed.
    void TurnRotator(std::int32_t azimuth);
    void StopRotator();
    bool IsOpen() const { return open_; }
    int Kind() const { return kind_; }

    // The bytes of a kind's commands for a bearing already brought into 0..360.
    static std::string TurnCommand(int kind, std::int32_t bearing);
    static std::string StopCommand(int kind);

    // For tests and other transports: replaces the serial port; OpenRotator then only marks open.
    void SetSender(TSender sender) { sender_ = std::move(sender); }

private:
    void Send(const std::string& bytes);

    TRotatorSettings& settings_;
    TRotatorHost& host_;
    std::unique_ptr<TApdComPort> port_;
    TSender sender_;
    bool open_ = false;
    int kind_ = 0;
};

} // namespace korval
