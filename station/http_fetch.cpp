#include "station/http_fetch.h"

#include <exception>

#include "logbook/base/string_utils.h"

namespace korval {

namespace {

// "Name: value" with the name compared in upper case; false for another header.
bool HeaderValue(const std::string& line, const char* upperName, std::string& value)
{
    const auto colon = line.find(':');
    if (colon == std::string::npos || UpperAscii(TrimSpaces(line.substr(0, colon))) != upperName)
        return false;
    value = TrimSpaces(line.substr(colon + 1));
    return true;
}

std::size_t FindNoCase(const std::string& text, const char* upperWord)
{
    return UpperAscii(text).find(upperWord);
}

} // namespace

void THttpFetch::SetAddress(const TInternetAddress& address)
{
    Suspend(false);
    address_ = address;
    state_ = hsIdle;
    redirects_ = 0;
}

std::string THttpFetch::Request(const TInternetAddress& a)
{
    std::string host = a.host;
    if (!a.port.empty() && a.port != "80")
        host += ":" + a.port;
    return "GET " + a.path + " HTTP/1.0\r\nHost: " + host + "\r\n\r\n";
}

void THttpFetch::StartOrAbort()
{
    if (state_ == hsIdle) {
        redirects_ = 0;
        Start();
        return;
    }
    host_.Warn("Transfer aborted");
    Close();
    Suspend(false);
    state_ = hsIdle;
}

void THttpFetch::Start()
{
    state_ = hsConnecting;
    inside_ = false;
    buffer_.clear();
    lastEnd_ = 0;
    host_.ShowCaption("Connecting to " + address_.Text());
    try {
        host_.OpenConnection(address_);
    } catch (const std::exception& e) {
        OpenFailed(e.what());
    }
}

void THttpFetch::OpenFailed(const std::string& reason)
{
    Fail(reason);
}

void THttpFetch::Connected()
{
    Suspend(true);
    std::string caption = "Connected to " + address_.Text();
    if (state_ != hsConnecting)
        caption += " Incorrect status = " + std::to_string(static_cast<int>(state_));
    host_.ShowCaption(caption);
    state_ = hsConnected;
    statusSeen_ = acceptable_ = redirect_ = false;
    buffer_.clear();
    lastEnd_ = 0;
    host_.SendRequest(Request(address_));
}

void THttpFetch::Disconnected()
{
    if (closing_)
        return;
    // The page's last line may come without a line end.
    if (state_ == hsBody && !buffer_.empty()) {
        const std::string last = std::move(buffer_);
        buffer_.clear();
        Line(last);
    }
    Suspend(false);
    if (state_ == hsConnecting || state_ == hsIdle)
        host_.ShowCaption("Unexpected disconnect from " + address_.Text());
    else if (state_ == hsConnected)
        host_.ShowCaption("Error: Connection closed before the end of the headers");
    state_ = hsIdle;
}

void THttpFetch::Receive(std::string_view data)
{
    if (state_ != hsConnected && state_ != hsBody)
        return;
    for (char c : data) {
        if (c == '\r' || c == '\n') {
            if (lastEnd_ != 0 && lastEnd_ != c) {
                lastEnd_ = 0;
                continue;
            }
            lastEnd_ = c;
            const std::string line = std::move(buffer_);
            buffer_.clear();
            if (!Line(line))
                return;
            continue;
        }
        lastEnd_ = 0;
        if (buffer_.size() < MaxLine)
            buffer_ += c;
    }
}

bool THttpFetch::Line(const std::string& line)
{
    if (state_ == hsConnected)
        return statusSeen_ ? HeaderLine(line) : StatusLine(line);
    if (state_ == hsBody) {
        BodyLine(line);
        return true;
    }
    return false;
}

bool THttpFetch::StatusLine(const std::string& line)
{
    host_.ShowCaption("Reading " + address_.Text());
    if (UpperAscii(line.substr(0, 5)) != "HTTP/") {
        Fail("Unexpected header = " + line);
        return false;
    }
    const auto blank = line.find(' ');
    if (blank == std::string::npos) {
        Fail("No Status code");
        return false;
    }
    const std::string code = line.substr(blank + 1, 3);
    if (code != "200" && code != "301" && code != "302") {
        Fail("Unknown status code = " + code);
        return false;
    }
    redirect_ = code[0] == '3';
    statusSeen_ = true;
    return true;
}

bool THttpFetch::HeaderLine(const std::string& line)
{
    if (line.empty()) {
        if (!acceptable_) {
            Fail("Not an HTML/TEXT document");
            return false;
        }
        state_ = hsBody;
        return true;
    }
    std::string value;
    if (HeaderValue(line, "CONTENT-TYPE", value)) {
        // "text/html; charset=..." is a web page as well.
        if (UpperAscii(TrimSpaces(value.substr(0, value.find(';')))) == "TEXT/HTML")
            acceptable_ = true;
    } else if (redirect_ && HeaderValue(line, "LOCATION", value)) {
        host_.ShowCaption("New location = " + value);
        TInternetAddress next;
        if (++redirects_ > MaxRedirects) {
            Fail("Too many redirections");
            return false;
        }
        if (!ResolveLocation(address_, value, next)) {
            Fail("Cannot fetch location = " + value);
            return false;
        }
        Close();
        address_ = next;
        state_ = hsIdle;
        Start();
        return false;
    }
    return true;
}

void THttpFetch::BodyLine(const std::string& line)
{
    if (!inside_) {
        const auto pre = FindNoCase(line, "<PRE>");
        if (pre == std::string::npos)
            return;
        inside_ = true;
        BodyLine(line.substr(pre + 5));
        return;
    }
    const auto end = FindNoCase(line, "</PRE>");
    if (end != std::string::npos) {
        Deliver(line.substr(0, end));
        inside_ = false;
        return;
    }
    Deliver(line);
}

void THttpFetch::Deliver(const std::string& text)
{
    const std::string line = ListingLine(text);
    if (!line.empty())
        host_.DeliverLine(line);
}

std::string THttpFetch::ListingLine(const std::string& line)
{
    if (line.size() < 30)
        return {};
    std::string head = line.substr(0, line.size() - 12);
    std::string tail = line.substr(line.size() - 12);
    if (tail[4] == 'Z') {
        tail.erase(4, 1);
        if (const auto colon = head.find(':'); colon != std::string::npos && colon < 12)
            head[colon] = ' ';
    } else {
        tail.erase(0, 1);
    }
    tail[7] = '-';
    return head + " <" + tail + ">\r\n";
}

void THttpFetch::Fail(const std::string& reason)
{
    host_.ShowCaption("Error: " + reason);
    state_ = hsFailed;
    Suspend(false);
    Close();
    state_ = hsIdle;
}

void THttpFetch::Close()
{
    closing_ = true;
    try {
        host_.CloseConnection();
    } catch (...) {
        closing_ = false;
        throw;
    }
    closing_ = false;
}

void THttpFetch::Suspend(bool on)
{
    if (suspended_ == on)
        return;
    suspended_ = on;
    host_.SuspendSpotUpdates(on);
}

} // namespace korval
