#pragma once
#include <QLineEdit>

struct Control;

// What the edit box does with a WM_CHAR that reaches its own procedure: while a
// key press is being handed out, the character goes back to the key press;
// otherwise it is typed into the box (control characters: Backspace and the
// clipboard and undo shortcuts).
void TypeCharacter(Control& control, QLineEdit* edit, char32_t code);
