#include "appresources.h"

#include <QtGlobal>

static void register_resource_file()
{
    Q_INIT_RESOURCE(resource);
}

void init_app_resources()
{
    static const bool done = (register_resource_file(), true);
    (void)done;
}
