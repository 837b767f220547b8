#pragma once
// The fixed-pitch font of the large text boxes and of the key entry: the desktop's own fixed-pitch
// font at the size of the desktop's text, so that text laid out in columns stays in its columns and
// reads as large as everything around it.

#include <QFont>

QFont MessageFont();
