#pragma once
// A platform header that stays on its floor.
#include "platform/layer/other.h"
#include <QString>
