#pragma once

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QKeyEvent;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;

namespace tarnwick {

struct AppContext;

// The frame: menus, the command strip and the four option pages as child windows.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(AppContext& app, QWidget* parent = nullptr);

    // Start-up with the program's argument; lays out the pages on a first run. A first start
    // (no saved settings yet) also looks for an installed port and game WADs.
    void start(const QString& argument, int screenWidth, bool firstStart = false);


    QMdiSubWindow* pageWindow(int page) const { return m_pages.at(page - 1); }
    QLineEdit* commandBox() const { return m_command; }
    QAction* showPageAction(int page) const { return m_showPage.at(page - 1); }

    void fourByFour();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildMenus();
    void buildCommandStrip();
    void buildPages();
    void buildKeyboard();
    void openFirstMenu();
    bool ownsKeyboard() const;
    bool tabOutOfPage(bool forward);
    void accessKeyIntoPage(const QKeyEvent& key);
    QAction* addItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                     std::function<void()> action);
    void tile(Qt::Orientation orientation);
    void cascade();
    void arrangeIcons();
    void fillWindowMenu();
    void showGameplayFlags();
    void showObsolete();
    void showLocations();
    void showIniEditor();
    void showBotEditor();
    void finishStartupOnceDrawn();

    AppContext& m_app;
    QMdiArea* m_area = nullptr;
    QLineEdit* m_command = nullptr;
    QPushButton* m_run = nullptr;
    QMenu* m_windowMenu = nullptr;
    std::array<QMdiSubWindow*, 4> m_pages{};
    std::array<QString, 4> m_titles; // the pages' titles until start() gives them back
    std::array<QAction*, 4> m_showPage{};
    QList<QAction*> m_windowListActions;
    QList<QKeySequence> m_keys; // every key the frame answers, wherever the focus is
    bool m_altAlone = false;
    bool m_started = false;
    bool m_drawn = false;
};

} // namespace tarnwick
