#pragma once
// The window side of the configuration: placing windows from their slots in the record,
// keeping them on the screen, the configured fonts, and noting the screen at start.
#include "logbook/config_record.h"

class QFont;
class QWidget;

namespace korval {

// Notes the primary screen's pixels per inch and size (SetScreenMetrics); call once at start.
void NoteScreenMetrics();

// The main window, a strip across the top of the screen that other windows keep clear of.
void SetPlacementMainWindow(QWidget* mainWindow);
QWidget* PlacementMainWindow();

// Stores the window's Top, Left, Height and Width into the slot of the live record (a
// maximised or minimised window is first set back to normal).
void SaveFormPlacement(QWidget* form, int slot);
// Restores a stored placement (size only for resizable slots) and returns true; without one the
// window goes just below the main window. Either way its "Tag" property becomes slot + 1 and
// it is kept on the screen.
bool RestoreFormPlacement(QWidget* form, int slot);
void KeepFormOnScreen(QWidget* form);

// Sets a font's family, size and weight from the record's font entry 0..2.
void ApplyConfiguredFont(QFont& font, int index);

} // namespace korval
