#include "logbook/windows/qsl_commands.h"

#include "logbook/qsl_marking.h"
#include "logbook/qso_bulk_edits.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/input_query.h"
#include "logbook/windows/qso_form.h"

namespace korval {

namespace {

template <typename Fn>
void WithMarking(TQSOForm& form, Fn fn)
{
    form.RunOnEntry([&form, &fn](TQsoEntry& e) {
        TQslMarking m(e);
        m.InputQuery = [&form](const std::string& caption, const std::string& prompt, std::string& value) {
            return InputQuery(&form, caption, prompt, value);
        };
        fn(m);
    });
}

template <typename Fn>
void WithBulkEdits(TQSOForm& form, Fn fn)
{
    form.RunOnEntry([&fn](TQsoEntry& e) {
        TQsoBulkEdits b(e);
        fn(b);
    });
}

} // namespace

void ConfirmLabel(TQSOForm& form)
{
    WithMarking(form, [](TQslMarking& m) { m.ConfirmQso(true); });
}

void ConfirmSwl(TQSOForm& form)
{
    WithMarking(form, [](TQslMarking& m) { m.ConfirmSwl(true); });
}

void SetLabelFlags(TQSOForm& form, bool clear)
{
    WithMarking(form, [clear](TQslMarking& m) { m.SetLabelFlags(clear); });
}

void ClearSequencedPrint(TQSOForm& form)
{
    WithMarking(form, [](TQslMarking& m) { m.ClearSequencedPrint(); });
}

void ClearSwlLabels(TQSOForm& form)
{
    WithMarking(form, [](TQslMarking& m) { m.ClearSwlLabels(); });
}

void PrintLabels(TQSOForm& form, int kind, const std::function<void(int kind)>& runLabelPrint)
{
    WithMarking(form, [kind, &runLabelPrint](TQslMarking& m) {
        m.RunLabelPrint = runLabelPrint;
        m.PrintLabels(kind);
    });
}

bool ConfirmFromList(TQSOForm& form, const TQsoRecord* qso, bool swl)
{
    bool shown = false;
    WithMarking(form, [&](TQslMarking& m) {
        shown = m.GotoQso(qso);
        if (!shown)
            return;
        if (swl)
            m.ConfirmSwl(false);
        else
            m.ConfirmQso(false);
    });
    return shown;
}

void DeleteSelectedQsos(TQSOForm& form)
{
    WithBulkEdits(form, [](TQsoBulkEdits& b) { b.DeleteQsos(); });
}

void SetSelectedConfirmed(TQSOForm& form)
{
    WithBulkEdits(form, [](TQsoBulkEdits& b) { b.SetConfirmed(); });
}

void SetSelectedQslDate(TQSOForm& form)
{
    WithBulkEdits(form, [](TQsoBulkEdits& b) { b.SetQslDate(); });
}

void SetUsaStates(TQSOForm& form)
{
    WithBulkEdits(form, [](TQsoBulkEdits& b) { b.SetUsaStates(); });
}

} // namespace korval
