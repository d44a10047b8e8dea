#pragma once
// TGetCustAwdForm ("Get award"): the custom award a custom-award report is made for, from the
// long names of the defined awards in name order.
#include <QDialog>

#include <vector>

class QPushButton;

namespace korval {

class TCustAwardList;
class TWheelx;

class TGetCustAwdForm : public QDialog {
    Q_OBJECT
public:
    explicit TGetCustAwdForm(const TCustAwardList& awards, QWidget* parent = nullptr);

    TWheelx* CBAwds;
    QPushButton* BtnOK;

    // The chosen award's index in the list; -1 when the list is empty.
    int AwardIndex() const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::vector<int> indexes_;  // item -> award index
};

} // namespace korval
