#include <QDir>
#include <QFile>
#include <QSoundEffect>
#include <QTest>
#include <QtEndian>

#include <memory>

#include "client/qtsoundplayer.h"

namespace {

struct WaveFormat {
    bool riff = false;
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 bits = 0;
    quint32 dataBytes = 0;
};

// Walks the RIFF chunks the way a strict reader would: every chunk must fit in the file.
WaveFormat readWave(const QByteArray &bytes)
{
    WaveFormat wave;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wave;
    if (qFromLittleEndian<quint32>(bytes.constData() + 4) != quint32(bytes.size() - 8))
        return wave;
    qsizetype at = 12;
    bool haveFormat = false;
    bool haveData = false;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const qsizetype body = at + 8;
        if (length > quint32(bytes.size() - body))
            return wave;
        if (id == "fmt " && length >= 16) {
            wave.format = qFromLittleEndian<quint16>(bytes.constData() + body);
            wave.channels = qFromLittleEndian<quint16>(bytes.constData() + body + 2);
            wave.rate = qFromLittleEndian<quint32>(bytes.constData() + body + 4);
            wave.bits = qFromLittleEndian<quint16>(bytes.constData() + body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wave.dataBytes = length;
            haveData = true;
        }
        at = body + length + (length & 1);
    }
    wave.riff = haveFormat && haveData;
    return wave;
}

} // namespace

class TestSoundPlayer : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QtSoundPlayer> m_player;

