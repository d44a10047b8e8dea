#include "logbook/windows/get_date_range.h"

#include <QFormLayout>
#include <QPushButton>

#include <algorithm>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_picture_field.h"
#include "logbook/windows/date_field_keys.h"
#include "logbook/windows/form_fonts.h"

namespace korval {

TGetDateRange::TGetDateRange(QWidget* parent, TDayNumber start, TDayNumber end) : QDialog(parent)
{
    setWindowTitle("Get date range");
    new TOvcController(this);
    F_start = NewDateField(this, "F_start", start);
    F_end = NewDateField(this, "F_end", std::max(start, end));
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    auto* keys = new TDateFieldKeys(this);
    keys->AddDate(F_start);
    keys->AddDate(F_end, [this] {
        if (End() < Start())
            F_end->SetAsStDate(F_start->GetAsStDate());
    });
    auto* form = new QFormLayout(this);
    form->addRow("Start Date", F_start);
    form->addRow("End Date", F_end);
    form->addRow(Button1);
}

TDayNumber TGetDateRange::Start() const { return FieldDay(F_start); }
TDayNumber TGetDateRange::End() const { return FieldDay(F_end); }

void TGetDateRange::Button1Click()
{
    if (End() >= Start())
        accept();
}

void TGetDateRange::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
}

} // namespace korval
