#pragma once

#include <QProxyStyle>

namespace tarnwick {

// The desktop's style, whose standard icons are made when they are first drawn or measured
// rather than when they are asked for. Making one reads and decodes its pictures at every
// size (or looks it up in the icon theme), and most are never shown: each page's child
// window builds a title-bar menu of five of them, which the pages then drop. Every other
// question goes to the style unchanged, so what is drawn stays the same.
class DeferredIconStyle final : public QProxyStyle
{
public:
    // Takes over `style` (the application's own).
    explicit DeferredIconStyle(QStyle* style);

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Puts DeferredIconStyle in front of the application's style.
void deferStandardIcons();

} // namespace tarnwick
