#pragma once
// The fixed-pitch font of the large text boxes: Courier New where it is installed, its metric twin
// Liberation Mono elsewhere, so that text laid out in columns stays in its columns.

#include <QFont>
#include <QStringList>

QFont MessageFont();
