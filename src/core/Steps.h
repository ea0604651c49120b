// Marks between the steps of the operations a user waits for, so a benchmark can say
// where the time goes in the very code that ships. The program itself installs no
// observer: a mark then costs a test of one pointer.
#pragma once

namespace veld {

// Called with the name of the step just finished.
using StepObserver = void (*)(const char* step);

void SetStepObserver(StepObserver observer);

void MarkStep(const char* step);

}  // namespace veld
