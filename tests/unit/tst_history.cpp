// The game history through the real SQLite driver: games and rounds written and read back,
// a version-1 file brought up to date, damaged, foreign and newer files, a full disk, the
// statistics against counts made straight from the games written, and the recorder that
// turns a client session's messages into rounds.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#include "boardrows.h"
#include "filebytes.h"
#include "fulldisk.h"
#include "net/messages.h"
#include "records/gamerecorder.h"
#include "records/historyschema.h"
#include "records/historystatistics.h"
#include "records/historystore.h"
#include "records/recordedboard.h"
#include "session/clientsession.h"
#include "words/lettercodes.h"

namespace {

using namespace Record;

GameOpening opening(quint64 key, Role role, int boardType, const QDateTime &started = QDateTime::currentDateTimeUtc())
{
    return {key, started, {role, "127.0.0.1"}, 1, {50, 60, boardType, 3}};
}

QList<SeatResult> seats(const QList<QByteArray> &names, const QList<int> &scores, const QList<int> &totals)
{
    QList<SeatResult> list;
    for (int i = 0; i < names.size(); ++i)
        list.append({i + 1, names[i], scores.value(i), totals.value(i)});
    return list;
}

Round round(quint64 key, const BoardCells &cells, const QList<OwnWord> &own, const QByteArrayList &listed,
            const QList<SeatResult> &seatResults, int boardWords = 30)
{
    Round r;
    r.gameKey = key;
    r.ended = QDateTime::currentDateTimeUtc();
    r.cells = cells;
    r.ownWords = own;
    r.listed = listed;
    r.seats = seatResults;
    r.boardWords = boardWords;
    return r;
}

int count(HistoryStore &store, const QString &sql)
{
    QSqlQuery q(store.database());
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

QString fixture(const QString &name)
{
    return qEnvironmentVariable("LEXI_SOURCE_DIR") + QStringLiteral("/tests/fixtures/") + name;
}

const BoardCells Cats = boardFromRows({"CATS", "OXEC", "DOGA", "ENDT"});

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(fixture(QStringLiteral("history-v1.db"))), "LEXI_SOURCE_DIR must name the source tree");
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).removeRecursively());
        QVERIFY(QDir().mkpath(m_dir.path()));
        m_path = HistoryStore::fileIn(m_dir.path());
        QCOMPARE(QFileInfo(m_path).fileName(), QStringLiteral("Lexitanglehistory.db"));
    }

    // --- round trip ---

    // Two games written round by round come back as the list by date, as the review's rounds
    // and as earlier results on the same board; the file is in the WAL journal.
    void roundTrip()
    {
        HistoryStore store(m_path);
        QCOMPARE(store.open(), QString());
        QCOMPARE(store.state(), HistoryStore::State::Open);
        const QDateTime monday = QDateTime(QDate(2024, 5, 6), QTime(10, 0), Qt::UTC);
        const GameOpening solo = opening(1, Role::Solo, 4, monday);
        const QList<OwnWord> words{{"CAT", 0, 2, true}, {"XQZ", 1, 0, false}, {"CODE", 0, 4, false}, {"CAT", 2, 0, false}};
        QString error;
        QVERIFY(store.writeRound(solo, round(1, Cats, words, {"CAT", "CODE", "DOG"}, seats({"You", "Mia (cpu)"}, {6, 3}, {6, 3})), &error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const BoardCells second = boardFromRows({"DOCK", "OXEN", "GATE", "EAST"});
        QVERIFY(store.writeRound(solo, round(1, second, {}, {}, seats({"You", "Mia (cpu)"}, {0, 9}, {6, 12}), -1), &error));
        QVERIFY(store.closeGame({1, QDateTime::currentDateTimeUtc(), "Mia (cpu)", false, seats({"You", "Mia (cpu)"}, {}, {6, 12})}, &error));
        const GameOpening joined{2, monday.addDays(1), {Role::Join, "192.0.2.7"}, 2, {100, 90, 9, 4}};
        QVERIFY(store.writeRound(joined, round(2, Cats, {{"CODE", 0, 5, true}}, {"CODE"}, seats({"Ann", "You"}, {0, 5}, {0, 5})), &error));

        const QList<HistoryStore::GameEntry> games = store.games();
        QCOMPARE(games.size(), 2);
        QCOMPARE(games[0].id, 2); // newest first
        QCOMPARE(games[0].role, Role::Join);
        QCOMPARE(games[0].hostName, QByteArray("Ann"));
        QCOMPARE(games[0].ownScore, 5);
        QVERIFY(games[0].winner.isEmpty());
        QCOMPARE(games[1].started, monday);
        QCOMPARE(games[1].rounds, 2);
        QCOMPARE(games[1].winner, QByteArray("Mia (cpu)"));
        QVERIFY(!games[1].won);
        QCOMPARE(games[1].boardType, 4);

        const auto past = store.game(games[1].id);
        QVERIFY(past);
        QCOMPARE(past->rounds.size(), 2);
        QCOMPARE(past->rounds[0].cells, Cats);
        QCOMPARE(past->rounds[0].minLetters, 3);
        QCOMPARE(past->rounds[0].ownWords, QByteArrayList({"CAT", "CODE"})); // accepted only
        QCOMPARE(past->rounds[0].tableWords, QByteArrayList({"CAT", "CODE", "DOG"}));
        QCOMPARE(past->rounds[1].cells, second);
        QVERIFY(past->rounds[1].tableWords.isEmpty());
        QVERIFY(!store.game(99));

        const QList<HistoryStore::BoardResult> earlier = store.resultsOnBoard(RecordedBoard::squareOf(Cats));
        QCOMPARE(earlier.size(), 2);
        QCOMPARE(earlier[0].found, 2);
        QCOMPARE(earlier[0].points, 6);
        QCOMPARE(earlier[0].boardWords, 30);
        QCOMPARE(earlier[1].gameId, 2);
        QCOMPARE(earlier[1].minLetters, 4);
        QCOMPARE(store.resultsOnBoard(RecordedBoard::squareOf(second)).first().boardWords, -1);

        QCOMPARE(count(store, "SELECT count(*) FROM own_words"), 5); // refusals kept with their verdicts
        QCOMPARE(count(store, "SELECT verdict FROM own_words WHERE position = 3"), 2);
        QCOMPARE(count(store, "SELECT count(*) FROM players"), 4);
        QCOMPARE(count(store, "SELECT score FROM players WHERE game_id = 1 AND seat = 2"), 12);
        QSqlQuery mode(store.database());
        QVERIFY(mode.exec("PRAGMA journal_mode") && mode.next());
        QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));
    }

    // The square of a board is the same wherever the grid holds it, and a board that does not
    // read back is no board.
    void boardText_data()
    {
        QTest::addColumn<QByteArray>("grid");
        QTest::addColumn<int>("side");
        QTest::addColumn<QByteArray>("letters");
        QTest::newRow("4x4") << RecordedBoard::gridText(Cats) << 4 << QByteArray("catsoxecdogaendt");
        QTest::newRow("empty") << QByteArray(100, '.') << 0 << QByteArray();
        QTest::newRow("short") << QByteArray(99, 'a') << -1 << QByteArray();
        QTest::newRow("capital") << QByteArray(100, 'A') << -1 << QByteArray();
    }
    void boardText()
    {
        QFETCH(QByteArray, grid);
        QFETCH(int, side);
        QFETCH(QByteArray, letters);
        const auto cells = RecordedBoard::cellsFromGrid(grid);
        QCOMPARE(cells.has_value(), side >= 0);
        if (!cells)
            return;
        QCOMPARE(RecordedBoard::gridText(*cells), grid);
        QCOMPARE(RecordedBoard::squareOf(*cells), (RecordedBoard::Square{side, letters}));
    }

    // --- versions ---

    // The version-1 fixture (two games, three rounds, one of them with a board that does not
    // read) comes up to the current version with every round's summary filled in.
    void migratesVersionOne()
    {
        QVERIFY(QFile::copy(fixture(QStringLiteral("history-v1.db")), m_path));
        QFile(m_path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        HistoryStore store(m_path);
        QCOMPARE(store.open(), QString());
        QCOMPARE(store.state(), HistoryStore::State::Open);
        QSqlDatabase db = store.database();
        QCOMPARE(HistorySchema::versionOf(db), HistorySchema::Version);
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT found, points, longest, best_word, best_points, len1 || len2 || len3 || len4 || len5,"
                       " side, letters FROM rounds JOIN boards ON round_id = id ORDER BY id"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 2);
        QCOMPARE(q.value(1).toInt(), 5);
        QCOMPARE(q.value(2).toByteArray(), QByteArray("CODE"));
        QCOMPARE(q.value(3).toByteArray(), QByteArray("CODE"));
        QCOMPARE(q.value(4).toInt(), 4);
        QCOMPARE(q.value(5).toString(), QStringLiteral("00110"));
        QCOMPARE(q.value(6).toInt(), 4);
        QCOMPARE(q.value(7).toString(), QStringLiteral("catsoxecdogaendt"));
        QVERIFY(q.next());
        QCOMPARE(q.value(3).toByteArray(), QByteArray("CATS")); // 4 points beat DOGE's 3
        QVERIFY(q.next());
        QCOMPARE(q.value(6).toInt(), 0); // the board that does not read
        QCOMPARE(count(store, "SELECT own_score FROM games WHERE id = 1"), 12);
        QCOMPARE(store.games().size(), 2);
        QCOMPARE(store.game(1)->rounds.size(), 2);
        QCOMPARE(store.game(2)->rounds.size(), 0);

        const HistoryStatistics::Figures f = HistoryStatistics::compute(db, {});
        QCOMPARE(f.games, 2);
        QCOMPARE(f.wins, 1);
        QCOMPARE(f.rounds, 3);
        QCOMPARE(f.wordsFound, 5);
        QCOMPARE(f.longestWord, QByteArray("STONE"));
        QCOMPARE(f.sharedRounds, 1); // one board count known, one unknown, one zero
        // A new round goes on from where version 1 left off.
        QString error;
        QVERIFY(store.writeRound(opening(7, Role::Solo, 4), round(7, Cats, {}, {}, {}), &error));
        QCOMPARE(count(store, "SELECT count(*) FROM rounds"), 4);
    }

    // A file that is not a readable history is kept aside beside any kept before, and a new
    // one is started, with one line to tell; a newer history is left byte for byte.
    void damagedAndNewerFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("keptBefore");
        QTest::addColumn<QString>("keptAs");

        QTest::newRow("garbage") << QByteArray("this is no database, just text\n").repeated(200) << 0 << ".bad";
        QTest::newRow("garbage, .bad taken") << QByteArray(5000, '\x5A') << 1 << ".bad.1";
        QTest::newRow("garbage, two taken") << QByteArray(5000, '\x5A') << 2 << ".bad.2";
        QTest::newRow("cut short") << readAll(fixture(QStringLiteral("history-v1.db"))).left(9000) << 0 << ".bad";
        QByteArray stomped = readAll(fixture(QStringLiteral("history-v1.db")));
        for (int i = 4096; i < 4096 + 100 && i < stomped.size(); ++i)
            stomped[i] = char(0xEE); // the head of a table's page
        QTest::newRow("pages overwritten") << stomped << 0 << ".bad";
        QTest::newRow("newer version") << QByteArray() << 0 << QString();
    }
    void damagedAndNewerFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, keptBefore);
        QFETCH(QString, keptAs);
        const bool newer = content.isEmpty();
        if (newer) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
            db.setDatabaseName(m_path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("CREATE TABLE games (whatever)") && q.exec("PRAGMA user_version = 99"));
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("newer"));
            content = readAll(m_path);
        } else {
            QVERIFY(writeAll(m_path, content));
        }
        for (int n = 0; n < keptBefore; ++n)
            QVERIFY(writeAll(m_path + (n == 0 ? QStringLiteral(".bad") : QStringLiteral(".bad.%1").arg(n)), "earlier"));

        HistoryStore store(m_path);
        const QString notice = store.open();
        QVERIFY(!notice.isEmpty());
        QString error;
        if (newer) {
            QCOMPARE(store.state(), HistoryStore::State::Newer);
            QVERIFY(notice.contains(QStringLiteral("newer version")));
            QVERIFY(!store.writeRound(opening(1, Role::Solo, 4), round(1, Cats, {}, {}, {}), &error));
            QVERIFY(store.games().isEmpty());
            QCOMPARE(readAll(m_path), content);
            QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QFileInfo(m_path).fileName()});
            return;
        }
        QCOMPARE(store.state(), HistoryStore::State::Open);
        QCOMPARE(store.keptAs(), m_path + keptAs);
        QCOMPARE(readAll(m_path + keptAs), content);
        QVERIFY(notice.contains(QDir::toNativeSeparators(m_path + keptAs)));
        for (int n = 0; n < keptBefore; ++n)
            QCOMPARE(readAll(m_path + (n == 0 ? QStringLiteral(".bad") : QStringLiteral(".bad.%1").arg(n))), QByteArray("earlier"));
        QVERIFY(store.writeRound(opening(1, Role::Solo, 4), round(1, Cats, {}, {}, {}), &error));
        QCOMPARE(store.games().size(), 1);
    }

    // --- a full disk ---

    // Rounds are written until the disk is full: the round that fails is lost, every one
    // before it reads back from a file SQLite finds sound, and writing goes on once there is
    // room again.
    void fullDiskKeepsEarlierRounds()
    {
        FullDisk disk(2 * 1024 * 1024);
        if (!disk.mounted())
            QSKIP(disk.skipReason());
        const QString path = HistoryStore::fileIn(disk.folder());
        int written = 0;
        QString error;
        const QByteArrayList listed = QByteArray("WORD+").repeated(2000).split('+');
        {
            HistoryStore store(path);
            QCOMPARE(store.open(), QString());
            QVERIFY(disk.fill(256 * 1024));
            const GameOpening game = opening(1, Role::Solo, 7);
            while (written < 1000 && store.writeRound(game, round(1, Cats, {{"CAT", 0, 2, true}}, listed, seats({"You"}, {2}, {2})), &error))
                ++written;
            QVERIFY2(written > 0 && written < 1000, qPrintable(QString::number(written)));
            QVERIFY(!error.isEmpty());
            QCOMPARE(count(store, "SELECT count(*) FROM rounds"), written);
        }
        QVERIFY(QFile::remove(QDir(disk.folder()).filePath(QStringLiteral("../filler"))));
        HistoryStore again(path);
        QCOMPARE(again.open(), QString()); // sound: nothing kept aside
        QCOMPARE(count(again, "SELECT count(*) FROM rounds"), written);
        QCOMPARE(again.games().first().rounds, written);
        QVERIFY(again.writeRound(opening(2, Role::Solo, 7), round(2, Cats, {}, {}, {}), &error));
    }

    // --- statistics ---

    // Several hundred games of made-up play, with the figures worked out here straight from
    // what was written, for every filter.
    void statisticsMatchDirectCounts_data()
    {
        QTest::addColumn<int>("boardType");
        QTest::addColumn<int>("sinceDays"); // 0: all time
        QTest::newRow("all") << 0 << 0;
        QTest::newRow("4x4") << 4 << 0;
        QTest::newRow("random sizes") << 8 << 0;
        QTest::newRow("last 30 days") << 0 << 30;
        QTest::newRow("6x6, last 100 days") << 5 << 100;
    }
    void statisticsMatchDirectCounts()
    {
        QFETCH(int, boardType);
        QFETCH(int, sinceDays);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QDateTime since = sinceDays ? now.addDays(-sinceDays) : QDateTime();
        HistoryStatistics::Figures want;
        struct Them { int games = 0, winsAgainst = 0, theirWins = 0; double scores = 0; };
        std::map<QByteArray, Them> opponents;
        double shareSum = 0;

        HistoryStore store(m_path);
        QCOMPARE(store.open(), QString());
        QRandomGenerator rng(1234);
        const QByteArrayList names{"Mia (cpu)", "Ann", "Bob", "Cid"};
        const int types[] = {4, 5, 8};
        QString error;
        QSqlQuery(store.database()).exec("PRAGMA synchronous = OFF"); // no need to wait for the disk here
        for (quint64 key = 1; key <= 300; ++key) {
            const QDateTime started = now.addSecs(-qint64(rng.bounded(200 * 24 * 3600)));
            const GameOpening game = opening(key, Role::Solo, types[rng.bounded(3)], started);
            const bool kept = (!boardType || game.settings.boardType == boardType) && (!since.isValid() || started >= since);
            const QByteArrayList table = {"You", names[rng.bounded(4)], names[rng.bounded(4)]};
            QList<int> totals{0, 0, 0};
            const int roundCount = 1 + rng.bounded(4);
            for (int n = 0; n < roundCount; ++n) {
                QList<OwnWord> own;
                QList<int> scores{0, int(rng.bounded(20)), int(rng.bounded(20))};
                for (int w = rng.bounded(8); w > 0; --w) {
                    const int letters = 3 + rng.bounded(8);
                    const int verdict = rng.bounded(4) == 0 ? 1 + rng.bounded(3) : 0;
                    const OwnWord word{QByteArray(letters, char('A' + rng.bounded(26))), verdict, verdict ? 0 : letters, false};
                    own.append(word);
                    scores[0] += word.points;
                }
                for (int s = 0; s < 3; ++s)
                    totals[s] += scores[s];
                const int boardWords = rng.bounded(5) == 0 ? -1 : 5 + rng.bounded(60);
                Round r = round(key, Cats, own, {}, seats(table, scores, totals), boardWords);
                r.ended = started.addSecs(60 * (n + 1));
                QVERIFY2(store.writeRound(game, r, &error), qPrintable(error));
                if (!kept)
                    continue;
                ++want.rounds;
                want.points += scores[0];
                int found = 0;
                for (const OwnWord &w : own) {
                    if (w.verdict)
                        continue;
                    ++found;
                    ++want.wordsByLength[size_t(w.word.size())];
                }
                want.wordsFound += found;
                if (boardWords > 0) {
                    ++want.sharedRounds;
                    shareSum += qMin(1.0, double(found) / boardWords);
                }
                want.bestRoundPoints = qMax(want.bestRoundPoints, scores[0]);
            }
            const int top = int(std::max_element(totals.begin(), totals.end()) - totals.begin());
            QVERIFY(store.closeGame({key, started.addSecs(3600), table[top], top == 0, seats(table, {}, totals)}, &error));
            if (!kept)
                continue;
            ++want.games;
            want.wins += top == 0;
            for (int s = 1; s < 3; ++s) {
                Them &them = opponents[table[s]];
                ++them.games;
                them.winsAgainst += top == 0;
                them.theirWins += table[top] == table[s] && top != 0;
                them.scores += totals[s];
            }
        }

        const HistoryStatistics::Figures f = HistoryStatistics::compute(store.database(), {boardType, since});
        QCOMPARE(f.games, want.games);
        QVERIFY(f.games > 20);
        QCOMPARE(f.wins, want.wins);
        QCOMPARE(f.rounds, want.rounds);
        QCOMPARE(f.wordsFound, want.wordsFound);
        QCOMPARE(f.points, want.points);
        QCOMPARE(f.bestRoundPoints, want.bestRoundPoints);
        QCOMPARE(f.sharedRounds, want.sharedRounds);
        QVERIFY(qAbs(f.shareSum - shareSum) < 1e-9);
        QCOMPARE(f.wordsByLength, want.wordsByLength);
        // The curves: at most a point for each span of time, in order, no more points than
        // games or rounds, and every share a percentage.
        for (const QList<QPointF> &curve : {f.pointsPerGame, f.shareCurve}) {
            QVERIFY(!curve.isEmpty());
            QVERIFY(curve.size() <= HistoryStatistics::MaxCurvePoints);
            for (qsizetype i = 1; i < curve.size(); ++i)
                QVERIFY(curve[i].x() > curve[i - 1].x());
        }
        QVERIFY(f.pointsPerGame.size() <= want.games);
        QVERIFY(f.shareCurve.size() <= want.sharedRounds);
        for (const QPointF &p : f.shareCurve)
            QVERIFY(p.y() >= 0 && p.y() <= 100);
        QCOMPARE(f.opponents.size(), int(opponents.size()));
        for (const HistoryStatistics::Opponent &o : f.opponents) {
            const Them &them = opponents.at(o.name);
            QCOMPARE(o.games, them.games);
            QCOMPARE(o.winsAgainst, them.winsAgainst);
            QCOMPARE(o.theirWins, them.theirWins);
            QVERIFY(qAbs(o.meanScore - them.scores / them.games) < 1e-9);
        }
    }

    // --- the recorder ---

    // A client session's messages, in the order a host sends them, make one round of the
    // history: the board, the scores, the listed words, and this player's words with their
    // verdicts; a spy's rounds and a list for another seat make none.
    void recorderMakesRounds_data()
    {
        QTest::addColumn<int>("ownSeat");
        QTest::addColumn<QByteArray>("listFor");
        QTest::addColumn<bool>("recorded");
        QTest::newRow("seated") << 2 << QByteArray("2") << true;
        QTest::newRow("list for another seat") << 2 << QByteArray("3") << false;
        QTest::newRow("spy") << 11 << QByteArray("11") << false;
    }
    void recorderMakesRounds()
    {
        QFETCH(int, ownSeat);
        QFETCH(QByteArray, listFor);
        QFETCH(bool, recorded);
        ClientSession session;
        session.setSender([](const QByteArray &) {});
        GameRecorder recorder;
        recorder.setTableSource([] { return Table{Role::Join, "192.0.2.7"}; });
        recorder.listenTo(session);
        QSignalSpy opened(&recorder, &GameRecorder::gameOpened);
        QSignalSpy rounds(&recorder, &GameRecorder::roundEnded);
        QSignalSpy ended(&recorder, &GameRecorder::gameEnded);

        const QByteArray seat = QByteArray::number(ownSeat);
        session.sendloginfo(seat);
        session.newplayerinfo("1+Ann");
        session.newplayerinfo(seat + "+Bob");
        session.startthegame("Ann+20+60+4+3+0+");
        QByteArray tiles;
        for (int c = 0; c < 10; ++c)
            for (int r = 0; r < 10; ++r)
                tiles += '+' + QByteArray::number(c) + '+' + QByteArray::number(r) + '+'
                    + QByteArray::number(Cats[size_t(c * 10 + r)]);
        session.loadboard(tiles.mid(1));
        session.getnextplayer(seat);
        session.goodword(seat + "+2+CAT+3+1");
        session.notvalid(seat + "+2+CAT");
        session.goodword("1+2+DOG+3+1"); // Ann's
        session.timeup("1+2+2+" + seat + "+2+2");
        session.mainlist(listFor + "+CAT+DOG");
        session.winner("Bob");

        QCOMPARE(opened.size(), 1);
        const auto game = opened.first().first().value<GameOpening>();
        QCOMPARE(game.table.role, Role::Join);
        QCOMPARE(game.ownSeat, ownSeat);
        QCOMPARE(game.settings.boardType, 4);
        QCOMPARE(game.settings.minLetters, 3);
        QCOMPARE(rounds.size(), recorded ? 1 : 0);
        QCOMPARE(ended.size(), 1);
        if (!recorded)
            return;
        const auto r = rounds.first().first().value<Round>();
        QCOMPARE(r.gameKey, game.key);
        QCOMPARE(r.cells, Cats);
        QCOMPARE(r.listed, QByteArrayList({"CAT", "DOG"}));
        QCOMPARE(r.ownWords.size(), 2);
        QCOMPARE(r.ownWords[0].word, QByteArray("CAT"));
        QCOMPARE(r.ownWords[0].points, 2);
        QVERIFY(r.ownWords[0].first);
        QCOMPARE(r.ownWords[1].verdict, 2);
        QCOMPARE(r.seats[1].name, QByteArray("Bob"));
        QCOMPARE(r.seats[1].score, 2);
        const auto closing = ended.first().first().value<GameClosing>();
        QVERIFY(closing.won);
        QCOMPARE(closing.seats[0].name, QByteArray("Ann"));
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
