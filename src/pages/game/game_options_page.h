#pragma once

#include <QIcon>
#include <QImage>
#include <QWidget>

#include <future>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace tarnwick {

class GameOptionsController;
class Histories;
enum class History;
class IwadLocations;
class LaunchSession;
class SaveWads;

// "1: Game Options".
class GameOptionsPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GameOptionsPage)

public:
    GameOptionsPage(LaunchSession& session, GameOptionsController& controller, Histories& histories,
                    IwadLocations& iwads, SaveWads& saveWads, QWidget* parent = nullptr);

    void redraw();

signals:
    void hideRequested();
    void locationsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* historyBox(QWidget* parent, History list, const QString& tooltip);
    void redrawHistories();
    void redrawSaveGames();
    // The picture beside the save list, the size it is shown at.
    static constexpr QSize kPictureSize{160, 120};
    static QImage scaledPicture(const QByteArray& png);
    void decodePictureAhead();

    LaunchSession& m_session;
    GameOptionsController& m_controller;
    Histories& m_histories;
    SaveWads& m_saveWads;

    QComboBox* m_exe;
    QComboBox* m_folder;
    QComboBox* m_ini;
    QComboBox* m_iwad;
    QComboBox* m_parm;
    QCheckBox* m_demos;
    QRadioButton* m_play;
    QRadioButton* m_record;
    QLabel* m_demoLabel;
    QComboBox* m_demoFile;
    QPushButton* m_browseDemo;
    QCheckBox* m_timeDemo;
    QLabel* m_maxDemoLabel;
    QLineEdit* m_maxDemo;
    QTreeWidget* m_saves;
    QLabel* m_picture;
    QCheckBox* m_resetLocations;
    QString m_shownPicture; // GameOptionsController::savePictureIdentity() of the file shown
    // The picture read ahead, decoded and scaled while the window is built: the identity of
    // its file and the picture, null when the file has none to show. Taken once.
    std::future<std::pair<QString, QImage>> m_pictureAhead;
    QIcon m_warningIcon; // both made when a row first needs them
    QIcon m_blankIcon;
};

} // namespace tarnwick
