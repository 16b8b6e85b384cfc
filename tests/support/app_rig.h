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

namespace tarnwick::test {

struct AppRig
{
    TempStore temp;
    CoreRig app{temp.store};
    MainWindow window{app};

    AppRig() { window.resize(1280, 960); }

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
};

// The one widget of type T under `root` whose caption is `text`; fails the test otherwise.
template<typename T>
T* captioned(QWidget* root, const QString& text)
{
    T* found = nullptr;
    for (T* w : root->findChildren<T*>()) {
        if (w->text() != text) continue;
        if (found) {
            QTest::qFail(qPrintable(QStringLiteral("two widgets captioned '%1'").arg(text)), __FILE__, __LINE__);
            return nullptr;
        }
        found = w;
    }
    if (!found) QTest::qFail(qPrintable(QStringLiteral("no widget captioned '%1'").arg(text)), __FILE__, __LINE__);
    return found;
}

// The control a label names with its access key ("&Timer:" names the timer box).
inline QWidget* labelled(QWidget* root, const QString& label)
{
    QLabel* l = captioned<QLabel>(root, label);
    QWidget* buddy = l ? l->buddy() : nullptr;
    if (l && !buddy) QTest::qFail(qPrintable(QStringLiteral("label '%1' names no control").arg(label)), __FILE__, __LINE__);
    return buddy;
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
