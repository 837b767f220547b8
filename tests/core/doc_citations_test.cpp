// The documents tie their promises to tests by name (`Suite.Test`); a renamed or removed test
// would leave a promise that points nowhere.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// "Suite.Test" of every TEST, TEST_F and TEST_P in the test sources.
QSet<QString> TestsInTheSuite(const QString& testsFolder)
{
    static const QRegularExpression declaration(QStringLiteral(R"(\bTEST(?:_F|_P)?\(\s*(\w+)\s*,\s*(\w+)\s*\))"));
    QSet<QString> names;
    QDirIterator files(testsFolder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString text = ReadText(files.next());
        for (const QRegularExpressionMatch& m : declaration.globalMatch(text))
            names.insert(m.captured(1) + '.' + m.captured(2));
    }
    return names;
}

// Every `Suite.Test` a document cites: two capitalised names joined by a dot, in backticks.
QStringList CitedTests(const QString& document)
{
    static const QRegularExpression citation(QStringLiteral(R"(`([A-Z]\w*\.[A-Z]\w*)`)"));
    QStringList cited;
    for (const QRegularExpressionMatch& m : citation.globalMatch(ReadText(document)))
        cited << m.captured(1);
    return cited;
}

TEST(DocCitations, EveryTestTheDocumentsNameIsInTheSuite)
{
    const QString source = QStringLiteral(QUILLET_SOURCE_DIR);
    const QSet<QString> suite = TestsInTheSuite(source + QStringLiteral("/tests"));
    ASSERT_FALSE(suite.isEmpty());
    const QStringList documents = QDir(source + QStringLiteral("/docs")).entryList({QStringLiteral("*.md")});
    ASSERT_FALSE(documents.isEmpty());
    int citations = 0;
    for (const QString& document : documents) {
        for (const QString& test : CitedTests(source + QStringLiteral("/docs/") + document)) {
            ++citations;
            EXPECT_TRUE(suite.contains(test))
                << document.toStdString() << " cites " << test.toStdString() << ", which is not a test of the suite";
        }
    }
    // SECURITY.md ties its promises to tests: a pattern that found none would check nothing.
    EXPECT_GT(citations, 0);
}

} // namespace
