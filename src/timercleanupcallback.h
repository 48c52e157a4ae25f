#pragma once
// Observes the 3D view interactor's repeating timer: every tick purges the expired markers and
// renders, so boxes of objects that are no longer reported go away without a new frame.

#include <vtkCallbackCommand.h>

class MarkerOverlay;

class TimerCleanupCallback : public vtkCallbackCommand {
public:
    vtkTypeMacro(TimerCleanupCallback, vtkCallbackCommand);
    static TimerCleanupCallback *New();

    void Execute(vtkObject *caller, unsigned long eventId, void *callData) override;

    void setTarget(MarkerOverlay *overlay) { target = overlay; }
    MarkerOverlay *getTarget() const { return target; }

protected:
    TimerCleanupCallback() = default;
    ~TimerCleanupCallback() override = default;

private:
    MarkerOverlay *target = nullptr;
};
