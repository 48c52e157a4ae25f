#pragma once
// While a zone shape, the 2D view or the zone editor runs a modal loop (a context menu, a
// warning box), the code that opened it is still on the stack, often inside a shape's own
// handler. The 2D view rebuilds its shapes by deleting them all, so it holds every rebuild back
// while such a loop is open. GUI thread only.

class ZoneModalScope {
public:
    ZoneModalScope();
    ~ZoneModalScope();
    ZoneModalScope(const ZoneModalScope &) = delete;
    ZoneModalScope &operator=(const ZoneModalScope &) = delete;

    // True while at least one scope is open.
    static bool active();
};
