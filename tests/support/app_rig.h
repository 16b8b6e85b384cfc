#pragma once

// For widget tests only (they link the widget library): the core rig over a temporary
// settings file, with its main window.

#include "core_rig.h"
#include "temp_store.h"

#include "shell/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tarnwick::test {

struct AppRig
{
    TempStore temp;
    CoreRig app{temp.store};
    MainWindow window;

    // `beforeWindow` runs before the window is built, where main() reads ahead.
    explicit AppRig(const std::function<void(TempStore&, CoreRig&)>& beforeWindow = {})
        : window(prepared(beforeWindow, temp, app))
    {
        window.resize(1280, 960);
    }

    // Shows the window, active so that its shortcuts work, and runs the start-up.
    bool start(int screenWidth = 1280)
    {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window)) return false;
        window.start(QString(), screenWidth);
        return true;
    }

    QWidget* page(int n) const { return window.pageWindow(n)->widget(); }
    QString command() const { return window.commandBox()->text(); }

private:
    static CoreRig& prepared(const std::function<void(TempStore&, CoreRig&)>& before, TempStore& temp, CoreRig& app)
    {
        if (before) before(temp, app);
        return app;
    }
};

// Keys pressed as a player presses them: to whichever control has the focus (the active
// window when none has), shortcuts and all.
inline void press(const QKeySequence& keys)
{
    for (int i = 0; i < keys.count(); ++i) {
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keyClick(to, keys[i].key(), keys[i].keyboardModifiers());
    }
}

// Presses Tab until `reached(focused control)` holds; false when it never does.
template<typename Reached>
bool tabUntil(Reached reached, int limit = 150)
{
    for (int i = 0; i < limit; ++i) {
        if (reached(QApplication::focusWidget())) return true;
        press(Qt::Key_Tab);
    }
    return false;
}

inline void typeKeys(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow(), text);
}

// The one widget of type T under `root` whose caption is `text`; fails the test otherwise.
template<typename T>
T* captioned(QWidget* root, const QString& text)
{
    QList<T*> found;
    for (T* w : root->findChildren<T*>())
        if (w->text() == text) found << w;
    if (found.size() != 1)
        QTest::qFail(qPrintable(QStringLiteral("%1 widgets captioned '%2'").arg(found.size()).arg(text)), __FILE__, __LINE__);
    return found.size() == 1 ? found.first() : nullptr;
}

// The widget of type T named `name` under `root`; the run stops when there is none.
template<typename T = QWidget>
T* named(QWidget& root, const char* name)
{
    T* w = root.findChild<T*>(QLatin1String(name));
    if (!w) qFatal("no widget %s", name);
    return w;
}

// Closes any modal window that opens while it lives, remembering its title, so a test that
// opens a dialog by mistake (or on purpose) never waits on it.
class ModalCloser
{
public:
    QStringList opened;

    ModalCloser()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened << modal->windowTitle();
                modal->close();
            }
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

} // namespace tarnwick::test
