#include "exchange/windows/get_cust_awd_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "grids/windows/popup_box.h"
#include "logbook/custom_award.h"
#include "logbook/windows/form_fonts.h"

namespace korval {

TGetCustAwdForm::TGetCustAwdForm(const TCustAwardList& awards, QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Get award");
    for (int i = 0; i < awards.Count(); ++i)
        indexes_.push_back(i);
    std::stable_sort(indexes_.begin(), indexes_.end(),
                     [&awards](int a, int b) { return awards.At(a).LongName < awards.At(b).LongName; });
    CBAwds = new TWheelx(this);
    CBAwds->setObjectName("CBAwds");
    for (int i : indexes_)
        CBAwds->GetItems().Add(awards.At(i).LongName);
    if (!indexes_.empty())
        CBAwds->SetSelection(1);
    BtnOK = new QPushButton("OK", this);
    BtnOK->setDefault(true);
    BtnOK->setEnabled(!indexes_.empty());
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Custom award", this));
    row->addWidget(CBAwds, 1);
    auto* l = new QVBoxLayout(this);
    l->addLayout(row);
    l->addWidget(BtnOK, 0, Qt::AlignHCenter);
}

void TGetCustAwdForm::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    CBAwds->setMinimumWidth(CBAwds->fontMetrics().horizontalAdvance(QString(21, QChar('W'))));
    QDialog::showEvent(e);
}

int TGetCustAwdForm::AwardIndex() const
{
    const int sel = CBAwds->GetSelection();
    return sel >= 1 && sel <= static_cast<int>(indexes_.size()) ? indexes_[static_cast<std::size_t>(sel - 1)] : -1;
}

} // namespace korval
