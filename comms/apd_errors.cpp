#include "comms/apd_errors.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

namespace korval {

namespace {

struct TMessage {
    int id;
    const char* text;
};

// The library's messages, by the absolute value of the code, in ascending order.
constexpr TMessage kMessages[] = {
    {0, "OK"},
    {2, "File not found"},
    {3, "Path not found"},
    {4, "Too many open files"},
    {5, "File access denied"},
    {6, "Invalid file handle"},
    {100, "Disk read error"},
    {101, "Disk write error"},
    {102, "File not assigned"},
    {103, "File/device not open"},
    {1002, "Bad argument passed to function"},
    {1004, "Terminal buffer greater than 65521"},
    {2001, "ie_BadId - Specified comport doesn't exist"},
    {2002, "ie_BaudRate - Unsupported baud rate"},
    {2003, "ie_ByteSize - Invalid byte size"},
    {2005, "ie_Hardware - Specified comport in use"},
    {2007, "ie_NOpen - device not open"},
    {2008, "ie_Open - device already open"},
    {2011, "The ComNumber property of the TApdComPort has not been set"},
    {2012, "Comport was not opened by Tapi"},
    {3001, "No device layer specified"},
    {3004, "Failed to put entire block"},
    {3006, "Output buffer too small for block"},
    {3007, "Buffer is empty"},
    {3008, "Tracing not enabled"},
    {3009, "Logging not enabled"},
    {3010, "Base address not set"},
    {4006, "Modem is not responding"},
    {5001, "No more trigger slots"},
    {5003, "Bad trigger handle"},
    {9002, "Error loading Winsock DLL"},
    {9003, "Incorrect version of Winsock"},
    {9004, "Winsock not initialized - %s"},
    {9005, "Specified port is not valid"},
    {9006, "Cannot change parameter while socket is connected"},
    {9007, "Cannot resolve destination address"},
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "The destination address is required for this operation"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "The network has been reset"},
    {10053, "The virtual circuit has been aborted due to timeout, etc"},
    {10054, "The virtual circuit has been reset by the partner"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10060, "Connection timed out"},
    {10061, "The attempt to connect was forcibly refused"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {11001, "Host not found"},
    {11002, "Non-authoritative host not found"},
    {11003, "Non-recoverable error"},
    {11004, "Valid name, no data record of requested type"},
    // Log entry types and sub-types, the log's column headings, modem line names and telnet options.
    {15001, "No event"},
    {15002, "Dispatch"},
    {15003, "Trigger"},
    {15004, "Error"},
    {15005, "Thread"},
    {15006, "TrigAllc"},
    {15007, "TrigDisp"},
    {15008, "TrgHdAlc"},
    {15009, "TrgHdDsp"},
    {15010, "TrDatChg"},
    {15011, "Telnet"},
    {15101, "ReadCom"},
    {15102, "WriteCom"},
    {15103, "Line status"},
    {15104, "Modem status"},
    {15105, "Avail"},
    {15106, "Timer"},
    {15107, "Data"},
    {15108, "Status"},
    {15109, "Start"},
    {15110, "Exit"},
    {15111, "Sleep"},
    {15112, "Wake"},
    {15113, "Data"},
    {15114, "Timer"},
    {15115, "Status"},
    {15116, "Avail"},
    {15117, "Window"},
    {15118, "Procedure"},
    {15119, "Method"},
    {15120, "Sent WILL"},
    {15121, "Sent WON'T"},
    {15122, "Sent DO"},
    {15123, "Sent DON'T"},
    {15124, "Recv WILL"},
    {15125, "Recv WON'T"},
    {15126, "Recv DO"},
    {15127, "Recv DON'T"},
    {15128, "Command"},
    {15129, "Sent Term"},
    {15501, "Time      Type      SubType       Data      OtherData"},
    {15502, "--------  --------  ------------  --------  ---------"},
    {15601, "DCTS "},
    {15602, "DDSR "},
    {15603, "TERI "},
    {15604, "DDCD "},
    {15605, "CTS "},
    {15606, "DSR "},
    {15607, "RI "},
    {15608, "DCD "},
    {15700, "Binary"},
    {15701, "Echo"},
    {15702, "Reconnection"},
    {15703, "Supress Go Ahead"},
    {15704, "Approx Message Size"},
    {15705, "Status"},
    {15706, "Timing Mark"},
    {15707, "Remote Trans and Echo"},
    {15708, "Output Line Width"},
    {15709, "Output Page Size"},
    {15710, "Output CR Disposition"},
    {15711, "Output Horz Tab Stops"},
    {15712, "Output Horz Tab Disp"},
    {15713, "Output Formfeed Disp"},
    {15714, "Output Vert Tab Stops"},
    {15715, "Output Vert Tab Disp"},
    {15716, "Output LF Disposition"},
    {15717, "Extended ASCII"},
    {15718, "Logout"},
    {15719, "Byte Macro"},
    {15720, "Data Entry Terminal"},
    {15721, "SUPDUP"},
    {15722, "SUPDUP Output"},
    {15723, "Send Location"},
    {15724, "Terminal Type"},
    {15725, "End of Record"},
    {15726, "TACACS User ID"},
    {15727, "Output Marking"},
    {15728, "Terminal Location"},
    {15729, "Telnet 3270 Regime"},
    {15730, "X.3 PAD"},
    {15731, "Window Size"},
    {15732, "Terminal Speed"},
    {15733, "Remote Flow Control"},
    {15734, "Linemode"},
    {15735, "X Display Location"},
    {15736, "Environment"},
    {15737, "Authentication"},
    {15738, "Encryption"},
    {15739, "New Environment"},
    {15740, "TN3270E"},
    {15741, "XAUTH"},
    {15742, "Charset"},
};

const char* FindText(int id)
{
    int lo = 0, hi = static_cast<int>(std::size(kMessages)) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (kMessages[mid].id == id)
            return kMessages[mid].text;
        if (kMessages[mid].id < id)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}

// Control characters become spaces and runs of spaces shrink to one.
std::string CleanSystemText(std::string_view raw)
{
    std::string out;
    for (char ch : raw) {
        char c = static_cast<unsigned char>(ch) < 32 ? ' ' : ch;
        if (c == ' ' && !out.empty() && out.back() == ' ')
            continue;
        out += c;
    }
    return out;
}

template <class E>
[[noreturn]] void Raise(int code)
{
    throw E(code, ErrorText(code));
}

} // namespace

const char* MessageTableText(int id)
{
    return FindText(id);
}

int SystemErrorCode(int err)
{
    return kSystemErrorBase + err;
}

std::string ErrorText(int code)
{
    int id = code < 0 ? -code : code;
    if (const char* text = FindText(id))
        return text;
    int err = id > kSystemErrorBase ? id - kSystemErrorBase : id;
    char buf[256];
    return CleanSystemText(strerror_r(err, buf, sizeof buf));
}

int WinsockErrorFromErrno(int err)
{
    switch (err) {
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE: return 10024;
    case EAGAIN: return wsaEWouldBlock;
    case EINPROGRESS: return wsaEInProgress;
    case EALREADY: return 10037;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return wsaEDestAddrReq;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return wsaENetReset;
    case ECONNABORTED: return wsaEConnAborted;
    case ECONNRESET:
    case EPIPE: return wsaEConnReset;
    case ENOBUFS: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case ESHUTDOWN: return 10058;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return wsaEConnRefused;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    default: return SystemErrorCode(err);
    }
}

EAPDException::EAPDException(int code) : EAPDException(code, ErrorText(code)) {}

EApdSocketException::EApdSocketException(int code) : EApdSocketException(code, ErrorText(code)) {}

void CheckException(int code)
{
    if (code >= 0)
        return;
    if (code == ecOutOfMemory)
        throw std::bad_alloc();
    if (code >= -162 && code <= -2)
        throw EInOutError(-code, ErrorText(code));
    switch (code) {
    case -1002: Raise<EBadArgument>(code);
    case -1003: Raise<EGotQuitMsg>(code);
    case -1004: Raise<EBufferTooBig>(code);
    case -1005: Raise<EPortNotAssigned>(code);
    case -1006: Raise<EInternal>(code);
    case -1007: Raise<EModemNotAssigned>(code);
    case -1008: Raise<EPhonebookNotAssigned>(code);
    case -1009: Raise<ECannotUseWithWinSock>(code);
    case -2001: Raise<EBadId>(code);
    case -2002: Raise<EBaudRate>(code);
    case -2003: Raise<EByteSize>(code);
    case -2004: Raise<EDefault>(code);
    case -2005: Raise<EHardware>(code);
    case -2006: Raise<EMemory>(code);
    case -2007: Raise<ECommNotOpen>(code);
    case -2008: Raise<EAlreadyOpen>(code);
    case -2009: Raise<ENoHandles>(code);
    case -2010: Raise<ENoTimers>(code);
    case -2011: Raise<ENoPortSelected>(code);
    case -2012: Raise<ENotOpenedByTapi>(code);
    case -3001: Raise<ENullApi>(code);
    case -3003: Raise<ERegisterHandlerFailed>(code);
    case -3004: Raise<EPutBlockFail>(code);
    case -3005: Raise<EGetBlockFail>(code);
    case -3006: Raise<EOutputBufferTooSmall>(code);
    case -3007: Raise<EBufferIsEmpty>(code);
    case -3008: Raise<ETracingNotEnabled>(code);
    case -3009: Raise<ELoggingNotEnabled>(code);
    case -3010: Raise<EBaseAddressNotSet>(code);
    case -4001: Raise<EModemNotStarted>(code);
    case -4002: Raise<EModemBusy>(code);
    case -4003: Raise<EModemNotDialing>(code);
    case -4004: Raise<ENotDialing>(code);
    case -4005: Raise<EAlreadyDialing>(code);
    case -4006: Raise<EModemNotResponding>(code);
    case -4007: Raise<EModemRejectedCommand>(code);
    case -4008: Raise<EModemStatusMismatch>(code);
    case -5002: Raise<ETriggerTooLong>(code);
    case -5003: Raise<EBadTriggerHandle>(code);
    case -6006:
    case -6008:
    case -6009: Raise<EProtocol>(code);
    case -7003:
    case -7006:
    case -7012: Raise<EInternal>(code);
    default: break;
    }
    if (code <= -7001 && code >= -7014)
        Raise<EINI>(code);
    if ((code <= -8001 && code >= -8005) || (code <= -8060 && code >= -8070))
        Raise<EFax>(code);
    if (code <= -13801 && code >= -13942)
        Raise<ETapi>(code);
    // Any other code keeps its number and its text, so the operator sees what went wrong.
    Raise<EAPDException>(code);
}

} // namespace korval
