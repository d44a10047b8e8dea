#pragma once
// The configured fonts on a form: which font each kind of control takes, the heights that follow
// from it, and the configured form scale.
class QWidget;

namespace korval {

// Font classes of controls: 0 combo boxes; 1 choice boxes and entry fields; 2 tables; 3 list
// boxes; 4 check lists, virtual list boxes and memos; 5 virtual-data grids; 6 anything else.
int FontClassOf(const QWidget* control);
// The configured font (0..2) a font class takes.
int FontIndexOfClass(int fontClass);

// Gives every control of the form its configured font and height, scales the form by the
// configured form scale and fits labels to their captions.
void SetFormFont(QWidget* form);
// Combo boxes of a form that take their text's height and the frame and arrow around it (the
// dialogs made of plain Qt combo boxes call it after SetFormFont).
void FitComboBoxes(QWidget* form);

// After the fonts or the form scale changed: every open window but the main window gives up the
// old scale (in percent), takes the configured fonts and the new scale, and is kept on the screen.
void ScaleAllForms(int oldScale, QWidget* mainWindow);

} // namespace korval