private Q_SLOTS:
    void initTestCase()
    {
        // The player registers the sound resources that the file checks below read.
        m_player = std::make_unique<QtSoundPlayer>();
    }

    // --- the clips carried ----------------------------------------------------------

    // Exactly the clips the game asks for are carried: none missing, none extra.
    void resourcesAreExactlyTheClips()
    {
        QStringList expected = {"CLEAR", "CLICK", "ENTERED", "GAMEOVER", "GOODWORD",
                                "INVALID", "ROTATE", "ROUNDOVER", "SENDWORD", "TICK",
                                "TURN", "TURNNEW"};
        for (int n = 1; n <= 20; ++n)
            expected << QStringLiteral("WAVE%1").arg(n);
        QStringList names = QtSoundPlayer::clipNames();
        QCOMPARE(names.size(), 32);
        names.sort();
        expected.sort();
        QCOMPARE(names, expected);

        QStringList files = QDir(QStringLiteral(":/sounds")).entryList(QDir::Files);
        for (QString &f : files)
            f.chop(4); // ".wav"
        files.sort();
        QCOMPARE(files, expected);
    }

    // Every clip is a plain PCM WAVE file that QSoundEffect can play: mono, 22050 Hz,
    // 16 bits, short.
    void clipIsPlayableWave_data()
    {
        QTest::addColumn<QString>("clip");
        for (const QString &clip : QtSoundPlayer::clipNames())
            QTest::newRow(qPrintable(clip)) << clip;
    }
    void clipIsPlayableWave()
    {
        QFETCH(QString, clip);
        QFile file(QtSoundPlayer::resourcePath(clip));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const WaveFormat wave = readWave(file.readAll());
        QVERIFY(wave.riff);
        QCOMPARE(wave.format, quint16(1));
        QCOMPARE(wave.channels, quint16(1));
        QCOMPARE(wave.rate, quint32(22050));
        QCOMPARE(wave.bits, quint16(16));
        QVERIFY(wave.dataBytes > 0);
        QVERIFY2(wave.dataBytes <= 2 * 22050 * 2, "clip longer than two seconds");
    }

    // --- names --------------------------------------------------------------------

    // Names match in any letter case (the game asks for "tick", the network sends
    // "wave3"); anything else, including paths and look-alike letters, is no clip.
    void clipFor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("clip");
        QTest::newRow("capitals") << "TICK" << "TICK";
        QTest::newRow("small letters") << "tick" << "TICK";
        QTest::newRow("mixed") << "RoundOver" << "ROUNDOVER";
        QTest::newRow("chatter from the wire") << "wave3" << "WAVE3";
        QTest::newRow("last chatter") << "wave20" << "WAVE20";
        QTest::newRow("chatter 21") << "wave21" << "";
        QTest::newRow("chatter 0") << "wave0" << "";
        QTest::newRow("leading zero") << "wave03" << "";
        QTest::newRow("no clip for place") << "place" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("parent path") << "../x" << "";
        QTest::newRow("resource path") << ":/sounds/TICK.wav" << "";
        QTest::newRow("file name") << "TICK.wav" << "";
        QTest::newRow("blank before") << " tick" << "";
        QTest::newRow("blank after") << "tick " << "";
        QTest::newRow("dotless i") << QString::fromUtf8("t\u0131ck") << "";
        QTest::newRow("kelvin sign") << QString::fromUtf8("TIC\u212A") << "";
        QTest::newRow("nul inside") << QString::fromLatin1("TI\0CK", 5) << "";
        QTest::newRow("too long") << "ROUNDOVERS" << "";
        QTest::newRow("very long") << QString(100000, QLatin1Char('A')) << "";
    }
    void clipFor()
    {
        QFETCH(QString, name);
        QFETCH(QString, clip);
        QCOMPARE(QtSoundPlayer::clipFor(name), clip);
        QCOMPARE(QtSoundPlayer::isClip(name), !clip.isEmpty());
        QCOMPARE(QtSoundPlayer::resourcePath(name).isEmpty(), clip.isEmpty());
        if (!clip.isEmpty())
            QVERIFY(QFile::exists(QtSoundPlayer::resourcePath(name)));
    }

    // --- playing ------------------------------------------------------------------

    // A name that is no clip plays nothing and creates nothing, device or not.
    void playUnknownNameDoesNothing()
    {
        QtSoundPlayer player;
        for (const char *name : {"place", "../x", "wave21", "", "TICK.wav"})
            player.play(QString::fromLatin1(name));
        QVERIFY(player.findChildren<QSoundEffect *>().isEmpty());
    }

    // Without an audio output every request returns at once and touches no
    // QSoundEffect (one without a device would never report its end).
    void playWithoutDeviceDoesNothing()
    {
        QtSoundPlayer player;
        if (player.hasAudioOutput())
            QSKIP("this machine has an audio output");
        for (int round = 0; round < 2; ++round) {
            for (const QString &clip : QtSoundPlayer::clipNames())
                player.play(clip);
        }
        QVERIFY(player.findChildren<QSoundEffect *>().isEmpty());
    }

    // With an output, QSoundEffect itself must accept every clip (a header it cannot
    // read would leave the clip silent for good).
    void clipsLoadOnDevice()
    {
        QtSoundPlayer player;
        if (!player.hasAudioOutput())
            QSKIP("this machine has no audio output");
        for (const QString &clip : QtSoundPlayer::clipNames())
            player.play(clip);
        const auto effects = player.findChildren<QSoundEffect *>();
        QCOMPARE(effects.size(), QtSoundPlayer::clipNames().size());
        for (QSoundEffect *effect : effects) {
            QTRY_VERIFY(effect->status() != QSoundEffect::Loading);
            QVERIFY2(effect->status() == QSoundEffect::Ready, qPrintable(effect->source().toString()));
        }
    }

    // With an output, a second clip cuts the first one off, and one effect serves
    // each clip however often it plays.
    void secondClipStopsFirst()
    {
        QtSoundPlayer player;
        if (!player.hasAudioOutput())
            QSKIP("this machine has no audio output");
        player.play(QStringLiteral("WAVE13"));
        player.play(QStringLiteral("tick"));
        player.play(QStringLiteral("TICK"));
        const auto effects = player.findChildren<QSoundEffect *>();
        QCOMPARE(effects.size(), 2);
        for (QSoundEffect *effect : effects) {
            if (effect->source().toString().endsWith(QLatin1String("WAVE13.wav")))
                QVERIFY(!effect->isPlaying());
        }
    }
};

QTEST_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
