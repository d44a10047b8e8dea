#pragma once
// "Select Internet address": the entries of the address list; OK (or a double-click, or Enter)
// connects to the chosen one, Close ends the connection, Cancel changes nothing.
#include <QDialog>

#include <string>
#include <vector>

#include "station/internet_address.h"

class QListWidget;
class QPushButton;

namespace korval {

enum TSelectIPResult { siConnect = 1, siClose = 2, siCancel = 3 };

class TSelectIPAddr : public QDialog {
    Q_OBJECT
public:
    explicit TSelectIPAddr(const std::vector<std::string>& entries, QWidget* parent = nullptr);

    QListWidget* LB = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

    // The chosen entry; empty when none is.
    std::string Selected() const;

protected:
    void reject() override { done(siCancel); }
};

// Loads the address file into the dialog, runs it and parses the chosen entry into address.
// Returns a TSelectIPResult; Connect without a chosen entry counts as Cancel.
int SelectInternetAddress(const std::string& fileName, TInternetAddress& address, QWidget* parent = nullptr);

} // namespace korval
