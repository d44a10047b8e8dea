#pragma once
// TChangeQSL ("Change QSL routing"): the queued QSOs of the selection counted by QSL class and
// route, a double click that browses the QSOs of a cell in the QSO window, and the four reworks
// of the routes. One window at a time; modeless; it frees itself when closed.
#include <QPointer>
#include <QWidget>

#include "exchange/qsl_routing.h"

class QLabel;
class QPushButton;

namespace korval {

class TMyGrid;
class TOvcMeter;
class TQSOForm;

class TChangeQSL : public QWidget {
    Q_OBJECT
public:
    explicit TChangeQSL(TQSOForm* qso);
    ~TChangeQSL() override;

    TMyGrid* DG;
    TOvcMeter* OvcMeter1;
    QLabel* Panel1;
    QPushButton* Button1;  // "Mark QSOs going to same station or manager"
    QPushButton* Button4;  // "Remove duplicate QSLs"
    QPushButton* Button3;  // "Change Direct to Service for non-USA managers"
    QPushButton* Button2;  // "Change Buro to Direct if no buro"

    TQslRouting& Routing() { return routing_; }
    // Counts the table again and shows it.
    void CountTable();
    // A double click on a cell (column from 0, row from 0 with the heading row).
    void DGDblClick(int col, int row);
    // What every button does around its rework.
    void RunRework(long (TQslRouting::*rework)());

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QPointer<TQSOForm> qso_;
    TQslRouting routing_;
    bool browsing_ = false;
};

// Labels, "Change QSL routing": opens the routing window, or brings up the one that is open.
TChangeQSL* OpenChangeQsl(TQSOForm* qso);

} // namespace korval
