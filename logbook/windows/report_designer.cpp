#include "logbook/windows/report_designer.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "logbook/report_definitions.h"
#include "logbook/sort_orders.h"
#include "logbook/windows/form_fonts.h"
#include "platform/message_dlg.h"
#include "platform/windows/korval_application.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {

void fillSortOrders(QComboBox* box)
{
    for (int i = 0; i < kSortOrderCount; ++i)
        box->addItem(FromWin1252(SortOrderNames[i]));
}

void fillReportNames(QComboBox* box, const TReportDefinitions& defs)
{
    for (int i = 0; i < defs.Count(); ++i) {
        std::string name;
        defs.GetName(i, name);
        box->addItem(FromWin1252(name));
    }
}

QListWidgetItem* fieldItem(int field)
{
    auto* item = new QListWidgetItem(QString::fromLatin1(ReportFields[field].Name));
    item->setData(Qt::UserRole, field);
    return item;
}

QToolButton* tool(QWidget* parent, const char* name, const char* text, const char* hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    return b;
}

} // namespace

TReportDesignerDialog::TReportDesignerDialog(TReportDefinitions& defs, int report, QWidget* parent)
    : QDialog(parent), defs_(defs)
{
    setWindowTitle("Report Generator");
    F_CurrentReport = new QComboBox(this);
    F_CurrentReport->setObjectName("F_CurrentReport");
    F_CurrentReport->setEditable(true);
    F_CurrentReport->setInsertPolicy(QComboBox::NoInsert);
    F_SortIndex = new QComboBox(this);
    F_SortIndex->setObjectName("F_SortIndex");
    F_NoteWidth = new QSpinBox(this);
    F_NoteWidth->setObjectName("F_NoteWidth");
    F_NoteWidth->setRange(0, 255);
    SrcList = new QListWidget(this);
    SrcList->setObjectName("SrcList");
    DstList = new QListWidget(this);
    DstList->setObjectName("DstList");
    IncludeBtn = tool(this, "IncludeBtn", ">", "Add field to report");
    ExcludeBtn = tool(this, "ExcludeBtn", "<", "Remove field from report");
    ExAllBtn = tool(this, "ExAllBtn", "<<", "Remove all fields from report");
    ButtonUp = tool(this, "ButtonUp", "Up", "Move report field up");
    ButtonDown = tool(this, "ButtonDown", "Down", "Move report field down");
    BtnOk = new QPushButton("OK", this);
    BtnOk->setToolTip("Record changes made to report");
    NewReportButton = new QPushButton("New", this);
    NewReportButton->setToolTip("Create a new report");
    BtnCancel = new QPushButton("Cancel", this);

    auto* top = new QFormLayout;
    top->addRow("Current Report", F_CurrentReport);
    top->addRow("Sort Index", F_SortIndex);
    top->addRow("Note Width", F_NoteWidth);
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel("Available fields", this), 0, 0);
    lists->addWidget(new QLabel("Report fields", this), 0, 2);
    lists->addWidget(SrcList, 1, 0);
    auto* mid = new QVBoxLayout;
    mid->addStretch();
    for (QToolButton* b : {IncludeBtn, ExcludeBtn, ExAllBtn})
        mid->addWidget(b);
    mid->addStretch();
    lists->addLayout(mid, 1, 1);
    lists->addWidget(DstList, 1, 2);
    auto* updown = new QVBoxLayout;
    updown->addStretch();
    updown->addWidget(ButtonUp);
    updown->addWidget(ButtonDown);
    updown->addStretch();
    lists->addLayout(updown, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NewReportButton);
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto* l = new QVBoxLayout(this);
    l->addLayout(top);
    l->addLayout(lists, 1);
    l->addLayout(buttons);

    fillSortOrders(F_SortIndex);
    fillReportNames(F_CurrentReport, defs_);
    connect(IncludeBtn, &QToolButton::clicked, this, &TReportDesignerDialog::IncludeBtnClick);
    connect(ExcludeBtn, &QToolButton::clicked, this, &TReportDesignerDialog::ExcludeBtnClick);
    connect(ExAllBtn, &QToolButton::clicked, this, &TReportDesignerDialog::ExAllBtnClick);
    connect(ButtonUp, &QToolButton::clicked, this, [this] { MoveSelected(-1); });
    connect(ButtonDown, &QToolButton::clicked, this, [this] { MoveSelected(1); });
    connect(SrcList, &QListWidget::itemDoubleClicked, this, [this] { IncludeBtnClick(); });
    connect(DstList, &QListWidget::itemDoubleClicked, this, [this] { ExcludeBtnClick(); });
    connect(NewReportButton, &QPushButton::clicked, this, &TReportDesignerDialog::NewReportButtonClick);
    connect(BtnOk, &QPushButton::clicked, this, [this] {
        if (BtnOkClick())
            accept();
    });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(F_CurrentReport, &QComboBox::activated, this, [this](int index) { LoadReport(index); });
    SetFormFont(this);
    FitComboBoxes(this);
    LoadReport(report);
    resize(700, 480);
}

