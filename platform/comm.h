// Placeholder: the comm calls of the platform layer.
#pragma once

#include "platform/windef.h"
