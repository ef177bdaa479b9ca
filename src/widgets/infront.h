#pragma once

class QWidget;

namespace InFront {

// Shows a window in front: also when it was open already but covered, and also where no
// window manager raises what is shown. Null does nothing.
void show(QWidget *window);

} // namespace InFront
