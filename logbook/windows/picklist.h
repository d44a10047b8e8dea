#pragma once
// TPicklist: the modal pick list over the records of a TTwoIndex (countries, states, IOTA
// references, counties, group names): one line per record, in name order or key order, and the
// beginning of a name (or key) typed selects the line.
#include <QDialog>

#include <string>

#include "logbook/picklist_model.h"

class QAction;
class QMenu;

namespace korval {

class TOvcCustomListBox;
class TTwoIndex;

class TPicklist : public QDialog {
    Q_OBJECT
public:
    // The records from firstIndex (key order) on; list must stay unchanged while shown.
    TPicklist(QWidget* parent, const std::string& caption, const TTwoIndex& list, int firstIndex);

    TPicklistModel& Model() { return model_; }
    // The chosen record's index in key order once the dialog was accepted; -1 otherwise.
    int Result() const { return result() == QDialog::Accepted ? model_.Chosen() : -1; }

    TOvcCustomListBox* ListBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Cancel1 = nullptr;
    QAction* SortbyName1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;

private:
    void Fill();
    void ShowSelected();
    void Choose();
    TPicklistModel model_;
};

// Shows the pick list modally: the chosen record's index in key order, -1 when cancelled.
int ShowPicklist(QWidget* parent, const std::string& caption, const TTwoIndex& list, int firstIndex);

} // namespace korval
