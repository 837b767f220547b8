#pragma once
// The decrypt test vectors listed in tests/vectors/vectors.txt, one per manifest line, for tests
// that run each file as a case of its own (a failing file names itself and the others still run).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <ostream>
#include <string>
#include <vector>

namespace test_vectors {

struct Vector {
    QString file;                         // file name inside tests/vectors
    QString key;                          // the key it was made with
    QString outcome;                      // success, wrong-key, damaged, ... (see the manifest's head)
    QString message;                      // the message it carries, "-" when none is recovered
    QByteArray attachedName, attachedMd5; // "-" when no file is attached
    QString malformed;                    // the manifest line when it does not have six fields, else ""

    QString path() const { return QStringLiteral(QUILLET_VECTORS_DIR "/") + file; }
    bool carriesFile() const { return attachedName != "-"; }
};

inline std::vector<Vector> ReadManifest()
{
    std::vector<Vector> vectors;
    QFile manifest(QStringLiteral(QUILLET_VECTORS_DIR "/vectors.txt"));
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        return vectors;
    QTextStream in(&manifest);
    for (int number = 1; !in.atEnd(); ++number) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList f = line.split('\t');
        if (f.size() == 6)
            vectors.push_back(
                {f[0], f[1], f[2], f[3], QByteArray::fromPercentEncoding(f[4].toUtf8()), f[5].toLatin1(), QString()});
        else
            vectors.push_back({QStringLiteral("line%1").arg(number), {}, {}, {}, {}, {}, line});
    }
    return vectors;
}

// The case name: the file name without its extension, letters and digits only.
inline std::string CaseName(const Vector& vector)
{
    std::string name;
    const QString stem = vector.file.section(QLatin1Char('.'), 0, 0);
    for (const QChar c : stem)
        name += c.isLetterOrNumber() && c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '_';
    return name;
}

inline void PrintTo(const Vector& vector, std::ostream* os)
{
    *os << vector.file.toStdString() << " (" << vector.outcome.toStdString() << ")";
}

} // namespace test_vectors
