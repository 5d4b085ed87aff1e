#pragma once
// Where new windows open and how they come forward.
//
// Threads: main thread only.
class QWidget;

namespace quellor {

// Moves the window so that its frame is centred on the primary screen's available area.
void centreOnPrimaryScreen(QWidget& window);
// Shows the window, brings it in front of the others and gives it the focus.
void showInFront(QWidget& window);

}  // namespace quellor
