#pragma once
// Window placement shared by the windows that open others.

class QWidget;

// Puts form, frame included, in the middle of the screen it is on.
void CenterForm(QWidget& form);
