#pragma once
// Byte counts as a person reads them: "0 bytes", "512 bytes", "1.50 KB", "2.00 MB".

#include <QLocale>
#include <QString>

// Negative n gives "". Below 1024: n and " bytes" (" Bytes" in a German locale); from 1024 on n / 1024
// with `decimals` decimals and " KB"; from 1,048,576 on n / 1,048,576 and " MB". Digits are grouped
// and the decimal sign written as `locale` does (NumberLocale of the texts' language).
QString FormatByteSize(qint64 n, int decimals, const QLocale& locale);
