#pragma once
// Errors of the port library. Every failure inside the library is a negative code; the error
// check turns a code into an exception of the class its code belongs to, with the text from the
// library's message table.
#include <stdexcept>
#include <string>

namespace korval {

// Error codes the library itself produces.
inline constexpr int ecOK = 0;
inline constexpr int ecFileNotFound = -2;
inline constexpr int ecPathNotFound = -3;
inline constexpr int ecAccessDenied = -5;
inline constexpr int ecOutOfMemory = -8;
inline constexpr int ecBadArgument = -1002;
inline constexpr int ecBadId = -2001;
inline constexpr int ecBaudRate = -2002;
inline constexpr int ecByteSize = -2003;
inline constexpr int ecCommNotOpen = -2007;
inline constexpr int ecAlreadyOpen = -2008;
inline constexpr int ecNoPortSelected = -2011;
inline constexpr int ecNullApi = -3001;
inline constexpr int ecPutBlockFail = -3004;
inline constexpr int ecOutputBufferTooSmall = -3006;
inline constexpr int ecBufferIsEmpty = -3007;
inline constexpr int ecTracingNotEnabled = -3008;
inline constexpr int ecLoggingNotEnabled = -3009;
inline constexpr int ecWinsockLoad = 9002;
inline constexpr int ecWinsockNotInit = 9004;
inline constexpr int ecBadPort = 9005;
inline constexpr int ecCantChangeConnected = 9006;
inline constexpr int ecCantResolve = 9007;

// Winsock codes the socket layer reports (positive, as the socket exceptions carry them).
inline constexpr int wsaEWouldBlock = 10035;
inline constexpr int wsaEInProgress = 10036;
inline constexpr int wsaEDestAddrReq = 10039;
inline constexpr int wsaENetReset = 10052;
inline constexpr int wsaEConnAborted = 10053;
inline constexpr int wsaEConnReset = 10054;
inline constexpr int wsaEConnRefused = 10061;
inline constexpr int wsaHostNotFound = 11001;

// A system error with no counterpart in the message table travels as kSystemErrorBase + errno,
// negated, so that its own code and the system's text reach the operator.
inline constexpr int kSystemErrorBase = 20000;
int SystemErrorCode(int err);

// The text for a code (its absolute value): the table's, else the system's message with control
// characters made spaces and double spaces removed.
std::string ErrorText(int code);
// The message table's own text for an identifier, or null when it has none.
const char* MessageTableText(int id);

// The Winsock code for a POSIX errno of a socket call (EINPROGRESS gives 10036 and so on); an
// errno without a Winsock counterpart gives SystemErrorCode (positive).
int WinsockErrorFromErrno(int err);

// The class library's input/output exception (codes -2 to -162).
class EInOutError : public std::runtime_error {
public:
    EInOutError(int code, const std::string& msg) : std::runtime_error(msg), ErrorCode(code) {}
    int ErrorCode;
};

class EAPDException : public std::runtime_error {
public:
    explicit EAPDException(int code);
    EAPDException(int code, const std::string& msg) : std::runtime_error(msg), ErrorCode(code) {}
    int ErrorCode;
};

class EApdSocketException : public std::runtime_error {
public:
    explicit EApdSocketException(int code);
    EApdSocketException(int code, const std::string& msg) : std::runtime_error(msg), ErrorCode(code) {}
    int ErrorCode;
};

#define KORVAL_APD_EXCEPTION(Name, Base)                                                          \
    class Name : public Base {                                                                    \
    public:                                                                                       \
        using Base::Base;                                                                         \
    };

KORVAL_APD_EXCEPTION(EGeneral, EAPDException)
KORVAL_APD_EXCEPTION(EOpenComm, EAPDException)
KORVAL_APD_EXCEPTION(ESerialIO, EAPDException)
KORVAL_APD_EXCEPTION(EModem, EAPDException)
KORVAL_APD_EXCEPTION(ETrigger, EAPDException)
KORVAL_APD_EXCEPTION(EProtocol, EAPDException)
KORVAL_APD_EXCEPTION(EINI, EAPDException)
KORVAL_APD_EXCEPTION(EFax, EAPDException)
KORVAL_APD_EXCEPTION(ETapi, EAPDException)

KORVAL_APD_EXCEPTION(EBadArgument, EGeneral)
KORVAL_APD_EXCEPTION(EGotQuitMsg, EGeneral)
KORVAL_APD_EXCEPTION(EBufferTooBig, EGeneral)
KORVAL_APD_EXCEPTION(EPortNotAssigned, EGeneral)
KORVAL_APD_EXCEPTION(EInternal, EGeneral)
KORVAL_APD_EXCEPTION(EModemNotAssigned, EGeneral)
KORVAL_APD_EXCEPTION(EPhonebookNotAssigned, EGeneral)
KORVAL_APD_EXCEPTION(ECannotUseWithWinSock, EGeneral)

KORVAL_APD_EXCEPTION(EBadId, EOpenComm)
KORVAL_APD_EXCEPTION(EBaudRate, EOpenComm)
KORVAL_APD_EXCEPTION(EByteSize, EOpenComm)
KORVAL_APD_EXCEPTION(EDefault, EOpenComm)
KORVAL_APD_EXCEPTION(EHardware, EOpenComm)
KORVAL_APD_EXCEPTION(EMemory, EOpenComm)
KORVAL_APD_EXCEPTION(ECommNotOpen, EOpenComm)
KORVAL_APD_EXCEPTION(EAlreadyOpen, EOpenComm)
KORVAL_APD_EXCEPTION(ENoHandles, EOpenComm)
KORVAL_APD_EXCEPTION(ENoTimers, EOpenComm)
KORVAL_APD_EXCEPTION(ENoPortSelected, EOpenComm)
KORVAL_APD_EXCEPTION(ENotOpenedByTapi, EOpenComm)

KORVAL_APD_EXCEPTION(ENullApi, ESerialIO)
KORVAL_APD_EXCEPTION(ERegisterHandlerFailed, ESerialIO)
KORVAL_APD_EXCEPTION(EPutBlockFail, ESerialIO)
KORVAL_APD_EXCEPTION(EGetBlockFail, ESerialIO)
KORVAL_APD_EXCEPTION(EOutputBufferTooSmall, ESerialIO)
KORVAL_APD_EXCEPTION(EBufferIsEmpty, ESerialIO)
KORVAL_APD_EXCEPTION(ETracingNotEnabled, ESerialIO)
KORVAL_APD_EXCEPTION(ELoggingNotEnabled, ESerialIO)
KORVAL_APD_EXCEPTION(EBaseAddressNotSet, ESerialIO)

KORVAL_APD_EXCEPTION(EModemNotStarted, EModem)
KORVAL_APD_EXCEPTION(EModemBusy, EModem)
KORVAL_APD_EXCEPTION(EModemNotDialing, EModem)
KORVAL_APD_EXCEPTION(ENotDialing, EModem)
KORVAL_APD_EXCEPTION(EAlreadyDialing, EModem)
KORVAL_APD_EXCEPTION(EModemNotResponding, EModem)
KORVAL_APD_EXCEPTION(EModemRejectedCommand, EModem)
KORVAL_APD_EXCEPTION(EModemStatusMismatch, EModem)

KORVAL_APD_EXCEPTION(ETriggerTooLong, ETrigger)
KORVAL_APD_EXCEPTION(EBadTriggerHandle, ETrigger)

#undef KORVAL_APD_EXCEPTION

// Raises the exception for a negative code; 0 and above pass.
void CheckException(int code);

} // namespace korval
