#include "station/radio.h"

#include "comms/apd_com_port.h"
#include "logbook/bands_modes.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace korval {

namespace {

constexpr std::size_t CommandBufferSize = 50;
constexpr int ModeSSB = 14;

bool IsReversed(std::uint8_t format) { return format == ffBCDR || format == ffBinaryR || format == ffStringR; }
bool IsBcd(std::uint8_t format) { return format == ffBCD || format == ffBCDR; }
bool IsString(std::uint8_t format) { return format == ffString || format == ffStringR; }

// Halves to even, kept inside 32 bits (a wild multiplier must not overflow).
std::int32_t RoundEven(double v)
{
    const double r = std::nearbyint(v);
    if (!(r > -2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    if (r > 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

// A decimal number, blanks around it allowed, and nothing else.
bool ParseDecimal(const std::string& text, double& value)
{
    const char* begin = text.c_str();
    while (*begin == ' ')
        ++begin;
    if (*begin == '\0')
        return false;
    // Only digits, a sign and a point: a general parser would also take "inf" or "1e5".
    for (const char* p = begin; *p; ++p)
        if (!(std::isdigit(static_cast<unsigned char>(*p)) || *p == '+' || *p == '-' || *p == '.' || *p == ' '))
            return false;
    const std::string_view rest(begin);
    const std::size_t taken = ParseDecimalPrefix(rest, value);
    if (taken == 0)
        return false;
    const char* end = begin + taken;
    while (*end == ' ')
        ++end;
    return *end == '\0';
}

bool BcdValid(const std::string& piece)
{
    for (char c : piece) {
        const auto b = static_cast<std::uint8_t>(c);
        if ((b >> 4) > 9 || (b & 15) > 9)
            return false;
    }
    return true;
}

std::string WithThousands(double kHz)
{
    std::string digits = FormatFixed(kHz, 0), out;
    const bool negative = !digits.empty() && digits[0] == '-';
    if (negative)
        digits.erase(0, 1);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

} // namespace

// Marks a public operation running for its whole length, also when it ends by an exception.
class TRadio::TBusyGuard {
public:
    explicit TBusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TBusyGuard() { flag_ = false; }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

private:
    bool& flag_;
};

TRadio::TRadio(const TRadioDefinition& definition, const TRadioSettings& settings, TRadioHost& host)
    : def_(definition), settings_(settings), host_(host)
{
    if (def_.PositionBase == 0)
        for (TRadioFieldEntry& f : def_.Fields)
            ++f.position;
    if (def_.FileInterface.empty())
        OpenSerial(settings);
    else
        OpenFileInterface(settings);
}

TRadio::~TRadio()
{
    if (handle_ >= 0)
        ::close(handle_);
    if (port_) {
        port_->OnTriggerAvail = nullptr;
        port_->SetOpen(false);
    }
}

void TRadio::OpenSerial(const TRadioSettings& s)
{
    port_ = std::make_unique<TApdComPort>();
    port_->SetPromptForPort(false);
    port_->SetComNumber(s.comPort);
    port_->SetBaud(s.baud != 0 ? s.baud : def_.Baud);
    port_->SetDataBits(def_.DataBits + 7);
    port_->SetParity(pNone);
    port_->SetStopBits(def_.StopBits + 1);
    port_->SetInSize(1024);
    port_->SetOutSize(1024);
    bool dtr = s.dtr, rts = s.rts;
    if (s.cwKeyingInterface == 5)
        dtr = false;
    else if (s.cwKeyingInterface == 6)
        rts = false;
    port_->SetDTR(dtr);
    port_->SetRTS(rts);
    port_->SetHWFlowOptions(0);
    port_->OnTriggerAvail = [this](TApdCustomComPort& cp, std::uint16_t count) {
        for (unsigned i = 0; i < count; ++i)
            received_ += cp.GetChar();
    };
    port_->SetOpen(true);
}

void TRadio::OpenFileInterface(const TRadioSettings& s)
{
    interfaceName_ = def_.FileInterface;
    if (def_.CommandFormat == 0) {
        for (char& c : interfaceName_)
            if (c == '#')
                c = static_cast<char>('0' + s.comPort);
        handle_ = std::filesystem::is_regular_file(interfaceName_) ? ::open(interfaceName_.c_str(), O_RDWR) : -1;
        if (handle_ < 0)
            throw ERadioException(" Radio handshake file not found:\r" + interfaceName_);
    } else {
        if (!std::filesystem::is_directory(interfaceName_))
            throw ERadioException(" Radio data directory not found:\r" + interfaceName_);
        handle_ = DataDirectoryHandle;
    }
}

// Tries on a shared file until one succeeds or the time is up, letting port data and timers
// run between tries.
bool TRadio::RetryForTimeout(const std::function<bool()>& attempt)
{
    const std::int64_t deadline = host_.TickCount() + timeoutMs_;
    for (;;) {
        if (attempt())
            return true;
        if (host_.TickCount() > deadline)
            return false;
        host_.ProcessRadioMessages();
    }
}

bool TRadio::LockHandshakeFile()
{
    const bool locked = RetryForTimeout([&] {
        std::uint8_t word[2] = {1, 1};
        if (::pread(handle_, word, 2, 0) != 2 || word[0] != 0 || word[1] != 0)
            return false;
        const std::uint8_t one[2] = {1, 0};
        return ::pwrite(handle_, one, 2, 0) == 2;
    });
    if (!locked)
        Log("Unable to lock file");
    return locked;
}

void TRadio::UnlockHandshakeFile()
{
    const std::uint8_t zero[2] = {0, 0};
    if (::pwrite(handle_, zero, 2, 0) != 2)
        Log("Unable to unlock file");
}

void TRadio::WriteHandshakeFile()
{
    const std::uint8_t offset = def_.Commands[rcFileWrite].length;
    Log("Write File, Offs = " + std::to_string(offset) + DisplayStr(def_.CommandFormat, commandBuffer_));
    // A write the other program never sees must not look like success.
    if (!LockHandshakeFile())
        throw ERadioException(RadioTimedOutText);
    const bool written = ::pwrite(handle_, commandBuffer_.data(), commandBuffer_.size(), offset) ==
                         static_cast<ssize_t>(commandBuffer_.size());
    UnlockHandshakeFile();
    if (!written)
        throw ERadioException(RadioTimedOutText);
}

bool TRadio::ReadHandshakeFile(std::string& block)
{
    const std::uint8_t offset = def_.Commands[rcFileRead].length;
    const std::size_t length = Convert(rcFileRead).size();
    Log("Read File, Offs = " + std::to_string(offset) + " L = " + std::to_string(length));
    block.clear();
    if (!LockHandshakeFile())
        return false;
    block.assign(length, '\0');
    const ssize_t got = ::pread(handle_, block.data(), length, offset);
    UnlockHandshakeFile();
    if (got != static_cast<ssize_t>(length)) {
        block.clear();
        return false;
    }
    TSlot& slot = cache_[def_.Commands[rcFileRead].location % RadioLocationCount];
    slot.reply = block;
    slot.valid = true;
    slot.command = rcFileRead;
    return true;
}

bool TRadio::ReadDataFile(std::int32_t& rx, std::int32_t& tx, std::uint8_t& mode)
{
    const std::string name = (std::filesystem::path(interfaceName_) / def_.Commands[rcFileRead].command).string();
    Log("Reading from file: " + name);
    const bool read = RetryForTimeout([&] {
        std::ifstream in(name, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; in && std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        double rxMHz = 0, txMHz = 0;
        bool good = lines.size() >= 2 && ParseDecimal(lines[0], rxMHz);
        txMHz = rxMHz;
        std::string modeName = lines.size() >= 2 ? lines[1] : "";
        if (good && lines.size() >= 3 && !TrimSpaces(lines[2]).empty()) {
            good = ParseDecimal(lines[2], txMHz);
            if (lines.size() >= 4)
                modeName = lines[3];
        }
        if (good) {
            rx = RoundEven(rxMHz * 1e6);
            tx = RoundEven(txMHz * 1e6);
            const int m = ModeFromName(modeName);
            mode = static_cast<std::uint8_t>(m >= 1 && m <= RadioModeCount ? m : ModeSSB);
        }
        return good;
    });
    if (!read)
        error_ = reDataFileRead;
    return read;
}

bool TRadio::WriteDataFile()
{
    const std::string name = (std::filesystem::path(interfaceName_) / def_.Commands[rcFileWrite].command).string();
    Log("Writing to file: " + name);
    const double tx = split_ ? txFreq_ : rxFreq_;
    const bool differs = tx != rxFreq_;
    std::string modeName = ModeName(mode_);
    if (mode_ == ModeSSB)
        modeName = (differs ? tx : rxFreq_) < 10000.0 ? "LSB" : "USB";
    std::string text = FormatFixed(rxFreq_ / 1000.0, 5) + "\r\n" + modeName + "\r\n";
    if (differs)
        text += FormatFixed(tx / 1000.0, 5) + "\r\n" + modeName + "\r\n";
    const bool written = RetryForTimeout([&] {
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out << text;
        return static_cast<bool>(out.flush());
    });
    if (!written)
        error_ = reDataFileWrite;
    return written;
}

void TRadio::ClearCache()
{
    for (TSlot& s : cache_)
        s = TSlot {};
}

void TRadio::Log(const std::string& text)
{
    if (!host_.Monitoring())
        return;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t cr = text.find('\r', start);
        if (cr == std::string::npos) {
            host_.Monitor(text.substr(start));
            break;
        }
        host_.Monitor(text.substr(start, cr - start));
        start = cr + 1;
    }
}

std::string TRadio::DisplayStr(std::uint8_t commandFormat, const std::string& bytes)
{
    static const char* hex = "0123456789ABCDEF";
    std::string s;
    if (commandFormat == 0) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i % 8 == 0)
                s += "\r  ";
            const auto b = static_cast<std::uint8_t>(bytes[i]);
            s += hex[b >> 4];
            s += hex[b & 15];
            s += ' ';
        }
        return s;
    }
    s = "\r  \"";
    for (char c : bytes)
        s += c == '\r' ? std::string("|") : std::string(1, c);
    return s + "\"";
}

// ---- exchanges ----

std::string TRadio::Exchange(std::string command, int expected, int readCommand)
{
    if (!def_.Preamble.empty())
        command = ConvertCommand(def_.CommandFormat, def_.Preamble) + command;
    const TRadioFieldEntry& id = def_.Fields[rfWriteID];
    if (id.lengthMask != 0 && id.position >= 1 && id.position <= command.size())
        command[id.position - 1u] = static_cast<char>(settings_.address);
    if (def_.CommandOrder == 1)
        std::reverse(command.begin(), command.end());
    // Counted wide: LEN and the command's length together can pass 255.
    const int echoLength = def_.ConfirmLength != 0 && !HandshakeFile() ? static_cast<int>(command.size()) : 0;
    const std::string whole = ExchangeWithRetries(command, expected + echoLength, echoLength, readCommand);
    const std::string echo = whole.substr(0, static_cast<std::size_t>(echoLength));
    const std::string reply = whole.substr(std::min(whole.size(), static_cast<std::size_t>(echoLength)));
    if (host_.Monitoring()) {
        if (!garbage_.empty())
            Log("Garbage skipped: " + DisplayStr(def_.CommandFormat, garbage_));
        if (!HandshakeFile())
            Log("Send: " + DisplayStr(def_.CommandFormat, command));
        if (def_.ConfirmLength != 0)
            Log("Echo: " + DisplayStr(def_.CommandFormat, echo));
        Log("Received: " + DisplayStr(def_.CommandFormat, reply));
    }
    return reply;
}

std::string TRadio::ExchangeWithRetries(const std::string& command, int expected, int echoLength, int readCommand)
{
    garbage_ = received_;
    if (HandshakeFile()) {
        std::string block;
        if (!ReadHandshakeFile(block))
            throw ERadioException(RadioTimedOutText);
        if (readCommand != rcNoCommand && !ReplyDecodes(block, readCommand))
            throw ERadioException(RadioBadReplyText);
        return block;
    }
    if (settings_.retries <= 0 || command.empty())
        throw ERadioException(RadioTimedOutText);
    bool badReply = false;
    for (int attempt = 0; attempt < settings_.retries; ++attempt) {
        std::string reply = SendAndWait(command, expected);
        if (reply.size() < static_cast<std::size_t>(expected))
            continue;
        if (readCommand != rcNoCommand && !ReplyDecodes(reply.substr(static_cast<std::size_t>(echoLength)), readCommand)) {
            badReply = true;
            Log("*** Bad reply, retrying");
            continue;
        }
        return reply;
    }
    throw ERadioException(badReply ? RadioBadReplyText : RadioTimedOutText);
}

std::string TRadio::SendAndWait(const std::string& command, int expected)
{
    const std::int64_t deadline = host_.TickCount() + timeoutMs_;
    received_.clear();
    bool sent = false;
    const auto want = static_cast<std::size_t>(expected);
    for (;;) {
        host_.ProcessRadioMessages();
        if (!sent && command.size() + 100 < port_->OutBuffFree()) {
            port_->PutBlock(command.data(), command.size());
            sent = true;
        }
        if (sent && received_.size() >= want)
            break;
        if (host_.TickCount() > deadline)
            break;
    }
    std::string reply = received_.substr(0, want);
    received_.erase(0, reply.size());
    return reply;
}

// Every number field of the command must decode: BCD digits only, decimal text only.
bool TRadio::ReplyDecodes(const std::string& reply, int readCommand) const
{
    for (int f = 0; f < RadioFieldCount; ++f) {
        const TRadioFieldEntry& e = def_.Fields[static_cast<std::size_t>(f)];
        if (e.command != readCommand || e.lengthMask == 0 || f == rfWriteID)
            continue;
        if (!IsBcd(e.format) && !IsString(e.format))
            continue;
        const std::size_t start = e.position >= 1 ? e.position - 1u : reply.size();
        if (start + e.lengthMask > reply.size())
            continue;  // reported as a field outside the reply when read
        const std::string piece = reply.substr(start, e.lengthMask);
        double ignored = 0;
        if (IsBcd(e.format) ? !BcdValid(piece) : !ParseDecimal(piece, ignored))
            return false;
    }
    return true;
}

// ---- commands and fields ----

void TRadio::ReadCommand(int c)
{
    const TRadioCommandEntry& cmd = def_.Commands[static_cast<std::size_t>(c)];
    const std::uint8_t before = error_;
    if (cmd.command.empty())
        error_ = reNoReadCommand;
    else if (cmd.length == 0)
        error_ = reReadLengthZero;
    Log(std::string("Cmd: ") + RadioCommandName(c));
    if (before == 0 && error_ != 0)
        Log("*** Read error " + std::to_string(error_));
    const std::string reply = Exchange(Convert(c), cmd.length, c);
    TSlot& slot = cache_[cmd.location % RadioLocationCount];
    slot.reply = reply;
    slot.valid = !reply.empty();
    slot.command = slot.valid ? static_cast<std::uint8_t>(c) : 0;
}

void TRadio::LoadField(int f)
{
    const TRadioFieldEntry& e = def_.Fields[static_cast<std::size_t>(f)];
    const std::uint8_t loc = def_.Commands[e.command].location % RadioLocationCount;
    TSlot& slot = cache_[loc];
    if (slot.command != e.command)
        slot.valid = false;
    Log(std::string("Load Field: ") + RadioFieldName(f) + "; L=" + RadioLocationName(loc) + " D=" + (slot.valid ? "Y" : "N"));
    if (!slot.valid)
        ReadCommand(e.command);
}

std::int32_t TRadio::ReadInteger(int f)
{
    const TRadioFieldEntry& e = def_.Fields[static_cast<std::size_t>(f)];
    if (e.lengthMask == 0 || !def_.HasCommand(e.command)) {
        error_ = reFieldNotDefined;
        Log(std::string("Field ") + RadioFieldName(f) + " not loaded");
        return 0;
    }
    LoadField(f);
    const std::string& reply = cache_[def_.Commands[e.command].location % RadioLocationCount].reply;
    const std::size_t length = e.format == ffByteM ? 1 : e.lengthMask;
    if (e.position < 1 || e.position - 1u + length > reply.size()) {
        // Reading 0 Hz here as if the radio had said so would tune the log to nothing.
        error_ = reFieldOutsideReply;
        Log(std::string("*** Field ") + RadioFieldName(f) + " outside the reply");
        return 0;
    }
    std::string piece = reply.substr(e.position - 1u, length);
    if (IsReversed(e.format))
        std::reverse(piece.begin(), piece.end());
    // Unsigned, so that pieces wider than the result wrap as the 32-bit value would.
    std::uint64_t value = 0;
    switch (e.format) {
    case ffBCD:
    case ffBCDR:
        for (char c : piece) {
            const auto b = static_cast<std::uint8_t>(c);
            value = (value * 10 + (b >> 4)) * 10 + (b & 15);
        }
        break;
    case ffBinary:
    case ffBinaryR:
        value = static_cast<std::uint8_t>(piece[0]) >= 128 ? ~std::uint64_t {0} : 0;
        for (char c : piece)
            value = value * 256 + static_cast<std::uint8_t>(c);
        break;
    case ffByteM:
        value = static_cast<std::uint8_t>(piece[0]) & e.lengthMask;
        break;
    case ffString:
    case ffStringR: {
        double d = 0;
        if (ParseDecimal(piece, d))
            value = static_cast<std::uint32_t>(RoundEven(d));
        break;
    }
    default:
        Log(std::string("***Error Read format ") + RadioFormatName(e.format));
        break;
    }
    double scale = 1.0;
    if (f == rfClarifier)
        scale = def_.RitScale;
    else if (f == rfSMeter)
        scale = def_.SMeterScale;
    else if (f == rfCurrentVfo || f == rfVfoA || f == rfVfoB)
        scale = def_.ReadFreqMul;
    const auto raw = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    const std::int32_t result = RoundEven(static_cast<double>(raw) * scale);
    Log(std::string("Integer Read: ") + RadioFieldName(f) + "; V=" + std::to_string(result));
    return result;
}

bool TRadio::ReadFlag(int f)
{
    const TRadioFieldEntry& e = def_.Fields[static_cast<std::size_t>(f)];
    bool on = false;
    if (e.format != ffFlag) {
        on = def_.HasCommand(e.command) && ReadInteger(f) != 0;
    } else if (e.lengthMask != 0) {
        LoadField(f);
        const std::string& reply = cache_[def_.Commands[e.command].location % RadioLocationCount].reply;
        if (e.position < 1 || e.position > reply.size()) {
            error_ = reFieldOutsideReply;
            Log(std::string("*** Field ") + RadioFieldName(f) + " outside the reply");
        } else {
            on = (static_cast<std::uint8_t>(reply[e.position - 1u]) & e.lengthMask) != 0;
        }
    }
    Log(std::string("Flag Read: ") + RadioFieldName(f) + "; F=" + RadioFormatName(e.format) + " V=" + (on ? "Y" : "N"));
    return on;
}

void TRadio::WriteCommand(int c)
{
    const TRadioCommandEntry& cmd = def_.Commands[static_cast<std::size_t>(c)];
    Log(std::string("Cmd: ") + RadioCommandName(c));
    if (cmd.command.empty())
        Log("**Write error 1");
    else if (cmd.length != 0)
        Log("**Write error 2");
    if (!cmd.command.empty())
        Exchange(commandBuffer_, def_.ConfirmLength, rcNoCommand);
}

void TRadio::ExecuteCommand(int c)
{
    commandBuffer_ = Convert(c);
    WriteCommand(c);
    if (c == rcSelectVfoA || c == rcSelectVfoB || c == rcSetMode || c == rcSetVfoA || c == rcSetVfoB || c == rcVfoAToB)
        ClearCache();
}

void TRadio::ExecuteIfPresent(int c)
{
    if (def_.HasCommand(c))
        ExecuteCommand(c);
}

void TRadio::WriteField(int f, std::int32_t value)
{
    const TRadioFieldEntry& e = def_.Fields[static_cast<std::size_t>(f)];
    if (f == rfWriteVfoA || f == rfWriteVfoB)
        value = RoundEven(value * def_.WriteFreqMul);
    std::string piece;
    switch (e.format) {
    case ffBCD:
    case ffBCDR: {
        piece.assign(e.lengthMask, '\0');
        auto v = static_cast<std::uint64_t>(std::llabs(static_cast<std::int64_t>(value)));
        for (int i = e.lengthMask - 1; i >= 0; --i) {
            piece[static_cast<std::size_t>(i)] = static_cast<char>((v % 10) | ((v / 10 % 10) << 4));
            v /= 100;
        }
        break;
    }
    case ffBinary:
    case ffBinaryR: {
        piece.assign(e.lengthMask, '\0');
        std::int64_t v = value;  // wider pieces carry the sign on
        for (int i = e.lengthMask - 1; i >= 0; --i) {
            piece[static_cast<std::size_t>(i)] = static_cast<char>(v & 255);
            v >>= 8;
        }
        break;
    }
    case ffByteM:
        piece.assign(1, static_cast<char>(value & e.lengthMask));
        break;
    case ffString:
    case ffStringR: {
        piece = std::to_string(value);
        if (piece.size() < e.lengthMask)
            piece.insert(0, e.lengthMask - piece.size(), '0');
        break;
    }
    default:
        piece.assign(e.lengthMask, '0');
        Log(std::string("***Error Write format ") + RadioFormatName(e.format));
        break;
    }
    if (IsReversed(e.format))
        std::reverse(piece.begin(), piece.end());
    if (!HandshakeFile())
        commandBuffer_ = Convert(e.command);
    if (e.lengthMask != 0) {
        // The piece must lie inside the command (and its 50-byte buffer), or the radio would
        // get the command without the value, or memory past the buffer would be written.
        if (e.position < 1 || e.position - 1u + piece.size() > std::min(commandBuffer_.size(), CommandBufferSize)) {
            error_ = reFieldOutsideCommand;
            Log(std::string("*** Field ") + RadioFieldName(f) + " outside its command");
            return;
        }
        if (e.format == ffByteM)
            commandBuffer_[e.position - 1u] = static_cast<char>(commandBuffer_[e.position - 1u] + piece[0]);
        else
            commandBuffer_.replace(e.position - 1u, piece.size(), piece);
    }
    if (!HandshakeFile())
        WriteCommand(e.command);
}

std::uint8_t TRadio::ModeWriteCode(std::uint8_t mode, double kHz) const
{
    if (mode < 1 || mode > RadioModeCount)
        mode = ModeSSB;
    const TRadioModeEntry& m = def_.Modes[mode];
    std::uint8_t code = mode != ModeSSB && m.prefer && m.write2 != NoModeCode ? m.write2 : m.write1;
    if (mode == ModeSSB || code == NoModeCode) {
        const TRadioModeEntry& ssb = def_.Modes[ModeSSB];
        code = ssb.write1;
        if (mode == ModeSSB && kHz > 10000.0 && ssb.write2 != NoModeCode)
            code = ssb.write2;
    }
    return code;
}

std::uint8_t TRadio::ModeFromCode(std::int32_t code) const
{
    for (int m = 1; m <= RadioModeCount; ++m) {
        const TRadioModeEntry& e = def_.Modes[static_cast<std::size_t>(m)];
        if ((e.read1 != NoModeCode && e.read1 == code) || (e.read2 != NoModeCode && e.read2 == code))
            return static_cast<std::uint8_t>(m);
    }
    return ModeSSB;
}

bool TRadio::CanWriteMode(std::uint8_t mode) const
{
    if (mode < 1 || mode > RadioModeCount)
        return false;
    const TRadioModeEntry& m = def_.Modes[mode];
    if (mode != ModeSSB && m.prefer && m.write2 < NoModeCode)
        return true;
    return m.write1 < NoModeCode;
}

void TRadio::WriteVfo(int field, std::uint8_t mode, double kHz)
{
    WriteField(rfWriteMode, ModeWriteCode(mode, kHz));
    if (def_.FieldDefined(field))
        WriteField(field, RoundEven(1000.0 * kHz));
}

bool TRadio::VfoBCurrent()
{
    if (def_.FieldDefined(rfCurrentVfoIsA))
        return !ReadFlag(rfCurrentVfoIsA);
    if (def_.FieldDefined(rfCurrentVfoIsB))
        return ReadFlag(rfCurrentVfoIsB);
    return false;
}

// ---- public operations ----

void TRadio::Disable(const std::string& text)
{
    disabled_ = true;
    host_.RadioDisabled(text + "\r" + RadioDisabledText);
}

template <class F>
bool TRadio::Guarded(F&& body)
{
    if (disabled_)
        return true;
    if (busy_) {
        // A timer step during a running exchange: skipped, the caller tries again later.
        Log(RadioBusyText);
        return true;
    }
    TBusyGuard guard(busy_);
    try {
        return body();
    } catch (const ERadioException& e) {
        Disable(e.what());
        return true;
    }
}

bool TRadio::Initialize()
{
    error_ = 0;
    return Guarded([&] {
        ExecuteIfPresent(rcInit);
        return error_ != 0;
    });
}

void TRadio::StoreReading(std::int64_t mainHz, std::int64_t otherHz, std::uint8_t mode, bool split)
{
    rxFreq_ = mainHz / 1000.0;
    txFreq_ = otherHz / 1000.0;
    mode_ = mode;
    split_ = split;
    host_.NotifyRadioChanged();
}

bool TRadio::ReadFrequencyAndMode(double& rxKHz, double& txKHz, std::uint8_t& mode, bool& split)
{
    const bool failed = Guarded([&] {
        error_ = 0;
        if (DataDirectory()) {
            std::int32_t rx = 0, tx = 0;
            std::uint8_t m = ModeSSB;
            if (!ReadDataFile(rx, tx, m))
                return true;
            clarifier_ = 0;
            rit_ = xit_ = false;
            StoreReading(rx, tx, m, split_ && std::llabs(static_cast<std::int64_t>(rx) - tx) >= 1000);
            return false;
        }
        ClearCache();
        const bool bCurrent = VfoBCurrent();
        const std::int32_t modeCode = ReadInteger(rfMode);
        std::int64_t main = 0;  // with the clarifier added twice it can pass 32 bits
        if (def_.FieldDefined(rfCurrentVfo))
            main = ReadInteger(rfCurrentVfo);
        else if (bCurrent && def_.FieldDefined(rfVfoB))
            main = ReadInteger(rfVfoB);
        else
            main = ReadInteger(rfVfoA);
        std::int64_t other = main;
        if (bCurrent) {
            if (def_.FieldDefined(rfVfoA))
                other = ReadInteger(rfVfoA);
            else if (def_.FieldDefined(rfVfoB))
                other = ReadInteger(rfVfoB);
        }
        const std::uint8_t newMode = ModeFromCode(modeCode);
        // In 64 bits: the most negative 32-bit reading negated by the sign flag does not fit.
        std::int64_t clarifier = def_.FieldDefined(rfClarifier) ? ReadInteger(rfClarifier) : 0;
        if (clarifier != 0 && def_.FieldDefined(rfSignClarifier) && ReadFlag(rfSignClarifier))
            clarifier = -clarifier;
        bool rit = false, xit = false;
        if (clarifier != 0) {
            rit = def_.FieldDefined(rfRIT) && ReadFlag(rfRIT);
            if (rit)
                other = main + clarifier;
            xit = def_.FieldDefined(rfXIT) && ReadFlag(rfXIT);
            if (xit)
                other = other + clarifier;
        }
        bool newSplit = def_.FieldDefined(rfSplitMode) ? ReadFlag(rfSplitMode) : split_;
        const std::int64_t apart = std::llabs(main - other);
        if (newSplit && apart < 1000)
            newSplit = false;
        else if (!newSplit && (rit || xit) && apart >= 1000)
            newSplit = true;
        clarifier_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(
            clarifier, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
        rit_ = rit;
        xit_ = xit;
        if (error_ != 0)
            return true;
        StoreReading(main, other, newMode, newSplit);
        return false;
    });
    rxKHz = rxFreq_;
    txKHz = txFreq_;
    mode = mode_;
    split = split_;
    return failed;
}

bool TRadio::SetFrequencyAndMode(std::uint8_t mode, bool split, double rxKHz, double txKHz)
{
    return Guarded([&] {
        rxFreq_ = rxKHz;
        txFreq_ = txKHz;
        split_ = split;
        if (!split && !def_.HasCommand(rcSetSplitOff)) {
            split = true;
            txKHz = rxKHz;
        }
        mode_ = mode;
        error_ = 0;
        ClearCache();
        if (DataDirectory()) {
            WriteDataFile();
            host_.NotifyRadioChanged();
            return error_ != 0;
        }
        if (HandshakeFile()) {
            commandBuffer_ = Convert(rcFileWrite);
            WriteVfo(rfWriteVfoA, mode, rxKHz);
            WriteVfo(rfWriteVfoB, mode, split ? txKHz : rxKHz);
            WriteHandshakeFile();
            host_.NotifyRadioChanged();
            return error_ != 0;
        }
        ExecuteIfPresent(rcClearClarifier);
        const bool hasAToB = def_.HasCommand(rcVfoAToB);
        const bool bCurrent = !hasAToB && VfoBCurrent();
        if (!split) {
            ExecuteIfPresent(rcSetSplitOff);
            WriteVfo(bCurrent ? rfWriteVfoB : rfWriteVfoA, mode, rxKHz);
        } else if (hasAToB) {
            ExecuteIfPresent(rcSelectVfoA);
            WriteVfo(rfWriteVfoA, mode, txKHz);
            ExecuteIfPresent(rcVfoAToB);
            WriteVfo(rfWriteVfoA, mode, rxKHz);
            ExecuteIfPresent(rcSetSplitOn);
        } else if (bCurrent) {
            WriteVfo(rfWriteVfoB, mode, txKHz);
            ExecuteIfPresent(rcSelectVfoA);
            WriteVfo(rfWriteVfoA, mode, rxKHz);
            ExecuteIfPresent(rcSetSplitOn);
        } else {
            WriteVfo(rfWriteVfoA, mode, rxKHz);
            ExecuteIfPresent(rcSelectVfoB);
            WriteVfo(rfWriteVfoB, mode, txKHz);
            ExecuteIfPresent(rcSelectVfoA);
            ExecuteIfPresent(rcSetSplitOn);
        }
        host_.NotifyRadioChanged();
        return error_ != 0;
    });
}

bool TRadio::SetFrequency(double kHz)
{
    return Guarded([&] {
        rxFreq_ = kHz;
        error_ = 0;
        if (DataDirectory()) {
            WriteDataFile();
        } else if (HandshakeFile()) {
            commandBuffer_ = Convert(rcFileWrite);
            WriteField(rfWriteVfoA, RoundEven(1000.0 * kHz));
            WriteHandshakeFile();
        } else {
            WriteField(rfWriteVfoA, RoundEven(1000.0 * kHz));
        }
        host_.NotifyRadioChanged();
        return error_ != 0;
    });
}

bool TRadio::ReadSMeter(std::uint8_t& s)
{
    return Guarded([&] {
        error_ = 0;
        ClearCache();
        const std::int32_t v = ReadInteger(rfSMeter);
        s = static_cast<std::uint8_t>(std::clamp(v, 0, 11));
        return error_ != 0;
    });
}

void TRadio::FormatFrequency(std::string& s)
{
    double rx = 0, tx = 0;
    std::uint8_t mode = 0;
    bool split = false;
    s.clear();
    if (ReadFrequencyAndMode(rx, tx, mode, split))
        return;
    s = WithThousands(rx);
    if (split)
        s += "/" + WithThousands(tx);
    s += "KHz";
}

} // namespace korval
