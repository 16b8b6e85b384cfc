#pragma once

#include <QStringList>

#include <functional>

class QWidget;

// Files dropped from a file manager. Views name the widgets that take files and the
// controller rule that says which; the main window routes every file drag to the one under
// the cursor, so a drop is either taken by its target or refused with the "no entry" cursor.
namespace tarnwick::view {

using DropTest = std::function<bool(const QStringList& paths)>;
using DropTake = std::function<void(const QStringList& paths)>;

// Files dropped on `target` or on anything inside it go to `take` when `test` accepts them
// and the target is enabled; otherwise the next target around it is asked.
void acceptFileDrops(QWidget* target, DropTest test, DropTake take);

// Routes the file drags over `window` and its children to their targets and refuses every
// other. Drags that carry no files (text moved between boxes) are left to the widgets.
void routeFileDrops(QWidget* window);

} // namespace tarnwick::view
