#include "dialogs/optionkeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

OptionKeys::OptionKeys(const QList<QWidget *> &options, int rows, Choose choose, QObject *parent)
    : QObject(parent), m_options(options), m_rows(qMax(1, rows)), m_choose(std::move(choose))
{
    for (QWidget *option : m_options)
        option->installEventFilter(this);
}

void OptionKeys::setChosen(QWidget *option, bool chosen)
{
    option->setFocusPolicy(chosen ? Qt::TabFocus : Qt::NoFocus);
}

int OptionKeys::target(int index, int key) const
{
    const int count = int(m_options.size());
    const bool oneColumn = count <= m_rows;
    auto wrap = [count](int i) { return (i % count + count) % count; };
    switch (key) {
    case Qt::Key_Up:
        return wrap(index - 1);
    case Qt::Key_Down:
        return wrap(index + 1);
    // In one column the side arrows step like the others, as in any group of radio buttons.
    case Qt::Key_Left:
        return wrap(index - (oneColumn ? 1 : m_rows));
    case Qt::Key_Right:
        return wrap(index + (oneColumn ? 1 : m_rows));
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return count - 1;
    default:
        return -1;
    }
}

bool OptionKeys::eventFilter(QObject *watched, QEvent *event)
{
    const int index = int(m_options.indexOf(watched));
    if (event->type() != QEvent::KeyPress || index < 0)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return QObject::eventFilter(watched, event);
    if (key->key() == Qt::Key_Space) {
        m_choose(watched->objectName());
        return true;
    }
    const int next = target(index, key->key());
    if (next < 0)
        return QObject::eventFilter(watched, event);
    m_choose(m_options[next]->objectName());
    m_options[next]->setFocus(Qt::TabFocusReason);
    return true;
}
