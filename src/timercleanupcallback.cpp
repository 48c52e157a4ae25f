#include "timercleanupcallback.h"

#include "markeroverlay.h"

#include <vtkCommand.h>
#include <vtkObjectFactory.h>

vtkStandardNewMacro(TimerCleanupCallback);

void TimerCleanupCallback::Execute(vtkObject *, unsigned long eventId, void *)
{
    if (eventId != vtkCommand::TimerEvent || target == nullptr)
        return;
    target->purgeExpired();
    target->render();
}
