#pragma once
// What the callsign / manager lookup window reads from and hands to the QSO window it belongs to.
// The QSO window (or an adapter over it) implements it; the lookup window takes it when created.
#include <string>

namespace korval {

class TExtDataQsoLink {
public:
    virtual ~TExtDataQsoLink() = default;
    // The QSO's callsign field as it stands.
    virtual std::string QsoCallsign() const = 0;
    // The QSO window shows a QSO that may not be changed.
    virtual bool QsoReadOnly() const = 0;
    virtual std::string QsoManager() const = 0;
    // Puts a call into the QSL-manager field, marked modified.
    virtual void SetQsoManager(const std::string& call) = 0;
    // Opens the address editor of the QSO's QSL manager.
    virtual void EditManagerAddress(bool startModified) = 0;
    // Brings the QSO window to the front with the focus.
    virtual void ActivateQsoWindow() = 0;
};

} // namespace korval
