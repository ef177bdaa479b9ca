#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

#include "filebytes.h"
#include "fulldisk.h"
#include "words/notifier.h"
#include "words/tdictn.h"

namespace {

const QString WordListResource = QStringLiteral(":/words/english.dat");
const QString NotFound = QStringLiteral("English.dic dictionary not found!");

class RecordingNotifier : public Notifier {
public:
    void showMessage(const QString &text) override { messages << text; }
    bool confirm(const QString &text) override
    {
        messages << text;
        return true;
    }
    QStringList messages;
};

// One record: the marker byte, then the field exactly as given, blank padded to 14 bytes.
QByteArray record(const QByteArray &field)
{
    return '\x1e' + field.leftJustified(14, ' ', true);
}

// The word of record index of a record file, without its padding.
QByteArray wordAt(const QByteArray &records, qsizetype index)
{
    return records.mid(index * TDictn::RecordSize + 1, TDictn::RecordSize - 1).trimmed();
}

// A list in the record format that exercises the record side of the comparison: a stored cut
// form, a word stored in small letters, one padded with NULs, one with a Latin-1 capital.
// Sorted by comparison value.
QByteArray customList()
{
    return record("ABSENTMINDEDNE") + record("CAT") + record("cow") + record("DOG")
        + '\x1e' + QByteArray("EEL") + QByteArray(11, '\0') + record("\xc9T");
}

} // namespace

class TestDictionary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    // Key normalisation against the built-in list.
    void keyRules_data();
    void keyRules();
    void emptyKeysReadNothing_data();
    void emptyKeysReadNothing();
    void longKeysNeverMatch();

    // The built-in list itself.
    void firstAndLastWordsFound();
    void everyListWordFoundWithinEighteenProbes();
    void absentWordsWithinEighteenProbes_data();
    void absentWordsWithinEighteenProbes();

    // An existing working file is searched as it stands.
    void existingFileSearchedAsItStands_data();
    void existingFileSearchedAsItStands();
    void existingFileNotRewritten();
    void partialTrailingRecordIgnored();
    void foreignFileShorterThanARecord();
    void cutCopyReplaced_data();
    void cutCopyReplaced();

    // Working file lifecycle and failures.
    void workingFileIsTheResource();
    void workingFileRemovedOnDestruction();
    void failureReportedOnce_data();
    void failureReportedOnce();
    void interruptedWriteLeavesNoFile();
    void fullDiskLeavesNoCutCopy();

private:
    QString workingFile() const { return m_dir->filePath(QStringLiteral("English")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_list; // the built-in resource
};

void TestDictionary::initTestCase()
{
    // Constructing a dictionary registers the resource.
    QTemporaryDir dir;
    TDictn dictionary(dir.filePath(QStringLiteral("English")), nullptr);
    m_list = readAll(WordListResource);
    QVERIFY(!m_list.isEmpty());
    QCOMPARE(m_list.size() % TDictn::RecordSize, 0);
}

void TestDictionary::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDictionary::keyRules_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::newRow("small") << QByteArray("cat") << true;
    QTest::newRow("capitals") << QByteArray("CAT") << true;
    QTest::newRow("mixed") << QByteArray("cAt") << true;
    QTest::newRow("blanks around") << QByteArray("   CAT  ") << true;
    QTest::newRow("NULs around") << QByteArray("\0cat\0\0", 6) << true;
    QTest::newRow("extension") << QByteArray("cats") << true;
    QTest::newRow("blank inside") << QByteArray("CA T") << false;
    QTest::newRow("NUL inside") << QByteArray("CA\0T", 4) << false;
    QTest::newRow("tab before") << QByteArray("\tCAT") << false;
    QTest::newRow("newline after") << QByteArray("CAT\n") << false;
    QTest::newRow("Latin-1 small c cedilla") << QByteArray("\xe7" "at") << false;
    QTest::newRow("one letter") << QByteArray("C") << false;
    // Only the first 255 bytes count: what lies beyond is never seen.
    QTest::newRow("tail beyond 255") << QByteArray("CAT") + QByteArray(252, ' ') + "X" << true;
    QTest::newRow("tail at 255") << QByteArray("CAT") + QByteArray(251, ' ') + "X" << false;
}

void TestDictionary::keyRules()
{
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    TDictn dictionary(workingFile(), nullptr);
    QCOMPARE(dictionary.isword(key), found);
}

void TestDictionary::emptyKeysReadNothing_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one blank") << QByteArray(" ");
    QTest::newRow("many blanks") << QByteArray(40, ' ');
    QTest::newRow("NULs") << QByteArray(3, '\0');
    QTest::newRow("300 blanks then a word") << QByteArray(300, ' ') + "CAT";
}

void TestDictionary::emptyKeysReadNothing()
{
    QFETCH(QByteArray, key);
    TDictn dictionary(workingFile(), nullptr);
    QVERIFY(dictionary.isword("CAT")); // a probe count left over would show below
    QVERIFY(!dictionary.isword(key));
    QCOMPARE(dictionary.lastProbeCount(), 0);
}

