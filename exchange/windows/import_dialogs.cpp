#include "exchange/windows/import_dialogs.h"

#include "exchange/export_driver.h"
#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/popup_box.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "platform/windows/win1252.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace korval {

namespace {

TOvcSimpleField* readOnlyField(QWidget* parent, const std::string& text, int width)
{
    auto* f = new TOvcSimpleField(parent);
    f->SetMaxLength(width);
    f->SetAsString(text);
    TOvcEntryFieldOptions o = f->Options();
    o.Include(efoReadOnly);
    f->SetOptions(o);
    return f;
}

std::string mmddyyyy(TDayNumber day)
{
    if (day == 0)
        return {};
    int y, m, d;
    DecodeDayNumber(day, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", m, d, y);
    return buf;
}

} // namespace

TAskDupesImport::TAskDupesImport(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Options for duplicate QSOs");
    RG = new TWheelx(this);
    RG->GetItems().Add("Issue warning and stop");
    RG->GetItems().Add("Imported QSO replaces existing QSO (SLOW)");
    RG->GetItems().Add("Imported QSO is ignored");
    RG->SetSelection(1);
    Button1 = new QPushButton("OK", this);
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* l = new QVBoxLayout(this);
    l->addWidget(RG);
    l->addLayout(buttons);
    RG->setMinimumWidth(320);
}

TConfirmPZC::TConfirmPZC(const TQsoRecord& qso, std::uint16_t importedCountry, std::uint8_t importedZone,
                         QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle("Confirm Prefix/Zone change");
    Controller = new TOvcController(this);
    F_Call = readOnlyField(this, qso.Call.str(), 12);
    F_Date = readOnlyField(this, mmddyyyy(qso.Date), 10);
    F_PDX = readOnlyField(this, CountryPrefix(qso.Country), 5);
    F_ZDX = readOnlyField(this, std::to_string(qso.Zone), 2);
    F_PImp = readOnlyField(this, CountryPrefix(importedCountry), 5);
    F_ZImp = readOnlyField(this, std::to_string(importedZone), 2);
    F_PDX->setToolTip("F1 for Country Listing");
    F_PImp->setToolTip("F1 for Country Listing");
    Button1 = new QPushButton("Korval", this);
    Button1->setDefault(true);
    Button2 = new QPushButton("Import", this);
    Button3 = new QPushButton("Cancel", this);
    connect(Button1, &QPushButton::clicked, this, [this] { done(1); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(2); });
    connect(Button3, &QPushButton::clicked, this, [this] { done(0); });
    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel("Call", this), 0, 0);
    g->addWidget(F_Call, 0, 1);
    g->addWidget(new QLabel("Date", this), 0, 2);
    g->addWidget(F_Date, 0, 3);
    g->addWidget(new QLabel("Korval", this), 1, 1);
    g->addWidget(new QLabel("Import", this), 1, 2);
    g->addWidget(new QLabel("Prefix", this), 2, 0);
    g->addWidget(F_PDX, 2, 1);
    g->addWidget(F_PImp, 2, 2);
    g->addWidget(new QLabel("Zone", this), 3, 0);
    g->addWidget(F_ZDX, 3, 1);
    g->addWidget(F_ZImp, 3, 2);
    g->addWidget(Button1, 4, 0);
    g->addWidget(Button2, 4, 1);
    g->addWidget(Button3, 4, 2);
    if (QScreen* s = screen())
        move(s->geometry().center() - rect().center());
}

bool TDialogImportQuestions::AskDupesImportPolicy(int& policy)
{
    TAskDupesImport d(parent_);
    if (d.exec() != QDialog::Accepted)
        return false;
    int sel = d.RG->GetSelection();
    policy = sel >= 1 && sel <= 3 ? sel - 1 : 0;
    return true;
}

int TDialogImportQuestions::ConfirmPrefixZoneChange(const TQsoRecord& qso, std::uint16_t importedCountry,
                                                    std::uint8_t importedZone)
{
    TConfirmPZC d(qso, importedCountry, importedZone, parent_);
    int r = d.exec();
    return r == 1 || r == 2 ? r : 0;
}

bool ImportFileWithDialogs(QWidget* parent, const std::string& fileName, const TFilterRecord& filter)
{
    TDialogImportQuestions questions(parent);
    TImportQuestions* old = SetImportQuestions(&questions);
    bool ok = ImportFile(fileName, filter, filter.IsAdif());
    SetImportQuestions(old);
    return ok;
}

bool ExportFileWithDialogs(QWidget*, const std::string& fileName, const TFilterRecord& filter)
{
    return ExportFile(fileName, filter, filter.IsAdif());
}

TFilterRecord DefaultAdifFilter()
{
    for (const TFilterRecord& r : LoadFilterFile(FilterFileName()))
        if (r.Id == "ADIF")
            return r;
    TFilterRecord r;
    r.Id = "ADIF";
    r.Ext = "ADI";
    r.Usage = fuImpExp;
    r.Description = "ADIF";
    return r;
}

} // namespace korval
