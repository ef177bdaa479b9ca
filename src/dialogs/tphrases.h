#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

class ChatPanel;
class QLineEdit;

// The phrase buttons editor: rewrites the nine phrases of the chat panel's buttons.
class Tphrases : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxPhraseLength = 50;

    explicit Tphrases(ChatPanel *panel, QWidget *parent = nullptr);

    // The main window's tiled background picture, drawn over the window colour.
    void setBackground(const QPixmap &tile);

    // Fills the edits from the phrase buttons and shows the window (not modal).
    void PrhaseList1Click();
    // Copies the edits into the buttons, asks for them to be stored, and closes.
    void button_doneClick();

    QLineEdit *phraseEdit(int n) const;

Q_SIGNALS:
    // Phrase1..Phrase9 should be written to the settings file, in this order.
    void storePhrases(const QStringList &phrases);

private:
    void centreOnParent();

    ChatPanel *m_panel;
    std::array<QLineEdit *, 9> m_edits{};
};
