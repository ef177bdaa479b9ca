#pragma once

#include <QByteArray>
#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

// The words list window: every word found in the round, three to a row, with their count.
// It computes nothing; it shows the list the host sent.
class Twordslist : public QWidget {
    Q_OBJECT
public:
    static constexpr int DefaultLeft = 42;
    static constexpr int DefaultTop = 98;

    explicit Twordslist(QWidget *parent = nullptr);

    // `list` is the words separated by "+", or "No Words". Fills the window and shows it.
    void thewords(const QByteArray &list);

    // The place the window takes when shown, kept in the settings file: where it is now
    // while it is shown, else where it was when last hidden (or as set).
    int rememberedLeft() const { return isVisible() ? pos().x() : m_remembered.x(); }
    int rememberedTop() const { return isVisible() ? pos().y() : m_remembered.y(); }
    void setRemembered(int left, int top);

    void setVisible(bool visible) override;

Q_SIGNALS:
    // The picture button beside CLOSE: the player wants the round review.
    void reviewRequested();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QPoint m_remembered{DefaultLeft, DefaultTop};
    QLabel *m_image9;
    QLabel *m_found;
    QTableWidget *m_grid;
    QLabel *m_nowords;
    QPushButton *m_allwords;
    QPushButton *m_review;
};
