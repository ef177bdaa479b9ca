#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// The keyboard for one group of option pictures that act as radio buttons: Tab reaches the
// chosen option only, an arrow key chooses the option beside it and takes the focus along, and
// Space chooses the focused one. The options are laid out as the dialog shows them: `rows` to a
// column, columns from left to right; the arrows wrap round the group.
class OptionKeys : public QObject {
public:
    using Choose = std::function<void(const QString &name)>;

    OptionKeys(const QList<QWidget *> &options, int rows, Choose choose, QObject *parent);

    // Keeps the Tab chain on the chosen option of a group.
    static void setChosen(QWidget *option, bool chosen);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The option an arrow (or Home, End) leads to from `index`, or -1 for any other key.
    int target(int index, int key) const;

    QList<QWidget *> m_options;
    int m_rows;
    Choose m_choose;
};
