#include "widgets/accessiblenames.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace AccessibleNames {

void scrollArea(QAbstractScrollArea *area, const QString &name, const QString &description)
{
    area->setAccessibleName(name);
    if (!description.isEmpty())
        area->setAccessibleDescription(description);
    const QString scrolling = name + QStringLiteral(" scrolling");
    area->verticalScrollBar()->setAccessibleName(scrolling);
    area->horizontalScrollBar()->setAccessibleName(scrolling);
}

} // namespace AccessibleNames
