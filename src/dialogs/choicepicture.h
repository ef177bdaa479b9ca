#pragma once

#include <QLabel>

// One option picture of the game start dialog: a check box picture that stands for one choice
// of a group, its code in the "hint" property and 0 or 1 in "mark". To assistive tools it is a
// radio button whose name is the choice and whose description is the group; choosing it
// through them acts as a click does.
class ChoicePicture : public QLabel {
    Q_OBJECT
public:
    ChoicePicture(const QString &name, int code, QWidget *parent);

    void setChecked(bool checked, const QPixmap &picture);
    bool isChecked() const { return property("mark").toInt() == 1; }
    // Asks the dialog to choose this option.
    void choose() { Q_EMIT chosen(objectName()); }

Q_SIGNALS:
    void chosen(const QString &name);
};
