#include "dialogs/choicepicture.h"

#include <QAccessibleWidget>

namespace {

class ChoiceAccessible : public QAccessibleWidget {
public:
    explicit ChoiceAccessible(ChoicePicture *picture) : QAccessibleWidget(picture, QAccessible::RadioButton) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = choice()->isChecked();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            choice()->choose();
    }

private:
    ChoicePicture *choice() const { return static_cast<ChoicePicture *>(widget()); }
};

QAccessibleInterface *choiceFactory(const QString &, QObject *object)
{
    if (auto *picture = qobject_cast<ChoicePicture *>(object))
        return new ChoiceAccessible(picture);
    return nullptr;
}

} // namespace

ChoicePicture::ChoicePicture(const QString &name, int code, QWidget *parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(choiceFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(name);
    setProperty("hint", QString::number(code));
    setProperty("mark", 0);
}

void ChoicePicture::setChecked(bool checked, const QPixmap &picture)
{
    const bool was = isChecked();
    setPixmap(picture);
    setProperty("mark", checked ? 1 : 0);
    if (was != checked) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}
