#pragma once

// Registers the program's icons (":/resource/...") once. The resources are compiled into a
// static library, whose registration the linker would otherwise drop: every window that shows
// an icon calls this first.
void init_app_resources();
