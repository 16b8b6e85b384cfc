#include "pages/game/iwad_locations_dialog.h"

#include "pages/game/iwad_locations.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

IwadLocationsDialog::IwadLocationsDialog(IwadLocations& locations, QWidget* parent)
    : QDialog(parent), m_locations(locations)
{
    setWindowTitle(QStringLiteral("Game WAD Locations"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const std::array<QString, 9> stored = m_locations.load();
    for (int row = 0; row < 9; ++row) {
        const IwadRecord& record = kIwadRecords[row];
        auto* label = new QLabel(QString::fromLatin1(record.label), this);
        auto* box = new QLineEdit(stored[row], this);
        box->setToolTip(QString::fromLatin1(record.tooltip));
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 48);
        label->setBuddy(box);
        auto* browse = new QPushButton(QStringLiteral("..."), this);
        browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        browse->setAutoDefault(false);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(browse, row, 2);
        m_boxes[row] = box;
        connect(browse, &QPushButton::clicked, this,
                [this, row] { m_boxes[row]->setText(m_locations.browse(row, m_boxes[row]->text())); });
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setToolTip(QStringLiteral("Closes the dialog box and saves any changes you have made."));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setToolTip(QStringLiteral("Closes the dialog box without saving changes you have made."));
    cancel->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void IwadLocationsDialog::accept()
{
    std::array<QString, 9> boxes;
    for (int i = 0; i < 9; ++i) boxes[i] = m_boxes[i]->text();
    m_locations.save(boxes);
    QDialog::accept();
}

} // namespace tarnwick
