#pragma once

#include <QString>

class QAbstractScrollArea;

namespace AccessibleNames {

// Names a scrolling view for assistive tools, and its scroll bars after it ("Chat history
// scrolling"), which would otherwise be nameless controls of their own.
void scrollArea(QAbstractScrollArea *area, const QString &name, const QString &description = QString());

} // namespace AccessibleNames
