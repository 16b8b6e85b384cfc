#pragma once

#include <QStringList>

namespace tarnwick::catalog {

inline constexpr int kGameCount = 7;
inline constexpr int kOtherGame = 6;

// The games of the play page's game list, in list order.
QStringList gameNames();

// The map rows of a game (empty for "Other" and any index outside the list).
QStringList mapRows(int game);

// The skill family of a game: 0 Doom, 1 Heretic, 2 Hexen; -1 for "Other" (keeps the names).
int skillFamily(int game);

// The five skill names of a family (empty for any other family).
QStringList skillNames(int family);

// The "Tarnwick" key holding the game WAD location of a game.
QString locationKey(int game);

} // namespace tarnwick::catalog
