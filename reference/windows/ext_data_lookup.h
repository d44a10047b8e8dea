#pragma once
// The callsign / QSL-manager lookup window: the lines a callbook library or the outside
// QSL-manager program gives for a call, the manager found in them, and the hand-over of call and
// manager to the QSO window it belongs to.
//
// The QSO window creates it as its owner and opens it with LookupCall; an open window is brought
// to the front and given LookupCall again for a new call. While it is open the main window's
// idle handler calls AutoUpdate. Closing frees the window; its destructor calls OnClosed so the
// owner can empty its child-window slot.
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "logbook/ext_data_qso_link.h"

class QAction;
class QListWidget;
class QMenu;

namespace korval {

class TOvcSimpleField;

class TExtDataLookup : public QWidget {
    Q_OBJECT
public:
    static constexpr int CallCap = 12;

    // qso may be null (nothing to hand over); owner is the QSO window.
    explicit TExtDataLookup(TExtDataQsoLink* qso, QWidget* owner = nullptr);
    ~TExtDataLookup() override;

    // Looks the call up and shows the lines: as a manager only its address, as a QSO call also
    // its manager (from the lines) and the manager's address. An empty call beeps.
    void LookupCall(const std::string& call, bool asManager);
    // With "Automatic Update" on: looks up the QSO window's call when it is not the one shown.
    void AutoUpdate();

    // Menu commands.
    void LookupCallsign1Click();
    void SetQSLManager1Click();
    void CopytoClipBoard1Click();
    void CopytoQSLManagerAddress1Click();
    void SwitchtoQSOWindow1Click();
    void FullSize1Click();
    void AutomaticUpdate1Click();

    std::vector<std::string> Lines() const;
    // The call the last lookup was for (upper case, at most 12 characters).
    const std::string& LastCall() const { return lastCall_; }

    TOvcSimpleField* F_Call = nullptr;
    TOvcSimpleField* F_mgr = nullptr;
    QWidget* Panel = nullptr;
    QListWidget* LB = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction *LookupCallsign1 = nullptr, *SetQSLManager1 = nullptr, *CopytoClipBoard1 = nullptr,
            *CopytoQSLManagerAddress1 = nullptr, *SwitchtoQSOWindow1 = nullptr, *Close1 = nullptr,
            *FullSize1 = nullptr, *AutomaticUpdate1 = nullptr;

    std::function<void()> OnClosed;
    // How an empty call is refused (tests count it); the default beeps.
    std::function<void()> OnBeep;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void UpdateSetManager();
    void ShowLines(const std::vector<std::string>& lines);
    void SetFullSize(bool on, bool resizeWindow);

    TExtDataQsoLink* qso_;
    std::string lastCall_;
    int running_ = 0;
    bool shown_ = false;
};

} // namespace korval
