#include "exchange/windows/get_report_mode.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include "grids/windows/ovc_check_list.h"
#include "logbook/bands_modes.h"
#include "logbook/base/string_utils.h"
#include "logbook/windows/form_fonts.h"

namespace korval {

namespace {

// A check list that asks for the room of all its items, so no choice needs scrolling.
class TChoiceList : public TOvcCheckList {
public:
    using TOvcCheckList::TOvcCheckList;
    QSize sizeHint() const override
    {
        int widest = 0;
        for (int i = 0; i < Items().Count(); ++i)
            widest = std::max(widest, fontMetrics().horizontalAdvance(QString::fromLatin1(Items()[i].c_str())));
        const int frame = 2 * frameWidth();
        return {widest + 2 * ItemHeight() + frame, ItemHeight() * Items().Count() + frame};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

} // namespace

TGetReportMode::TGetReportMode(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Select Band/Mode");
    CL_station_modes = new TChoiceList(this);
    CL_station_modes->setObjectName("CL_station_modes");
    for (const char* m : {"ALL", "PHO", "CW", "RTTY"})
        CL_station_modes->Items().Add(m);
    CL_station_bands = new TChoiceList(this);
    CL_station_bands->setObjectName("CL_station_bands");
    CL_station_bands->Items().Add("  ALL");
    for (int b = 1; b <= BandCount; ++b)
        CL_station_bands->Items().Add(PadLeft(BandName(b), 5));
    for (TOvcCheckList* l : {CL_station_modes, CL_station_bands}) {
        l->SetStates(0, cbChecked);
        l->OnStateChange = [this](TOvcCheckList* list, int index, TCheckBoxState, TCheckBoxState state) {
            StateChanged(list, index, state == cbChecked);
        };
    }
    BtnOk = new QPushButton("OK", this);
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel("Mode", this), 0, 0);
    g->addWidget(new QLabel("Band", this), 0, 1);
    g->addWidget(CL_station_modes, 1, 0, Qt::AlignTop);
    g->addWidget(CL_station_bands, 1, 1);
    g->addWidget(BtnOk, 2, 0, 1, 2, Qt::AlignHCenter);
}

void TGetReportMode::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    // Room for the caption beside the title bar's buttons.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);
    QDialog::showEvent(e);
}

void TGetReportMode::Choose(TOvcCheckList* list, int index) { list->SetStates(index, cbChecked); }

void TGetReportMode::StateChanged(TOvcCheckList* list, int index, bool checked)
{
    if (syncing_)
        return;
    syncing_ = true;
    const bool modes = list == CL_station_modes;
    int& chosen = modes ? mode_ : band_;
    if (checked) {
        chosen = index;
        for (int i = 0; i < list->Items().Count(); ++i)
            if (i != index)
                list->SetStates(i, cbUnchecked);
        if (index != 0) {
            TOvcCheckList* other = modes ? CL_station_bands : CL_station_modes;
            for (int i = 1; i < other->Items().Count(); ++i)
                other->SetStates(i, cbUnchecked);
            other->SetStates(0, cbChecked);
            (modes ? band_ : mode_) = 0;
        }
    } else if (index == chosen) {
        list->SetStates(index, cbChecked);  // one item stays checked
    }
    syncing_ = false;
}

} // namespace korval
