#pragma once

#include "words/tallyrecorder.h"
#include "words/tallystore.h"
#include "words/tallytable.h"

#include <QDialog>
#include <QList>

#include <array>
#include <functional>

class Notifier;
class QLabel;
class QListWidget;
class QListWidgetItem;

// The tally window: the player's own totals, the figures against one followed opponent, the
// other players at the table (checking one follows them) and the followed opponents
// (clearing one drops them). The tally is loaded when the window is made; it is saved after
// every recorded game and by save(), which the program calls when it closes.
class Ttallylist : public QDialog, public TallyRecorder {
    Q_OBJECT
public:
    // The names of the other players at the table (slots 1..10, not waiting, not our own seat).
    using PlayersAtTable = std::function<QList<QByteArray>()>;

    // Loads the tally file at `tallyPath`; an unreadable file is moved aside, reported through
    // `notifier`, and the tally starts empty. `notifier` must outlive the window.
    Ttallylist(const QString &tallyPath, Notifier *notifier, PlayersAtTable playersAtTable,
               QWidget *parent = nullptr);

    // "View Tally": the players at the table are listed afresh, then the window is shown.
    void viewTally();
    // Refills `checklist` from the players at the table, checked when followed.
    void loadchecklist();
    // False when the file could not be written; the old file then stays as it was. Every save,
    // failed or not, is reported to the save report.
    bool save() const;
    using SaveReport = std::function<void(const QString &path, bool saved, const QString &reason)>;
    void setSaveReport(SaveReport report) { m_saveReport = std::move(report); }

    const TallyTable &table() const { return m_table; }

    // TallyRecorder
    void addgame(const QByteArray &winner) override;
    void addtomineincrease(int col) override;
    void addtomineset(int col, int value) override;
    QString mostWordsCaption() const override;

private:
    void buildOwnPanel();
    void buildOpponentPanel();
    void buildLists();
    void loadtally();
    void showOwnTotals();
    // Puts the figures of table row `row` into label_1..label_8 and the name captions.
    void showRow(int row);
    void setCheckQuietly(QListWidgetItem *item, bool checked);
    void uncheckInChecklist(const QByteArray &name);

    void checklistClickCheck(QListWidgetItem *item);
    void listbox_tallyClick(int index);
    void listbox_tallyClickCheck(QListWidgetItem *item);
    void confirmDrop(const QByteArray &name);
    void button_resetClick();

    TallyStore m_store;
    TallyTable m_table;
    Notifier *m_notifier;
    PlayersAtTable m_playersAtTable;
    SaveReport m_saveReport;
    // Set while the program itself changes check marks, so only the user's clicks act.
    bool m_quiet = false;

    std::array<QLabel *, 4> m_mine{};
    std::array<QLabel *, 8> m_figures{};
    QLabel *m_hisname = nullptr;
    QLabel *m_hisnametop = nullptr;
    QListWidget *m_checklist = nullptr;
    QListWidget *m_tally = nullptr;
};
