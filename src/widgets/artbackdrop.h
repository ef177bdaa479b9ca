#pragma once

#include <QPixmap>
#include <QWidget>

// A picture that only lies behind other controls (the track under the time bar): painted, not
// shown as an image, so assistive tools pass over it as they pass over the background.
class ArtBackdrop : public QWidget {
public:
    ArtBackdrop(const QPixmap &picture, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
