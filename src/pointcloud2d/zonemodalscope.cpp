#include "zonemodalscope.h"

namespace {
int g_depth = 0;
}

ZoneModalScope::ZoneModalScope()
{
    ++g_depth;
}

ZoneModalScope::~ZoneModalScope()
{
    --g_depth;
}

bool ZoneModalScope::active()
{
    return g_depth > 0;
}
