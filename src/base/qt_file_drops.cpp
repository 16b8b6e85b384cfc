#include "base/qt_file_drops.h"

#include "base/dropped_files.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

namespace tarnwick::view {

namespace {

class FileDropTarget final : public QObject
{
    Q_OBJECT

public:
    FileDropTarget(QWidget* target, DropTest test, DropTake take)
        : QObject(target), m_target(target), m_test(std::move(test)), m_take(std::move(take))
    {
    }

    bool takes(const QStringList& paths) const { return m_target->isEnabled() && m_test(paths); }
    void take(const QStringList& paths) const { m_take(paths); }

private:
    QWidget* m_target;
    DropTest m_test;
    DropTake m_take;
};

// Sees the drag events of every widget first, before a box that takes text or a list that
// takes items can act on them.
class FileDropRouter final : public QObject
{
    Q_OBJECT

public:
    explicit FileDropRouter(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* drop = static_cast<QDropEvent*>(event);
        if (!widget || widget->window() != m_window || !drop->mimeData()->hasUrls()) return false;

        const QStringList files = drops::localFiles(drop->mimeData()->urls());
        QWidget* under = widget->childAt(drop->position().toPoint());
        FileDropTarget* target = nullptr;
        for (QWidget* w = under ? under : widget; w && !target; w = w->isWindow() ? nullptr : w->parentWidget()) {
            auto* t = w->findChild<FileDropTarget*>(QString(), Qt::FindDirectChildrenOnly);
            if (t && t->takes(files)) target = t;
        }
        if (!target) {
            drop->ignore();
            return true;
        }
        // Always a copy: a file manager deletes the files of a drop taken as a move.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // A drop may bring up a message; it waits until the drag has ended.
        if (type == QEvent::Drop)
            QMetaObject::invokeMethod(target, [t = QPointer(target), files] { if (t) t->take(files); },
                                      Qt::QueuedConnection);
        return true;
    }

private:
    QWidget* m_window;
};

} // namespace

void acceptFileDrops(QWidget* target, DropTest test, DropTake take)
{
    new FileDropTarget(target, std::move(test), std::move(take));
}

void routeFileDrops(QWidget* window)
{
    window->setAcceptDrops(true);
    qApp->installEventFilter(new FileDropRouter(window));
}

} // namespace tarnwick::view

#include "qt_file_drops.moc"
