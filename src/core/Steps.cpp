#include "core/Steps.h"

namespace veld {

namespace {
StepObserver observer = nullptr;
}

void SetStepObserver(StepObserver newObserver)
{
    observer = newObserver;
}

void MarkStep(const char* step)
{
    if (observer != nullptr)
        observer(step);
}

}  // namespace veld
