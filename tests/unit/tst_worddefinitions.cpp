// Definitions from the WordNet database this machine carries (wordnet-base): the base forms and
// senses chosen and their order, and what a missing or damaged database costs: the definitions
// only, told once. The damaged copies are made by the test and read both from their own folder
// and laid over the real one in a mount namespace of the test's own, as root.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

#include "mountnamespace.h"
#include "words/worddefinitions.h"

namespace {

const QString RealFolder = QStringLiteral("/usr/share/wordnet");

QStringList filesOf(const QDir &dir, const QString &pattern = QString())
{
    return dir.entryList(pattern.isEmpty() ? QStringList() : QStringList{pattern}, QDir::Files);
}

bool rewrite(const QString &path, const std::function<void(QByteArray &)> &change)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    change(bytes);
    return file.resize(0) && file.write(bytes) == bytes.size();
}

// The first sense of "dog" in data.noun, from the index line.
qint64 firstSenseOfDog(const QDir &dir)
{
    QFile index(dir.filePath(QStringLiteral("index.noun")));
    if (!index.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = index.readAll();
    const qsizetype at = bytes.indexOf("\ndog n ");
    const QByteArray line = bytes.mid(at + 1, bytes.indexOf('\n', at + 1) - at - 1);
    const QRegularExpressionMatch offset = QRegularExpression(QStringLiteral("\\b\\d{8}\\b")).match(QString::fromLatin1(line));
    return at < 0 || !offset.hasMatch() ? -1 : offset.captured().toLongLong();
}

// Damages the copy in `dir` the way `kind` names; false when the damage could not be made.
bool damage(const QString &kind, const QDir &dir)
{
    bool ok = true;
    const QStringList database = filesOf(dir, QStringLiteral("index.*")) + filesOf(dir, QStringLiteral("data.*"))
        + filesOf(dir, QStringLiteral("*.exc"));
    if (kind == QLatin1String("cut data")) {
        for (const QString &name : filesOf(dir, QStringLiteral("data.*")))
            ok = ok && QFile(dir.filePath(name)).resize(QFileInfo(dir.filePath(name)).size() * 3 / 10);
    } else if (kind == QLatin1String("cut all")) {
        for (const QString &name : database)
            ok = ok && QFile(dir.filePath(name)).resize(QFileInfo(dir.filePath(name)).size() * 3 / 10);
    } else if (kind == QLatin1String("flip all")) {
        for (const QString &name : database)
            ok = ok && rewrite(dir.filePath(name), [](QByteArray &b) {
                for (qsizetype i = 4093; i < b.size(); i += 4093)
                    b[i] = char(b[i] ^ 0xff);
            });
    } else if (kind == QLatin1String("flip looked up")) {
        const qint64 dog = firstSenseOfDog(dir);
        ok = dog > 0 && rewrite(dir.filePath(QStringLiteral("data.noun")), [dog](QByteArray &b) { b[dog + 20] = char(b[dog + 20] ^ 0xff); });
    } else if (kind == QLatin1String("huge offsets")) {
        for (const QString &name : filesOf(dir, QStringLiteral("index.*")))
            ok = ok && rewrite(dir.filePath(name), [](QByteArray &b) {
                QByteArrayList lines = b.split('\n');
                for (QByteArray &line : lines) {
                    if (line.startsWith("  "))
                        continue;
                    QByteArrayList fields = line.split(' ');
                    for (QByteArray &field : fields) {
                        if (field.size() == 8 && std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
                            field = "99999999";
                    }
                    line = fields.join(' ');
                }
                b = lines.join('\n');
            });
    } else if (kind == QLatin1String("long lines")) {
        for (const QString &name : database)
            ok = ok && rewrite(dir.filePath(name), [](QByteArray &b) {
                b.insert(b.indexOf('\n', b.size() / 2) + 1, QByteArray(1024 * 1024, 'x') + '\n');
            });
    }
    return ok;
}

} // namespace

class TestWordDefinitions : public QObject {
    Q_OBJECT

    // Opened once for the tables that read the installed database.
    WordDefinitions m_installed{RealFolder};

    // A damaged database answers nothing, whatever is asked first, and says so once; an intact
    // one answers. "dog" comes first: the damage found by a lookup lies in its synset.
    void expectAnswers(const QString &folder, bool damaged)
    {
        if (damaged) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("files are damaged")));
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        }
        WordDefinitions definitions(folder);
        for (const char *word : {"dog", "running", "ways", "aardvark", "zebra", "quickly", "beautiful", "walked"}) {
            const QList<WordDefinitions::Sense> senses = definitions.lookup(word);
            QVERIFY2(senses.isEmpty() == damaged, word);
        }
        QCOMPARE(definitions.available(), !damaged);
        if (damaged)
            QVERIFY2(definitions.problem().contains(QStringLiteral("damaged")), qPrintable(definitions.problem()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv("WNSEARCHDIR");
        qunsetenv("WNHOME");
    }

    // Base forms by the rules (RUNNING) and by the exception list (AXES). A plural or past form
    // that is an entry of its own shows its base form's senses first and keeps its own; the
    // word's own entries keep their place before a base form's (BETTER). Never more than three.
    void senses_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QStringList>("heads");
        QTest::addColumn<QString>("line");
        QTest::newRow("inflected form") << QByteArray("RUNNING") << QStringList{"noun", "verb (run)", "adjective"}
                                        << "verb (run): move fast by using one's feet";
        QTest::newRow("exception list") << QByteArray("AXES") << QStringList{"noun (ax)", "verb (axe)", "verb (axe)"}
                                        << "noun (ax): an edge tool with a heavy bladed head";
        QTest::newRow("AIDS") << QByteArray("AIDS") << QStringList{"noun (aid)", "verb (aid)", "noun"}
                              << "noun: a serious (often fatal) disease of the immune system";
        QTest::newRow("WAYS") << QByteArray("WAYS") << QStringList{"noun (way)", "noun (way)", "noun"}
                              << "noun: structure consisting of a sloping way down to the water";
        QTest::newRow("LAWS") << QByteArray("LAWS") << QStringList{"noun (law)", "noun (law)", "noun"}
                              << "noun: the first of three divisions of the Hebrew Scriptures";
        QTest::newRow("FLATS") << QByteArray("FLATS") << QStringList{"noun (flat)", "noun (flat)", "noun"}
                               << "noun: footwear (shoes or slippers) with no heel";
        QTest::newRow("own entries first") << QByteArray("BETTER") << QStringList{"noun", "verb", "adjective"}
                                           << "adjective: (comparative of `good') superior to another";
    }
    void senses()
    {
        QFETCH(QByteArray, word);
        QFETCH(QStringList, heads);
        QFETCH(QString, line);
        QVERIFY2(m_installed.available(), qPrintable(m_installed.problem()));
        const QList<WordDefinitions::Sense> senses = m_installed.lookup(word);
        QCOMPARE(senses.size(), WordDefinitions::MaxSenses);
        for (const WordDefinitions::Sense &s : senses)
            QVERIFY2(!s.gloss.contains(QLatin1Char('"')), qPrintable(s.gloss)); // no example sentences
        const QString text = WordDefinitions::describe(word, senses);
        QStringList shown;
        for (const QString &l : text.split(QLatin1Char('\n')))
            shown << l.section(QStringLiteral(": "), 0, 0);
        QCOMPARE(shown, heads);
        QVERIFY2(text.contains(line), qPrintable(text));
    }

    void noDefinition_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::newRow("unknown") << QByteArray("XQZV");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("not letters") << QByteArray("do-g");
        QTest::newRow("too long") << QByteArray(200, 'a');
    }
    void noDefinition()
    {
        QFETCH(QByteArray, word);
        QVERIFY(m_installed.lookup(word).isEmpty());
        QCOMPARE(WordDefinitions::describe(word, {}), QStringLiteral("No definition found."));
    }

    // A folder without WordNet's files costs only the definitions, and says so.
    void missingDatabase()
    {
        QTemporaryDir empty;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not found")));
        WordDefinitions definitions(empty.path());
        QVERIFY(definitions.lookup("dog").isEmpty());
        QVERIFY(!definitions.available());
        QVERIFY(definitions.problem().contains(QStringLiteral("not found")));
    }

    // Damage that took WordNet's own library down (a crash or exit(-1)) costs only the
    // definitions. The intact copy proves the copy and the mount are read.
    void damagedDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("intact copy") << QString() << false;
        QTest::newRow("data files cut to 30 %") << QStringLiteral("cut data") << true;
        QTest::newRow("every file cut to 30 %") << QStringLiteral("cut all") << true;
        QTest::newRow("bytes flipped through every file") << QStringLiteral("flip all") << true;
        QTest::newRow("a byte flipped in the synset looked up") << QStringLiteral("flip looked up") << true;
        QTest::newRow("huge offsets in the index") << QStringLiteral("huge offsets") << true;
        QTest::newRow("1 MB lines") << QStringLiteral("long lines") << true;
    }
    void damagedDatabase()
    {
        QFETCH(QString, kind);
        QFETCH(bool, damaged);
        QTemporaryDir copy;
        const QDir real(RealFolder);
        for (const QString &name : filesOf(real))
            QVERIFY(QFile::copy(real.filePath(name), QDir(copy.path()).filePath(name)));
        QVERIFY2(damage(kind, QDir(copy.path())), qPrintable(kind));

        expectAnswers(copy.path(), damaged);
        if (QTest::currentTestFailed())
            return;

        const QString unshared = enterPrivateMountNamespace();
        if (!unshared.isEmpty())
            QSKIP(qPrintable(QStringLiteral("the damaged copy at the real path needs root to bind-mount it over %1 "
                                            "in a private mount namespace (%2)").arg(RealFolder, unshared)));
        const QByteArray target = QFile::encodeName(RealFolder);
        QVERIFY2(::mount(QFile::encodeName(copy.path()).constData(), target.constData(), nullptr, MS_BIND, nullptr) == 0,
                 std::strerror(errno));
        const auto unmount = qScopeGuard([&] { ::umount2(target.constData(), MNT_DETACH); });
        expectAnswers(QString(), damaged);
    }
};

QTEST_GUILESS_MAIN(TestWordDefinitions)
#include "tst_worddefinitions.moc"
