#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "fulldisk.h"
#include "words/inieditor.h"

namespace {

// A settings file as the lobby might leave it: its own sections around ours, with the
// characters a careless writer would escape, quote or drop.
QByteArray sharedFile(const QByteArray &eol)
{
    const QList<QByteArray> lines = {
        "; Orvo lobby settings",
        "[Lobby]",
        "Servers=a.example,b.example;c.example",
        "Path = C:\\Games\\Orvo\\ ",
        "Quote=\"hello, world\" ; not a comment",
        "  Odd   =  spaced   ",
        "",
        "[Lexitangle]",
        "Top=3",
        "Textcolor = clblack",
        "",
        "; the next one is the lobby's again",
        "[Other]",
        "Top=77",
    };
    return lines.join(eol) + eol;
}

QByteArray edited(const QByteArray &bytes, const QByteArray &section, const QByteArray &key,
                  const QByteArray &value)
{
    IniEditor ini = IniEditor::fromBytes(bytes);
    ini.setValue(section, key, value);
    return ini.toBytes();
}

} // namespace

class TestIniEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // setValue changes exactly one line, inserts one, or appends one section; nothing else moves.
    void setValueEditsInPlace_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("after");

        const QByteArray crlf = sharedFile("\r\n");
        const QByteArray lf = sharedFile("\n");
        QByteArray expected = crlf;
        expected.replace("[Lexitangle]\r\nTop=3\r\n", "[Lexitangle]\r\nTop=120\r\n");
        QTest::newRow("existing key, CRLF") << crlf << QByteArray("Lexitangle") << QByteArray("Top")
                                            << QByteArray("120") << expected;
        expected = crlf;
        expected.replace("Textcolor = clblack", "Textcolor = clred");
        QTest::newRow("spacing and spelling kept") << crlf << QByteArray("LEXITANGLE")
                                                   << QByteArray("textcolor") << QByteArray("clred")
                                                   << expected;
        expected = crlf;
        expected.replace("Textcolor = clblack\r\n", "Textcolor = clblack\r\nWidth=775\r\n");
        QTest::newRow("new key after the last key, CRLF")
            << crlf << QByteArray("Lexitangle") << QByteArray("Width") << QByteArray("775") << expected;
        expected = lf;
        expected.replace("Textcolor = clblack\n", "Textcolor = clblack\nWidth=775\n");
        QTest::newRow("new key after the last key, LF")
            << lf << QByteArray("Lexitangle") << QByteArray("Width") << QByteArray("775") << expected;
        QTest::newRow("new section, CRLF")
            << crlf << QByteArray("Games") << QByteArray("Tiles") << QByteArray("classic")
            << crlf + "\r\n[Games]\r\nTiles=classic\r\n";
        QTest::newRow("new section, LF")
            << lf << QByteArray("Games") << QByteArray("Tiles") << QByteArray("x")
            << lf + "\n[Games]\nTiles=x\n";
        QTest::newRow("mixed endings: new lines take the first one")
            << QByteArray("[A]\nx=1\r\n") << QByteArray("A") << QByteArray("y") << QByteArray("2")
            << QByteArray("[A]\nx=1\r\ny=2\n");
        QTest::newRow("no final line break stays so")
            << QByteArray("[Lobby]\r\nx=1") << QByteArray("Lexitangle") << QByteArray("Top")
            << QByteArray("3") << QByteArray("[Lobby]\r\nx=1\r\n\r\n[Lexitangle]\r\nTop=3");
        QTest::newRow("empty section gets the key under its header")
            << QByteArray("[Lexitangle]\r\n\r\n[Lobby]\r\n") << QByteArray("Lexitangle")
            << QByteArray("Top") << QByteArray("3")
            << QByteArray("[Lexitangle]\r\nTop=3\r\n\r\n[Lobby]\r\n");
        QTest::newRow("empty document uses CRLF")
            << QByteArray() << QByteArray("Lexitangle") << QByteArray("Top") << QByteArray("3")
            << QByteArray("[Lexitangle]\r\nTop=3\r\n");
        QTest::newRow("byte order mark kept, section still found")
            << QByteArray("\xEF\xBB\xBF[Lexitangle]\r\nTop=3\r\n") << QByteArray("Lexitangle")
            << QByteArray("Top") << QByteArray("4")
            << QByteArray("\xEF\xBB\xBF[Lexitangle]\r\nTop=4\r\n");
        QTest::newRow("duplicate key: first one written")
            << QByteArray("[L]\r\nA=1\r\nA=2\r\n") << QByteArray("L") << QByteArray("A")
            << QByteArray("9") << QByteArray("[L]\r\nA=9\r\nA=2\r\n");
        QTest::newRow("duplicate section: first one written")
            << QByteArray("[L]\r\nA=1\r\n[X]\r\n[l]\r\nB=2\r\n") << QByteArray("L") << QByteArray("B")
            << QByteArray("5") << QByteArray("[L]\r\nA=1\r\nB=5\r\n[X]\r\n[l]\r\nB=2\r\n");
        QTest::newRow("commented key is not the key")
            << QByteArray("[L]\r\n;Top=3\r\n") << QByteArray("L") << QByteArray("Top")
            << QByteArray("5") << QByteArray("[L]\r\nTop=5\r\n;Top=3\r\n");
        QTest::newRow("trailing blanks after the value kept")
            << QByteArray("[L]\r\nTop = 3  \r\n") << QByteArray("L") << QByteArray("Top")
            << QByteArray("44") << QByteArray("[L]\r\nTop = 44  \r\n");
        QTest::newRow("empty value replaced")
            << QByteArray("[L]\r\nPhrase1=\r\n") << QByteArray("L") << QByteArray("Phrase1")
            << QByteArray("gg") << QByteArray("[L]\r\nPhrase1=gg\r\n");
        QTest::newRow("line breaks and 0xFF dropped from the value")
            << QByteArray("[L]\r\nPhrase1=a\r\n") << QByteArray("L") << QByteArray("Phrase1")
            << QByteArray("one\r\n[Evil]\ntwo\xFF") << QByteArray("[L]\r\nPhrase1=one[Evil]two\r\n");
        QTest::newRow("empty key ignored")
            << QByteArray("[L]\r\n") << QByteArray("L") << QByteArray("") << QByteArray("x")
            << QByteArray("[L]\r\n");
    }
    void setValueEditsInPlace()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, after);
        QCOMPARE(edited(before, section, key, value), after);
    }

    // Writing every key the program saves leaves the foreign parts of the file byte for byte.
    void foreignSectionsSurviveASave_data()
    {
        QTest::addColumn<QByteArray>("eol");
        QTest::newRow("CRLF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
    }
    void foreignSectionsSurviveASave()
    {
        QFETCH(QByteArray, eol);
        const QByteArray before = sharedFile(eol);
        IniEditor ini = IniEditor::fromBytes(before);
        const QList<QByteArray> keys = {"Textsize", "Top", "Left", "Width", "Height", "Textcolor",
                                        "Actioncolor", "Playtoscore", "Timeperturn", "Boardsize",
                                        "Minletters", "Timebetweenrounds", "Wordslisttop",
                                        "Wordslistleft", "Turnsound", "Clickletters",
                                        "Disabletyping", "Tiles", "Playsounds", "ChatterSounds"};
        for (const QByteArray &key : keys)
            ini.setValue("Lexitangle", key, key + "-v");
        const QByteArray after = ini.toBytes();

        const QByteArray head = before.left(before.indexOf("[Lexitangle]"));
        const QByteArray tail = before.mid(before.indexOf(eol + eol + "; the next one"));
        QVERIFY(after.startsWith(head));
        QVERIFY(after.endsWith(tail));
        QCOMPARE(after.count("\r\n"), eol == "\r\n" ? before.count("\r\n") + keys.size() - 2 : 0);
        QCOMPARE(after.count('\n'), before.count('\n') + keys.size() - 2);

        const IniEditor reread = IniEditor::fromBytes(after);
        for (const QByteArray &key : keys)
            QCOMPARE(reread.value("Lexitangle", key), key + "-v");
        QCOMPARE(reread.value("Other", "Top"), QByteArray("77"));
        QCOMPARE(reread.value("Lobby", "Path"), QByteArray("C:\\Games\\Orvo\\"));
    }

    // Values come back raw, only trimmed; names are found in any letter case.
    void value_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray crlf = sharedFile("\r\n");
        const QByteArray dflt = "<default>";
        QTest::newRow("commas and semicolons") << crlf << QByteArray("Lobby") << QByteArray("Servers")
                                               << QByteArray("a.example,b.example;c.example");
        QTest::newRow("backslashes, trailing blank trimmed")
            << crlf << QByteArray("Lobby") << QByteArray("Path") << QByteArray("C:\\Games\\Orvo\\");
        QTest::newRow("quotes and semicolon not unescaped")
            << crlf << QByteArray("Lobby") << QByteArray("Quote")
            << QByteArray("\"hello, world\" ; not a comment");
        QTest::newRow("blanks around the equals sign") << crlf << QByteArray("Lobby")
                                                       << QByteArray("Odd") << QByteArray("spaced");
        QTest::newRow("names in any case") << crlf << QByteArray("lOBBY") << QByteArray("SERVERS")
                                           << QByteArray("a.example,b.example;c.example");
        QTest::newRow("same key, other section") << crlf << QByteArray("Other") << QByteArray("Top")
                                                 << QByteArray("77");
        QTest::newRow("key of another section not seen")
            << crlf << QByteArray("Lobby") << QByteArray("Top") << dflt;
        QTest::newRow("missing section") << crlf << QByteArray("Nope") << QByteArray("Top") << dflt;
        QTest::newRow("LF file") << sharedFile("\n") << QByteArray("Lexitangle")
                                 << QByteArray("Textcolor") << QByteArray("clblack");
        QTest::newRow("present but empty is not the default")
            << QByteArray("[L]\r\nPhrase1=\r\n") << QByteArray("L") << QByteArray("Phrase1")
            << QByteArray();
        QTest::newRow("first of duplicate keys") << QByteArray("[L]\nA=1\nA=2\n") << QByteArray("L")
                                                 << QByteArray("a") << QByteArray("1");
        QTest::newRow("only the first of duplicate sections")
            << QByteArray("[L]\nA=1\n[l]\nB=2\n") << QByteArray("L") << QByteArray("B") << dflt;
        QTest::newRow("equals sign inside the value") << QByteArray("[L]\nA = b=c\n") << QByteArray("L")
                                                      << QByteArray("A") << QByteArray("b=c");
        QTest::newRow("commented key") << QByteArray("[L]\n;A=1\n#B=2\n") << QByteArray("L")
                                       << QByteArray("A") << dflt;
        QTest::newRow("header without closing bracket")
            << QByteArray("[L\nA=1\n") << QByteArray("L") << QByteArray("A") << dflt;
        QTest::newRow("key before any section") << QByteArray("A=1\n[L]\n") << QByteArray("L")
                                                << QByteArray("A") << dflt;
        QTest::newRow("blanks inside the brackets") << QByteArray("[ L ]\r\nA=1\r\n") << QByteArray("L")
                                                    << QByteArray("A") << QByteArray("1");
        QTest::newRow("last line cut after CR") << QByteArray("[L]\r\nA=3\r") << QByteArray("L")
                                                << QByteArray("A") << QByteArray("3");
        QTest::newRow("empty document") << QByteArray() << QByteArray("L") << QByteArray("A") << dflt;
    }
    void value()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        const IniEditor ini = IniEditor::fromBytes(bytes);
        QCOMPARE(ini.value(section, key, "<default>"), expected);
        QCOMPARE(ini.toBytes(), bytes);
    }

    // A missing file reads as empty; the first save creates it.
    void loadMissingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("orvolobby.ini");
        IniEditor ini = IniEditor::fromBytes("[Stale]\r\nA=1\r\n");
        QVERIFY(ini.load(path));
        QCOMPARE(ini.toBytes(), QByteArray());
        ini.setValue("Lexitangle", "Top", "3");
        QVERIFY(ini.save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Lexitangle]\r\nTop=3\r\n"));
    }

    // save replaces the whole file and load gives back the same bytes.
    void saveLoadRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CRLF") << sharedFile("\r\n");
        QTest::newRow("LF, no final break") << sharedFile("\n").chopped(1);
        QTest::newRow("binary bytes") << QByteArray("[L]\r\nA=\x01\xFE\0b\r\n", 13);
    }
    void saveLoadRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("orvolobby.ini");
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(4096, 'x')); // longer than the new content: no tail may remain
        }
        QVERIFY(IniEditor::fromBytes(bytes).save(path));
        IniEditor back;
        QVERIFY(back.load(path));
        QCOMPARE(back.toBytes(), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"orvolobby.ini"});
    }

    // A save that cannot complete leaves neither a partial file nor a temporary one behind.
    void failedSaveLeavesNothing()
    {
        QTemporaryDir dir;
        const IniEditor ini = IniEditor::fromBytes(sharedFile("\r\n"));
        QVERIFY(!ini.save(dir.filePath("missing/orvolobby.ini")));
        QVERIFY(QDir(dir.path()).mkdir("orvolobby.ini")); // the name is taken by a folder
        QVERIFY(!ini.save(dir.filePath("orvolobby.ini")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"orvolobby.ini"});
        QVERIFY(QFileInfo(dir.filePath("orvolobby.ini")).isDir());
    }

    // A full disk: the save fails and the shared file, the lobby's sections with it, stays whole.
    void saveOnFullDisk()
    {
        FullDisk disk;
        if (!disk.mounted())
            QSKIP(disk.skipReason());
        const QString path = disk.filePath(QStringLiteral("orvolobby.ini"));
        QVERIFY(IniEditor::fromBytes(sharedFile("\r\n")).save(path));
        QVERIFY(disk.fill());
        IniEditor ini;
        QVERIFY(ini.load(path));
        ini.setValue("Lexitangle", "Top", "40");
        QVERIFY(!ini.save(path));
        IniEditor back;
        QVERIFY(back.load(path));
        QCOMPARE(back.toBytes(), sharedFile("\r\n"));
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("orvolobby.ini")});
    }

    // Unreadable or absurdly large files are refused instead of being half read.
    void loadRefusals()
    {
        QTemporaryDir dir;
        IniEditor ini;
        QVERIFY(!ini.load(dir.path()));
        const QString big = dir.filePath("big.ini");
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(IniEditor::MaxFileSize + 1));
        }
        ini = IniEditor::fromBytes("[L]\nA=1\n");
        QVERIFY(!ini.load(big));
        QCOMPARE(ini.toBytes(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestIniEditor)
#include "tst_inieditor.moc"
