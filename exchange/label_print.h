#pragma once
// QSL labels from the log: the queue of QSOs to print (those with the label flag, or with a print
// sequence number) or of SWL reports, its order, the re-routing of QSOs to countries without a
// QSL bureau, and the label printer that places the labels on a sheet layout and fills them with
// the callsign line, the QSO lines and the greetings; the last label of a QSL manager answered
// directly is followed by a label with the manager's address.
//
// Re-routing and the dropping of "Ignore" QSOs are planned for the run and written into the log
// only after the run went through, so a cancelled or failed run leaves every QSO as it was.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "exchange/label_layout.h"
#include "logbook/label_queue.h"

namespace korval {

class TBaseReport;
class TReportSystem;
class TQsoData;
struct TQsoRecord;
struct TSwlRecord;

// Route numbers of the QSL-route list.
enum TQslRouteNo : int { qrNone = 0, qrBuro = 1, qrQslSvc = 2, qrDirect = 3, qrMoney = 4, qrOther = 5, qrIgnore = 6 };

// What the queue asks of the country database and the QSL-manager list (tests answer instead).
struct TLabelLookups {
    std::function<std::string(const TQsoRecord&)> ManagerOf;          // "" without one
    std::function<int(const std::string& call, const TQsoRecord&)> CountryOf;  // a manager's country
    std::function<bool(int country)> HasBureau;
    std::function<std::vector<std::string>(const std::string& call)> AddressOf;  // a manager's address lines
    int UsCountry = -1;  // the country of the fixed United States callsign
    // The lookups of the program's country database and manager list.
    static TLabelLookups Program();
};

struct TLabelChoice {
    int Method = 0;          // 0 all routes, else the route number
    int AltMethod = qrBuro;  // the route of QSOs to countries without a bureau
    bool PrintQslManagers = false, PrintMethodLabels = false, PrintGroupNames = false;
};

class TLabelQueue {
public:
    TLabelQueue(TQsoData& log, int kind, TLabelLookups lookups);

    // The QSOs of the log's selection for the kind and method; counts the missing ones (routed
    // "Buro" to a country without a bureau). SWL labels take every SWL report, in the log's order
    // (call, date, time, band, mode).
    void Build(const TLabelChoice& choice);
    const std::vector<TQsoRecord*>& List() const { return list_; }
    const std::vector<TSwlRecord*>& SwlList() const { return swl_; }
    int Missing() const { return missing_; }
    // The count the dialog shows: the list, less the missing ones when they are ignored.
    int CountShown() const;
    // "Printing n QSOs".
    std::string CountText() const;

    // Plans the run: the route each missing QSO gets, the QSOs "Ignore" drops, and the order.
    // Nothing of the log changes.
    void PlanRun();
    // The route a QSO is printed under (planned or its own).
    int RouteOf(const TQsoRecord& q) const;
    std::string ManagerOf(const TQsoRecord& q) const;
    // The address lines of the QSO's manager when it is answered "Direct" or "$$$$"; else none.
    std::vector<std::string> ManagerAddress(const TQsoRecord& q) const;
    // Writes the planned routes into the log and clears the label flag of dropped QSOs; done
    // once the run went through.
    void CommitRun();

    TQsoData& Log() const { return log_; }
    int Kind() const { return kind_; }
    const TLabelChoice& Choice() const { return choice_; }

private:
    bool toMissingCountry(const TQsoRecord& q) const;
    void sort();

    TQsoData& log_;
    int kind_;
    TLabelLookups lookups_;
    TLabelChoice choice_;
    std::vector<TQsoRecord*> list_;
    std::vector<TSwlRecord*> swl_;
    int missing_ = 0;
    std::map<const TQsoRecord*, int> planned_;
    std::vector<TQsoRecord*> dropped_;
};

// One placed label (what a run printed, for the dialog and for tests).
struct TPlacedLabel {
    TLabelPosition Position;
    std::string CallLine;  // "W1AW", "W1AW via K1ABC", "SWL: DE1ABC", "Method = Direct", an address's first line
    int QsoLines = 0;
};

// The label printer: one run of labels for a queue (or for sample data) on a layout.
class TMyLabPr {
public:
    TMyLabPr(const TLabelLayout& layout, const TLabelSettings& settings, int kind);

    // Hooks the run's events onto the report system; fill is called to add the labels.
    void Attach(TReportSystem& system, std::function<void(TMyLabPr&)> fill);
    // The queue's QSOs, in its order.
    static std::function<void(TMyLabPr&)> FillFrom(const TLabelQueue& queue);

    int Skip = 0;  // label positions left empty on the first sheet
    bool MarkPrinted = false;  // the run goes to the printer: printed QSOs are remembered

    // Adds a QSO to the current label or starts a new one.
    struct TLabelQso {
        std::string Call, Manager, Group;
        int Route = 0;
        bool QslReceived = false;
        std::uint16_t Date = 0;
        std::int32_t Time = 0;
        int Band = 0, Mode = 0, RstSent = 0;
        std::vector<std::string> Address;  // the manager's, for the label after its last one
        TQsoRecord* Record = nullptr;
        TSwlRecord* Swl = nullptr;
    };
    void AddQso(const TLabelQso& q);
    // Finishes the open label (greetings) and adds the address label its manager asks for.
    void Finish();

    bool Aborted() const;
    const std::vector<TPlacedLabel>& Placed() const { return placed_; }
    // What went to the printer (with MarkPrinted).
    const std::vector<TQsoRecord*>& Printed() const { return printed_; }
    const std::vector<TSwlRecord*>& PrintedSwl() const { return printedSwl_; }
    // The message the run stopped with, or empty.
    const std::string& Error() const { return error_; }

    // The QSO lines the current label takes, those on it, and its position.
    int LinesFit() const { return fits_; }
    int LinesOnLabel() const { return printedOnLabel_; }
    const TLabelPosition& Position() const { return pos_; }

    // Fixed heights of the run (inches), known after it began.
    double CallLineHeight() const { return callLine_; }
    double BodyLineHeight() const { return bodyLine_; }

private:
    void beforePrint(TBaseReport& r);
    void print(TBaseReport& r);
    bool nextLabel();
    void outlinePage();
    void startLabel(const std::string& callLine, bool rightAligned);
    void closeLabel();
    void addressLabel(const std::vector<std::string>& lines);
    void headings();
    void setBodyTabs();
    void abort(const std::string& message);

    TLabelLayout layout_;
    TLabelSettings settings_;
    int kind_;
    std::function<void(TMyLabPr&)> fill_;
    TBaseReport* r_ = nullptr;  // the surface while a run draws
    bool surfaceAborted_ = false;
    TLabelPositions positions_;
    TLabelPosition pos_{0, 0, 0};
    int outlinedPage_ = 0;
    double fixed_ = 0, callLine_ = 0, bodyLine_ = 0;
    double labelBottom_ = 0;
    int fits_ = 0, printedOnLabel_ = 0;
    bool open_ = false;
    TLabelQso last_;
    std::vector<TPlacedLabel> placed_;
    std::vector<TQsoRecord*> printed_;
    std::vector<TSwlRecord*> printedSwl_;
    std::string error_;
};

// The message of a layout too small for one QSO.
inline constexpr const char* kNoQsoFits = "Not a single QSO can be printed on this label.\rCheck your label dimensions";

} // namespace korval
