#include "battle/battleinput.h"

namespace battle {

BattleInput::BattleInput(const BattleInput&) = default;
BattleInput& BattleInput::operator=(const BattleInput&) = default;

}  // namespace battle
