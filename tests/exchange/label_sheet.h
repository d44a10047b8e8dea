#pragma once
// The label sheet the label tests print on.
#include <string>

#include "exchange/label_layout.h"

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

} // namespace korval::test
