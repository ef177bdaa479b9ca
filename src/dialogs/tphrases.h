#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

// The phrase buttons editor. The main window fills the nine edits from the phrase buttons
// before showing it; "Done" hands the texts back through done(), after which the main window
// gives them to the buttons and stores them. Closing any other way changes nothing.
class Tphrases : public QDialog {
    Q_OBJECT
public:
    static constexpr int PhraseCount = 9;
    static constexpr int MaxPhraseLength = 50;

    explicit Tphrases(QWidget *parent = nullptr);

    // Edits phrase1..phrase9; numbers outside 1..9 are ignored (an empty text is read).
    void setPhraseText(int n, const QString &text);
    QString phraseText(int n) const;

    void button_doneClick();

Q_SIGNALS:
    // "Done": phraseText(1..9) are the new phrases, empty ones included.
    void done();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::array<QLineEdit *, PhraseCount> m_edits{};
};