void TestDictionary::longKeysNeverMatch()
{
    // Every record's value ends in a blank, so 14 letters is the longest key that can match.
    QByteArray fourteen;
    for (qsizetype i = 0; i < m_list.size() / TDictn::RecordSize && fourteen.isEmpty(); ++i) {
        if (wordAt(m_list, i).size() == 14)
            fourteen = wordAt(m_list, i);
    }
    QVERIFY2(!fourteen.isEmpty(), "the list holds a 14-letter word");
    TDictn dictionary(workingFile(), nullptr);
    QVERIFY(dictionary.isword(fourteen));
    QVERIFY(dictionary.isword(fourteen.toLower() + "  "));
    QVERIFY(!dictionary.isword(fourteen + "S"));
    QVERIFY(!dictionary.isword(fourteen + "ES"));
    QVERIFY(!dictionary.isword(fourteen + " X"));
}

void TestDictionary::firstAndLastWordsFound()
{
    const qsizetype count = m_list.size() / TDictn::RecordSize;
    TDictn dictionary(workingFile(), nullptr);
    QVERIFY(dictionary.isword(wordAt(m_list, 0)));
    QVERIFY(dictionary.isword(wordAt(m_list, count - 1)));
    QVERIFY(dictionary.isword(wordAt(m_list, count - 1).toLower()));
}

void TestDictionary::everyListWordFoundWithinEighteenProbes()
{
    // A prime stride samples the list evenly without walking all of it.
    const qsizetype count = m_list.size() / TDictn::RecordSize;
    TDictn dictionary(workingFile(), nullptr);
    int maxProbes = 0;
    for (qsizetype i = 0; i < count; i += 997) {
        const QByteArray word = wordAt(m_list, i);
        QVERIFY2(dictionary.isword(word), word.constData());
        maxProbes = std::max(maxProbes, dictionary.lastProbeCount());
    }
    QVERIFY(maxProbes >= 1);
    QVERIFY(maxProbes <= 18);
}

void TestDictionary::absentWordsWithinEighteenProbes_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("before the first") << QByteArray("A");
    QTest::newRow("after the last") << QByteArray("ZZZZZZZZZZZZZZ");
    QTest::newRow("in the middle") << QByteArray("MQXJ");
    QTest::newRow("above the letters") << QByteArray("~~~");
}

void TestDictionary::absentWordsWithinEighteenProbes()
{
    QFETCH(QByteArray, key);
    TDictn dictionary(workingFile(), nullptr);
    QVERIFY(!dictionary.isword(key));
    // A miss walks the search tree to a leaf: floor(log2 n) or one more probes.
    const int depth = int(std::log2(double(m_list.size() / TDictn::RecordSize)));
    QVERIFY(dictionary.lastProbeCount() >= depth);
    QVERIFY(dictionary.lastProbeCount() <= depth + 1);
    QVERIFY(dictionary.lastProbeCount() <= 18);
}

void TestDictionary::existingFileSearchedAsItStands_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::newRow("stored cut form") << QByteArray("ABSENTMINDEDNE") << true;
    QTest::newRow("15 letters") << QByteArray("ABSENTMINDEDNES") << false;
    QTest::newRow("full word") << QByteArray("ABSENTMINDEDNESS") << false;
    QTest::newRow("word") << QByteArray("cat") << true;
    QTest::newRow("stored in small letters") << QByteArray("COW") << true;
    QTest::newRow("stored NUL padded") << QByteArray("eel") << true;
    QTest::newRow("Latin-1 capital") << QByteArray("\xc9T") << true;
    QTest::newRow("Latin-1 small is another letter") << QByteArray("\xe9T") << false;
    QTest::newRow("only in the built-in list") << QByteArray("CATS") << false;
}

void TestDictionary::existingFileSearchedAsItStands()
{
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    QVERIFY(writeAll(workingFile(), customList()));
    TDictn dictionary(workingFile(), nullptr);
    QCOMPARE(dictionary.isword(key), found);
}

void TestDictionary::existingFileNotRewritten()
{
    QVERIFY(writeAll(workingFile(), customList()));
    RecordingNotifier notifier;
    TDictn dictionary(workingFile(), &notifier);
    QCOMPARE(readAll(workingFile()), customList());
    QVERIFY(notifier.messages.isEmpty());
}

void TestDictionary::partialTrailingRecordIgnored()
{
    QVERIFY(writeAll(workingFile(), customList() + "\x1eZEBRA"));
    TDictn dictionary(workingFile(), nullptr);
    QVERIFY(dictionary.isword("\xc9T"));
    QVERIFY(!dictionary.isword("ZEBRA"));
}

