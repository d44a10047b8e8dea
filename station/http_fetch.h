#pragma once
// The one-shot fetch of a web page of spots over HTTP/1.0: the request, the status line and
// headers, redirections, and the lines between "<PRE>" and "</PRE>", which go to the terminal as
// if the cluster had sent them. The connection itself belongs to the window (its TCP port).
#include <cstddef>
#include <string>
#include <string_view>

#include "station/internet_address.h"

namespace korval {

// What the fetch does through the window that holds the connection.
class THttpFetchHost {
public:
    virtual ~THttpFetchHost() = default;
    virtual void ShowCaption(const std::string& caption) = 0;
    // Opens the connection (connected and disconnected come back later). May throw; a failure
    // found later is reported through THttpFetch::OpenFailed.
    virtual void OpenConnection(const TInternetAddress& address) = 0;
    virtual void CloseConnection() = 0;
    virtual void SendRequest(const std::string& request) = 0;
    // A listing line, with CR LF, for the terminal's receive path.
    virtual void DeliverLine(const std::string& line) = 0;
    virtual void Warn(const std::string& text) = 0;
    // The spot grid does not repaint while a page is read.
    virtual void SuspendSpotUpdates(bool suspend) { (void)suspend; }
};

class THttpFetch {
public:
    enum TState { hsConnecting = 0, hsConnected = 1, hsBody = 2, hsFailed = 3, hsIdle = 4 };
    static constexpr std::size_t MaxLine = 253;
    static constexpr int MaxRedirects = 5;

    explicit THttpFetch(THttpFetchHost& host) : host_(host) {}

    // A new web address: idle, nothing followed yet, spot updates going on.
    void SetAddress(const TInternetAddress& address);
    const TInternetAddress& Address() const { return address_; }
    TState State() const { return state_; }

    // Idle: starts the fetch. Running: aborts it ("Transfer aborted").
    void StartOrAbort();
    void Connected();
    void Disconnected();
    void OpenFailed(const std::string& reason);
    void Receive(std::string_view data);

    // "GET path HTTP/1.0" with the Host header.
    static std::string Request(const TInternetAddress& address);
    // A listing line as the terminal gets it: lines below 30 characters give nothing; the
    // time and date at the end are put in angle brackets; CR LF follows.
    static std::string ListingLine(const std::string& line);

private:
    // False when the rest of the data must be dropped (the fetch failed or moved).
    bool Line(const std::string& line);
    bool StatusLine(const std::string& line);
    bool HeaderLine(const std::string& line);
    void BodyLine(const std::string& line);
    void Deliver(const std::string& text);
    void Fail(const std::string& reason);
    void Close();
    void Suspend(bool on);
    void Start();

    THttpFetchHost& host_;
    TInternetAddress address_;
    TState state_ = hsIdle;
    std::string buffer_;
    char lastEnd_ = 0;
    bool statusSeen_ = false;
    bool acceptable_ = false;
    bool redirect_ = false;
    bool inside_ = false;
    bool closing_ = false;
    bool suspended_ = false;
    int redirects_ = 0;
};

} // namespace korval
