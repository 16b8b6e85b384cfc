#pragma once

#include <QDialog>

#include <array>

class QLineEdit;

namespace tarnwick {

class IwadLocations;

// "Game WAD Locations": nine boxes read afresh at each opening; OK writes all nine,
// Cancel and the title-bar close write nothing.
class IwadLocationsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IwadLocationsDialog)

public:
    explicit IwadLocationsDialog(IwadLocations& locations, QWidget* parent = nullptr);
    void accept() override;

private:
    IwadLocations& m_locations;
    std::array<QLineEdit*, 9> m_boxes{};
};

} // namespace tarnwick
