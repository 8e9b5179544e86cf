#pragma once
// The Enter key in the program's windows, one application-wide event filter:
//
//   - on a focused button (push, radio, check or tool button) Enter and Return press it, as
//     Space does;
//   - in a numeric entry field (numericfield.h) they move on as Tab does: the key arrives at
//     the field as a Tab, so the field's check runs exactly as for Tab and a failure keeps the
//     focus in the field.
//
// Dialogs (message boxes, file dialogs) keep their own handling of Enter, their default
// button. The keys with Ctrl, Alt or Shift held are left alone; holding Enter down on a button
// presses it once.
//
// Every window that has buttons or fields calls installEnterKey() when it is built; the filter
// is created once, as a child of the application.

void installEnterKey();