void TestDictionary::foreignFileShorterThanARecord()
{
    QVERIFY(writeAll(workingFile(), QByteArray("x")));
    RecordingNotifier notifier;
    TDictn dictionary(workingFile(), &notifier);
    QVERIFY(!dictionary.isword("CAT"));
    QCOMPARE(dictionary.lastProbeCount(), 0);
    QVERIFY(notifier.messages.isEmpty());
}

void TestDictionary::cutCopyReplaced_data()
{
    QTest::addColumn<int>("kept"); // bytes of the list left in the file
    QTest::newRow("empty") << 0;
    QTest::newRow("one record") << TDictn::RecordSize;
    QTest::newRow("cut inside a record") << 100000 * TDictn::RecordSize + 7;
    QTest::newRow("last records missing") << int(m_list.size()) - 2436;
}

// A working file that is the beginning of the list (left by a run that could not finish writing
// it) would refuse the rest of the alphabet; it is written again whole.
void TestDictionary::cutCopyReplaced()
{
    QFETCH(int, kept);
    QVERIFY(writeAll(workingFile(), m_list.left(kept)));
    RecordingNotifier notifier;
    TDictn dictionary(workingFile(), &notifier);
    QCOMPARE(readAll(workingFile()), m_list);
    QVERIFY(dictionary.isword(wordAt(m_list, m_list.size() / TDictn::RecordSize - 1)));
    QVERIFY(notifier.messages.isEmpty());
}

void TestDictionary::workingFileIsTheResource()
{
    TDictn dictionary(workingFile(), nullptr);
    QCOMPARE(readAll(workingFile()), m_list);
    // The resource is the committed list, not some other file.
    const QByteArray source = qgetenv("LEXI_SOURCE_DIR");
    if (source.isEmpty())
        QSKIP("LEXI_SOURCE_DIR not set");
    QCOMPARE(m_list, readAll(QString::fromLocal8Bit(source) + "/assets/words/english.dat"));
}

void TestDictionary::workingFileRemovedOnDestruction()
{
    {
        TDictn dictionary(workingFile(), nullptr);
        QVERIFY(QFile::exists(workingFile()));
    }
    QVERIFY(!QFile::exists(workingFile()));

    QVERIFY(writeAll(workingFile(), customList()));
    { TDictn dictionary(workingFile(), nullptr); }
    QVERIFY(!QFile::exists(workingFile()));
}

void TestDictionary::failureReportedOnce_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("resource");
    QTest::addColumn<bool>("makeDirectory");
    QTest::newRow("no file, no resource")
        << QStringLiteral("English") << QStringLiteral(":/words/missing.dat") << false;
    QTest::newRow("folder cannot be written")
        << QStringLiteral("missing/English") << WordListResource << false;
    QTest::newRow("working file cannot be opened")
        << QStringLiteral("English") << WordListResource << true;
}

void TestDictionary::failureReportedOnce()
{
    QFETCH(QString, file);
    QFETCH(QString, resource);
    QFETCH(bool, makeDirectory);
    const QString path = m_dir->filePath(file);
    if (makeDirectory)
        QVERIFY(QDir().mkpath(path));
    RecordingNotifier notifier;
    {
        TDictn dictionary(path, &notifier, resource);
        QCOMPARE(notifier.messages, QStringList{NotFound});
        for (const char *word : {"CAT", "cat", "", "ZZZZZZZZZZZZZZ"}) {
            QVERIFY(!dictionary.isword(word));
            QCOMPARE(dictionary.lastProbeCount(), 0);
        }
    }
    QCOMPARE(notifier.messages.size(), 1);
    QCOMPARE(QFileInfo(path).isFile(), false);

    TDictn silent(path, nullptr, resource); // no notifier: the failure stays quiet
    QVERIFY(!silent.isword("CAT"));
}

void TestDictionary::interruptedWriteLeavesNoFile()
{
    // A file size limit makes the copy fail part-way, as a full disk would. A truncated list
    // left behind would be trusted by the next run.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    RecordingNotifier notifier;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^TDictn: cannot write")));
    {
        TDictn dictionary(workingFile(), &notifier);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!QFile::exists(workingFile()));
        QVERIFY(!dictionary.isword("CAT"));
    }
    QCOMPARE(notifier.messages, QStringList{NotFound});
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

// A real full disk with room for all but the last page of the list: the last buffered bytes
// cannot be written. No cut copy may stand in for the list; the player is told as for no list.
void TestDictionary::fullDiskLeavesNoCutCopy()
{
    FullDisk disk(8 * 1024 * 1024);
    if (!disk.mounted())
        QSKIP(disk.skipReason());
    QVERIFY(disk.fill(m_list.size() - 1));
    const QString path = disk.filePath(QStringLiteral("English"));
    RecordingNotifier notifier;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^TDictn: cannot write")));
    {
        TDictn dictionary(path, &notifier);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!dictionary.isword("CAT"));
        QCOMPARE(notifier.messages, QStringList{NotFound});
    }
    QCOMPARE(disk.entries(), QStringList());
}

QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_dictionary.moc"
