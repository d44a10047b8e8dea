#pragma once
// The label sheet the label tests print on, and the QSOs they queue.
#include <cstdint>
#include <string>

#include "exchange/label_layout.h"
#include "logbook/qso_data.h"
#include "logbook/qso_record.h"

namespace korval::test {

// An Avery 5160 sheet: 3 x 10 labels of 2.625 x 1 inch on Letter.
inline TLabelLayout Sheet5160(const std::string& name = "5160")
{
    TLabelLayout l;
    l.Name = name;
    l.SpacingTop = 0.5;
    l.SpacingLeft = 0.1875;
    l.VertPitch = 1.0;
    l.HorzPitch = 2.75;
    l.LabelHeight = 1.0;
    l.LabelWidth = 2.625;
    l.NumAcross = 3;
    l.NumDown = 10;
    l.PaperName = "Letter";
    return l;
}

// Inserts a 20m (band 5) QSO with RST 599 into the log.
inline TQsoRecord* AddLabelQso(TQsoData& log, const std::string& call, int country, int route, std::uint8_t flags,
                               std::uint16_t date, int time)
{
    auto* q = new TQsoRecord;
    q->Call = call;
    q->Date = date;
    q->Time = time;
    q->Band = 5;
    q->Mode = 1;
    q->RstSent = 599;
    q->Country = static_cast<std::uint16_t>(country);
    q->QslRoute = static_cast<std::uint8_t>(route);
    q->Flags = flags;
    log.InsertQso(q);
    return q;
}

} // namespace korval::test
