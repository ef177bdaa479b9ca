#pragma once

#include <QLabel>

// The time bar `image_timer`: a picture whose width follows the countdown. To assistive tools
// it is a progress bar whose value is the seconds left in the round.
class TimeBar : public QLabel {
    Q_OBJECT
public:
    explicit TimeBar(QWidget *parent);

    void setSeconds(int left, int perRound);
    int secondsLeft() const { return m_left; }
    int secondsPerRound() const { return m_perRound; }

private:
    int m_left = 0;
    int m_perRound = 0;
};