void TReportDesignerDialog::LoadReport(int n)
{
    TReportDefinition def;
    if (!defs_.GetItem(n, def))
        return;
    loading_ = true;
    report_ = n;
    F_CurrentReport->setCurrentIndex(n);
    F_CurrentReport->setEditText(FromWin1252(def.Name));
    F_SortIndex->setCurrentIndex(def.SortOrder < kSortOrderCount ? def.SortOrder : 0);
    F_NoteWidth->setValue(def.NoteWidth);
    SrcList->clear();
    DstList->clear();
    std::vector<bool> used(kReportFieldCount, false);
    for (std::uint8_t f : def.Columns)
        if (f < kReportFieldCount) {
            DstList->addItem(fieldItem(f));
            used[f] = true;
        }
    for (int f = 0; f < kReportFieldCount; ++f)
        if (!used[static_cast<std::size_t>(f)])
            SrcList->addItem(fieldItem(f));
    SrcList->setCurrentRow(SrcList->count() ? 0 : -1);
    DstList->setCurrentRow(DstList->count() ? 0 : -1);
    loading_ = false;
    updateButtons();
}

void TReportDesignerDialog::updateButtons()
{
    IncludeBtn->setEnabled(SrcList->count() > 0);
    ExcludeBtn->setEnabled(DstList->count() > 0);
    ExAllBtn->setEnabled(DstList->count() > 0);
}

void TReportDesignerDialog::moveItem(QListWidget* from, QListWidget* to)
{
    if (from->count() == 0)
        return;
    int row = from->currentRow();
    if (row < 0)
        row = 0;
    QListWidgetItem* item = from->takeItem(row);
    to->addItem(item);
    to->setCurrentItem(item);
    // The selection stays at its place, or on the last item of a shorter list.
    from->setCurrentRow(from->count() ? std::min(row, from->count() - 1) : -1);
    updateButtons();
}

void TReportDesignerDialog::IncludeBtnClick() { moveItem(SrcList, DstList); }
void TReportDesignerDialog::ExcludeBtnClick() { moveItem(DstList, SrcList); }

void TReportDesignerDialog::ExAllBtnClick()
{
    while (DstList->count())
        SrcList->addItem(DstList->takeItem(0));
    updateButtons();
}

void TReportDesignerDialog::MoveSelected(int step)
{
    const int row = DstList->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= DstList->count())
        return;
    QListWidgetItem* item = DstList->takeItem(row);
    DstList->insertItem(to, item);
    DstList->setCurrentRow(to);
}

void TReportDesignerDialog::NewReportButtonClick()
{
    defs_.AddDefault();
    std::string name;
    defs_.GetName(defs_.Count() - 1, name);
    F_CurrentReport->addItem(FromWin1252(name));
    LoadReport(defs_.Count() - 1);
}

bool TReportDesignerDialog::BtnOkClick()
{
    TReportDefinition def;
    defs_.GetItem(report_, def);
    def.Name = ToWin1252(F_CurrentReport->currentText()).substr(0, kReportNameCapacity);
    def.SortOrder = static_cast<std::uint8_t>(std::max(0, F_SortIndex->currentIndex()));
    def.NoteWidth = static_cast<std::uint8_t>(F_NoteWidth->value());
    def.Columns.clear();
    for (int i = 0; i < DstList->count(); ++i)
        def.Columns.push_back(static_cast<std::uint8_t>(DstList->item(i)->data(Qt::UserRole).toInt()));
    defs_.SetItem(report_, def);
    F_CurrentReport->setItemText(report_, FromWin1252(def.Name));
    F_CurrentReport->setEditText(FromWin1252(def.Name));
    return RunShowingExceptions([&] { defs_.Save(); });
}

TSelectReport::TSelectReport(const TReportDefinitions& defs, int report, int sortOrder, QWidget* parent)
    : QDialog(parent), defs_(defs)
{
    setWindowTitle("Select Report");
    F_CurrentReport = new QComboBox(this);
    F_CurrentReport->setObjectName("F_CurrentReport");
    F_CurrentSortIndex = new QComboBox(this);
    F_CurrentSortIndex->setObjectName("F_CurrentSortIndex");
    BtnOk = new QPushButton("OK", this);
    BtnCancel = new QPushButton("Cancel", this);
    BtnOk->setDefault(true);
    auto* form = new QFormLayout;
    form->addRow("Report format", F_CurrentReport);
    form->addRow("Sort index", F_CurrentSortIndex);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto* l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addLayout(buttons);
    fillSortOrders(F_CurrentSortIndex);
    fillReportNames(F_CurrentReport, defs_);
    F_CurrentReport->setCurrentIndex(report);
    F_CurrentSortIndex->setCurrentIndex(sortOrder);
    // A report brings its own sort order along.
    connect(F_CurrentReport, &QComboBox::activated, this, [this](int index) {
        TReportDefinition def;
        if (defs_.GetItem(index, def))
            F_CurrentSortIndex->setCurrentIndex(def.SortOrder);
    });
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    SetFormFont(this);
    FitComboBoxes(this);
}

int TSelectReport::Report() const { return F_CurrentReport->currentIndex(); }
int TSelectReport::SortOrder() const { return F_CurrentSortIndex->currentIndex(); }

} // namespace korval
